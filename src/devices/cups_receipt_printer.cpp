#include "devices/cups_receipt_printer.h"

#include "common/control_characters.h"
#include "common/qr_painting.h"
#include "devices/cups_failure.h"

#include <QtMath>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>

#include <cups/cups.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double TWIPS_PER_INCH = 1440;
constexpr double POINTS_PER_MM = 72 / 25.4;
constexpr double LINE_SPACING = 1.2;   // line height per font point, for the page length
constexpr double MARGIN_MM = 4;
const QString JOB_TITLE = QStringLiteral("Recibo");

QFont printerFont(int points, bool bold)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(points);
    // Narrowed as a roll printer's own font is: 80 mm hold the widest lines of
    // the receipts, and 58 mm some 36 characters at 10 points.
    font.setStretch(QFont::Condensed);
    font.setBold(bold);
    return font;
}

// A QR code's modules: large enough for a phone's camera, the code (with its
// quiet zone) at most three quarters of the roll's width.
constexpr double LARGEST_QR_MODULE_MM = 0.8;
constexpr double QR_SHARE_OF_WIDTH = 0.75;

const QByteArray* qrOf(const CupsReceiptPrinter::Line& line)
{
    return line.size() == 1 && !line.first().qr.isEmpty() ? &line.first().qr : nullptr;
}

double qrModuleMm(const QrMatrix& matrix, int paperWidthMm)
{
    return std::min(LARGEST_QR_MODULE_MM, paperWidthMm * QR_SHARE_OF_WIDTH / qrSideWithQuietZone(matrix, 1));
}

double qrSideMm(const QByteArray& data, int paperWidthMm)
{
    const std::optional<QrMatrix> matrix = QrMatrix::encode(data);
    return matrix ? qrSideWithQuietZone(*matrix, qrModuleMm(*matrix, paperWidthMm)) : 0;
}

int tallestPoints(const CupsReceiptPrinter::Line& line)
{
    int points = 0;
    for (const auto& piece : line)
        points = std::max(points, piece.points);
    return points;
}

// The roll is cut after the last line: the page is as long as the lines need.
double pageLengthMm(const QList<CupsReceiptPrinter::Line>& lines, int paperWidthMm)
{
    double points = 0;
    for (const auto& line : lines) {
        if (const QByteArray* qr = qrOf(line))
            points += qrSideMm(*qr, paperWidthMm) * POINTS_PER_MM;
        else
            points += tallestPoints(line) * LINE_SPACING;
    }
    return points / POINTS_PER_MM + 2 * MARGIN_MM;
}

// Draws the code centred across the page from y down; returns its height in dots.
double paintQr(QPainter& painter, const QPrinter& printer, const QByteArray& data, double y)
{
    const std::optional<QrMatrix> matrix = QrMatrix::encode(data);
    if (!matrix)
        throw PrintError(QStringLiteral("o código QR é grande demais para ser impresso"));
    const double dotsPerMm = printer.resolution() / 25.4;
    const double pageWidth = printer.pageLayout().fullRect(QPageLayout::Millimeter).width();
    const double module = qrModuleMm(*matrix, int(std::lround(pageWidth))) * dotsPerMm;
    const double side = qrSideWithQuietZone(*matrix, module);
    paintQrCode(painter, *matrix, QPointF((pageWidth * dotsPerMm - side) / 2, y), module);
    return side;
}

void paint(QPainter& painter, const QPrinter& printer, const QList<CupsReceiptPrinter::Line>& lines)
{
    const double dotsPerTwip = printer.resolution() / TWIPS_PER_INCH;
    double y = MARGIN_MM * POINTS_PER_MM * printer.resolution() / 72;
    for (const auto& line : lines) {
        if (const QByteArray* qr = qrOf(line)) {
            y += paintQr(painter, printer, *qr, y);
            continue;
        }
        const int points = tallestPoints(line);
        QFontMetricsF tallest(printerFont(points, false), &printer);
        const double baseline = y + tallest.ascent();
        double x = 0;
        for (const auto& piece : line) {
            const QFont font = printerFont(piece.points, piece.bold);
            painter.setFont(font);
            if (piece.twips >= 0)
                x = piece.twips * dotsPerTwip;
            painter.drawText(QPointF(x, baseline), piece.text);
            x += QFontMetricsF(font, &printer).horizontalAdvance(piece.text);
        }
        y += points * LINE_SPACING * printer.resolution() / 72;
    }
}

}   // namespace

