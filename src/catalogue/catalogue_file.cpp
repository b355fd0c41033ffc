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
#include <deque>
#include <array>
#include <cmath>
#include <numeric>
#include <optional>
#include <utility>

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

// The file is read this much at a time, in each of its passes.
constexpr qint64 CHUNK_SIZE = 1 << 20;
const QByteArray BYTE_ORDER_MARK = QByteArrayLiteral("\xEF\xBB\xBF");

// What the first pass over the file finds: whether it is UTF-8 (otherwise it
// is read as Latin-1) and its first line, which names the separator.
struct FileForm {
    bool utf8 = true;
    QByteArray firstLine;

    QChar separator() const
    {
        return firstLine.count(';') >= firstLine.count(',') && firstLine.contains(';') ? u';' : u',';
    }
};

// Calls take with each chunk of the file from its start, the byte order mark left out.
void readChunks(QIODevice& file, const std::function<void(const QByteArray& chunk)>& take)
{
    if (!file.seek(0))
        throw AppError(QStringLiteral("O arquivo não pode ser lido do início: %1").arg(file.errorString()));
    for (bool first = true;; first = false) {
        QByteArray chunk = file.read(CHUNK_SIZE);
        if (first && chunk.startsWith(BYTE_ORDER_MARK))
            chunk.remove(0, BYTE_ORDER_MARK.size());
        if (chunk.isEmpty() && file.atEnd())
            return;
        if (chunk.isEmpty() && !first)
            throw AppError(QStringLiteral("O arquivo não pôde ser lido até o fim: %1").arg(file.errorString()));
        take(chunk);
    }
}

FileForm fileFormOf(QIODevice& file)
{
    FileForm form;
    QStringDecoder utf8(QStringDecoder::Utf8);
    bool lineEnded = false;
    readChunks(file, [&](const QByteArray& chunk) {
        const QString decoded = utf8(chunk);   // decoded only when made a text
        if (!lineEnded) {
            const qsizetype end = chunk.indexOf('\n');
            form.firstLine += end < 0 ? chunk : chunk.left(end);
            lineEnded = end >= 0;
        }
    });
    const QString end = utf8(QByteArrayLiteral("\n"));   // a sequence cut short at the end is an error too
    form.utf8 = !utf8.hasError();
    return form;
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
// stand for one; a quote anywhere else is a character of the field. The text
// comes in pieces; each record is handed on as soon as it ends.
class RecordSplitter {
public:
    using Take = std::function<void(const Record&)>;
    RecordSplitter(QChar separator, Take take) : separator_(separator), take_(std::move(take)) {}

    // The last character of a piece waits for the next one, which tells
    // whether it ends a line or a quote alone.
    void feed(const QString& piece, bool last)
    {
        text_ = pending_ + piece;
        const qsizetype limit = last ? text_.size() : text_.size() - 1;
        qsizetype i = 0;
        for (; i < limit; ++i) {
            if (quoted_)
                i = readQuoted(i);
            else
                readPlain(i);
        }
        pending_ = text_.mid(i);
        if (last)
            endRecord();
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
            take_(current_);
        }
        field_.clear();
        fieldWasQuoted_ = false;
        anyText_ = false;
    }

    const QChar separator_;
    const Take take_;
    QString text_;
    QString pending_;
    int line_ = 1;
    Record current_{1, {}};
    QString field_;
    bool quoted_ = false;
    bool fieldWasQuoted_ = false;
    bool anyText_ = false;
};

// One pass over the file's records, from the first (the heading).
void forEachRecord(QIODevice& file, const FileForm& form, const RecordSplitter::Take& take)
{
    QStringDecoder decoder(form.utf8 ? QStringDecoder::Utf8 : QStringDecoder::Latin1);
    RecordSplitter splitter(form.separator(), take);
    readChunks(file, [&](const QByteArray& chunk) { splitter.feed(decoder(chunk), false); });
    splitter.feed(QString(), true);
}

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

// The heading's columns, and the number settings of the file: a comma in
// any number makes it the decimal separator (and the point a thousands
// group); otherwise the point is. Read in one pass, which ends at the first comma.
struct FileColumns {
    std::array<int, COLUMN_COUNT> columns;
    NumberSettings numbers;
};

