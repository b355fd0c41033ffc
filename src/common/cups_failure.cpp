#include "common/cups_failure.h"

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
    if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || status == IPP_STATUS_ERROR_INTERNAL)
        return cupsFailureReason(status, wanted);
    if (wanted.isEmpty())
        return QStringLiteral("nenhuma impressora padrão está configurada no sistema");
    return cupsFailureReason(IPP_STATUS_ERROR_NOT_FOUND, wanted);
}
