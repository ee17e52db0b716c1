#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/binding/binding_context.h"
#include "app/binding/cursor_watch.h"
#include "store/cursor.h"

namespace spinalyst::binding {

// One column of a grid over a cursor: the field it shows (per language), its heading in both
// languages, whether the user may edit it (and whether it holds only a mark), its alignment, a
// preferred width and an optional rule for the colour of its text.
struct Column {
    using ColorRule = std::function<std::optional<QColor>(const store::RowView& row)>;
    using TextRule = std::function<QString(const store::RowView& row)>;

    std::string field;         // empty: a column without field (shows nothing)
    std::string fieldEnglish;  // field shown in English; empty: the same field
    QString heading;
    QString headingEnglish;  // null: the same heading
    QString tip;             // tool tip of the heading; empty: none
    QString tipEnglish;
    bool editable = false;
    bool markOnly = false;  // holds "x" or nothing; an edit takes "x" (either case) or nothing
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int widthChars = 0;       // preferred width in average characters; 0: fit the heading
    QString widthSample;      // a text the column always has room for (e.g. "<>")
    bool fitContent = false;  // widened to the longest text shown whenever the rows change
    bool stretch = false;
    ColorRule textColor;
    TextRule computedText;  // a read-only column that shows a text worked out from the row

    Column() = default;
    Column(std::string f, QString h, QString hEnglish = {})
        : field(std::move(f)), heading(std::move(h)), headingEnglish(std::move(hEnglish)) {}

    Column& englishField(std::string f) {
        fieldEnglish = std::move(f);
        return *this;
    }
    Column& right() {
        alignment = Qt::AlignRight | Qt::AlignVCenter;
        return *this;
    }
    Column& centre() {
        alignment = Qt::AlignCenter;
        return *this;
    }
    Column& width(int chars) {
        widthChars = chars;
        return *this;
    }
    // The heading explains itself in a tool tip (for terse headings like "A").
    Column& tips(QString german, QString english) {
        tip = std::move(german);
        tipEnglish = std::move(english);
        return *this;
    }
    // The column is at least as wide as the text.
    Column& fits(QString sample) {
        widthSample = std::move(sample);
        return *this;
    }
    // The column grows to the longest text of its rows (for names of varying length).
    Column& toContent() {
        fitContent = true;
        return *this;
    }
    Column& stretched() {
        stretch = true;
        return *this;
    }
    Column& editableCell() {
        editable = true;
        return *this;
    }
    // An editable column whose field is a mark: "x" or nothing.
    Column& editableMark() {
        editable = true;
        markOnly = true;
        return *this;
    }
    Column& color(ColorRule rule) {
        textColor = std::move(rule);
        return *this;
    }
    // The column shows what the rule makes of each row instead of a field (never editable).
    Column& computed(TextRule rule) {
        computedText = std::move(rule);
        return *this;
    }

    const std::string& fieldFor(store::Sprache language) const {
        return language == store::Sprache::Englisch && !fieldEnglish.empty() ? fieldEnglish : field;
    }
    const QString& headingFor(store::Sprache language) const {
        return language == store::Sprache::Englisch && !headingEnglish.isNull() ? headingEnglish
                                                                                : heading;
    }
};

// A table model over the shown rows of a cursor. Rows are the cursor's shown rows in its order;
// the model follows the cursor's notifications (reset → model reset, values of the current row
// → dataChanged of that row, move → currentRowMoved). DisplayRole gives the formatted text,
// RawValueRole the store::Value. Editing a cell moves the cursor to the row, writes the field
// and posts it (unless setPostOnEdit(false)), and only then tells the views; a write the store
// refuses is reported to the context and cancelled, a text it cannot read (no integer, no day,
// no mark) is refused without a report and leaves the value as it was. Owned by its window; the
// cursor must outlive it.
class CursorTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int RawValueRole = Qt::UserRole + 1;

    CursorTableModel(store::Cursor& cursor, std::vector<Column> columns,
                     BindingContext* context = nullptr, QObject* parent = nullptr);
    ~CursorTableModel() override;

    store::Cursor& cursor() const { return *cursor_; }
    const Column& column(int section) const { return columns_.at(section); }
    const std::vector<Column>& columns() const { return columns_; }

    // A detached model shows no rows and ignores the cursor (while an operation writes many
    // rows); attaching it again shows the cursor's rows as they are then.
    void setAttached(bool attached);
    bool attached() const { return attached_; }

    store::Sprache language() const { return language_; }
    void setLanguage(store::Sprache language);
    void setPostOnEdit(bool post) { postOnEdit_ = post; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The cursor's row (index among the shown rows), -1 when it has none.
    int currentRow() const;
    // Moves the cursor to the row, posting a pending edit of the row it leaves. False when the
    // row does not exist or the store refused.
    bool moveToRow(int row);

  signals:
    // The cursor moved to another row (or its rows were reset); -1 when it has none.
    void currentRowMoved(int row);

  private:
    void onReset();
    void onRowChanged();
    void onMoved();
    const store::Value* valueAt(int row, int section) const;
    void report(const std::exception& e) const;

    store::Cursor* cursor_;
    std::vector<Column> columns_;
    BindingContext* context_;
    store::Sprache language_ = store::Sprache::Deutsch;
    bool postOnEdit_ = true;
    bool attached_ = true;
    bool writing_ = false;  // setData is writing: the cursor's row notifications wait
    mutable std::optional<int> rowCount_;
    std::unique_ptr<CursorWatch> watch_;
};

}  // namespace spinalyst::binding
