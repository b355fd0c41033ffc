#include "common/report_list.h"

#include "common/fonts.h"
#include "common/twips.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <limits>

namespace {

// Where a cell's text is cut when it is wider than its column.
constexpr int ELIDE_ROLE = Qt::UserRole;

bool breaksTheLine(QChar character)
{
    const QChar::Category category = character.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line
           || category == QChar::Separator_Paragraph;
}

// A name stored with a line break or a tab would squeeze two lines into one
// row; each such character shows as a space instead.
QString onOneLine(const QString& text)
{
    if (std::none_of(text.begin(), text.end(), breaksTheLine))
        return text;
    QString shown = text;
    for (QChar& character : shown)
        if (breaksTheLine(character))
            character = u' ';
    return shown;
}

int cellMargin(const QStyleOptionViewItem& option)
{
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, option.widget) + 1;
}

// The text of a cell as painted in the given width inside the cell's margins.
QString fittedText(const QStyleOptionViewItem& option, const QModelIndex& index, int textWidth)
{
    const auto mode = Qt::TextElideMode(index.data(ELIDE_ROLE).toInt());
    return option.fontMetrics.elidedText(index.data().toString(), mode, textWidth);
}

}   // namespace

// The rows of a report list: texts the window gave, or a source that makes
// a row's texts when asked for. A cell exists when its row exists and its
// column is one of the list's columns or a cell the row already holds.
class ReportListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override
    {
        if (parent.isValid())
            return 0;
        return source_ ? shown_ : static_cast<int>(rows_.size());
    }

    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(columns_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        switch (role) {
        case Qt::DisplayRole:
            return onOneLine(cell(index.row(), index.column()));
        case Qt::TextAlignmentRole:
            return alignmentOf(index.column());
        case ELIDE_ROLE:
            return int(index.column() < columns_.size() ? columns_[index.column()].elide : Qt::ElideRight);
        case Qt::ForegroundRole:
            return textColor_;
        case Qt::BackgroundRole:
            return backgroundColor_;
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size())
            return {};
        if (role == Qt::DisplayRole)
            return columns_[section].title;
        if (role == Qt::TextAlignmentRole)
            return alignmentOf(section);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    // The view scrolled to the last row read: the next step is read at once.
    bool canFetchMore(const QModelIndex& parent) const override { return !parent.isValid() && readsMore(); }
    void fetchMore(const QModelIndex& parent) override
    {
        if (!canFetchMore(parent))
            return;
        try {
            readStep();
        } catch (const std::exception& error) {
            failedOutsideAction(error);
        }
    }

    // A step read when the view asked for it, not by a window's action.
    std::function<void(const std::exception&)> failedOutsideAction;

    bool readsMore() const { return source_ && !failed_ && !source_->complete(); }

    // One step of the source, told to the views. A step that fails ends the
    // reading: the rows read stay, and the error passes to the caller.
    void readStep()
    {
        int added = 0;
        try {
            added = source_->readMore();
        } catch (...) {
            failed_ = true;
            throw;
        }
        if (added < 0) {
            beginResetModel();
            shown_ = source_->count();
            endResetModel();
        } else if (source_->count() > shown_) {
            beginInsertRows({}, shown_, source_->count() - 1);
            shown_ = source_->count();
            endInsertRows();
        }
    }

    const QList<ReportColumn>& columns() const { return columns_; }

    void setColumns(const QList<ReportColumn>& columns)
    {
        beginResetModel();
        columns_ = columns;
        endResetModel();
    }

    void setColors(const QColor& text, const QColor& background)
    {
        textColor_ = text;
        backgroundColor_ = background;
        if (rowCount() > 0 && !columns_.isEmpty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                             {Qt::ForegroundRole, Qt::BackgroundRole});
    }

    void replaceRow(int row, const QStringList& cells)
    {
        if (!hasRow(row))
            return;
        textRows()[row] = cells;
        if (!columns_.isEmpty())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::DisplayRole});
    }

    void setRows(QList<QStringList> rows)
    {
        beginResetModel();
        source_.reset();
        shown_ = 0;
        rows_ = std::move(rows);
        endResetModel();
    }

    // Whether the source shown, its rows changed in place and their count
    // kept, can be shown afresh by repainting the rows in view alone (the
    // view asks the model for every text it paints): a reset, or a change
    // told for every row, costs the view a pass over every row of a long list.
    bool repaintsInPlace(const std::shared_ptr<ReportRows>& source) const
    {
        return source && source == source_ && source->count() == shown_ && !failed_;
    }

    void setSource(std::shared_ptr<ReportRows> source)
    {
        beginResetModel();
        source_ = std::move(source);
        shown_ = source_ ? source_->count() : 0;
        failed_ = false;
        rows_.clear();
        endResetModel();
    }

    int appendRow(const QStringList& cells)
    {
        textRows();
        const int row = rowCount();
        beginInsertRows({}, row, row);
        rows_.append(cells);
        endInsertRows();
        return row;
    }

    void removeRowAt(int row)
    {
        if (!hasRow(row))
            return;
        textRows();
        beginRemoveRows({}, row, row);
        rows_.removeAt(row);
        endRemoveRows();
    }

    bool hasRow(int row) const { return row >= 0 && row < rowCount(); }
    QStringList rowAt(int row) const
    {
        if (!hasRow(row))
            return {};
        return source_ ? source_->texts(row) : rows_[row];
    }
    QString cell(int row, int column) const { return rowAt(row).value(column); }

    void setCell(int row, int column, const QString& text)
    {
        if (!hasRow(row) || column < 0)
            return;
        QStringList& cells = textRows()[row];
        if (column >= qMax(cells.size(), columns_.size()))
            return;
        while (cells.size() <= column)
            cells.append(QString());
        cells[column] = text;
        if (column < columnCount())
            emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
    }

