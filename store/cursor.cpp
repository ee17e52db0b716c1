#include "store/cursor.h"

#include <algorithm>
#include <cctype>

#include "store/row_order.h"

namespace spinalyst::store {

namespace {

const Value& nullValue() {
    static const Value v;
    return v;
}

std::vector<std::string> splitFields(std::string_view fields) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start <= fields.size()) {
        const std::size_t end = std::min(fields.find(';', start), fields.size());
        std::string_view part = fields.substr(start, end - start);
        while (!part.empty() && part.front() == ' ') {
            part.remove_prefix(1);
        }
        while (!part.empty() && part.back() == ' ') {
            part.remove_suffix(1);
        }
        if (!part.empty()) {
            result.emplace_back(part);
        }
        start = end + 1;
    }
    return result;
}

// How far a shown row lies from the rows [from, to) of a window.
std::int64_t distance(std::int64_t index, std::int64_t from, std::int64_t to) {
    return index < from ? from - index : index - (to - 1);
}

}  // namespace

// ---- RowView ---------------------------------------------------------------------------------

const Value& RowView::value(std::string_view field) const {
    const int i = cursor_.fieldIndex(field);
    if (i < 0) {
        throw StoreError("Cursor " + cursor_.name() + ": unknown field " + std::string(field));
    }
    return row_.values[static_cast<std::size_t>(i)];
}

// ---- Cursor ----------------------------------------------------------------------------------

Cursor::Cursor(std::string name) : name_(std::move(name)) {}

Cursor::~Cursor() = default;

void Cursor::setFieldNames(std::vector<std::string> names) {
    fieldNames_ = std::move(names);
    fieldIndex_.clear();
    for (std::size_t i = 0; i < fieldNames_.size(); ++i) {
        fieldIndex_.emplace(fieldNames_[i], static_cast<int>(i));
    }
}

