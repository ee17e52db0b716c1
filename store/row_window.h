#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "store/row.h"

namespace spinalyst::store {

// The rows a cursor has loaded: a contiguous stretch of its shown rows in shown order, and the
// current row among them, which the window is kept around. Owned by its cursor; the cursor reads
// the rows, the window only holds them.
//
// Invariant, checked after every change in check():
//  - current() is -1 exactly when the window is empty, else the index of a loaded row;
//  - a window that reaches the first shown row knows its start, and the start is 0.
// start() is the index of the first loaded row among all shown rows when known: a window read
// from the first shown row, or reached from it page by page, knows it; one read backwards from the
// last row or from a row in the middle does not, until its cursor counts the rows before it.
//
// A window grown page by page (append, prepend, appendCurrent) holds at most kLimit rows plus the
// page that grew it: past the limit it lets go of rows on the side away from the growth, always
// keeping a page on either side of the current row, so that a reader moving on never loses the
// rows it just read. Windows assigned whole (assignAll) are never trimmed.
class RowWindow {
  public:
    // Rows read per page by cursors in stored order; a day of permanence fits in one page.
    static constexpr int kPageSize = 2048;
    static constexpr int kLimit = 4 * kPageSize;

    bool empty() const { return rows_.empty(); }
    int size() const { return static_cast<int>(rows_.size()); }
    const std::deque<Row>& rows() const { return rows_; }
    // Loaded row by its index in the window (0 <= i < size()).
    const Row& operator[](int i) const { return rows_[static_cast<std::size_t>(i)]; }
    const Row& front() const { return rows_.front(); }
    const Row& back() const { return rows_.back(); }

    int current() const { return current_; }
    // Requires a current row (not empty).
    const Row& currentRow() const { return (*this)[current_]; }
    // Requires 0 <= index < size().
    void setCurrent(int index);

    bool reachesHead() const { return reachesHead_; }
    bool reachesTail() const { return reachesTail_; }
    bool complete() const { return reachesHead_ && reachesTail_; }
    std::optional<std::int64_t> start() const { return start_; }
    // Records the start once the cursor has counted it; requires an unknown start.
    void setStart(std::int64_t start);
    // Whether the shown row with this index is loaded (false while the start is unknown).
    bool holds(std::int64_t index) const;
    // The shown row with this index; requires holds(index).
    const Row& at(std::int64_t index) const { return (*this)[static_cast<int>(index - *start_)]; }
    // Index in the window of the row with this rowid, -1 when not loaded.
    int find(std::int64_t rowid) const;

    // Replacing the whole window. The current row is the first loaded row unless said otherwise.
    // Empty, reaching both ends (a closed cursor).
    void clear();
    // Every shown row.
    void assignAll(std::deque<Row> rows);
    // The first shown rows.
    void assignHead(std::vector<Row> rows, bool reachesTail);
    // The last shown rows; the current row is the last of them.
    void assignTail(std::vector<Row> rows, bool reachesHead);
    // Shown rows from one in the middle on; the start is unknown.
    void assignFrom(std::vector<Row> rows, bool reachesTail);
    // One row whose index among the shown rows is known (where a scan starts).
    void assignOne(Row row, std::int64_t start, bool reachesTail);

    // Growing page by page; both trim (see above).
    void append(std::vector<Row> rows, bool reachesTail);
    void prepend(std::vector<Row> rows, bool reachesHead);

    // Changing loaded rows after a post or delete.
    void replaceCurrent(Row row);
    // The current row becomes the one that followed, else the new last one.
    void eraseCurrent();
    // Inserts a row before index (0 <= index <= size()) and makes it current.
    void insertAt(int index, Row row);
    // Adds a new row behind the last shown row (the window reaches the tail), makes it current
    // and trims.
    void appendCurrent(Row row);

  private:
    void trimHead();
    void trimTail();
    void check() const;

    std::deque<Row> rows_;
    int current_ = -1;
    std::optional<std::int64_t> start_ = 0;
    bool reachesHead_ = true;
    bool reachesTail_ = true;
};

}  // namespace spinalyst::store
