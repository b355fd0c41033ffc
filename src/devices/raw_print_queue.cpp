#include "devices/raw_print_queue.h"

#include "common/receipt_printer.h"
#include "devices/cups_failure.h"

#include <cups/cups.h>

#include <memory>

namespace {

struct DestinationFree {
    void operator()(cups_dest_t* destination) const { cupsFreeDests(1, destination); }
};
using Destination = std::unique_ptr<cups_dest_t, DestinationFree>;

Destination findDestination(const QString& queue)
{
    const QByteArray name = queue.toLocal8Bit();
    Destination destination(cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.isEmpty() ? nullptr : name.constData(), nullptr));
    if (!destination)
        throw PrintError(noPrinterReason(cupsLastError(), queue));
    return destination;
}

[[noreturn]] void cancel(const char* name, int job, ipp_status_t status, const QString& printer)
{
    cupsCancelJob2(CUPS_HTTP_DEFAULT, name, job, 0);
    throw PrintError(cupsFailureReason(status, printer));
}

}   // namespace

// One job with one document, written from memory: no file is left behind,
// and a job that fails halfway is cancelled rather than printed in part.
void CupsRawQueue::send(const QByteArray& data, const QString& title)
{
    const Destination destination = findDestination(queue_);
    const char* name = destination->name;
    const QString printer = QString::fromLocal8Bit(name);
    const QByteArray jobTitle = title.toUtf8();
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, name, jobTitle.constData(), 0, nullptr);
    if (job == 0)
        throw PrintError(cupsFailureReason(cupsLastError(), printer));
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name, job, jobTitle.constData(), CUPS_FORMAT_RAW, 1)
        != HTTP_STATUS_CONTINUE)
        cancel(name, job, cupsLastError(), printer);
    const bool written = cupsWriteRequestData(CUPS_HTTP_DEFAULT, data.constData(), size_t(data.size()))
                         == HTTP_STATUS_CONTINUE;
    // The service's answer is read even after a failed write, to leave the connection clean.
    const ipp_status_t finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, name);
    if (!written || finished > IPP_STATUS_OK_EVENTS_COMPLETE)
        cancel(name, job, finished > IPP_STATUS_OK_EVENTS_COMPLETE ? finished : IPP_STATUS_ERROR_INTERNAL, printer);
    if (isPaused(*destination))
        throw PrintError(pausedReason(printer, title));
}
