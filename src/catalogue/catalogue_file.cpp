#include "catalogue/catalogue_file.h"

#include "common/control_characters.h"
#include "common/errors.h"
#include "common/numbers.h"
#include "store/connection.h"
#include "store/operations.h"
#include "store/unit_of_work.h"


#include <QBuffer>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace {

enum Column { CODE, NAME, QUANTITY, COST, PRICE, CRITICAL, CATEGORY, COLUMN_COUNT };

constexpr int MAX_CODE_LENGTH = 15;
constexpr int MAX_NAME_LENGTH = 40;
constexpr int MAX_CRITICAL = 99999;

const std::array<QString, COLUMN_COUNT> HEADINGS = {
    QStringLiteral("Código"), QStringLiteral("Nome"),            QStringLiteral("Quantidade"),
    QStringLiteral("Custo"),  QStringLiteral("Preço"),           QStringLiteral("Estoque crítico"),
    QStringLiteral("Categoria")};

// Other headings a spreadsheet of the shop or of a supplier may carry, already
// without accents and in lower case.
const QHash<QString, Column>& headingWords()
{
    static const QHash<QString, Column> words = {
        {"codigo", CODE},         {"codigo do produto", CODE},     {"cod", CODE},
        {"nome", NAME},           {"nome do produto", NAME},       {"produto", NAME},
        {"descricao", NAME},      {"quantidade", QUANTITY},        {"qtd", QUANTITY},
        {"qtde", QUANTITY},       {"estoque", QUANTITY},           {"custo", COST},
        {"preco custo", COST},    {"preco de custo", COST},        {"preco", PRICE},
        {"preco venda", PRICE},   {"preco de venda", PRICE},       {"venda", PRICE},
        {"estoque critico", CRITICAL}, {"nivel critico", CRITICAL}, {"estoque minimo", CRITICAL},
        {"categoria", CATEGORY},
    };
    return words;
}

// A product read from the file, and the line it starts at.
struct ProductRow : ProductValues {
    int line = 0;
};

struct Record {
    int line = 0;
    QStringList fields;
};

QString decodeText(const QByteArray& contents)
{
    QByteArray bytes = contents;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

// A line ends at "\n" (that of "\r\n" too) and at a "\r" on its own.
bool endsLine(const QString& text, qsizetype i)
{
    return text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'));
}

bool onlySpaces(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == u' '; });
}

// Splits the text into records as a spreadsheet writes them: a field that
// starts with a double quote (spaces before it at most) runs to the closing
// quote and may hold the separator, line breaks and doubled quotes, which
// stand for one; a quote anywhere else is a character of the field.
class RecordSplitter {
public:
    RecordSplitter(const QString& text, QChar separator) : text_(text), separator_(separator) {}

    QList<Record> records()
    {
        for (qsizetype i = 0; i < text_.size(); ++i) {
            if (quoted_)
                i = readQuoted(i);
            else
                readPlain(i);
        }
        endRecord();
        return records_;
    }

private:
    // Returns the position of the last character taken.
    qsizetype readQuoted(qsizetype i)
    {
        const QChar c = text_[i];
        if (c == u'"' && i + 1 < text_.size() && text_[i + 1] == u'"') {
            field_ += u'"';
            return i + 1;
        }
        if (c == u'"') {
            quoted_ = false;
            return i;
        }
        field_ += c;
        if (endsLine(text_, i))
            ++line_;
        return i;
    }

    void readPlain(qsizetype i)
    {
        const QChar c = text_[i];
        if (c == u'"' && !fieldWasQuoted_ && onlySpaces(field_)) {
            quoted_ = fieldWasQuoted_ = anyText_ = true;
            field_.clear();
        } else if (c == separator_) {
            current_.fields.append(field_);
            field_.clear();
            fieldWasQuoted_ = false;
            anyText_ = true;
        } else if (endsLine(text_, i)) {
            endRecord();
            ++line_;
            current_ = Record{line_, {}};
        } else if (c != u'\r') {   // the "\r" of "\r\n"
            field_ += c;
        }
    }