private:
    QVariant alignmentOf(int column) const
    {
        const Qt::Alignment horizontal =
            column >= 0 && column < columns_.size() ? columns_[column].alignment : Qt::AlignLeft;
        return QVariant::fromValue(horizontal | Qt::AlignVCenter);
    }

    // A window changing single rows of a list shown from a source: the
    // source's rows become texts first (lists so changed are short).
    QList<QStringList>& textRows()
    {
        if (source_) {
            QList<QStringList> rows;
            rows.reserve(shown_);
            for (int row = 0; row < shown_; ++row)
                rows.append(source_->texts(row));
            source_.reset();
            shown_ = 0;
            rows_ = std::move(rows);
        }
        return rows_;
    }

    QList<ReportColumn> columns_;
    QList<QStringList> rows_;
    std::shared_ptr<ReportRows> source_;
    int shown_ = 0;   // the source's rows the views know of
    bool failed_ = false;
    QColor textColor_ = LIST_TEXT_COLOR;
    QColor backgroundColor_ = LIST_BACKGROUND_COLOR;
};

// The style would clip a title wider than its column (a right-aligned one on
// its left, "ntidade"); this header ends such a title in "…" instead.
class ReportHeader : public QHeaderView {
public:
    explicit ReportHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
    {
        setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setTextElideMode(Qt::ElideRight);
        setStretchLastSection(false);
        setSectionsMovable(false);
    }

    QString shownTitle(int section) const
    {
        QStyleOptionHeader option;
        initStyleOption(&option);
        initStyleOptionForIndex(&option, section);
        return option.text;
    }

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int section) const override
    {
        QHeaderView::initStyleOptionForIndex(option, section);
        QStyleOptionHeader inSection = *option;
        inSection.rect = QRect(0, 0, sectionSize(section), height());
        const int width = style()->subElementRect(QStyle::SE_HeaderLabel, &inSection, this).width();
        option->text = option->fontMetrics.elidedText(option->text, Qt::ElideRight, width);
    }
};

// Paints a cell as its background and one line of text, elided to the cell.
// The style's own item painting lays every text out for wrapping and icons
// and takes about half as long again, which a list repainted at every scan feels.
class ReportCellPainter : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? option.palette.highlight()
                                                : QBrush(index.data(Qt::BackgroundRole).value<QColor>()));
        painter->setPen(selected ? option.palette.highlightedText().color()
                                 : index.data(Qt::ForegroundRole).value<QColor>());
        painter->setFont(option.font);
        const int margin = cellMargin(option);
        const QRect textRect = option.rect.adjusted(margin, 0, -margin, 0);
        painter->drawText(textRect, index.data(Qt::TextAlignmentRole).toInt(), fittedText(option, index, textRect.width()));
    }
};

ReportList::ReportList(QWidget* parent)
    : QTreeView(parent), model_(new ReportListModel(this)), stepsInBackground_(new QTimer(this)),
      focusPolicyTaking_(focusPolicy())
{
    model_->failedOutsideAction = [this](const std::exception& error) { reportFailedStep(error); };
    stepsInBackground_->setInterval(0);
    connect(stepsInBackground_, &QTimer::timeout, this, &ReportList::readStepInBackground);
    setHeader(new ReportHeader(this));
    setItemDelegate(new ReportCellPainter(this));
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    setColors(textColor_, backgroundColor_);
}

ReportList::~ReportList() = default;

void ReportList::setColumns(const QList<ReportColumn>& columns)
{
    model_->setColumns(columns);
    for (int column = 0; column < columns.size(); ++column) {
        const int width = twipsToPixels(columns[column].widthTwips);
        setColumnHidden(column, width <= 0);
        if (width > 0)
            setColumnWidth(column, width);
    }
}

QString ReportList::shownTitle(int column) const
{
    if (column < 0 || column >= columnCount())
        return {};
    return static_cast<const ReportHeader*>(header())->shownTitle(column);
}

int ReportList::columnCount() const
{
    return model_->columnCount();
}

