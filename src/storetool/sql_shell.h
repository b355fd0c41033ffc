#pragma once

#include <QString>

class QTextStream;

// The support staff's shell on a folder's bd1: the statements run on a
// connection keyed and with the program's collations and functions, so that
// ordered and collated fields can be read and written as the program does.
// Each row a statement gives is printed with its fields separated by "|"
// (a null field as nothing). A refused statement is told in Portuguese on
// err, and the rest still run. Returns false when any statement was refused.
bool runSqlStatements(const QString& folder, const QString& sql, QTextStream& out, QTextStream& err);

// The same for statements read from in, each run as soon as it is complete
// (ended by ";").
bool runSqlStatements(const QString& folder, QTextStream& in, QTextStream& out, QTextStream& err);