    // A line without any text (a blank line) is no record.
    void endRecord()
    {
        if (anyText_ || !field_.isEmpty()) {
            current_.fields.append(field_);
            records_.append(current_);
        }
        field_.clear();
        fieldWasQuoted_ = false;
        anyText_ = false;
    }

    const QString& text_;
    const QChar separator_;
    QList<Record> records_;
    int line_ = 1;
    Record current_{1, {}};
    QString field_;
    bool quoted_ = false;
    bool fieldWasQuoted_ = false;
    bool anyText_ = false;
};

QString headingKey(const QString& heading)
{
    QString key;
    for (const QChar c : heading.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing && (c.isLetterOrNumber() || c.isSpace()))
            key += c.toLower();
    return key.simplified();
}

std::array<int, COLUMN_COUNT> columnsOf(const QStringList& heading)
{
    std::array<int, COLUMN_COUNT> columns;
    columns.fill(-1);
    for (int i = 0; i < heading.size(); ++i) {
        const auto found = headingWords().constFind(headingKey(heading[i]));
        if (found != headingWords().constEnd() && columns[*found] < 0)
            columns[*found] = i;
    }
    QStringList missing;
    for (int c = 0; c < COLUMN_COUNT; ++c)
        if (columns[c] < 0)
            missing.append(QStringLiteral("\"%1\"").arg(HEADINGS[c]));
    if (!missing.isEmpty())
        throw AppError(QStringLiteral("A primeira linha do arquivo deve nomear as colunas %1; faltam: %2.")
                           .arg(QStringList(HEADINGS.begin(), HEADINGS.end()).join(QStringLiteral(", ")),
                                missing.join(QStringLiteral(", "))));
    return columns;
}

QString field(const Record& record, const std::array<int, COLUMN_COUNT>& columns, Column column)
{
    return record.fields.value(columns[column]).trimmed();
}

// A comma in any number of the file makes it the decimal separator (and the
// point a thousands group); otherwise the point is.
NumberSettings numberSettingsOf(const QList<Record>& rows, const std::array<int, COLUMN_COUNT>& columns)
{
    for (const Record& row : rows)
        for (Column c : {QUANTITY, COST, PRICE})
            if (field(row, columns, c).contains(u','))
                return {u',', u'.'};
    return {u'.', u','};
}

struct RowReader {
    std::array<int, COLUMN_COUNT> columns;
    NumberSettings numbers;

    std::optional<double> number(const Record& record, Column column, QString& reason) const
    {
        QString text = field(record, columns, column);
        if (column != QUANTITY && text.startsWith(QStringLiteral("R$")))
            text = text.mid(2).trimmed();
        const std::optional<double> value = text.isEmpty() ? std::nullopt : lerNumero(text, numbers);
        const QString what = HEADINGS[column].toLower();
        if (!value || !std::isfinite(*value))
            reason = QStringLiteral("%1 não é um número: \"%2\"").arg(what, field(record, columns, column));
        else if (column != QUANTITY && *value < 0)
            reason = QStringLiteral("%1 negativo: \"%2\"").arg(what, field(record, columns, column));
        else if (std::fabs(*value) >= TOO_LARGE_TO_SHOW)
            reason = QStringLiteral("%1 grande demais, com mais de 12 algarismos antes da vírgula: \"%2\"")
                         .arg(what, field(record, columns, column));
        else
            return value;
        return std::nullopt;
    }

    QString codeProblem(const QString& code) const
    {
        static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
        if (code.isEmpty())
            return QStringLiteral("código vazio");
        if (code.contains(u'E', Qt::CaseInsensitive) && code.contains(u'+'))
            return QStringLiteral("código em notação científica (\"%1\"); formate a coluna do código como texto na "
                                  "planilha")
                .arg(code);
        if (!digits.match(code).hasMatch())
            return QStringLiteral("o código deve ter só algarismos: \"%1\"").arg(code);
        if (code.size() > MAX_CODE_LENGTH)
            return QStringLiteral("código com mais de %1 algarismos: \"%2\"").arg(MAX_CODE_LENGTH).arg(code);
        return {};
    }

