#include "sale/envio_ventas.h"

#include "common/errors.h"
#include "sale/registro_venta.h"
#include "store/connection.h"
#include "store/outbox.h"
#include "store/store_error.h"
#include "store/till_link.h"
#include "store/unit_of_work.h"

#include <QFileInfo>

#include <chrono>
#include <optional>

namespace {

constexpr std::chrono::milliseconds INTERVALO{2000};
constexpr qint64 COPIA_CADA_MS = 60'000;

qint64 Contar_Aguardando(TillLink& enlace)
{
    qint64 aguardando = 0;
    enlace.onTillFile([&](Connection& propio) { aguardando = salesWaiting(propio); });
    return aguardando;
}

}   // namespace

EnvioVentas::EnvioVentas(const QString& folder, QObject* parent) : QObject(parent), folder_(folder)
{
    thread_ = std::thread([this] { executar(); });
}

EnvioVentas::~EnvioVentas()
{
    {
        const std::lock_guard lock(mutex_);
        parar_ = true;
    }
    acordar_.notify_one();
    thread_.join();
}

void EnvioVentas::despertar()
{
    {
        const std::lock_guard lock(mutex_);
        acordado_ = true;
    }
    acordar_.notify_one();
}

void EnvioVentas::executar()
{
    std::optional<TillLink> enlace;
    try {
        enlace.emplace(folder_);
    } catch (const AppError& error) {
        emit estado(error.message());
        return;
    }
    std::unique_lock lock(mutex_);
    while (!parar_) {
        lock.unlock();
        rodada(*enlace);
        lock.lock();
        acordar_.wait_for(lock, INTERVALO, [this] { return parar_ || acordado_; });
        acordado_ = false;
    }
}

// A till given no bd1 of its own keeps no sales: nothing to send.
void EnvioVentas::rodada(TillLink& enlace)
{
    if (!QFileInfo::exists(databasePath(folder_)))
        return;
    QString recusa;
    try {
        const qint64 aguardando = Contar_Aguardando(enlace);
        if (aguardando > 0 || Connection::serverAway(folder_))
            enviarAguardando(enlace, aguardando);
        else
            actualizarCopia(enlace);
    } catch (const ServerAway&) {
        Connection::noteServerAway(folder_);
    } catch (const AppError& error) {
        recusa = error.message();
    }
    emit estado(recusa);
}

// A copy that cannot be brought up to date now stays as it was, and is tried
// again at the next minute: the counter sells on the server meanwhile.
void EnvioVentas::actualizarCopia(TillLink& enlace)
{
    if (ultimaCopia_.isValid() && ultimaCopia_.elapsed() < COPIA_CADA_MS)
        return;
    ultimaCopia_.start();
    try {
        enlace.refreshCopy();
    } catch (const ServerAway&) {
        throw;
    } catch (const AppError& error) {
        qWarning("%s", qPrintable(error.message()));
    }
}

// The oldest first, each recorded on the server before it leaves the outbox:
// a sale whose removal is cut short is sent again and recognised by its id.
void EnvioVentas::enviarAguardando(TillLink& enlace, qint64 aguardando)
{
    enlace.reachServer();
    Connection::noteServerAnswers(folder_);
    for (qint64 enviadas = 0; enviadas < aguardando; ++enviadas) {
        {
            const std::lock_guard lock(mutex_);
            if (parar_)
                return;
        }
        std::optional<SaleWaiting> venta;
        enlace.onTillFile([&](Connection& propio) { venta = oldestSaleWaiting(propio); });
        if (!venta)
            return;
        enlace.onServer([&](Connection& servidor) { RegistroVenta::registrarConId(servidor, venta->sale, venta->id); });
        enlace.onTillFile([&](Connection& propio) { runInTransaction(propio, [&] { removeSent(propio, venta->id); }); });
    }
}