FileColumns fileColumnsOf(QIODevice& file, const FileForm& form)
{
    struct CommaFound {};
    std::optional<std::array<int, COLUMN_COUNT>> columns;
    try {
        forEachRecord(file, form, [&](const Record& record) {
            if (!columns) {
                columns = columnsOf(record.fields);
                return;
            }
            for (Column c : {QUANTITY, COST, PRICE})
                if (field(record, *columns, c).contains(u','))
                    throw CommaFound{};
        });
    } catch (const CommaFound&) {
        return {*columns, {u',', u'.'}};
    }
    if (!columns)
        throw AppError(QStringLiteral("O arquivo está vazio."));
    return {*columns, {u'.', u','}};
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

// UTF-8 texts kept for the checks that need every row at once, in blocks
// that are never moved (a buffer grown by copying would need twice its size).
class TextPool {
public:
    struct Text {
        quint32 at = 0;
        quint32 size = 0;
    };
    Text add(QByteArrayView bytes)
    {
        if (blocks_.empty() || blocks_.back().size() + bytes.size() > BLOCK_SIZE) {
            if (bytes.size() > BLOCK_SIZE)
                throw AppError(QStringLiteral("O arquivo tem um campo longo demais."));
            blocks_.emplace_back();
            blocks_.back().reserve(BLOCK_SIZE);
        }
        const Text text{quint32((blocks_.size() - 1) * BLOCK_SIZE + blocks_.back().size()), quint32(bytes.size())};
        blocks_.back().append(bytes);
        return text;
    }
    QByteArrayView view(Text text) const
    {
        return QByteArrayView(blocks_[text.at / BLOCK_SIZE]).sliced(text.at % BLOCK_SIZE, text.size);
    }

private:
    static constexpr qsizetype BLOCK_SIZE = 1 << 22;
    std::deque<QByteArray> blocks_;
};

// A row of the file whose fields are sound, as the checks against the other
// rows and the catalogue see it.
struct RowKey {
    int line = 0;
    TextPool::Text code;
    TextPool::Text name;
    enum State : char { ACCEPTED, REFUSED } state = ACCEPTED;
};

struct StoredKey {
    qint64 rowId = 0;
    TextPool::Text code;
    TextPool::Text name;
};

// The checks of the file's sound rows against each other and against the
// catalogue: a code once in the file and on at most one product, and names
// that stay unique once every row is written.
class ImportChecks {
public:
    // A row's code and name share the texts of its stored product where they
    // are the same, as when a catalogue is imported again.
    void addRow(int line, const QString& code, const QString& name)
    {
        const QByteArray codeBytes = code.toUtf8();
        const QByteArray nameBytes = name.toUtf8();
        const auto [from, to] = storedWith(storedByCode_, &StoredKey::code, codeBytes);
        if (from == to) {
            rows_.push_back({line, pool_.add(codeBytes), pool_.add(nameBytes)});
            ++newCodes_;
            return;
        }
        const StoredKey& stored = stored_[size_t(*from)];
        rows_.push_back({line, stored.code,
                         pool_.view(stored.name) == nameBytes ? stored.name : pool_.add(nameBytes)});
    }

    // Rows of the file whose code no product has (some may be refused).
    size_t newCodes() const { return newCodes_; }

    // Reads the catalogue, before the file's rows are added.
    void readCatalogue(Connection& connection)
    {
        newCodes_ = 0;
        pool_ = TextPool();
        rows_.clear();
        stored_.clear();
        walkProductCodes(connection, [this](qint64 rowId, QByteArrayView code, QByteArrayView name) {
            stored_.push_back({rowId, pool_.add(asText(code)), pool_.add(asText(name))});
        });
        storedByCode_ = sortedBy(stored_, &StoredKey::code);
        storedByName_ = sortedBy(stored_, &StoredKey::name);
    }

    // The rows refused, in no order; the others are ready to write.
    QList<RejectedLine> refused()
    {
        for (RowKey& row : rows_)
            row.state = RowKey::ACCEPTED;
        QList<RejectedLine> rejected;
        checkCodes(rejected);
        while (refuseNameClashes(rejected)) {
        }
        return rejected;
    }

    const std::deque<RowKey>& rows() const { return rows_; }

    // What an accepted row writes: the one stored product of its code, or a new one.
    ProductWrite writeOf(const RowKey& row, const ProductValues& values) const
    {
        const auto [from, to] = storedWith(storedByCode_, &StoredKey::code, pool_.view(row.code));
        if (from == to)
            return {values};
        const StoredKey& stored = stored_[size_t(*from)];
        return {values, stored.rowId, pool_.view(stored.name) != pool_.view(row.name)};
    }

private:
    // A stored text as the program reads it: bytes that are no UTF-8 read as the replacement character.
    static QByteArray asText(QByteArrayView bytes)
    {
        const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
        return ascii ? bytes.toByteArray() : QString::fromUtf8(bytes).toUtf8();
    }

    template <typename Keys, typename Key>
    std::vector<int> sortedBy(const Keys& keys, TextPool::Text Key::*text) const
    {
        std::vector<int> order(keys.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return pool_.view(keys[size_t(a)].*text) < pool_.view(keys[size_t(b)].*text);
        });
        return order;
    }

    // The stored products carrying a text, in row id order.
    std::pair<std::vector<int>::const_iterator, std::vector<int>::const_iterator>
    storedWith(const std::vector<int>& order, TextPool::Text StoredKey::*field, QByteArrayView text) const
    {
        return std::equal_range(order.cbegin(), order.cend(), text, Less{*this, field});
    }
    struct Less {
        const ImportChecks& checks;
        TextPool::Text StoredKey::*field;
        QByteArrayView of(int index) const { return checks.pool_.view(checks.stored_[size_t(index)].*field); }
        bool operator()(int a, QByteArrayView b) const { return of(a) < b; }
        bool operator()(QByteArrayView a, int b) const { return a < of(b); }
    };

    // A code's first sound row is taken and a later one refused; every row of
    // a code stored on more than one product is refused.
    void checkCodes(QList<RejectedLine>& rejected)
    {
        const std::vector<int> byCode = sortedBy(rows_, &RowKey::code);
        for (size_t i = 0; i < byCode.size();) {
            RowKey& first = rows_[size_t(byCode[i])];
            const QByteArrayView code = pool_.view(first.code);
            const auto [from, to] = storedWith(storedByCode_, &StoredKey::code, code);
            size_t end = i;
            for (; end < byCode.size() && pool_.view(rows_[size_t(byCode[end])].code) == code; ++end) {
                RowKey& row = rows_[size_t(byCode[end])];
                if (to - from > 1)
                    refuse(row, rejected, QStringLiteral("o código %1 é de mais de um produto do catálogo; corrija na "
                                                         "edição de produtos")
                                              .arg(QString::fromUtf8(code)));
                else if (end > i)
                    refuse(row, rejected, QStringLiteral("o código %1 já apareceu na linha %2")
                                              .arg(QString::fromUtf8(code))
                                              .arg(first.line));
            }
            i = end;
        }
    }

    // A row whose name another product would also carry once the rows are
    // written: a stored product that the file leaves alone, or an earlier row
    // of the file. Refusing a row keeps that product's stored name, which may
    // clash in turn: true when a row was refused, to check again.
    bool refuseNameClashes(QList<RejectedLine>& rejected)
    {
        std::vector<int> taken;
        for (int i = 0; i < int(rows_.size()); ++i)
            if (rows_[size_t(i)].state == RowKey::ACCEPTED)
                taken.push_back(i);
        std::vector<int> codesInFile = taken;
        std::sort(codesInFile.begin(), codesInFile.end(),
                  [this](int a, int b) { return pool_.view(rows_[size_t(a)].code) < pool_.view(rows_[size_t(b)].code); });
        std::stable_sort(taken.begin(), taken.end(), [this](int a, int b) {
            return pool_.view(rows_[size_t(a)].name) < pool_.view(rows_[size_t(b)].name);
        });
        bool changed = false;
        for (size_t i = 0; i < taken.size();) {
            const QByteArrayView name = pool_.view(rows_[size_t(taken[i])].name);
            QString owner = storedOwnerOf(name, codesInFile);
            for (size_t j = i; j < taken.size() && pool_.view(rows_[size_t(taken[j])].name) == name; ++j, ++i) {
                RowKey& row = rows_[size_t(taken[j])];
                if (owner.isEmpty()) {
                    owner = QString::fromUtf8(pool_.view(row.code));
                    continue;
                }
                refuse(row, rejected, QStringLiteral("o nome \"%1\" já é de outro produto (código %2)")
                                          .arg(QString::fromUtf8(name), owner));
                changed = true;
            }
        }
        return changed;
    }

    // The code of a stored product with the name whose code is not in the file.
    QString storedOwnerOf(QByteArrayView name, const std::vector<int>& codesInFile) const
    {
        const auto [from, to] = storedWith(storedByName_, &StoredKey::name, name);
        const auto codeOf = [this](int row) { return pool_.view(rows_[size_t(row)].code); };
        for (auto it = to; it != from;) {
            const QByteArrayView code = pool_.view(stored_[size_t(*--it)].code);
            const auto found = std::lower_bound(codesInFile.begin(), codesInFile.end(), code,
                                                [&](int row, QByteArrayView c) { return codeOf(row) < c; });
            if (found == codesInFile.end() || codeOf(*found) != code)
                return QString::fromUtf8(code);
        }
        return {};
    }

    static void refuse(RowKey& row, QList<RejectedLine>& rejected, const QString& reason)
    {
        row.state = RowKey::REFUSED;
        rejected.append({row.line, reason});
    }

    TextPool pool_;
    std::deque<RowKey> rows_;
    std::deque<StoredKey> stored_;
    std::vector<int> storedByCode_;
    std::vector<int> storedByName_;
    size_t newCodes_ = 0;
};

