#include "reports/form12.h"

#include "common/date_text.h"
#include "common/money_format.h"
#include "common/numbers.h"
#include "common/report_list.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/queries.h"
#include "store/record_set.h"

#include <QHash>
#include <QLabel>

namespace {

constexpr int COLUMNA_TOTAL = 5;

struct FormaDePago {
    QString codigo;
    QString marca;     // in the sales list
    QString palabra;   // under the chosen sale's lines
};

const QList<FormaDePago> FORMAS_DE_PAGO = {
    {QStringLiteral("EFECTIVO"), QStringLiteral("D"), QStringLiteral("DINHEIRO")},
    {QStringLiteral("TARJETA"), QStringLiteral("C"), QStringLiteral("CARTÃO")},
    {QStringLiteral("PIX"), QStringLiteral("P"), QStringLiteral("PIX")},
    {QStringLiteral("EXENTO"), QStringLiteral("Ex"), QStringLiteral("ISENTO")},
};
// A payment type the program does not know still says that it is none of the known ones.
const FormaDePago OUTRA_FORMA = {QString(), QString(), QStringLiteral("OUTRA FORMA")};

const FormaDePago& formaDePago(const QString& codigo)
{
    for (const FormaDePago& forma : FORMAS_DE_PAGO) {
        if (forma.codigo == codigo)
            return forma;
    }
    return OUTRA_FORMA;
}

}   // namespace

Form12::Form12(Platform& platform, QWidget* parent) : Window(platform, parent)
{
    setClientSizeTwips(15135, 8535);
    Label3 = new QLabel(centralWidget());
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setAutoFillBackground(true);
    Label3->setStyleSheet(QStringLiteral("background-color: black; color: white;"));
    ListView2 = new ReportList(centralWidget());
    ListView1 = new ReportList(centralWidget());
    Label1 = new QLabel(centralWidget());
    Label4 = new QLabel(centralWidget());
    Label2 = new QLabel(centralWidget());
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    declareControls({
        {Label3, "Label3", 0, 0, 15135, 495, "DETALHE DA VENDA PARCIAL DO DIA", 14},
        {ListView2, "ListView2", 120, 600, 3735, 7695},
        {ListView1, "ListView1", 3975, 600, 11040, 6255},
        {Label1, "Label1", 3975, 6975, 7215, 375, {}, 12},
        {Label4, "Label4", 3975, 7455, 3615, 375, {}, 12},
        {Label2, "Label2", 7695, 7455, 7320, 375, {}, 14},
    });
    on(ListView2, &ReportList::clicked, [this] { ListView2_Click(); });
}

void Form12::Form_Load()
{
    Configurar_Listas();
    Cargar_Ventas();
    Marcar_Pagos();
    Label1->clear();
    Label2->clear();
    Label4->clear();
}

void Form12::Configurar_Listas()
{
    ListView1->setColumns({{QStringLiteral("Item"), 0},
                           {QStringLiteral("Código"), 0},
                           {QStringLiteral("Nome"), 5000},
                           {QStringLiteral("Quantidade"), 1400, Qt::AlignRight},
                           {QStringLiteral("Valor Unitário"), 2000, Qt::AlignRight},
                           {QStringLiteral("Total Venda"), 1800, Qt::AlignRight}});
    ListView1->setFontSize(12);
    ListView2->setColumns({{QStringLiteral("Data / Hora"), 2600}, {QStringLiteral("R$"), 500}});
    ListView2->setColors(LIST_TEXT_COLOR, LIST_BACKGROUND_COLOR);
    ListView2->setFontSize(12);
}

// One line per sale, the newest first.
void Form12::Cargar_Ventas()
{
    Connection conexion(platform().folder);
    RecordSet ventas(conexion, Query::VentasDeTemporal);
    QList<QStringList> filas;
    if (!ventas.isEmpty()) {
        for (ventas.moveLast(); !ventas.bof(); ventas.movePrevious())
            filas.append({ventas.text(Temporal::FechaVenta), QString()});
    }
    ListView2->setRows(filas);
}

// Each sale takes the marker of the payment type of its first line, read in one pass.
void Form12::Marcar_Pagos()
{
    QHash<QString, QString> tipoDeVenta;
    {
        Connection conexion(platform().folder);
        RecordSet lineas(conexion, Query::TemporalPorVenta);
        for (; !lineas.eof(); lineas.moveNext()) {
            const QString venta = lineas.text(Temporal::FechaVenta);
            if (!tipoDeVenta.contains(venta))
                tipoDeVenta.insert(venta, lineas.text(Temporal::TipoPago));
        }
    }
    QList<QStringList> filas;
    filas.reserve(ListView2->rowCount());
    for (int fila = 0; fila < ListView2->rowCount(); ++fila) {
        const QString venta = ListView2->text(fila, 0);
        const auto tipo = tipoDeVenta.constFind(venta);
        filas.append({venta, tipo == tipoDeVenta.cend() ? QString() : formaDePago(*tipo).marca});
    }
    ListView2->setRows(filas);
}

void Form12::ListView2_Click()
{
    const int fila = ListView2->selectedRow();
    if (ListView2->rowCount() == 0 || fila < 0)
        return;
    const std::optional<QDateTime> momento = parseDateTime(ListView2->text(fila, 0));
    if (!momento)
        return;
    Text1 = formatDateTime(*momento);
    Command1_Click();
}

void Form12::Command1_Click()
{
    ListView1->clear();
    const std::optional<QDateTime> momento = parseDateTime(Text1);
    if (!momento)
        return;
    Connection conexion(platform().folder);
    RecordSet lineas(conexion, Query::TemporalPorVenta, RecordSet::Equals{Temporal::FechaVenta, Text1});
    QList<QStringList> filas;
    QString tipo;
    for (; !lineas.eof(); lineas.moveNext()) {
        filas.append({QString::number(filas.size() + 1), lineas.text(Temporal::CodigoProducto),
                      lineas.text(Temporal::NombreProducto), lineas.text(Temporal::Cantidad),
                      lineas.text(Temporal::ValorUnitario), lineas.text(Temporal::TotalVenta)});
        tipo = lineas.text(Temporal::TipoPago);
    }
    if (filas.isEmpty())
        return;
    ListView1->setRows(filas);
    Label4->setText(formaDePago(tipo).palabra);
    Label1->setText(QStringLiteral("Venda realizada em ") + formatDateTime(*momento, DateLayout::Date) +
                    QStringLiteral(" às ") + formatDateTime(*momento, DateLayout::Time) + QStringLiteral(" hrs."));
    Calcular_Valor_Final();
}

// The sum of the chosen sale's line amounts; a line without an amount counts as 0.
void Form12::Calcular_Valor_Final()
{
    double total = 0;
    for (int fila = 0; fila < ListView1->rowCount(); ++fila) {
        const QString monto = ListView1->text(fila, COLUMNA_TOTAL);
        if (!monto.isEmpty())
            total += A_Numero(monto);
    }
    Label2->setText(QStringLiteral("Valor Final ") + Formato(total, FORMATO_REAIS_3));
}
