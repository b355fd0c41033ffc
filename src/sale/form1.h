#pragma once

#include "common/platform.h"
#include "sale/sale_line.h"

#include <QList>
#include <QMainWindow>

#include <optional>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class RecordSet;
class ReportList;

// The sale window: the cashier's counter for the whole run. It rings up the
// current sale by product code, keeps the running total and warns when a
// product reaches its critical stock. Its load runs when it is first shown.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(Platform& platform, QWidget* parent = nullptr);

    // Controls, named as the rest of the program knows them.
    QWidget* Picture1;
    QLabel* Label13;
    ReportList* ListView1;   // the sale on screen, row for row with ListView2
    QLabel* Label17;         // critical-stock warning: the product's name
    QCheckBox* Check1;       // "Quantidade Manual"
    QWidget* Picture2;
    QFrame* Frame2;          // entry panel
    QFrame* Frame3;          // total panel
    QLabel* Label18;         // "DEDUZIR PRODUTO"
    QLabel* Label5;
    QLineEdit* Text7;        // product code
    QPushButton* Command3;   // product picker
    QPushButton* Command1;   // "PAGAR"
    QLabel* Label6;
    QLineEdit* Text8;        // quantity
    QPushButton* Command2;   // "CANCELAR"
    QLabel* Label7;
    QLabel* Label8;          // the total

    // The window's state, read and written by the other windows.
    QString Text1;    // screen width in pixels
    QString Text2;    // screen height in pixels
    QString Text3;    // "fecha inicio": session start, "dd/mm/yyyy h:mm:ss"
    QString Text4;    // "usuario": the logged-in user
    QString Text9;    // "total a pagar": the sale total as the unformatted text of a double
    QString Text10;   // "tipo pago": "EFECTIVO" or "TARJETA"
    QString Text11;   // "paga con": amount tendered
    QString Text12;   // "vuelto": change
    QString Text13;   // "cantidad en lista": quantity of the last entered product now on its line
    QString Text14;   // "stock critico": critical level of the last entered product
    QString Text15;   // "cantidad": stock of the last entered product
    QList<LineaVenta> ListView2;   // the current sale, the authoritative copy

    void Leer_Resolucion();
    void Centrar_Panel();
    void Preparar_Listas();
    void Agregar_Producto();
    void Agregar_Producto(const std::optional<ProductoLeido>& producto);
    void Calcular_Total();
    void Mostrar_Total();
    void Limpiar_Venta();

    void Command1_Click();
    void Command2_Click();

    // The window's load runs the first time it is shown, before it appears.
    void setVisible(bool visible) override;

private:
    void construirPanel();
    void construirEntrada();
    void construirTotal();
    void conectarEventos();

    void Form_Load();
    void Text7_Enter();
    void Text8_Enter();
    void Check1_Click();

    void Sumar_A_Linea(const ProductoLeido& producto);
    void Nueva_Linea(const ProductoLeido& producto);
    void Mostrar_Linea();
    void Mostrar_Lista();
    void Reiniciar_Entrada();
    void Verificar_Stock_Critico(const ProductoLeido& producto);
    void Pintar_Cantidad(const QColor& color);
    std::optional<ProductoLeido> Buscar_Producto(const QString& codigo);
    template <typename Action>
    void Proteger_Entrada(Action&& action);

    Platform& platform_;
    bool loaded_ = false;
};
