#include "devices/cups_failure.h"

namespace {

constexpr int SERVICE_CONNECT_TIMEOUT_MS = 5000;

// Without the service the library cannot tell a missing default printer from
// a missing service: the service itself is asked.
bool serviceRunning()
{
    http_t* connection = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                      SERVICE_CONNECT_TIMEOUT_MS, nullptr);
    if (!connection)
        return false;
    httpClose(connection);
    return true;
}

}   // namespace

QString cupsFailureReason(ipp_status_t status, const QString& printer)
{
    switch (status) {
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        return QStringLiteral("a impressora \"%1\" não está aceitando trabalhos").arg(printer);
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
    case IPP_STATUS_ERROR_INTERNAL:
        return QStringLiteral("o serviço de impressão não está respondendo");
    case IPP_STATUS_ERROR_NOT_FOUND:
        return QStringLiteral("a impressora \"%1\" não foi encontrada").arg(printer);
    default:
        return QStringLiteral("a impressora \"%1\" recusou o trabalho").arg(printer);
    }
}

QString noPrinterReason(ipp_status_t status, const QString& wanted)
{
    if (!serviceRunning())
        return QStringLiteral("o serviço de impressão do computador não está em execução (reinicie o computador "
                              "ou peça ao técnico que o inicie)");
    if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || status == IPP_STATUS_ERROR_INTERNAL)
        return cupsFailureReason(status, wanted);
    if (wanted.isEmpty())
        return QStringLiteral("nenhuma impressora padrão está configurada no sistema");
    return cupsFailureReason(IPP_STATUS_ERROR_NOT_FOUND, wanted);
}

bool isPaused(const cups_dest_t& destination)
{
    const char* state = cupsGetOption("printer-state", destination.num_options, destination.options);
    return state && QByteArray(state).toInt() == IPP_PSTATE_STOPPED;
}

QString pausedReason(const QString& printer, const QString& jobTitle)
{
    return QStringLiteral("a impressora \"%1\" está pausada: o trabalho \"%2\" aguarda na fila e só sai quando "
                          "ela for retomada")
        .arg(printer, jobTitle);
}
