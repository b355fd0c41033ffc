#pragma once

#include "common/window.h"
#include "sale/venta_actual.h"

#include <QPointer>
#include <optional>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class ReportList;

// The sale window: the cashier's counter for the whole run. It rings up the
// current sale by product code, keeps the running total and warns when a
// product reaches its critical stock.
class Form1 : public Window {
    Q_OBJECT
public:
    explicit Form1(Platform& platform, QWidget* parent = nullptr);

    // Controls, named as the rest of the program knows them.
    QWidget* Picture1;
    QLabel* Label13;
    ReportList* ListView1;   // the sale on screen, row for row with the sale's lines
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
    QString Text10;   // "tipo pago": "EFECTIVO" or "TARJETA"
    QString Text11;   // "paga con": amount tendered
    QString Text12;   // "vuelto": change

    // The current sale, the authoritative copy of what ListView1 shows.
    const VentaActual& venta() const { return venta_; }

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

    // The session start becomes the one stored with the open session's first line.
    void Restaurar_Inicio();

    // Paying (form1_registro.cpp). The payment dialog hands over the payment
    // and has the sale recorded; false when the recording failed and the
    // sale is still on screen (the cashier has seen why).
    bool CobrarEfectivo(const QString& pagaCon, const QString& vuelto);
    bool CobrarTarjeta();
    bool guardar_Click();
    void Registrar_Venta();
    Window* pago() const { return pago_; }   // the payment dialog while it is open

protected:
    void Form_Load() override;

private:
    void construirControles();
    void conectarEventos();

    // Entry of products (form1_entrada.cpp).
    void Text7_Enter();
    void Text8_Enter();
    void Check1_Click();
    void Mostrar_Linea(const VentaActual::Cambio& cambio);
    void Mostrar_Lista();
    void Reiniciar_Entrada();
    void Verificar_Stock_Critico(const ProductoLeido& producto);
    void Pintar_Cantidad(const QColor& color);
    std::optional<ProductoLeido> Buscar_Producto(const QString& codigo);
    template <typename Action>
    void Proteger_Entrada(Action&& action);

    VentaActual venta_;
    QPointer<Window> pago_;
};
