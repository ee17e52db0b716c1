#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "store/schema.h"
#include "store/sqlite.h"
#include "store/value.h"

// The cursor layer: a record-at-a-time view of one table (TableCursor) or of the rows of one
// SELECT (QueryCursor), with a current row, an edit buffer and notifications to views and detail
// cursors. Every operation of the program works through these cursors.
namespace spinalyst::store {

class Database;
class Cursor;
class TableCursor;

enum class CursorState { Inactive, Browse, Edit, Insert };

// One shown row: the row id of the table (0 for query rows) and the field values, calculated
// fields included, in field order.
struct Row {
    std::int64_t rowid = 0;
    std::vector<Value> values;
};

// Read access to one row by field name, handed to row filters and calculated-fields hooks.
class RowView {
  public:
    RowView(const Cursor& cursor, const Row& row) : cursor_(cursor), row_(row) {}
    const Value& value(std::string_view field) const;
    int integer(std::string_view field) const { return value(field).toInt(); }
    std::string text(std::string_view field) const { return value(field).toText(); }
    Date date(std::string_view field) const { return value(field).toDate(); }
    bool isNull(std::string_view field) const { return value(field).isNull(); }

  private:
    const Cursor& cursor_;
    const Row& row_;
};

// Views (grids, bound controls) and other listeners of a cursor. All calls come after the
// cursor's state has changed. They are suspended together by disableControls().
class CursorObserver {
  public:
    virtual ~CursorObserver() = default;
    // The shown rows changed as a whole: opened, closed, refreshed, re-linked, filtered, a row
    // appended or deleted.
    virtual void cursorReset(Cursor&) {}
    // The values of the current row changed (a field was set, or the row was posted).
    virtual void currentRowChanged(Cursor&) {}
    // The cursor moved to another row.
    virtual void positionChanged(Cursor&) {}
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
//  - Field access requires an open cursor with a current row (not empty); on an empty cursor
//    reads give null values and writes throw StoreError.
//  - locate() moves to the first shown row whose fields equal the values and returns true; when
//    none matches it returns false and the cursor stays where it was.
class Cursor {
  public:
    explicit Cursor(std::string name);
    virtual ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    const std::string& name() const { return name_; }

    virtual void open() = 0;
    virtual void close();
    bool isOpen() const { return state_ != CursorState::Inactive; }
    CursorState state() const { return state_; }
    bool isEditing() const { return state_ == CursorState::Edit || state_ == CursorState::Insert; }

    void first();
    void last();
    void next();
    void prior();
    void moveBy(int n);
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool isEmpty() const;

    // Number of rows the cursor shows (after master link and filter).
    virtual int recordCount();
    // Index of the current row among the shown rows (0-based), -1 when there is none. May count
    // the rows before a window that was not read from the first row.
    int recordIndex();
    // Moves to the shown row with the given index; false when out of range.
    bool moveTo(int index);

    bool locate(std::string_view fields, const std::vector<Value>& values);

    // Fields: the names in field order, calculated fields included.
    int fieldCount() const { return static_cast<int>(fieldNames_.size()); }
    const std::vector<std::string>& fieldNames() const { return fieldNames_; }
    int fieldIndex(std::string_view field) const;  // -1 when absent
    bool hasField(std::string_view field) const { return fieldIndex(field) >= 0; }

    // Current row (edit buffer while editing).
    const Value& value(std::string_view field) const;
    const Value& value(int fieldIndex) const;
    int integer(std::string_view field) const { return value(field).toInt(); }
    std::string text(std::string_view field) const { return value(field).toText(); }
    Date date(std::string_view field) const { return value(field).toDate(); }
    double real(std::string_view field) const { return value(field).toDouble(); }
    bool isNull(std::string_view field) const { return value(field).isNull(); }
    // Row id of the current row (the auto-increment value where the table has one).
    std::int64_t rowid() const;
    // All values of the current row in field order.
    const std::vector<Value>& currentValues() const;

    // Random read access for views: the shown row with the given index, loading it if needed.
    // nullptr when out of range.
    const Row* rowAt(int index);

    // Notifications to views: suspended while disableControls() is in force (nestable); the
    // last enableControls() resets every view and lets detail cursors follow again.
    void addObserver(CursorObserver* observer);
    void removeObserver(CursorObserver* observer);
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return disabledCount_ > 0; }

    // Data change (the current row moved or its values changed), as one callback per hook.
    using DataChangeHook = std::function<void(Cursor&)>;
    void setDataChangeHook(DataChangeHook hook) { dataChangeHook_ = std::move(hook); }

