#include "store/outbox.h"

#include "store/connection.h"
#include "store/engine.h"
#include "store/statement.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

namespace {

const char OUTBOX_TABLE[] = "create table if not exists VentasPendientes (IdVenta text not null unique, FechaInicio "
                            "text, FechaVenta text, Venta text not null)";

// Made by the first sale kept, inside its unit of work: a read never writes,
// so that two connections reading at once never race to make it.
void makeOutbox(Connection& tillFile)
{
    execute(tillFile, QString::fromLatin1(OUTBOX_TABLE));
}

bool hasOutbox(Connection& tillFile)
{
    Statement table(tillFile, "select count(*) from sqlite_master where type = 'table' and name = 'VentasPendientes'");
    return table.next() && table.whole(0) > 0;
}

QJsonObject lineObject(const LineaVenta& line)
{
    return {{"numero", line.numero},         {"codigo", line.codigo},
            {"nombre", line.nombre},         {"cantidad", line.cantidad},
            {"costoUnitario", line.costoUnitario}, {"costoTotal", line.costoTotal},
            {"ventaUnitaria", line.ventaUnitaria}, {"ventaTotal", line.ventaTotal},
            {"marca", line.marca},           {"categoria", line.categoria},
            {"etiqueta", line.etiqueta}};
}

LineaVenta lineOf(const QJsonObject& object)
{
    LineaVenta line;
    line.numero = object["numero"].toString();
    line.codigo = object["codigo"].toString();
    line.nombre = object["nombre"].toString();
    line.cantidad = object["cantidad"].toString();
    line.costoUnitario = object["costoUnitario"].toString();
    line.costoTotal = object["costoTotal"].toString();
    line.ventaUnitaria = object["ventaUnitaria"].toString();
    line.ventaTotal = object["ventaTotal"].toString();
    line.marca = object["marca"].toString();
    line.categoria = object["categoria"].toString();
    line.etiqueta = object["etiqueta"].toString();
    return line;
}

QByteArray saleText(const VentaRegistrada& sale)
{
    QJsonArray lines;
    for (const LineaVenta& line : sale.lineas)
        lines.append(lineObject(line));
    const DatosSesion& facts = sale.sesion;
    const QJsonObject object{{"tipoPago", facts.tipoPago},       {"total", facts.total},
                             {"usuario", facts.usuario},         {"fechaInicio", facts.fechaInicio},
                             {"ahora", facts.ahora.toString(Qt::ISODateWithMs)}, {"linhas", lines}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

VentaRegistrada saleOf(QByteArrayView text)
{
    const QJsonObject object = QJsonDocument::fromJson(text.toByteArray()).object();
    VentaRegistrada sale;
    for (const QJsonValue& line : object["linhas"].toArray())
        sale.lineas.append(lineOf(line.toObject()));
    sale.sesion.tipoPago = object["tipoPago"].toString();
    sale.sesion.total = object["total"].toString();
    sale.sesion.usuario = object["usuario"].toString();
    sale.sesion.fechaInicio = object["fechaInicio"].toString();
    sale.sesion.ahora = QDateTime::fromString(object["ahora"].toString(), Qt::ISODateWithMs);
    return sale;
}

}   // namespace

QString newSaleId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

void keepForServer(Connection& tillFile, const QString& id, const VentaRegistrada& sale)
{
    makeOutbox(tillFile);
    Statement keep(tillFile, "insert into VentasPendientes (IdVenta, FechaInicio, FechaVenta, Venta) values (?, ?, ?, ?)");
    keep.bind(1, id);
    keep.bind(2, sale.sesion.fechaInicio);
    keep.bind(3, sale.sesion.ahora.toString(Qt::ISODateWithMs));
    keep.bind(4, QString::fromUtf8(saleText(sale)));
    keep.run();
}

qint64 salesWaiting(Connection& tillFile)
{
    if (!hasOutbox(tillFile))
        return 0;
    Statement count(tillFile, "select count(*) from VentasPendientes");
    return count.next() ? count.whole(0) : 0;
}

std::optional<SaleWaiting> oldestSaleWaiting(Connection& tillFile)
{
    if (!hasOutbox(tillFile))
        return std::nullopt;
    Statement oldest(tillFile, "select IdVenta, Venta from VentasPendientes order by rowid limit 1");
    if (!oldest.next())
        return std::nullopt;
    return SaleWaiting{oldest.text(0), saleOf(oldest.bytes(1))};
}

std::optional<QString> waitingSessionStart(Connection& tillFile)
{
    if (!hasOutbox(tillFile))
        return std::nullopt;
    Statement oldest(tillFile, "select FechaInicio from VentasPendientes order by rowid limit 1");
    if (!oldest.next())
        return std::nullopt;
    return oldest.text(0);
}

void removeSent(Connection& tillFile, const QString& id)
{
    Statement sent(tillFile, "delete from VentasPendientes where IdVenta = ?");
    sent.bind(1, id);
    sent.run();
}

bool firstArrival(Connection& connection, const QString& saleId)
{
    if (!connection.sharedByTills())
        return true;
    Statement arrived(connection, "insert into VentasRecebidas (IdVenda, Caixa) values (?, ?) on conflict do nothing");
    arrived.bind(1, saleId);
    arrived.bind(2, qint64(connection.engine().till()));
    arrived.run();
    return arrived.changes() == 1;
}
