#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

// A line of a catalogue file that was not taken, with why.
struct RejectedLine {
    int line = 0;   // 1-based line of the file where the row starts
    QString reason;
};

struct CatalogueImport {
    int added = 0;
    int updated = 0;
    QList<RejectedLine> rejected;   // in line order
    bool written = false;
};

// Loads products from a spreadsheet's CSV export (UTF-8 or Latin-1, ";" or
// "," between fields, a heading row naming the columns "Código", "Nome",
// "Quantidade", "Custo", "Preço", "Estoque crítico", "Categoria"; decimals
// with a comma when any number of the file has one, else with a point) into
// the bd1 of folder: new codes are added, existing codes updated, names stay
// unique, in one transaction. When a row is rejected nothing is written
// unless skipInvalid. Throws AppError (StoreError for the database) when the
// file as a whole cannot be read.
// The file is read a piece at a time, in a few passes (it must allow going
// back to its start): memory does not hold the file, only what the checks
// between rows need (each sound row's code and name).
CatalogueImport importCatalogue(const QString& folder, QIODevice& file, bool skipInvalid);
CatalogueImport importCatalogue(const QString& folder, const QByteArray& contents, bool skipInvalid);

// The whole catalogue in the form importCatalogue reads (UTF-8 with a byte
// order mark, ";" between fields, decimal comma, ordered by code), so that
// importing it again gives the same products: written to the file as the
// products are read, in one walk of the catalogue. False when a write to the
// file failed (the rest is not written).
bool exportCatalogue(const QString& folder, QIODevice& file);
QByteArray exportCatalogue(const QString& folder);
