#include "app/binding/bound_controls.h"

#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include "app/binding/value_format.h"

namespace spinalyst::binding {

// --- FieldLink -------------------------------------------------------------------------------

FieldLink::FieldLink(store::TableCursor& cursor, std::string field, BindingContext* context)
    : cursor_(cursor), field_(std::move(field)), context_(context) {}

std::optional<store::Value> FieldLink::current() const {
    if (!cursor_.isOpen() || cursor_.isEmpty() || !cursor_.hasField(field_)) {
        return std::nullopt;
    }
    return cursor_.value(field_);
}

bool FieldLink::write(const store::Value& value) const {
    if (!cursor_.isOpen() || cursor_.isEmpty()) {
        return false;
    }
    try {
        cursor_.setValue(field_, value);
        return true;
    } catch (const std::exception& e) {
        if (context_ != nullptr) {
            context_->reportError(QString::fromStdString(e.what()));
        }
        return false;
    }
}

std::optional<store::FieldType> FieldLink::type() const {
    return fieldType(cursor_, field_);
}

// --- BoundLineEdit ---------------------------------------------------------------------------

BoundLineEdit::BoundLineEdit(store::TableCursor& cursor, std::string field, BindingContext* context,
                             QWidget* parent)
    : QLineEdit(parent), link_(cursor, std::move(field), context) {
    connect(this, &QLineEdit::editingFinished, this, &BoundLineEdit::commit);
    if (context != nullptr) {
        context->addPendingEdit(this, [this] { commit(); });
    }
    watch_ = std::make_unique<CursorWatch>(
        cursor, CursorWatch::Callbacks{[this] { refresh(); },
                                       [this] {
                                           // Keep what the user is typing.
                                           if (!(hasFocus() && isModified())) {
                                               refresh();
                                           }
                                       },
                                       [this] { refresh(); }});
    refresh();
}

BoundLineEdit::~BoundLineEdit() = default;

void BoundLineEdit::setIntegerOnly(bool on) {
    setValidator(on ? new QRegularExpressionValidator(
                          QRegularExpression(QStringLiteral("[+-]?[0-9]{0,9}")), this)
                    : nullptr);
}

void BoundLineEdit::commit() {
    if (committing_ || !isModified() || isReadOnly()) {
        return;
    }
    committing_ = true;
    const auto value = valueFromText(text(), link_.type());
    const bool written = value && link_.write(*value);
    committing_ = false;
    refresh();
    if (written) {
        emit valueCommitted();
    }
}

void BoundLineEdit::refresh() {
    const auto value = link_.current();
    setText(value ? formatValue(*value) : QString());
    // Show a text longer than the edit from its start.
    setCursorPosition(0);
    setModified(false);
}

// --- BoundPlainTextEdit ----------------------------------------------------------------------

BoundPlainTextEdit::BoundPlainTextEdit(store::TableCursor& cursor, std::string field,
                                       BindingContext* context, QWidget* parent)
    : QPlainTextEdit(parent), link_(cursor, std::move(field), context) {
    if (context != nullptr) {
        context->addPendingEdit(this, [this] { commit(); });
    }
    watch_ = std::make_unique<CursorWatch>(
        cursor, CursorWatch::Callbacks{[this] { refresh(); },
                                       [this] {
                                           if (!(hasFocus() && document()->isModified())) {
                                               refresh();
                                           }
                                       },
                                       [this] { refresh(); }});
    refresh();
}

BoundPlainTextEdit::~BoundPlainTextEdit() = default;

void BoundPlainTextEdit::commit() {
    if (committing_ || !document()->isModified() || isReadOnly()) {
        return;
    }
    committing_ = true;
    const bool written = link_.write(store::Value(toPlainText().toStdString()));
    committing_ = false;
    refresh();
    if (written) {
        emit valueCommitted();
    }
}

void BoundPlainTextEdit::refresh() {
    const auto value = link_.current();
    const QString text = value ? formatValue(*value) : QString();
    if (text != toPlainText()) {
        setPlainText(text);
    }
    document()->setModified(false);
}

void BoundPlainTextEdit::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    commit();
}

// --- BoundCheckBox ---------------------------------------------------------------------------

BoundCheckBox::BoundCheckBox(store::TableCursor& cursor, std::string field, const QString& text,
                             BindingContext* context, QWidget* parent)
    : QCheckBox(text, parent), link_(cursor, std::move(field), context) {
    connect(this, &QCheckBox::clicked, this, &BoundCheckBox::userClicked);
    watch_ = std::make_unique<CursorWatch>(
        cursor, CursorWatch::Callbacks{[this] { refresh(); }, [this] { refresh(); },
                                       [this] { refresh(); }});
    refresh();
}

