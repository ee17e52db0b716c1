#include "app/binding/cursor_grid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

#include "app/binding/value_format.h"

namespace spinalyst::binding {

namespace {

// Room beside a cell's text (the cell's margins and a little air).
constexpr int kCellPadding = 12;
// How many rows a column sized to its content is measured by.
constexpr int kMeasuredRows = 500;

// In-place editor that accepts only an integer in integer columns, only "x" or nothing in mark
// columns, and no more characters than a text field holds (the store would cut the rest). It
// remembers the editor it opened last, so that the grid can close it when editing ends.
class FieldDelegate : public QStyledItemDelegate {
  public:
    FieldDelegate(CursorTableModel* model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        auto* line = qobject_cast<QLineEdit*>(editor);
        const auto& column = model_->column(index.column());
        const std::string& field = column.fieldFor(model_->language());
        const auto type = fieldType(model_->cursor(), field);
        if (line != nullptr && column.markOnly) {
            line->setMaxLength(1);
            line->setValidator(
                new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[xX]?")), line));
        } else if (line != nullptr && type == store::FieldType::Integer) {
            line->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[+-]?[0-9]{0,9}")), line));
        } else if (const int size = textFieldSize(model_->cursor(), field);
                   line != nullptr && size > 0) {
            line->setMaxLength(size);
        }
        editor_ = editor;
        return editor;
    }

    QWidget* openEditor() const { return editor_; }

  private:
    CursorTableModel* model_;
    mutable QPointer<QWidget> editor_;
};

}  // namespace

CursorGrid::CursorGrid(CursorTableModel* model, QWidget* parent)
    : QTableView(parent), model_(model) {
    setModel(model_);
    setItemDelegate(new FieldDelegate(model_, this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setMinimumSectionSize(fontMetrics().horizontalAdvance(QLatin1Char('0')) +
                                              8);

    connect(model_, &CursorTableModel::currentRowMoved, this, &CursorGrid::syncFromCursor);
    connect(model_, &QAbstractItemModel::modelReset, this,
            [this] { syncFromCursor(model_->currentRow()); });
    connect(model_, &QAbstractItemModel::headerDataChanged, this, &CursorGrid::updateColumnWidths);
    connect(model_, &QAbstractItemModel::modelReset, this, &CursorGrid::fitColumnsToContent);
    connect(model_, &QAbstractItemModel::dataChanged, this, &CursorGrid::fitColumnsToContent);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        // Stretched columns follow the grid's width; only a dragged edge counts.
        if (!sizing_ && horizontalHeader()->sectionResizeMode(column) == QHeaderView::Interactive) {
            userWidths_.insert(column);
        }
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { syncToCursor(current); });
    updateColumnWidths();
    syncFromCursor(model_->currentRow());
}

void CursorGrid::setEditing(bool editing) {
    if (!editing && state() == QAbstractItemView::EditingState) {
        // What was typed so far is kept, as leaving the cell would keep it.
        const auto* delegate = dynamic_cast<const FieldDelegate*>(itemDelegate());
        if (QWidget* editor = delegate != nullptr ? delegate->openEditor() : nullptr) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
    editing_ = editing;
    setEditTriggers(editing ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::AnyKeyPressed
                            : QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(editing ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
    // The selection shows the new way at once: the current cell, or its whole row.
    if (const QModelIndex current = currentIndex(); current.isValid()) {
        selectionModel()->select(
            current, editing ? QItemSelectionModel::ClearAndSelect
                             : QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
}

int CursorGrid::heightForRows(int rows) const {
    return horizontalHeader()->sizeHint().height() + rows * verticalHeader()->defaultSectionSize() +
           2 * frameWidth();
}

QSize CursorGrid::sizeHint() const {
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < model_->columnCount(); ++c) {
        width += columnWidth(c);
    }
    return {width, heightForRows(8)};
}

void CursorGrid::syncFromCursor(int row) {
    if (syncing_) {
        return;
    }
    syncing_ = true;
    const QModelIndex current = currentIndex();
    if (row < 0) {
        selectionModel()->clear();
    } else if (!current.isValid() || current.row() != row) {
        const int column = current.isValid() ? current.column() : 0;
        const QModelIndex target = model_->index(row, column);
        // A grid that is only read (NoSelection) follows the cursor without highlighting it.
        const QItemSelectionModel::SelectionFlags auswahl =
            selectionMode() == QAbstractItemView::NoSelection ? QItemSelectionModel::Clear
            : editing_                                        ? QItemSelectionModel::ClearAndSelect
                       : QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
        selectionModel()->setCurrentIndex(target, auswahl);
        scrollTo(target);
    }
    syncing_ = false;
}

void CursorGrid::syncToCursor(const QModelIndex& current) {
    if (syncing_ || !current.isValid()) {
        return;
    }
    syncing_ = true;
    model_->moveToRow(current.row());
    syncing_ = false;
    // When the store refused the move, show the row the cursor stays on.
    if (model_->currentRow() != current.row()) {
        syncFromCursor(model_->currentRow());
    }
}

void CursorGrid::setWidth(int column, int width) {
    if (userWidths_.contains(column) || columnWidth(column) == width) {
        return;
    }
    sizing_ = true;
    setColumnWidth(column, width);
    sizing_ = false;
}

int CursorGrid::preferredWidth(int c) const {
    const Column& column = model_->column(c);
    const QFontMetrics body = fontMetrics();
    const int padding = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) + 8;
    const int byHeading =
        horizontalHeader()->fontMetrics().horizontalAdvance(column.headingFor(model_->language())) +
        padding;
    // Digits are the widest common characters of most fonts; sizing by them keeps numbers
    // and days uncut and leaves texts a little room.
    const int byChars =
        column.widthChars > 0
            ? body.horizontalAdvance(QString(column.widthChars, QLatin1Char('0'))) + kCellPadding
            : 0;
    const int bySample = column.widthSample.isEmpty()
                             ? 0
                             : body.horizontalAdvance(column.widthSample) + kCellPadding;
    return std::max({byHeading, byChars, bySample});
}

void CursorGrid::updateColumnWidths() {
    for (int c = 0; c < model_->columnCount(); ++c) {
        setWidth(c, preferredWidth(c));
        if (model_->column(c).stretch) {
            horizontalHeader()->setSectionResizeMode(c, QHeaderView::Stretch);
        }
    }
    fitColumnsToContent();
}

void CursorGrid::fitColumnsToContent() {
    const QFontMetrics body = fontMetrics();
    // The lists sized to their content are short; a long one is measured by its first rows.
    const int rows = std::min(model_->rowCount(), kMeasuredRows);
    for (int c = 0; c < model_->columnCount(); ++c) {
        if (!model_->column(c).fitContent || userWidths_.contains(c)) {
            continue;
        }
        int widest = 0;
        for (int r = 0; r < rows; ++r) {
            widest =
                std::max(widest, body.horizontalAdvance(model_->index(r, c).data().toString()));
        }
        setWidth(c, std::max(preferredWidth(c), widest + kCellPadding));
    }
}

}  // namespace spinalyst::binding
