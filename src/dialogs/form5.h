#pragma once

#include "common/window.h"

#include <QElapsedTimer>

class Cobro;
class QLabel;
class QLineEdit;
class QPushButton;
struct Recibo;
struct VentaRegistrada;

// The payment dialog: the total to pay, the amount the customer hands over
// and the change; pays the current sale in cash or by card, or goes back to
// the sale as it was.
class Form5 : public Window {
    Q_OBJECT
public:
    Form5(Platform& platform, Cobro& cobro, QWidget* parent = nullptr);

    QLabel* Label1;         // "Total a pagar"
    QLabel* Label2;         // the total, as the sale window shows it
    QLabel* Label3;         // "Paga com     R$"
    QLineEdit* Text1;       // the amount tendered
    QLabel* Label4;         // "Seu troco é  R$"
    QLabel* Label5;         // the change
    QPushButton* Command1;  // "DINHEIRO"
    QPushButton* Command2;  // "CARTÃO"
    QPushButton* Command3;  // "VOLTAR"
    QString Text2;          // the payment kind the receipt reads: "0" cash, "1" card

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // "DINHEIRO" and "CARTÃO": the buttons that record the sale.
    QList<QWidget*> botonesDePago() const;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Text1_Enter();
    void Mostrar_Vuelto(double vuelto);
    static void Mostrar_Entero(QLabel* label, const QString& texto);
    bool Clic_Temprano(QObject* watched, QEvent* event) const;
    void Pagar(const QString& tipo, const QString& clase);
    QString Imprimir(const VentaRegistrada& venta);
    void Avisar(const QString& tipo, const QString& sinRecibo);
    QString Abrir_Gaveta();
    Recibo Leer_Recibo(const VentaRegistrada& venta) const;

    Cobro& cobro_;
    bool pagado_ = false;   // the one payment this dialog takes has been handed over
    QElapsedTimer mostrado_;   // since the dialog showed
};
