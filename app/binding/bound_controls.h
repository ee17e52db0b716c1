#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <memory>
#include <optional>
#include <string>

#include "app/binding/binding_context.h"
#include "app/binding/cursor_watch.h"
#include "store/cursor.h"

// Controls bound to one field of a table cursor. Each shows the field of the cursor's current
// row and follows it (open, close, move, values changed); when the user changes the control it
// writes the field through TableCursor::setValue, which puts the row into edit state, and leaves
// posting to the operations (or to the close of the data module). A refused write is reported
// to the binding context. On a closed or empty cursor the control shows nothing and writes
// nothing.
namespace spinalyst::binding {

// Shared part of the bound controls: the cursor, the field and the writing.
class FieldLink {
  public:
    FieldLink(store::TableCursor& cursor, std::string field, BindingContext* context);

    store::TableCursor& cursor() const { return cursor_; }
    const std::string& field() const { return field_; }
    BindingContext* context() const { return context_; }

    // The field's value on the current row; nullopt when the cursor has no row.
    std::optional<store::Value> current() const;
    // Writes the value; false (and reported) when the store refused or there is no row.
    bool write(const store::Value& value) const;
    std::optional<store::FieldType> type() const;

  private:
    store::TableCursor& cursor_;
    std::string field_;
    BindingContext* context_;
};

// Edit (DBEdit): writes its text when the user finishes editing (Enter or leaving the edit).
class BoundLineEdit : public QLineEdit {
    Q_OBJECT
  public:
    BoundLineEdit(store::TableCursor& cursor, std::string field, BindingContext* context,
                  QWidget* parent = nullptr);
    ~BoundLineEdit() override;

    // Accept only an integer: digits with an optional sign.
    void setIntegerOnly(bool on);
    // Writes the typed text into the field when it differs from what the field shows.
    void commit();
    // Shows the field of the current row, dropping typed text.
    void refresh();
    const FieldLink& link() const { return link_; }

  signals:
    // The field was written from the edit.
    void valueCommitted();

  private:
    FieldLink link_;
    bool committing_ = false;
    std::unique_ptr<CursorWatch> watch_;
};

// Multi-line memo (DBMemo): writes its text when it loses the focus.
class BoundPlainTextEdit : public QPlainTextEdit {
    Q_OBJECT
  public:
    BoundPlainTextEdit(store::TableCursor& cursor, std::string field, BindingContext* context,
                       QWidget* parent = nullptr);
    ~BoundPlainTextEdit() override;

    void commit();
    void refresh();
    const FieldLink& link() const { return link_; }

  signals:
    void valueCommitted();

  protected:
    void focusOutEvent(QFocusEvent* event) override;

  private:
    FieldLink link_;
    bool committing_ = false;
    std::unique_ptr<CursorWatch> watch_;
};

// Check box (DBCheckBox): ticked when the field holds the "checked" value ("t"), and writes
// "t" or "f" (or the values given) when the user clicks it.
class BoundCheckBox : public QCheckBox {
    Q_OBJECT
  public:
    BoundCheckBox(store::TableCursor& cursor, std::string field, const QString& text,
                  BindingContext* context, QWidget* parent = nullptr);
    ~BoundCheckBox() override;

    void setValues(std::string checked, std::string unchecked);
    void refresh();
    const FieldLink& link() const { return link_; }

  signals:
    void valueCommitted();

  private:
    void userClicked(bool checked);

    FieldLink link_;
    std::string checkedValue_ = "t";
    std::string uncheckedValue_ = "f";
    std::unique_ptr<CursorWatch> watch_;
};

// Combo box with fixed items (DBComboBox): shows the item equal to the field's text (none when
// no item matches) and writes the chosen item (as an integer for integer fields).
class BoundComboBox : public QComboBox {
    Q_OBJECT
  public:
    BoundComboBox(store::TableCursor& cursor, std::string field, const QStringList& items,
                  BindingContext* context, QWidget* parent = nullptr);
    ~BoundComboBox() override;

    void refresh();
    const FieldLink& link() const { return link_; }

  signals:
    void valueCommitted();

  private:
    void userActivated(int index);

    FieldLink link_;
    std::unique_ptr<CursorWatch> watch_;
};

// Lookup combo box (DBLookupComboBox): its list is every shown row of a list cursor, showing
// one field (per language) and keyed by another; it shows the row whose key equals the data
// field and writes the key of the chosen row. The list cursor is read, never moved.
class BoundLookupComboBox : public QComboBox {
    Q_OBJECT
  public:
    BoundLookupComboBox(store::TableCursor& cursor, std::string field, store::Cursor& list,
                        std::string keyField, std::string shownField, std::string shownFieldEnglish,
                        BindingContext* context, QWidget* parent = nullptr);
    ~BoundLookupComboBox() override;

    // Re-reads the list and shows the current key.
    void reload();
    void refresh();
    void setLanguage(store::Sprache language);
    const FieldLink& link() const { return link_; }
    // Key of the shown item; nullopt when none is shown.
    std::optional<std::int64_t> currentKey() const;

  signals:
    void valueCommitted();

  private:
    void userActivated(int index);

    FieldLink link_;
    store::Cursor& list_;
    std::string keyField_;
    std::string shownField_;
    std::string shownFieldEnglish_;
    store::Sprache language_ = store::Sprache::Deutsch;
    std::unique_ptr<CursorWatch> watch_;
    std::unique_ptr<CursorWatch> listWatch_;
};

}  // namespace spinalyst::binding