  protected:
    friend class RowView;

    // Loads the shown rows into rows_ (complete) — query cursors and small tables.
    void setRows(std::deque<Row> rows);
    void setFieldNames(std::vector<std::string> names);
    void setState(CursorState s) { state_ = s; }

    // Paging hooks for cursors that do not hold every shown row at once. The loaded rows are a
    // contiguous window rows_ of the shown rows; headComplete_ / tailComplete_ say whether the
    // window reaches the first / last shown row.
    virtual void loadFirst() {}                  // replaces the window by the first shown rows
    virtual bool loadAfter() { return false; }   // appends rows after the window; false at end
    virtual bool loadBefore() { return false; }  // prepends rows; false at start
    virtual bool loadLast() { return false; }    // replaces the window by the last shown rows
    virtual void computeWindowStart() { windowStart_ = 0; }
    // Index into rows_ of the first shown row matching, or -1; may load another window.
    virtual int locateRow(const std::vector<int>& fields, const std::vector<Value>& values);
    virtual Value normaliseSearch(int /*fieldIndex*/, const Value& v) const { return v; }
    // Posts a pending edit before the cursor moves (table cursors).
    virtual void checkBrowseMode() {}

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

    std::deque<Row> rows_;
    // Absolute index of rows_[0] among the shown rows when known (the window starts at the head
    // or was reached from it).
    std::optional<std::int64_t> windowStart_;
    bool headComplete_ = true;
    bool tailComplete_ = true;
    int pos_ = -1;  // index into rows_; -1 when empty
    bool eof_ = true;
    bool bof_ = true;
    std::vector<Value> buffer_;  // edit buffer while editing
    CursorState state_ = CursorState::Inactive;

  private:
    std::string name_;
    std::vector<std::string> fieldNames_;
    std::unordered_map<std::string, int> fieldIndex_;
    std::vector<CursorObserver*> observers_;
    int disabledCount_ = 0;
    bool pendingReset_ = false;
    DataChangeHook dataChangeHook_;
};

// A cursor over one table of the layout.
//
// Order: the rows are shown in the order of the named index (setIndexName), or in stored order
// (append order, also named "sys_primary") when none is set. Master link: while set, the cursor
// shows only the rows whose detail fields equal the master's current values, and re-reads them
// whenever the master moves, is posted, refreshed, opened or closed. Filter: while filtered is on,
// only rows for which the predicate holds are shown.
//
// Cursors in stored order page through their rows, so that a table of millions of rows is never
// held at once; cursors in a named index order hold their shown rows (the tables with named
// indexes are small).
//
// Editing: edit() copies the current row into the buffer, append() starts an empty row (with the
// master's link values filled in), setValue() writes into the buffer, post() writes it to the
// table (before-post hook first; it may throw PostCancelled) and leaves the cursor on the posted
// row, cancel() drops the buffer. Calling setValue() in Browse state puts the cursor into Edit
// first. Texts longer than the field size are cut to it; a date field stores only the day.
class TableCursor : public Cursor {
  public:
    TableCursor(std::string name, Database& database, std::string_view tableName);
    ~TableCursor() override;

    const TableDef& table() const { return *table_; }
    Database& database() const { return database_; }

    void open() override;
    void close() override;
    int recordCount() override;

    void setIndexName(std::string indexName);  // "" or "sys_primary": stored order
    const std::string& indexName() const { return indexName_; }

    // Master link: pairs of master field -> detail field. Setting or removing it re-reads the
    // rows when the cursor is open.
    void setMasterLink(Cursor* master, std::vector<std::pair<std::string, std::string>> fields);
    void clearMasterLink();
    Cursor* master() const { return master_; }

    using Filter = std::function<bool(const RowView&)>;
    void setFilter(Filter filter) { filter_ = std::move(filter); }
    void setFiltered(bool on);
    // An optional range of one field that every row the filter lets through lies in; while the
    // filter is on, only rows in the range are read at all (the range is asked for each read).
    using FilterRange = std::function<std::pair<Value, Value>()>;
    void setFilterRange(std::string field, FilterRange range);
    bool filtered() const { return filtered_; }

