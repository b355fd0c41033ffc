#pragma once

#include "common/window.h"

class QLabel;
class ReportList;

// The sales of the open day session, newest first with their payment marker;
// a click on a sale shows its lines, its time, how it was paid and its amount.
class Form12 : public Window {
    Q_OBJECT
public:
    explicit Form12(Platform& platform, QWidget* parent = nullptr);

    QLabel* Label3;          // heading
    ReportList* ListView2;   // the sales: moment and payment marker
    ReportList* ListView1;   // the lines of the chosen sale
    QLabel* Label1;          // time of the chosen sale
    QLabel* Label4;          // payment word of the chosen sale
    QLabel* Label2;          // final amount of the chosen sale

    QString Text1;   // moment of the chosen sale, "dd/mm/yyyy h:mm:ss"

    void ListView2_Click();
    void Command1_Click();

protected:
    void Form_Load() override;

private:
    void Configurar_Listas();
    void Cargar_Ventas();
    void Marcar_Pagos();
    void Calcular_Valor_Final();
};
