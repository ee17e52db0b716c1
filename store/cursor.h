#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "store/cursor_observer.h"
#include "store/master_link.h"
#include "store/row.h"
#include "store/row_order.h"
#include "store/row_window.h"
#include "store/schema.h"
#include "store/sqlite.h"
#include "store/value.h"

// The cursor layer: a record-at-a-time view of one table (TableCursor) or of the rows of one
// SELECT (QueryCursor, store/query_cursor.h), with a current row, an edit buffer and
// notifications to views and detail cursors. Every operation of the program works through these
// cursors.
//
// The parts: statement text (query_text.h), the window of loaded rows (row_window.h), the
// listeners and their suspension (cursor_observer.h), the master link (master_link.h), field type
// conversions (field_value.h) and the in-memory order of rows (row_order.h).
namespace spinalyst::store {

class Database;
class Cursor;
class TableCursor;

enum class CursorState { Inactive, Browse, Edit, Insert };

// Read access to one row by field name, handed to row filters and calculated-fields hooks. Holds
// references: valid as long as the cursor and the row are.
class RowView {
  public:
    RowView(const Cursor& cursor, const Row& row) : cursor_(cursor), row_(row) {}
    // Throws StoreError for a field the cursor does not have.
    const Value& value(std::string_view field) const;
    int integer(std::string_view field) const { return value(field).toInt(); }
    std::string text(std::string_view field) const { return value(field).toText(); }
    Date date(std::string_view field) const { return value(field).toDate(); }
    bool isNull(std::string_view field) const { return value(field).isNull(); }

  private:
    const Cursor& cursor_;
    const Row& row_;
};

// Thrown by a before-post hook to refuse the post; the cursor stays in its edit state.
class PostCancelled : public std::runtime_error {
  public:
    PostCancelled() : std::runtime_error("post cancelled") {}
};

// Common part of table and query cursors: the shown rows, the position and field access.
//
// Position contract (as in a record-at-a-time dataset):
//  - open() positions on the first shown row; on an empty cursor eof() and bof() are both true.
//  - next() past the last row stays on the last row and sets eof(); prior() before the first row
//    stays on the first row and sets bof(). first() and last() clear the other flag.
//  - moveBy(n) moves n rows forward (n < 0: backward) and stops at either end like next/prior.
//  - Every move first posts a pending edit of a table cursor (which may throw; the cursor then
//    stays where it was, still editing).
//  - Field access requires an open cursor with a current row (not empty); on an empty cursor
//    reads give null values and writes throw StoreError.
//  - locate() moves to the first shown row whose fields equal the values and returns true; when
//    none matches it returns false and the cursor stays where it was.
//
// References and row pointers the cursor hands out (value(), currentValues(), rowAt()) point into
// its loaded rows: they stay valid until the next non-const call on the cursor.
//
// Memory: a cursor holds its loaded rows in a window (RowWindow) around the current row, plus,
// while rowAt() reads far from it, a second window around the last row read that way. Cursors
// that page (table cursors in stored order) keep both bounded; heldRows() tells how many rows are
// held.
class Cursor {
  public:
    explicit Cursor(std::string name);
    virtual ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    const std::string& name() const { return name_; }

    // Reads the shown rows and positions on the first; does nothing when open. Views are reset,
    // detail cursors follow. Throws StoreError when the rows cannot be read; the cursor then
    // stays closed.
    virtual void open() = 0;
    // Drops the loaded rows and an unposted edit (without posting it); does nothing when closed.
    // Views are reset; detail cursors follow (they show no rows).
    virtual void close();
    bool isOpen() const { return state_ != CursorState::Inactive; }
    CursorState state() const { return state_; }
    bool isEditing() const { return state_ == CursorState::Edit || state_ == CursorState::Insert; }

    // Move as the position contract says. Views hear of the move and detail cursors follow:
    // always after first() and last(), after next(), prior() and moveBy() only when the cursor
    // moved.
    void first();
    void last();
    void next();
    void prior();
    void moveBy(int n);
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    // Whether the cursor shows no row (also when closed).
    bool isEmpty() const;

    // Number of rows the cursor shows (after master link and filter); 0 when closed. May read the
    // table to count when not every shown row is loaded.
    virtual int recordCount();
    // Index of the current row among the shown rows (0-based), -1 when there is none. May count
    // the rows before a window that was not read from the first row.
    int recordIndex();
    // Moves to the shown row with the given index (posting a pending edit first) and returns
    // true; false when out of range, and the cursor stays where it was without posting.
    bool moveTo(int index);

