#include "support/qr_reader.h"

#include <QProcess>
#include <QTemporaryDir>

QByteArray readQrCode(const QImage& image)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("qr.png");
    if (!image.save(path))
        return "(the image could not be saved)";
    QProcess reader;
    reader.start("zbarimg", {"--raw", "-q", path});
    if (!reader.waitForFinished(30000) || reader.exitStatus() != QProcess::NormalExit)
        return "(zbarimg did not run: install the zbar-tools package)";
    if (reader.exitCode() != 0)
        return "(no code found)";
    return reader.readAllStandardOutput().trimmed();
}
