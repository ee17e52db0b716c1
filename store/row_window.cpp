#include "store/row_window.h"

#include <algorithm>
#include <cassert>
#include <iterator>

namespace spinalyst::store {

namespace {

std::deque<Row> toDeque(std::vector<Row> rows) {
    return {std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end())};
}

}  // namespace

void RowWindow::check() const {
    assert(rows_.empty() ? current_ == -1 : current_ >= 0 && current_ < size());
    assert(!reachesHead_ || start_ == 0);
}

void RowWindow::setCurrent(int index) {
    current_ = index;
    check();
}

void RowWindow::setStart(std::int64_t start) {
    start_ = start;
    check();
}

bool RowWindow::holds(std::int64_t index) const {
    return start_ && index >= *start_ && index < *start_ + size();
}

int RowWindow::find(std::int64_t rowid) const {
    for (int r = 0; r < size(); ++r) {
        if ((*this)[r].rowid == rowid) {
            return r;
        }
    }
    return -1;
}

void RowWindow::clear() {
    rows_.clear();
    current_ = -1;
    start_ = 0;
    reachesHead_ = reachesTail_ = true;
    check();
}

void RowWindow::assignAll(std::deque<Row> rows) {
    rows_ = std::move(rows);
    current_ = rows_.empty() ? -1 : 0;
    start_ = 0;
    reachesHead_ = reachesTail_ = true;
    check();
}

void RowWindow::assignHead(std::vector<Row> rows, bool reachesTail) {
    rows_ = toDeque(std::move(rows));
    current_ = rows_.empty() ? -1 : 0;
    start_ = 0;
    reachesHead_ = true;
    reachesTail_ = reachesTail;
    check();
}

void RowWindow::assignTail(std::vector<Row> rows, bool reachesHead) {
    rows_ = toDeque(std::move(rows));
    current_ = size() - 1;
    start_.reset();
    if (reachesHead) {
        start_ = 0;
    }
    reachesHead_ = reachesHead;
    reachesTail_ = true;
    check();
}

void RowWindow::assignFrom(std::vector<Row> rows, bool reachesTail) {
    rows_ = toDeque(std::move(rows));
    current_ = rows_.empty() ? -1 : 0;
    start_.reset();
    reachesHead_ = false;
    reachesTail_ = reachesTail;
    check();
}

void RowWindow::assignOne(Row row, std::int64_t start, bool reachesTail) {
    rows_.clear();
    rows_.push_back(std::move(row));
    current_ = 0;
    start_ = start;
    reachesHead_ = start == 0;
    reachesTail_ = reachesTail;
    check();
}

void RowWindow::append(std::vector<Row> rows, bool reachesTail) {
    for (auto& r : rows) {
        rows_.push_back(std::move(r));
    }
    reachesTail_ = reachesTail;
    trimHead();
    check();
}

void RowWindow::prepend(std::vector<Row> rows, bool reachesHead) {
    const int n = static_cast<int>(rows.size());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        rows_.push_front(std::move(*it));
    }
    if (current_ >= 0) {
        current_ += n;
    }
    if (start_) {
        *start_ -= n;
    }
    reachesHead_ = reachesHead;
    if (reachesHead) {
        start_ = 0;
    }
    trimTail();
    check();
}

void RowWindow::replaceCurrent(Row row) {
    rows_[static_cast<std::size_t>(current_)] = std::move(row);
    check();
}

void RowWindow::eraseCurrent() {
    rows_.erase(rows_.begin() + current_);
    current_ = std::min(current_, size() - 1);
    check();
}

void RowWindow::insertAt(int index, Row row) {
    rows_.insert(rows_.begin() + index, std::move(row));
    current_ = index;
    check();
}

void RowWindow::appendCurrent(Row row) {
    rows_.push_back(std::move(row));
    current_ = size() - 1;
    trimHead();
    check();
}

void RowWindow::trimHead() {
    if (size() <= kLimit || current_ < 0) {
        return;
    }
    const int drop = std::max(0, current_ - kPageSize);
    if (drop > 0) {
        rows_.erase(rows_.begin(), rows_.begin() + drop);
        current_ -= drop;
        reachesHead_ = false;
        if (start_) {
            *start_ += drop;
        }
    }
}

void RowWindow::trimTail() {
    if (size() <= kLimit || current_ < 0) {
        return;
    }
    const int keepEnd = std::min(size(), current_ + kPageSize + 1);
    if (keepEnd < size()) {
        rows_.erase(rows_.begin() + keepEnd, rows_.end());
        reachesTail_ = false;
    }
}

}  // namespace spinalyst::store