    QString criticalProblem(const QString& text, int& critical) const
    {
        static const QRegularExpression whole(QStringLiteral("^[0-9]{1,5}$"));
        if (text.isEmpty()) {
            critical = 0;   // as the product window stores an empty box
            return {};
        }
        if (!whole.match(text).hasMatch() || text.toInt() > MAX_CRITICAL)
            return QStringLiteral("estoque crítico deve ser um número inteiro de 0 a %1: \"%2\"")
                .arg(MAX_CRITICAL)
                .arg(text);
        critical = text.toInt();
        return {};
    }

    // A name or category holding a line break, a tab or another control
    // character would list and print badly: the row is refused.
    QString controlProblem(const Record& record, Column column, const QString& what) const
    {
        const QString text = record.fields.value(columns[column]);
        const qsizetype at = firstControlCharacter(text);
        if (at < 0)
            return {};
        return QStringLiteral("%1 contém um caractere de controle (%2)").arg(what, controlCharacterName(text[at]));
    }

    QString nameAndCategoryProblem(const Record& record, const ProductRow& row) const
    {
        if (row.name.isEmpty())
            return QStringLiteral("nome vazio");
        if (QString control = controlProblem(record, NAME, QStringLiteral("o nome")); !control.isEmpty())
            return control;
        if (row.name.size() > MAX_NAME_LENGTH)
            return QStringLiteral("nome com mais de %1 caracteres").arg(MAX_NAME_LENGTH);
        if (row.category.isEmpty())
            return QStringLiteral("categoria vazia");
        return controlProblem(record, CATEGORY, QStringLiteral("a categoria"));
    }

    // The row as a product, or the reason it is refused.
    std::optional<ProductRow> read(const Record& record, QString& reason) const
    {
        if (record.fields.size() < *std::max_element(columns.begin(), columns.end()) + 1) {
            reason = QStringLiteral("a linha tem %1 colunas; o cabeçalho pede %2")
                         .arg(record.fields.size())
                         .arg(*std::max_element(columns.begin(), columns.end()) + 1);
            return std::nullopt;
        }
        ProductRow row;
        row.line = record.line;
        row.code = field(record, columns, CODE);
        row.name = field(record, columns, NAME);
        row.category = field(record, columns, CATEGORY);
        if (reason = codeProblem(row.code); !reason.isEmpty())
            return std::nullopt;
        if (reason = nameAndCategoryProblem(record, row); !reason.isEmpty())
            return std::nullopt;
        const auto quantity = number(record, QUANTITY, reason);
        const auto cost = quantity ? number(record, COST, reason) : std::nullopt;
        const auto price = cost ? number(record, PRICE, reason) : std::nullopt;
        if (!price)
            return std::nullopt;
        if (reason = criticalProblem(field(record, columns, CRITICAL), row.criticalStock); !reason.isEmpty())
            return std::nullopt;
        row.quantity = *quantity;
        row.costPrice = *cost;
        row.salePrice = *price;
        return row;
    }
};

// Rows whose name another product would also carry once the rows are written:
// a stored product that the file leaves alone, or an earlier row of the file.
// Refusing a row keeps that product's stored name, which may clash in turn, so
// the check runs until nothing changes.
void refuseNameClashes(QList<ProductRow>& rows, const QHash<QString, QList<StoredProduct>>& stored,
                       QList<RejectedLine>& rejected)
{
    for (bool changed = true; changed;) {
        changed = false;
        QSet<QString> codesInFile;
        for (const ProductRow& row : rows)
            codesInFile.insert(row.code);
        QHash<QString, QString> owner;   // name -> code
        for (const auto& [code, products] : stored.asKeyValueRange())
            if (!codesInFile.contains(code))
                for (const StoredProduct& product : products)
                    owner.insert(product.name, code);
        for (qsizetype i = 0; i < rows.size();) {
            const QString other = owner.value(rows[i].name);
            if (other.isEmpty()) {
                owner.insert(rows[i].name, rows[i].code);
                ++i;
                continue;
            }
            rejected.append({rows[i].line, QStringLiteral("o nome \"%1\" já é de outro produto (código %2)")
                                               .arg(rows[i].name, other)});
            rows.removeAt(i);
            changed = true;
        }
    }
}

