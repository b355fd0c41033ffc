#pragma once

#include "common/window.h"
#include "dialogs/cobranca_pix.h"

#include <QElapsedTimer>

#include <optional>

class Cobro;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
struct Recibo;
struct VentaRegistrada;

// The payment dialog: the total to pay, the amount the customer hands over
// and the change; pays the current sale in cash or by card, or by Pix when
// the shop has a Pix key, or goes back to the sale as it was.
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
    QPushButton* Command4;  // "&PIX", shown only when the shop has a Pix key
    QString Text2;          // the payment kind the receipt reads: "0" cash, "1" card, "PIX"

    // The Pix view, over the whole dialog: the code of the sale's total,
    // what it waits for, and its three buttons. Enter presses none of them.
    QWidget* FramePix;
    QLabel* Label6;         // "Aguardando o Pix de R$ 12,34"
    QLabel* Image1;         // the QR code
    QPushButton* Command5;  // "PIX &RECEBIDO"
    QPushButton* Command6;  // "&IMPRIMIR QR"
    QPushButton* Command7;  // "VOLTAR"

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();

    // "DINHEIRO", "CARTÃO" and "PIX": the buttons that record the sale or lead to it.
    QList<QWidget*> botonesDePago() const;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Text1_Enter();
    void Crear_Vista_Pix();
    void Mostrar_Vista_Pix(bool visible);
    void Escape();
    void Mostrar_Vuelto(double vuelto);
    static void Mostrar_Entero(QLabel* label, const QString& texto);
    bool Clic_Temprano(QObject* watched, QEvent* event) const;
    void Pagar(const QString& tipo, const QString& clase);
    QString Imprimir(const VentaRegistrada& venta);
    void Avisar(const QString& tipo, const QString& sinRecibo);
    QString Abrir_Gaveta();
    Recibo Leer_Recibo(const VentaRegistrada& venta) const;

    Cobro& cobro_;
    std::optional<CobrancaPix> pix_;   // the charge the Pix view shows, made once per view
    bool pagado_ = false;   // the one payment this dialog takes has been handed over
    QElapsedTimer mostrado_;   // since the dialog showed
};
