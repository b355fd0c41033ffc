#pragma once

#include <QString>
#include <QStringList>

inline const QString DATA_FOLDER_OPTION = QStringLiteral("--pasta-dados");
inline const char DATA_FOLDER_VARIABLE[] = "TENDUCA_DADOS";

// The folder where bd1 lives: the one given with "--pasta-dados DIR" (or
// "--pasta-dados=DIR") among the arguments, else the value of the environment
// variable TENDUCA_DADOS when set, else the program's own folder. Always absolute.
QString Pasta_Dados(const QStringList& arguments, const QString& environmentValue, const QString& programFolder);