    // Moves to the first shown row, in shown order, whose fields (names separated by ";") equal
    // the values (converted to each field's type; texts compare exactly). Returns false and stays
    // when none matches or the cursor is closed. Posts a pending edit first when open. Throws
    // StoreError for an unknown field or when the number of values differs from the fields.
    bool locate(std::string_view fields, const std::vector<Value>& values);

    // Fields: the names in field order, calculated fields included.
    int fieldCount() const { return static_cast<int>(fieldNames_.size()); }
    const std::vector<std::string>& fieldNames() const { return fieldNames_; }
    // Index of a field, names compared without regard to case; -1 when absent.
    int fieldIndex(std::string_view field) const;
    bool hasField(std::string_view field) const { return fieldIndex(field) >= 0; }

    // A value of the current row, or of the edit buffer while editing; the null value when there
    // is no current row. Throws StoreError for an unknown field or an index out of range. The
    // reference is valid until the next non-const call on the cursor.
    const Value& value(std::string_view field) const;
    const Value& value(int fieldIndex) const;
    int integer(std::string_view field) const { return value(field).toInt(); }
    std::string text(std::string_view field) const { return value(field).toText(); }
    Date date(std::string_view field) const { return value(field).toDate(); }
    double real(std::string_view field) const { return value(field).toDouble(); }
    bool isNull(std::string_view field) const { return value(field).isNull(); }
    // Row id of the current row (the auto-increment value where the table has one); 0 when there
    // is no current row or a new row is being inserted.
    std::int64_t rowid() const;
    // All values of the current row in field order (the edit buffer while editing; empty when
    // there is no current row). Valid until the next non-const call on the cursor.
    const std::vector<Value>& currentValues() const;

    // Random read access for views: the shown row with the given index, read if needed; nullptr
    // when out of range or closed. Does not move the cursor, post, or notify anyone, and shows
    // the stored row, not the edit buffer. Reading every row from the first to the last holds a
    // bounded number of rows at any time. The pointer is valid until the next non-const call on
    // the cursor (another rowAt included).
    const Row* rowAt(int index);
    // Number of rows the cursor holds in memory now.
    int heldRows() const { return window_.size() + scan_.size(); }

    // Notifications to views and detail cursors: suspended while disableControls() is in force
    // (nestable); the last enableControls() resets every view, lets detail cursors follow again
    // and runs the data-change hook, whether or not anything changed meanwhile. Prefer a
    // ControlsSuspended scope to paired calls. enableControls() without a suspension does nothing.
    void addObserver(CursorObserver* observer) { listeners_.add(observer); }
    void removeObserver(CursorObserver* observer) { listeners_.remove(observer); }
    void disableControls() { listeners_.suspend(); }
    void enableControls();
    bool controlsDisabled() const { return listeners_.suspended(); }

    // Data change (the cursor moved, or its rows or the current row's values changed), as one
    // callback after the observers.
    using DataChangeHook = CursorListeners::DataChangeHook;
    void setDataChangeHook(DataChangeHook hook) { listeners_.setDataChangeHook(std::move(hook)); }

  protected:
    friend class RowView;

    // Loads every shown row at once (query cursors and index-ordered tables) and positions on
    // the first.
    void setRows(std::deque<Row> rows);
    void setFieldNames(std::vector<std::string> names);
    void setState(CursorState s) { state_ = s; }

    // Paging hooks for cursors that do not hold every shown row at once (see RowWindow).
    // Replaces the main window by the first shown rows.
    virtual void loadFirst() {}
    // Adds the shown rows after / before a non-empty window; false when there were none.
    virtual bool loadAfter(RowWindow& /*window*/) { return false; }
    virtual bool loadBefore(RowWindow& /*window*/) { return false; }
    // Replaces the main window by the last shown rows; false when there are none.
    virtual bool loadLast() { return false; }
    // Finds out the start of the main window when it is unknown.
    virtual void computeWindowStart() {}
    // Index into the main window of the first shown row matching, or -1; may load another window.
    virtual int locateRow(const std::vector<int>& fields, const std::vector<Value>& values);
    virtual Value normaliseSearch(int /*fieldIndex*/, const Value& v) const { return v; }
    // Posts a pending edit before the cursor moves (table cursors).
    virtual void checkBrowseMode() {}

    // Drops the rows rowAt() read far from the window; due whenever the window is read again or
    // a row is written, as they may be stale then.
    void dropScan() { scan_.clear(); }

    // Notifications to the listeners; nothing while suspended.
    void notifyReset();
    void notifyRowChanged();
    void notifyPosition();
    // Views hear of the move; detail cursors follow.
    void afterScroll();
    void notifyDetails();