QString ReportList::columnTitle(int column) const
{
    return model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

void ReportList::setFontSize(int points)
{
    setFont(boldFont(points));
}

void ReportList::setTitleFontSize(int points)
{
    header()->setFont(boldFont(points));
}

void ReportList::setColors(const QColor& text, const QColor& background)
{
    textColor_ = text;
    backgroundColor_ = background;
    model_->setColors(text, background);
    applyPalette();
}

QColor ReportList::textColor() const
{
    return textColor_;
}

QColor ReportList::backgroundColor() const
{
    return backgroundColor_;
}

// The rows carry the colours in the model; the palette paints the empty part
// of the list below the last row.
void ReportList::applyPalette()
{
    QPalette colors = palette();
    colors.setColor(QPalette::Base, backgroundColor_);
    colors.setColor(QPalette::Text, textColor_);
    setPalette(colors);
}

int ReportList::rowCount() const
{
    readUpTo(std::numeric_limits<int>::max());
    return model_->rowCount();
}

bool ReportList::isEmpty() const
{
    readUpTo(0);
    return model_->rowCount() == 0;
}

// The emptied list is laid out at once, its scroll bar hidden with it, rather
// than at its next paint: left to the paint, the hidden scroll bar widens the
// rows' area and has it painted a second time (the sale window cleared after
// a payment).
void ReportList::clear()
{
    setRows({});
    executeDelayedItemsLayout();
    QEvent layout(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(this, &layout);
}

void ReportList::readUpTo(int row) const
{
    while (row >= model_->rowCount() && model_->readsMore())
        model_->readStep();
}

// While the list is idle, a step at a time, until the source has no more.
void ReportList::readStepInBackground()
{
    try {
        if (model_->readsMore())
            model_->readStep();
    } catch (const std::exception& error) {
        reportFailedStep(error);
    }
    if (!model_->readsMore())
        stepsInBackground_->stop();
}

// A failed step ends the reading, so this is told once per listing; after
// the event that read it, so that no message shows in the middle of a
// scroll or a paint.
void ReportList::reportFailedStep(const std::exception& error)
{
    const QString message = QStringLiteral("O restante da lista não pôde ser lido: %1\nFaça a busca de novo para "
                                           "ver a lista completa.")
                                .arg(QString::fromUtf8(error.what()));
    QMetaObject::invokeMethod(this, [this, message] { emit stepFailed(message); }, Qt::QueuedConnection);
}

int ReportList::addRow(const QStringList& cells)
{
    return model_->appendRow(cells);
}

int ReportList::addNumberedRow(const QStringList& cellsAfterNumber)
{
    QStringList cells;
    cells.reserve(cellsAfterNumber.size() + 1);
    cells.append(QString::number(model_->rowCount() + 1));
    cells.append(cellsAfterNumber);
    return model_->appendRow(cells);
}

void ReportList::setRow(int row, const QStringList& cells)
{
    model_->replaceRow(row, cells);
}

void ReportList::setRows(QList<QStringList> rows)
{
    stepsInBackground_->stop();
    model_->setRows(std::move(rows));
}

void ReportList::setSource(std::shared_ptr<ReportRows> rows)
{
    if (model_->repaintsInPlace(rows)) {
        selectionModel()->clear();
        scrollToTop();
        viewport()->update();
        return;
    }
    model_->setSource(std::move(rows));
    if (model_->readsMore())
        stepsInBackground_->start();
    else
        stepsInBackground_->stop();
}

void ReportList::removeRow(int row)
{
    model_->removeRowAt(row);
}

QString ReportList::text(int row, int column) const
{
    readUpTo(row);
    return model_->cell(row, column);
}

void ReportList::setText(int row, int column, const QString& text)
{
    model_->setCell(row, column, text);
}

QString ReportList::shownText(int row, int column) const
{
    readUpTo(row);
    if (!model_->hasRow(row) || column < 0 || column >= columnCount())
        return {};
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return fittedText(option, model_->index(row, column), columnWidth(column) - 2 * cellMargin(option));
}

QStringList ReportList::row(int row) const
{
    readUpTo(row);
    return model_->rowAt(row);
}

int ReportList::selectedRow() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ReportList::selectRow(int row)
{
    readUpTo(row);
    if (!model_->hasRow(row)) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex first = model_->index(row, 0);
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(first);
}

void ReportList::showRow(int row)
{
    readUpTo(row);
    if (model_->hasRow(row))
        scrollTo(model_->index(row, firstShownColumn()), QAbstractItemView::EnsureVisible);
}

// Scrolling to a hidden column would move the list sideways.
int ReportList::firstShownColumn() const
{
    for (int visual = 0; visual < header()->count(); ++visual) {
        const int column = header()->logicalIndex(visual);
        if (!header()->isSectionHidden(column))
            return column;
    }
    return 0;
}

void ReportList::setTakesFocus(bool takesFocus)
{
    setFocusPolicy(takesFocus ? focusPolicyTaking_ : Qt::NoFocus);
}

bool ReportList::takesFocus() const
{
    return focusPolicy() != Qt::NoFocus;
}
