#include "app/binding/cursor_table_model.h"

#include <QBrush>
#include <QScopedValueRollback>
#include <algorithm>

#include "app/binding/value_format.h"

namespace spinalyst::binding {

CursorTableModel::CursorTableModel(store::Cursor& cursor, std::vector<Column> columns,
                                   BindingContext* context, QObject* parent)
    : QAbstractTableModel(parent),
      cursor_(&cursor),
      columns_(std::move(columns)),
      context_(context) {
    if (context_ != nullptr) {
        language_ = context_->language();
        connect(context_, &BindingContext::languageChanged, this, &CursorTableModel::setLanguage);
    }
    watch_ = std::make_unique<CursorWatch>(
        cursor, CursorWatch::Callbacks{[this] { onReset(); }, [this] { onRowChanged(); },
                                       [this] { onMoved(); }});
}

CursorTableModel::~CursorTableModel() = default;

void CursorTableModel::setLanguage(store::Sprache language) {
    if (language == language_) {
        return;
    }
    const bool fieldsChange = std::any_of(columns_.begin(), columns_.end(), [](const Column& c) {
        return !c.fieldEnglish.empty() && c.fieldEnglish != c.field;
    });
    language_ = language;
    if (!columns_.empty()) {
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
        if (fieldsChange && rowCount() > 0) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        }
    }
}

void CursorTableModel::setAttached(bool attached) {
    if (attached == attached_) {
        return;
    }
    beginResetModel();
    attached_ = attached;
    rowCount_.reset();
    endResetModel();
    emit currentRowMoved(currentRow());
}

int CursorTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    if (!rowCount_) {
        rowCount_ = attached_ && cursor_->isOpen() ? cursor_->recordCount() : 0;
    }
    return *rowCount_;
}

int CursorTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

const store::Value* CursorTableModel::valueAt(int row, int section) const {
    const std::string& field = columns_[section].fieldFor(language_);
    if (field.empty() || !attached_ || !cursor_->isOpen()) {
        return nullptr;
    }
    const int fieldIndex = cursor_->fieldIndex(field);
    if (fieldIndex < 0) {
        return nullptr;
    }
    // The row being edited shows its edit buffer, like a grid over a dataset in edit state.
    if (cursor_->isEditing() && row == cursor_->recordIndex()) {
        return &cursor_->value(fieldIndex);
    }
    const store::Row* r = cursor_->rowAt(row);
    if (r == nullptr || fieldIndex >= static_cast<int>(r->values.size())) {
        return nullptr;
    }
    return &r->values[fieldIndex];
}

QVariant CursorTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.model() != this) {
        return {};
    }
    const Column& column = columns_[index.column()];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: {
            if (column.computedText) {
                if (!attached_ || !cursor_->isOpen()) {
                    return QString();
                }
                const store::Row* r = cursor_->rowAt(index.row());
                return r != nullptr ? column.computedText(store::RowView(*cursor_, *r)) : QString();
            }
            const store::Value* v = valueAt(index.row(), index.column());
            return v != nullptr ? formatValue(*v) : QString();
        }
        case RawValueRole: {
            const store::Value* v = valueAt(index.row(), index.column());
            return v != nullptr ? QVariant::fromValue(*v) : QVariant();
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(column.alignment);
        case Qt::ForegroundRole: {
            if (!column.textColor || !attached_ || !cursor_->isOpen()) {
                return {};
            }
            const store::Row* r = cursor_->rowAt(index.row());
            if (r == nullptr) {
                return {};
            }
            const auto colour = column.textColor(store::RowView(*cursor_, *r));
            return colour ? QVariant(QBrush(*colour)) : QVariant();
        }
        default:
            return {};
    }
}

QVariant CursorTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) {
        return columns_[section].headingFor(language_);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(columns_[section].alignment);
    }
    if (role == Qt::ToolTipRole && !columns_[section].tip.isEmpty()) {
        return language_ == store::Sprache::Englisch ? columns_[section].tipEnglish
                                                     : columns_[section].tip;
    }
    return {};
}

Qt::ItemFlags CursorTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (columns_[index.column()].editable && !columns_[index.column()].field.empty() &&
        dynamic_cast<store::TableCursor*>(cursor_) != nullptr) {
        f |= Qt::ItemIsEditable;
    }
    return f;
}

bool CursorTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) {
        return false;
    }
    auto* table = static_cast<store::TableCursor*>(cursor_);
    const Column& column = columns_[index.column()];
    const std::string& field = column.fieldFor(language_);
    const QString text = value.toString();
    const auto v =
        column.markOnly ? markFromText(text) : valueFromText(text, fieldType(*table, field));
    if (!v) {
        return false;
    }
    if (!moveToRow(index.row())) {
        return false;
    }
    bool stored = false;
    {
        // The views hear of the edit once it is stored (or dropped), not of the buffer on the way.
        const QScopedValueRollback<bool> writing(writing_, true);
        try {
            table->setValue(field, *v);
            if (postOnEdit_) {
                table->post();
            }
            stored = true;
        } catch (const store::PostCancelled&) {
            if (table->isEditing()) {
                table->cancel();
            }
        } catch (const std::exception& e) {
            if (table->isEditing()) {
                table->cancel();
            }
            report(e);
        }
    }
    onRowChanged();
    // Also when notifications are suspended, or the posted row is shown elsewhere now.
    if (index.row() < rowCount()) {
        emit dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(columnCount() - 1));
    }
    return stored;
}

int CursorTableModel::currentRow() const {
    if (!attached_ || !cursor_->isOpen() || cursor_->isEmpty()) {
        return -1;
    }
    return cursor_->recordIndex();
}

bool CursorTableModel::moveToRow(int row) {
    if (!attached_ || !cursor_->isOpen() || row < 0 || row >= rowCount()) {
        return false;
    }
    if (row == cursor_->recordIndex()) {
        return true;
    }
    try {
        if (auto* table = dynamic_cast<store::TableCursor*>(cursor_);
            table != nullptr && table->isEditing()) {
            table->post();
        }
        return cursor_->moveTo(row);
    } catch (const store::PostCancelled&) {
        static_cast<store::TableCursor*>(cursor_)->cancel();
        return cursor_->moveTo(row);
    } catch (const std::exception& e) {
        report(e);
        return false;
    }
}

void CursorTableModel::report(const std::exception& e) const {
    if (context_ != nullptr) {
        context_->reportError(QString::fromStdString(e.what()));
    }
}

void CursorTableModel::onReset() {
    if (!attached_) {
        return;
    }
    beginResetModel();
    rowCount_.reset();
    endResetModel();
    emit currentRowMoved(currentRow());
}

void CursorTableModel::onRowChanged() {
    if (!attached_ || writing_) {
        return;
    }
    // The count the views know; when they never asked, the current count is news to nobody.
    const int before = rowCount();
    const int now = cursor_->isOpen() ? cursor_->recordCount() : 0;
    if (before != now) {
        onReset();
        return;
    }
    const int row = currentRow();
    if (row >= 0 && row < now && !columns_.empty()) {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
}

void CursorTableModel::onMoved() {
    if (attached_) {
        emit currentRowMoved(currentRow());
    }
}

}  // namespace spinalyst::binding