    friend class TableCursor;
    void addDetail(TableCursor* detail);
    void removeDetail(TableCursor* detail);
    std::vector<TableCursor*> details_;

    // The loaded rows around the current row.
    RowWindow window_;
    bool eof_ = true;
    bool bof_ = true;
    std::vector<Value> buffer_;  // edit buffer while editing
    CursorState state_ = CursorState::Inactive;

  private:
    // Moves the current row one row on, reading the next page when needed; false at the end.
    bool stepForward();
    bool stepBackward();
    // Reads a row far from the window into scan_ and returns it; nullptr past either end.
    const Row* scanTo(std::int64_t index);

    // Rows rowAt() read far from the main window, kept around the last one it returned, so that
    // reading every row one by one never holds more than the two windows.
    RowWindow scan_;
    std::string name_;
    std::vector<std::string> fieldNames_;
    std::unordered_map<std::string, int> fieldIndex_;
    CursorListeners listeners_;
};

// A cursor over one table of the layout.
//
// Order: the rows are shown in the order of the named index (setIndexName), or in stored order
// (append order, also named "sys_primary") when none is set. Master link: while set, the cursor
// shows only the rows whose detail fields equal the master's current values, and re-reads them
// whenever those values change: when the master moves, is posted, refreshed, opened or closed.
// Filter: while filtered is on, only rows for which the predicate holds are shown.
//
// Cursors in stored order page through their rows (RowWindow::kPageSize rows a page), so that a
// table of millions of rows is never held at once; cursors in a named index order hold their
// shown rows (the tables with named indexes are small).
//
// Editing: edit() copies the current row into the buffer, append() starts an empty row (with the
// master's link values filled in), setValue() writes into the buffer, post() writes it to the
// table (before-post hook first; it may throw PostCancelled) and leaves the cursor on the posted
// row, cancel() drops the buffer. Calling setValue() in Browse state puts the cursor into Edit
// first. Texts longer than the field size are cut to it; a date field stores only the day.
class TableCursor : public Cursor {
  public:
    // Throws StoreError for a table the layout does not have.
    TableCursor(std::string name, Database& database, std::string_view tableName);
    ~TableCursor() override;

    const TableDef& table() const { return *table_; }
    Database& database() const { return database_; }

    // Requires a connected database (else StoreError).
    void open() override;
    void close() override;
    int recordCount() override;

    // "" or "sys_primary": stored order. Re-reads the rows when open, keeping the current row.
    // Throws StoreError for an index the table does not have.
    void setIndexName(std::string indexName);
    const std::string& indexName() const { return indexName_; }

    // Master link: pairs of master field -> detail field. Setting or removing it re-reads the
    // rows when the cursor is open and the link values changed, and positions on the first row.
    // Throws StoreError for a detail field the table does not have. A table cursor as master
    // unlinks its details when it is destroyed; a query cursor as master must outlive the link.
    void setMasterLink(Cursor* master, std::vector<std::pair<std::string, std::string>> fields);
    void clearMasterLink();
    Cursor* master() const { return link_.master(); }

    using Filter = std::function<bool(const RowView&)>;
    // Takes effect at the next read (setFiltered, refresh, a master change).
    void setFilter(Filter filter) { filter_ = std::move(filter); }
    // Posts a pending edit and re-reads the rows when open, keeping the current row where it is
    // still shown.
    void setFiltered(bool on);
    // An optional range of one field that every row the filter lets through lies in; while the
    // filter is on, only rows in the range are read at all (the range is asked for each read).
    using FilterRange = std::function<std::pair<Value, Value>()>;
    void setFilterRange(std::string field, FilterRange range);
    bool filtered() const { return filtered_; }

    // Calculated fields: called for every row as it is loaded and after every post; the values it
    // leaves are cut to the field size.
    using CalcFields = std::function<void(const RowView& row, std::vector<Value>& calculated)>;
    void setCalcFieldsHook(CalcFields hook) { calcFields_ = std::move(hook); }
    using BeforePost = std::function<void(TableCursor&)>;
    void setBeforePostHook(BeforePost hook) { beforePost_ = std::move(hook); }
    // Called after a row was deleted and the views were reset, before detail cursors follow.
    using AfterDelete = std::function<void(TableCursor&)>;
    void setAfterDeleteHook(AfterDelete hook) { afterDelete_ = std::move(hook); }

