#pragma once

#include <QString>

#include <cups/ipp.h>

// Why the printing service did not take a job, in words for the cashier.
QString cupsFailureReason(ipp_status_t status, const QString& printer);

// Why no printer could be chosen: the service is down, or none is set up.
QString noPrinterReason(ipp_status_t status, const QString& wanted);
