#include "store/store_error.h"

#include <QDir>

StoreError fileError(const QString& cause, const QString& path)
{
    return StoreError(QStringLiteral("%1\nArquivo: %2").arg(cause, QDir::toNativeSeparators(path)));
}