BoundCheckBox::~BoundCheckBox() = default;

void BoundCheckBox::setValues(std::string checked, std::string unchecked) {
    checkedValue_ = std::move(checked);
    uncheckedValue_ = std::move(unchecked);
    refresh();
}

void BoundCheckBox::refresh() {
    const QSignalBlocker block(this);
    const auto value = link_.current();
    setChecked(value && value->toText() == checkedValue_);
}

void BoundCheckBox::userClicked(bool checked) {
    const bool written = link_.write(store::Value(checked ? checkedValue_ : uncheckedValue_));
    refresh();
    if (written) {
        emit valueCommitted();
    }
}

// --- BoundComboBox ---------------------------------------------------------------------------

BoundComboBox::BoundComboBox(store::TableCursor& cursor, std::string field,
                             const QStringList& items, BindingContext* context, QWidget* parent)
    : QComboBox(parent), link_(cursor, std::move(field), context) {
    setEditable(false);
    addItems(items);
    connect(this, &QComboBox::activated, this, &BoundComboBox::userActivated);
    watch_ = std::make_unique<CursorWatch>(
        cursor, CursorWatch::Callbacks{[this] { refresh(); }, [this] { refresh(); },
                                       [this] { refresh(); }});
    refresh();
}

BoundComboBox::~BoundComboBox() = default;

void BoundComboBox::refresh() {
    const QSignalBlocker block(this);
    const auto value = link_.current();
    setCurrentIndex(value ? findText(formatValue(*value)) : -1);
}

void BoundComboBox::userActivated(int index) {
    const auto value = valueFromText(itemText(index), link_.type());
    const bool written = value && link_.write(*value);
    refresh();
    if (written) {
        emit valueCommitted();
    }
}

// --- BoundLookupComboBox ---------------------------------------------------------------------

BoundLookupComboBox::BoundLookupComboBox(store::TableCursor& cursor, std::string field,
                                         store::Cursor& list, std::string keyField,
                                         std::string shownField, std::string shownFieldEnglish,
                                         BindingContext* context, QWidget* parent)
    : QComboBox(parent),
      link_(cursor, std::move(field), context),
      list_(list),
      keyField_(std::move(keyField)),
      shownField_(std::move(shownField)),
      shownFieldEnglish_(std::move(shownFieldEnglish)) {
    setEditable(false);
    if (context != nullptr) {
        language_ = context->language();
        connect(context, &BindingContext::languageChanged, this, &BoundLookupComboBox::setLanguage);
    }
    connect(this, &QComboBox::activated, this, &BoundLookupComboBox::userActivated);
    watch_ = std::make_unique<CursorWatch>(
        cursor, CursorWatch::Callbacks{[this] { refresh(); }, [this] { refresh(); },
                                       [this] { refresh(); }});
    listWatch_ = std::make_unique<CursorWatch>(
        list, CursorWatch::Callbacks{[this] { reload(); }, [this] { reload(); }, {}});
    reload();
}

BoundLookupComboBox::~BoundLookupComboBox() = default;

void BoundLookupComboBox::setLanguage(store::Sprache language) {
    if (language != language_) {
        language_ = language;
        reload();
    }
}

void BoundLookupComboBox::reload() {
    {
        const QSignalBlocker block(this);
        clear();
        const std::string& shown =
            language_ == store::Sprache::Englisch && !shownFieldEnglish_.empty()
                ? shownFieldEnglish_
                : shownField_;
        if (list_.isOpen() && list_.hasField(keyField_) && list_.hasField(shown)) {
            const int count = list_.recordCount();
            for (int i = 0; i < count; ++i) {
                const store::Row* row = list_.rowAt(i);
                if (row == nullptr) {
                    break;
                }
                const store::RowView view(list_, *row);
                addItem(formatValue(view.value(shown)),
                        QVariant::fromValue<qlonglong>(view.value(keyField_).toInt64()));
            }
        }
    }
    refresh();
}

void BoundLookupComboBox::refresh() {
    const QSignalBlocker block(this);
    const auto value = link_.current();
    setCurrentIndex(value && !value->isNull()
                        ? findData(QVariant::fromValue<qlonglong>(value->toInt64()))
                        : -1);
}

std::optional<std::int64_t> BoundLookupComboBox::currentKey() const {
    if (currentIndex() < 0) {
        return std::nullopt;
    }
    return currentData().toLongLong();
}

void BoundLookupComboBox::userActivated(int index) {
    const bool written =
        index >= 0 &&
        link_.write(store::Value(static_cast<std::int64_t>(itemData(index).toLongLong())));
    refresh();
    if (written) {
        emit valueCommitted();
    }
}

}  // namespace spinalyst::binding