// Adding this many products grows the names' index at random places: the
// engine then keeps more pages while they are written. Updating leaves the
// index alone and does not need them.
constexpr size_t LARGE_ADDITION = 50000;

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

namespace {

// The sound rows of the file, and the reasons the others are refused, in one pass.
QList<RejectedLine> readRows(QIODevice& file, const FileForm& form, const RowReader& reader, ImportChecks& checks)
{
    QList<RejectedLine> rejected;
    bool heading = true;
    forEachRecord(file, form, [&](const Record& record) {
        if (std::exchange(heading, false))
            return;
        QString reason;
        if (const std::optional<ProductRow> row = reader.read(record, reason))
            checks.addRow(record.line, row->code, row->name);
        else
            rejected.append({record.line, reason});
    });
    return rejected;
}

// The accepted rows read again from the file and written, a batch at a time.
void writeRows(Connection& connection, QIODevice& file, const FileForm& form, const RowReader& reader,
               const ImportChecks& checks, CatalogueImport& written)
{
    constexpr qsizetype BATCH = 1000;
    QList<ProductWrite> batch;
    batch.reserve(BATCH);
    auto next = checks.rows().cbegin();
    forEachRecord(file, form, [&](const Record& record) {
        if (next == checks.rows().cend() || next->line != record.line)
            return;
        const RowKey& key = *next++;
        QString reason;
        const std::optional<ProductRow> row = key.state == RowKey::ACCEPTED ? reader.read(record, reason) : std::nullopt;
        if (!row)
            return;
        batch.append(checks.writeOf(key, *row));
        ++(batch.back().rowId ? written.updated : written.added);
        if (batch.size() == BATCH) {
            writeProducts(connection, batch);
            batch.clear();
        }
    });
    writeProducts(connection, batch);
}

}   // namespace

