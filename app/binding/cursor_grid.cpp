#include "app/binding/cursor_grid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

#include "app/binding/value_format.h"

namespace spinalyst::binding {

namespace {

// In-place editor that accepts only an integer in integer columns.
class FieldDelegate : public QStyledItemDelegate {
  public:
    FieldDelegate(CursorTableModel* model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        auto* line = qobject_cast<QLineEdit*>(editor);
        const auto& column = model_->column(index.column());
        const auto type = fieldType(model_->cursor(), column.fieldFor(model_->language()));
        if (line != nullptr && type == store::FieldType::Integer) {
            line->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[+-]?[0-9]{0,9}")), line));
        }
        return editor;
    }

  private:
    CursorTableModel* model_;
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
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { syncToCursor(current); });
    updateColumnWidths();
    syncFromCursor(model_->currentRow());
}

void CursorGrid::setEditing(bool editing) {
    editing_ = editing;
    setEditTriggers(editing ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::AnyKeyPressed
                            : QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(editing ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
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
        selectionModel()->setCurrentIndex(
            target, editing_ ? QItemSelectionModel::ClearAndSelect
                             : QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
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

void CursorGrid::updateColumnWidths() {
    const QFontMetrics body = fontMetrics();
    const QFontMetrics head = horizontalHeader()->fontMetrics();
    const int padding = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) + 8;
    for (int c = 0; c < model_->columnCount(); ++c) {
        const Column& column = model_->column(c);
        const int byHeading =
            head.horizontalAdvance(column.headingFor(model_->language())) + padding;
        // Digits are the widest common characters of most fonts; sizing by them keeps numbers
        // and days uncut and leaves texts a little room.
        const int byContent =
            column.widthChars > 0
                ? body.horizontalAdvance(QString(column.widthChars, QLatin1Char('0'))) + 12
                : 0;
        setColumnWidth(c, std::max(byHeading, byContent));
        if (column.stretch) {
            horizontalHeader()->setSectionResizeMode(c, QHeaderView::Stretch);
        }
    }
}

}  // namespace spinalyst::binding
