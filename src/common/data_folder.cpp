#include "common/data_folder.h"

#include <QDir>

namespace {

QString givenInArguments(const QStringList& arguments)
{
    const QString prefixed = DATA_FOLDER_OPTION + u'=';
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == DATA_FOLDER_OPTION && i + 1 < arguments.size())
            return arguments[i + 1];
        if (arguments[i].startsWith(prefixed))
            return arguments[i].mid(prefixed.size());
    }
    return {};
}

}   // namespace

QString Pasta_Dados(const QStringList& arguments, const QString& environmentValue, const QString& programFolder)
{
    QString folder = givenInArguments(arguments);
    if (folder.trimmed().isEmpty())
        folder = environmentValue;
    if (folder.trimmed().isEmpty())
        folder = programFolder;
    return QDir::cleanPath(QDir(folder).absolutePath());
}