CatalogueImport importCatalogue(const QString& folder, QIODevice& file, bool skipInvalid)
{
    const FileForm form = fileFormOf(file);
    const FileColumns columns = fileColumnsOf(file, form);
    const RowReader reader{columns.columns, columns.numbers};
    ImportChecks checks;

    // The rows are checked against the catalogue as it is inside the
    // transaction that writes them: nothing written meanwhile is missed.
    Connection connection(folder);
    return runInTransaction(connection, [&] {
        CatalogueImport result;
        checks.readCatalogue(connection);
        result.rejected = readRows(file, form, reader, checks);
        result.rejected += checks.refused();
        std::sort(result.rejected.begin(), result.rejected.end(),
                  [](const RejectedLine& a, const RejectedLine& b) { return a.line < b.line; });
        if (!result.rejected.isEmpty() && !skipInvalid)
            return result;
        const PagesHeld pages(connection,
                              checks.newCodes() >= LARGE_ADDITION ? PageHold::ForLargeWrite : PageHold::Usual);
        writeRows(connection, file, form, reader, checks, result);
        result.written = true;
        return result;
    });
}

CatalogueImport importCatalogue(const QString& folder, const QByteArray& contents, bool skipInvalid)
{
    QBuffer buffer;
    buffer.setData(contents);
    buffer.open(QIODevice::ReadOnly);
    return importCatalogue(folder, buffer, skipInvalid);
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