    // Starts editing the current row; nothing while editing. Requires an open cursor with a
    // current row (else StoreError).
    void edit();
    // Posts a pending edit, then starts a new row (the master's link values filled in); the
    // position is kept until the post. Requires an open cursor (else StoreError).
    void append();
    // Writes the edit buffer to the table and leaves the cursor in Browse on the posted row
    // (where it is shown now; a row that left the shown rows leaves the cursor near its old
    // place). Does nothing when the cursor is not editing. Throws PostCancelled from the
    // before-post hook, or StoreError (a required field is null, the table refuses the row); the
    // cursor then stays in its edit state with the buffer unchanged. Views are told, detail
    // cursors follow.
    void post();
    // Drops the edit buffer; the cursor stays on its row. Does nothing when not editing.
    void cancel();
    // Appends a row from values in field order and posts it: a null entry leaves the field null
    // or lets the store assign it (auto-increment). Fewer values than fields leave the rest null.
    // On an error the new row is dropped and the error propagates.
    void appendRecord(const std::vector<Value>& values);
    // Sets the first fields of the current row from values in field order (edit first if
    // browsing); a null entry leaves the field unchanged. Does not post.
    void setFields(const std::vector<Value>& values);
    // Deletes the current row (a new row being inserted is only dropped); the cursor moves to the
    // next row, or the new last row. Requires a current row (else StoreError). Views are reset,
    // the after-delete hook runs, detail cursors follow.
    void remove();

    // Writes into the edit buffer, converted to the field's type (edit first if browsing); views
    // hear of the changed row. Throws StoreError for an unknown, read-only, auto-increment or
    // calculated field, or a value the field cannot hold (the buffer is then unchanged).
    void setValue(std::string_view field, const Value& value);
    void setInteger(std::string_view field, int v) { setValue(field, Value(v)); }
    void setText(std::string_view field, std::string_view v) { setValue(field, Value(v)); }
    void setDate(std::string_view field, Date v) { setValue(field, Value(v)); }
    void setNull(std::string_view field) { setValue(field, Value()); }
    // Calculated fields are read-only for callers, except from the calculated-fields hook. A
    // field can also be made read-only at run time.
    void setReadOnly(std::string_view field, bool readOnly);

    // Posts a pending edit and re-reads the shown rows, keeping the current row where it still
    // is shown. Nothing when closed.
    void refresh();
    // Drops a pending edit and deletes every row of the table (also rows the cursor does not
    // show); re-reads when open.
    void emptyTable();

    // Called by a master cursor: when the link values changed, posts a pending edit and re-reads
    // the rows from the first. Nothing when closed.
    void masterChanged();

  protected:
    void loadFirst() override;
    bool loadAfter(RowWindow& window) override;
    bool loadBefore(RowWindow& window) override;
    bool loadLast() override;
    void computeWindowStart() override;
    int locateRow(const std::vector<int>& fields, const std::vector<Value>& values) override;
    Value normaliseSearch(int fieldIndex, const Value& v) const override;
    void checkBrowseMode() override;

  private:
    struct Page {
        std::vector<Row> rows;
        bool end = false;  // the table has no further rows in that direction
    };
    // Where a page starts: after a rowid, at it, or (read backwards) before it.
    enum class PageFrom { After, At, Before };
    // The reading of the shown rows: conditions of the master link (remembering the link values
    // it used) and of the filter range, in the cursor's order.
    TableSelect reading() const;
    bool pagedOrder() const;
    Row readRow(Statement& s) const;
    void computeCalculated(Row& row) const;
    bool passes(const Row& row) const;
    void loadAll();
    void loadFrom(std::int64_t rowid);
    // Reads from the first shown row on until the row with the rowid is loaded or the rows end.
    void readUpTo(std::int64_t rowid);
    void reload(std::optional<std::int64_t> keepRowid, int fallbackIndex);
    // A page of shown rows in stored order, in that order; with a filter on it reads on until
    // the filter let a page of rows through or the rows end.
    Page fetchPage(PageFrom from, std::int64_t rowid);
    void positionOnRowid(std::int64_t rowid);
    // Converts a value to the field's type (see toFieldType).
    Value normalise(int fieldIndex, const Value& v) const;
    void requireRow() const;

    Database& database_;
    const TableDef* table_;
    std::string indexName_;
    std::optional<IndexOrder> indexOrder_;  // none: stored order
    MasterLink link_;
    Filter filter_;
    bool filtered_ = false;
    std::string filterRangeField_;
    FilterRange filterRange_;
    CalcFields calcFields_;
    BeforePost beforePost_;
    AfterDelete afterDelete_;
    std::vector<bool> readOnly_;
    std::vector<int> storedIndex_;  // field index of each stored column, in column order
    std::vector<int> calculatedIndex_;
    int autoIncIndex_ = -1;
    std::int64_t editRowid_ = 0;
    std::string insertSql_;
    std::string updateSql_;
    std::string deleteSql_;
};

}  // namespace spinalyst::store
