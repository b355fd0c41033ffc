#pragma once

#include "common/window.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class ReportList;
struct PagosRecaudados;

// The takings history: what was sold in one closed session, or in one month,
// one line per product with its quantities and amounts added up, the cost,
// sale and margin totals and the cash and card takings of the period, and
// the Pix takings at a till that takes Pix or a period that has them.
class Form7 : public Window {
    Q_OBJECT
public:
    explicit Form7(Platform& platform, QWidget* parent = nullptr);

    QWidget* Picture1;
    QLabel* Label2;          // title
    QLabel* Label1;          // session query heading
    QComboBox* Combo1;       // session starts, newest first
    QComboBox* Combo2;       // categories (session query); hidden, the report covers every category
    QPushButton* Command1;   // "BUSCAR" by session
    QLabel* Label3;          // month query heading
    QComboBox* Combo4;       // month names
    QComboBox* Combo5;       // years, newest first
    QComboBox* Combo6;       // categories (month query); hidden, the report covers every category
    QPushButton* Command3;   // "BUSCAR" by month
    ReportList* ListView1;   // the products of the result
    QLabel* Label4;          // period line
    QLabel* Label6;          // cost total
    QLabel* Label7;          // sale total
    QLabel* Label8;          // margin
    QLabel* Label9;          // cash
    QLabel* Label11;         // card
    QLabel* Label13;         // Pix, shown only where Pix is taken
    QLabel* Label12;         // loading notice, shown only while a query waits or runs
    QTimer* Timer1;          // runs the pending query once the button's click has returned

    QString Text1;   // pending query: "1" by session, "2" by month, empty for none

    void Limpiar_Resultado();
    void Command1_Click();
    void Command3_Click();
    void Timer1_Timer();
    void Recaudacion_Por_Fecha();
    void Recaudacion_Por_Mes();

protected:
    void Form_Load() override;

private:
    void construirControles();
    void conectarEventos();
    void Configurar_Lista();
    void Cargar_Sesiones();
    void Cargar_Anos(int anoMasAntiguo);
    void Cargar_Meses();
    void Cargar_Categorias();
    void Centrar_Panel();
    void Iniciar_Consulta(const QString& consulta);
    void Terminar_Consulta();
    void Mostrar_Totales_Lineas(double costo, double venta);
    void Mostrar_Pagos(const PagosRecaudados& pagos);
};