void CupsReceiptPrinter::startDocument(int paperWidthMm)
{
    paperWidthMm_ = paperWidthMm;
    points_ = DEFAULT_POINTS;
    bold_ = false;
    position_ = -1;
    current_.clear();
    lines_.clear();
}

void CupsReceiptPrinter::setFontSize(int points)
{
    points_ = points;
}

void CupsReceiptPrinter::setBold(bool bold)
{
    bold_ = bold;
}

void CupsReceiptPrinter::setPosition(double twips)
{
    position_ = twips;
}

void CupsReceiptPrinter::print(const QString& text, Then then)
{
    // A stored name may hold a line break or a tab: it prints as a space, in its own line and columns.
    current_.append({position_, controlCharactersAsSpaces(text), points_, bold_, {}});
    position_ = -1;
    if (then == Then::EndLine) {
        lines_.append(current_);
        current_.clear();
    }
}

void CupsReceiptPrinter::printQrCode(const QByteArray& data)
{
    if (!current_.isEmpty())
        print(QString(), Then::EndLine);
    lines_.append({{0, QString(), points_, false, data}});
    position_ = -1;
}

void CupsReceiptPrinter::endDocument()
{
    if (!current_.isEmpty())
        print(QString(), Then::EndLine);
    const QList<Line> lines = lines_;
    lines_.clear();

    QTemporaryDir folder;
    if (!folder.isValid())
        throw PrintError(QStringLiteral("não foi possível preparar o documento de impressão"));
    const QString pdf = folder.filePath(QStringLiteral("recibo.pdf"));
    // The printing service takes a page wider than long for a landscape one
    // and turns it: a short receipt is as long as the roll is wide.
    const double lengthMm = std::max<double>(std::ceil(pageLengthMm(lines, paperWidthMm_)), paperWidthMm_);
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setFullPage(true);
        printer.setPageMargins(QMarginsF(0, 0, 0, 0));
        printer.setPageSize(QPageSize(QSizeF(paperWidthMm_, lengthMm), QPageSize::Millimeter,
                                      QStringLiteral("Recibo"), QPageSize::ExactMatch));
        QPainter painter;
        if (!painter.begin(&printer))
            throw PrintError(QStringLiteral("não foi possível preparar o documento de impressão"));
        paint(painter, printer, lines);
        if (!painter.end())
            throw PrintError(QStringLiteral("não foi possível preparar o documento de impressão"));
    }
    queue(pdf, lengthMm);
}

// Hands the finished document to the default printer's queue: the service
// answers as soon as the job is queued, long before the paper comes out.
void CupsReceiptPrinter::queue(const QString& pdfPath, double lengthMm) const
{
    cups_dest_t* destination = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!destination)
        throw PrintError(noPrinterReason(cupsLastError(), {}));
    const QString name = QString::fromLocal8Bit(destination->name);
    // The roll's own width and the document's length, so the queue neither scales nor pads it.
    const QByteArray media = QStringLiteral("Custom.%1x%2mm").arg(paperWidthMm_).arg(qCeil(lengthMm)).toLatin1();
    cups_option_t* options = nullptr;
    const int optionCount = cupsAddOption("media", media.constData(), 0, &options);
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, destination->name, pdfPath.toLocal8Bit().constData(),
                                   JOB_TITLE.toUtf8().constData(), optionCount, options);
    const ipp_status_t status = cupsLastError();
    const bool paused = isPaused(*destination);
    cupsFreeOptions(optionCount, options);
    cupsFreeDests(1, destination);
    if (job == 0)
        throw PrintError(cupsFailureReason(status, name));
    if (paused)
        throw PrintError(pausedReason(name, JOB_TITLE));
}
