#pragma once

#include <QString>

#include <cups/cups.h>

// Why the printing service did not take a job, in words for the cashier.
QString cupsFailureReason(ipp_status_t status, const QString& printer);

// Why no printer could be chosen: the service is not running, or none is set up.
QString noPrinterReason(ipp_status_t status, const QString& wanted);

// A paused printer takes jobs and keeps them in its queue until it is resumed.
bool isPaused(const cups_dest_t& destination);
QString pausedReason(const QString& printer, const QString& jobTitle);