QList<ProductRow> acceptedRows(const QList<Record>& records, const RowReader& reader,
                               const QHash<QString, QList<StoredProduct>>& stored, QList<RejectedLine>& rejected)
{
    QList<ProductRow> rows;
    QHash<QString, int> lineOfCode;
    for (const Record& record : records) {
        QString reason;
        const std::optional<ProductRow> row = reader.read(record, reason);
        if (!row) {
            rejected.append({record.line, reason});
        } else if (lineOfCode.contains(row->code)) {
            rejected.append({record.line, QStringLiteral("o código %1 já apareceu na linha %2")
                                              .arg(row->code)
                                              .arg(lineOfCode.value(row->code))});
        } else if (stored.value(row->code).size() > 1) {
            rejected.append({record.line, QStringLiteral("o código %1 é de mais de um produto do catálogo; corrija "
                                                         "na edição de produtos")
                                              .arg(row->code)});
        } else {
            lineOfCode.insert(row->code, record.line);
            rows.append(*row);
        }
    }
    refuseNameClashes(rows, stored, rejected);
    std::sort(rejected.begin(), rejected.end(),
              [](const RejectedLine& a, const RejectedLine& b) { return a.line < b.line; });
    return rows;
}

// The shortest text that reads back as the same double, with a decimal comma.
QString exactNumber(double value)
{
    return QString::number(value, 'f', QLocale::FloatingPointShortest).replace(u'.', u',');
}

QString csvField(const QString& text)
{
    static const QRegularExpression special(QStringLiteral("[;\"\\r\\n]|^\\s|\\s$"));
    if (!special.match(text).hasMatch())
        return text;
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

}   // namespace

CatalogueImport importCatalogue(const QString& folder, const QByteArray& contents, bool skipInvalid)
{
    const QString text = decodeText(contents);
    const QString firstLine = text.section(u'\n', 0, 0);
    const QChar separator = firstLine.count(u';') >= firstLine.count(u',') && firstLine.contains(u';') ? u';' : u',';
    QList<Record> records = RecordSplitter(text, separator).records();
    if (records.isEmpty())
        throw AppError(QStringLiteral("O arquivo está vazio."));
    const std::array<int, COLUMN_COUNT> columns = columnsOf(records.takeFirst().fields);
    const RowReader reader{columns, numberSettingsOf(records, columns)};

    // The rows are checked against the catalogue as it is inside the
    // transaction that writes them: nothing written meanwhile is missed.
    Connection connection(folder);
    return runInTransaction(connection, [&] {
        CatalogueImport result;
        const QHash<QString, QList<StoredProduct>> stored = productsByCode(connection);
        const QList<ProductRow> rows = acceptedRows(records, reader, stored, result.rejected);
        if (!result.rejected.isEmpty() && !skipInvalid)
            return result;
        const ProductsWritten written = writeProducts(connection, {rows.begin(), rows.end()}, stored);
        result.added = written.added;
        result.updated = written.updated;
        result.written = true;
        return result;
    });
}

bool exportCatalogue(const QString& folder, QIODevice& file)
{
    // Written a few hundred kilobytes at a time, as the products are read.
    constexpr qsizetype WRITE_SIZE = 1 << 19;
    struct WriteFailed {};
    QByteArray pending = "\xEF\xBB\xBF" + QStringList(HEADINGS.begin(), HEADINGS.end()).join(u';').toUtf8() + "\r\n";
    const auto write = [&] {
        if (file.write(pending) != pending.size())
            throw WriteFailed{};
        pending.clear();
    };
    Connection connection(folder);
    try {
        walkProductsInCodeOrder(connection, [&](const ProductValues& product) {
            pending += QStringList{csvField(product.code), csvField(controlCharactersAsSpaces(product.name)),
                                   exactNumber(product.quantity), exactNumber(product.costPrice),
                                   exactNumber(product.salePrice), QString::number(product.criticalStock),
                                   csvField(controlCharactersAsSpaces(product.category))}
                           .join(u';')
                           .toUtf8();
            pending += "\r\n";
            if (pending.size() >= WRITE_SIZE)
                write();
        });
        write();
    } catch (const WriteFailed&) {
        return false;
    }
    return true;
}

QByteArray exportCatalogue(const QString& folder)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    exportCatalogue(folder, buffer);
    return buffer.data();
}