int Cursor::fieldIndex(std::string_view field) const {
    auto it = fieldIndex_.find(std::string(field));
    if (it != fieldIndex_.end()) {
        return it->second;
    }
    // Column names compare without regard to case, as in SQL.
    for (std::size_t i = 0; i < fieldNames_.size(); ++i) {
        const auto& n = fieldNames_[i];
        if (n.size() == field.size() &&
            std::equal(n.begin(), n.end(), field.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void Cursor::close() {
    window_.clear();
    dropScan();
    buffer_.clear();
    eof_ = bof_ = true;
    state_ = CursorState::Inactive;
    notifyReset();
}

void Cursor::setRows(std::deque<Row> rows) {
    window_.assignAll(std::move(rows));
    dropScan();
    bof_ = true;
    eof_ = window_.empty();
}

bool Cursor::isEmpty() const {
    return window_.empty();
}

bool Cursor::stepForward() {
    if (window_.current() + 1 >= window_.size() && (window_.reachesTail() || !loadAfter(window_))) {
        return false;
    }
    window_.setCurrent(window_.current() + 1);
    return true;
}

bool Cursor::stepBackward() {
    if (window_.current() == 0 && (window_.reachesHead() || !loadBefore(window_))) {
        return false;
    }
    window_.setCurrent(window_.current() - 1);
    return true;
}

void Cursor::first() {
    checkBrowseMode();
    if (!window_.reachesHead()) {
        loadFirst();
    }
    if (!window_.empty()) {
        window_.setCurrent(0);
    }
    bof_ = true;
    eof_ = window_.empty();
    afterScroll();
}

void Cursor::last() {
    checkBrowseMode();
    if (!window_.reachesTail()) {
        loadLast();
    }
    if (!window_.empty()) {
        window_.setCurrent(window_.size() - 1);
    }
    eof_ = true;
    bof_ = window_.empty();
    afterScroll();
}

void Cursor::next() {
    checkBrowseMode();
    if (window_.empty()) {
        eof_ = bof_ = true;
        return;
    }
    if (!stepForward()) {
        eof_ = true;
        return;
    }
    eof_ = bof_ = false;
    afterScroll();
}

void Cursor::prior() {
    checkBrowseMode();
    if (window_.empty()) {
        eof_ = bof_ = true;
        return;
    }
    if (!stepBackward()) {
        bof_ = true;
        return;
    }
    eof_ = bof_ = false;
    afterScroll();
}

void Cursor::moveBy(int n) {
    checkBrowseMode();
    if (window_.empty()) {
        eof_ = bof_ = true;
        return;
    }
    bool moved = false;
    bool hitEnd = false;
    for (; n > 0; --n) {
        if (!stepForward()) {
            hitEnd = true;
            break;
        }
        moved = true;
    }
    for (; n < 0; ++n) {
        if (!stepBackward()) {
            hitEnd = true;
            break;
        }
        moved = true;
    }
    // Reaching an end in the direction of the move reports it, as next() and prior() do.
    eof_ = hitEnd && n >= 0 && window_.current() + 1 >= window_.size();
    bof_ = hitEnd && !eof_;
    if (moved) {
        afterScroll();
    }
}

int Cursor::recordCount() {
    return window_.size();
}

int Cursor::recordIndex() {
    if (window_.current() < 0) {
        return -1;
    }
    if (!window_.start()) {
        computeWindowStart();
    }
    if (!window_.start()) {
        return -1;
    }
    return static_cast<int>(*window_.start() + window_.current());
}

bool Cursor::moveTo(int index) {
    if (!rowAt(index)) {
        return false;
    }
    checkBrowseMode();
    // The post may have read the rows again; a row far from the current one is read into the
    // scan window, which then becomes the window of the current row.
    if (!rowAt(index)) {
        return false;
    }
    if (!window_.holds(index)) {
        window_ = std::move(scan_);
        dropScan();
    }
    const int target = static_cast<int>(index - *window_.start());
    if (target != window_.current()) {
        window_.setCurrent(target);
        eof_ = bof_ = false;
        afterScroll();
    }
    return true;
}

const Row* Cursor::rowAt(int index) {
    if (index < 0 || !isOpen()) {
        return nullptr;
    }
    if (!window_.start()) {
        computeWindowStart();
        if (!window_.start()) {
            return nullptr;
        }
    }
    // Rows next to the window join it as long as it stays within its limit, so that a table of
    // up to that many rows is held whole once read; farther rows are read through scan_.
    while (!window_.holds(index) && window_.size() + RowWindow::kPageSize <= RowWindow::kLimit) {
        const bool loaded = index < *window_.start() ? !window_.reachesHead() && loadBefore(window_)
                                                     : !window_.reachesTail() && loadAfter(window_);
        if (!loaded) {
            return nullptr;
        }
    }
    if (window_.holds(index)) {
        return &window_.at(index);
    }
    return scanTo(index);
}

const Row* Cursor::scanTo(std::int64_t index) {
    const std::int64_t from = *window_.start();
    const std::int64_t to = from + window_.size();
    const bool scanUsable =
        !scan_.empty() && scan_.start() &&
        distance(index, *scan_.start(), *scan_.start() + scan_.size()) <= distance(index, from, to);
    if (!scanUsable) {
        // Start next to the window, on the side of the row asked for.
        if (window_.empty()) {
            return nullptr;
        }
        if (index >= to) {
            if (window_.reachesTail()) {
                return nullptr;
            }
            scan_.assignOne(window_.back(), to - 1, false);
        } else {
            if (window_.reachesHead()) {
                return nullptr;
            }
            scan_.assignOne(window_.front(), from, false);
        }
    }
    while (!scan_.holds(index)) {
        // The scan window is kept around the row the reading heads for, so it lets go of the
        // rows it leaves behind.
        if (index >= *scan_.start() + scan_.size()) {
            scan_.setCurrent(scan_.size() - 1);
            if (scan_.reachesTail() || !loadAfter(scan_)) {
                return nullptr;
            }
        } else {
            scan_.setCurrent(0);
            if (scan_.reachesHead() || !loadBefore(scan_)) {
                return nullptr;
            }
        }
    }
    scan_.setCurrent(static_cast<int>(index - *scan_.start()));
    return &scan_.at(index);
}

bool Cursor::locate(std::string_view fields, const std::vector<Value>& values) {
    const auto names = splitFields(fields);
    if (names.empty() || names.size() != values.size()) {
        throw StoreError("Cursor " + name_ + ": locate needs one value per field");
    }
    std::vector<int> indexes;
    for (const auto& n : names) {
        const int i = fieldIndex(n);
        if (i < 0) {
            throw StoreError("Cursor " + name_ + ": unknown field " + n);
        }
        indexes.push_back(i);
    }
    if (!isOpen()) {
        return false;
    }
    checkBrowseMode();
    const int found = locateRow(indexes, values);
    if (found < 0) {
        return false;
    }
    window_.setCurrent(found);
    eof_ = bof_ = false;
    afterScroll();
    return true;
}

int Cursor::locateRow(const std::vector<int>& fields, const std::vector<Value>& values) {
    std::vector<Value> wanted;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        wanted.push_back(normaliseSearch(fields[k], values[k]));
    }
    for (int r = 0; r < window_.size(); ++r) {
        bool all = true;
        for (std::size_t k = 0; k < fields.size() && all; ++k) {
            all = sameValue(window_[r].values[static_cast<std::size_t>(fields[k])], wanted[k]);
        }
        if (all) {
            return r;
        }
    }
    return -1;
}

const Value& Cursor::value(std::string_view field) const {
    const int i = fieldIndex(field);
    if (i < 0) {
        throw StoreError("Cursor " + name_ + ": unknown field " + std::string(field));
    }
    return value(i);
}

const Value& Cursor::value(int i) const {
    if (i < 0 || i >= fieldCount()) {
        throw StoreError("Cursor " + name_ + ": field index out of range");
    }
    if (isEditing()) {
        return buffer_[static_cast<std::size_t>(i)];
    }
    if (window_.current() < 0) {
        return nullValue();
    }
    return window_.currentRow().values[static_cast<std::size_t>(i)];
}

std::int64_t Cursor::rowid() const {
    if (window_.current() < 0 || state_ == CursorState::Insert) {
        return 0;
    }
    return window_.currentRow().rowid;
}

const std::vector<Value>& Cursor::currentValues() const {
    static const std::vector<Value> none;
    if (isEditing()) {
        return buffer_;
    }
    return window_.current() < 0 ? none : window_.currentRow().values;
}

void Cursor::enableControls() {
    if (listeners_.resume()) {
        listeners_.resetObservers(*this);
        notifyDetails();
        listeners_.dataChanged(*this);
    }
}

void Cursor::notifyReset() {
    listeners_.reset(*this);
}

void Cursor::notifyRowChanged() {
    listeners_.rowChanged(*this);
}

void Cursor::notifyPosition() {
    listeners_.positionChanged(*this);
}

void Cursor::afterScroll() {
    notifyPosition();
    notifyDetails();
}

void Cursor::addDetail(TableCursor* detail) {
    if (std::find(details_.begin(), details_.end(), detail) == details_.end()) {
        details_.push_back(detail);
    }
}

void Cursor::removeDetail(TableCursor* detail) {
    details_.erase(std::remove(details_.begin(), details_.end(), detail), details_.end());
}

void Cursor::notifyDetails() {
    if (controlsDisabled()) {
        return;
    }
    for (auto* d : std::vector<TableCursor*>(details_)) {
        d->masterChanged();
    }
}

}  // namespace spinalyst::store