    // Calculated fields: called for every row as it is loaded and after every post.
    using CalcFields = std::function<void(const RowView& row, std::vector<Value>& calculated)>;
    void setCalcFieldsHook(CalcFields hook) { calcFields_ = std::move(hook); }
    using BeforePost = std::function<void(TableCursor&)>;
    void setBeforePostHook(BeforePost hook) { beforePost_ = std::move(hook); }
    using AfterDelete = std::function<void(TableCursor&)>;
    void setAfterDeleteHook(AfterDelete hook) { afterDelete_ = std::move(hook); }

    void edit();
    void append();
    void post();
    void cancel();
    // Appends a row from values in field order and posts it: a null entry leaves the field null
    // or lets the store assign it (auto-increment). Fewer values than fields leave the rest null.
    void appendRecord(const std::vector<Value>& values);
    // Sets the first fields of the current row from values in field order (edit first if
    // browsing); a null entry leaves the field unchanged. Does not post.
    void setFields(const std::vector<Value>& values);
    // Deletes the current row; the cursor moves to the next row (or the new last row).
    void remove();

    void setValue(std::string_view field, const Value& value);
    void setInteger(std::string_view field, int v) { setValue(field, Value(v)); }
    void setText(std::string_view field, std::string_view v) { setValue(field, Value(v)); }
    void setDate(std::string_view field, Date v) { setValue(field, Value(v)); }
    void setNull(std::string_view field) { setValue(field, Value()); }
    // Calculated fields are read-only for callers, except from the calculated-fields hook. A
    // field can also be made read-only at run time.
    void setReadOnly(std::string_view field, bool readOnly);

    // Re-reads the shown rows, keeping the current row where it still is shown.
    void refresh();
    // Deletes every row of the table (also rows the cursor does not show).
    void emptyTable();

    // Called by a master cursor (and by refresh): re-read rows from the start.
    void masterChanged();

  protected:
    void loadFirst() override;
    bool loadAfter() override;
    bool loadBefore() override;
    bool loadLast() override;
    void computeWindowStart() override;
    int locateRow(const std::vector<int>& fields, const std::vector<Value>& values) override;
    Value normaliseSearch(int fieldIndex, const Value& v) const override;
    void checkBrowseMode() override;

  private:
    struct Where {
        std::string sql;
        std::vector<Value> params;
    };
    struct Page {
        std::vector<Row> rows;
        bool end = false;  // the table has no further rows in that direction
    };
    // Conditions of the master link; remembers the link values it used (appliedLink_).
    Where baseWhere() const;
    std::vector<Value> linkValues() const;
    bool pagedOrder() const;
    std::string selectList() const;
    std::string orderBy(bool descending) const;
    Row readRow(Statement& s) const;
    void computeCalculated(Row& row) const;
    bool passes(const Row& row) const;
    void loadAll();
    void loadFrom(std::int64_t rowid);
    // Lets go of rows far from the current one once the window grows past its limit.
    void trimWindow(bool grewAtTail);
    void reload(std::optional<std::int64_t> keepRowid, int fallbackIndex);
    Page fetchPage(const char* op, std::int64_t rowid, bool descending, int limit);
    void positionOnRowid(std::int64_t rowid);
    // Converts a value to the field's type (integer, day, text cut to size; empty text is null).
    // Throws StoreError for a value the field cannot hold.
    Value normalise(int fieldIndex, const Value& v) const;
    void requireRow() const;
    // Shown order of two rows of an index-ordered cursor.
    bool indexLess(const Row& a, const Row& b) const;
    // Whether the row matches the master link values the cursor last read with.
    bool shownByLink(const Row& row) const;

    Database& database_;
    const TableDef* table_;
    std::string indexName_;
    Cursor* master_ = nullptr;
    std::vector<std::pair<std::string, std::string>> masterFields_;
    mutable std::vector<Value> appliedLink_;
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

    friend class Database;
};

// A cursor over the rows of one SQL statement. The statement is given as text with "?" for
// bound parameters; SELECTs are opened and read like a table cursor (read-only), other statements
// are executed. The whole result of a SELECT is read at open, so it is meant for bounded results
// (a stretch of days, one chance class).
class QueryCursor : public Cursor {
  public:
    QueryCursor(std::string name, Database& database, std::string sql = {});
    void setSql(std::string sql, std::vector<Value> params = {});
    void clearSql();
    const std::string& sql() const { return sql_; }
    const std::vector<Value>& params() const { return params_; }

    void open() override;
    void close() override;
    // Runs a statement that returns no rows (DELETE); returns the number of changed rows.
    int execute();

  private:
    Database& database_;
    std::string sql_;
    std::vector<Value> params_;
};

}  // namespace spinalyst::store
