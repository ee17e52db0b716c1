#include "store/cursor.h"

#include <algorithm>
#include <limits>

#include "store/database.h"

namespace spinalyst::store {

namespace {

// Rows fetched per page by cursors in stored order. A day of permanence fits in one page.
constexpr int kPageSize = 2048;
// Most rows a paged cursor holds; beyond that it lets go of rows far from the current one, so
// walking or appending to a table of millions of rows keeps memory bounded.
constexpr int kWindowLimit = 4 * kPageSize;

const Value& nullValue() {
    static const Value v;
    return v;
}

std::string ident(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

// Binds the parameters from the first placeholder on; returns the index of the next one.
int bindAll(Statement& s, const std::vector<Value>& params) {
    int p = 1;
    for (const auto& v : params) {
        s.bind(p++, v);
    }
    return p;
}

// Cuts a UTF-8 text to at most n characters without splitting a character.
std::string cutToChars(std::string s, int n) {
    int chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (chars == n) {
                s.resize(i);
                return s;
            }
            ++chars;
        }
    }
    return s;
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

// Equality of a stored value and a search value already converted to the field's type.
bool sameValue(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull()) {
        return a.isNull() && b.isNull();
    }
    if ((a.isInteger() || a.isDouble()) && (b.isInteger() || b.isDouble())) {
        return a.toDouble() == b.toDouble();
    }
    return a == b;
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
    rows_.clear();
    buffer_.clear();
    pos_ = -1;
    eof_ = bof_ = true;
    headComplete_ = tailComplete_ = true;
    windowStart_ = 0;
    state_ = CursorState::Inactive;
    notifyReset();
}

void Cursor::setRows(std::deque<Row> rows) {
    rows_ = std::move(rows);
    headComplete_ = tailComplete_ = true;
    windowStart_ = 0;
    pos_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
}

bool Cursor::isEmpty() const {
    return rows_.empty();
}

void Cursor::first() {
    checkBrowseMode();
    if (!headComplete_) {
        loadFirst();
    }
    pos_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
    afterScroll();
}

void Cursor::last() {
    checkBrowseMode();
    if (!tailComplete_) {
        loadLast();
    }
    pos_ = rows_.empty() ? -1 : static_cast<int>(rows_.size()) - 1;
    eof_ = true;
    bof_ = rows_.empty();
    afterScroll();
}

void Cursor::next() {
    checkBrowseMode();
    if (rows_.empty()) {
        eof_ = bof_ = true;
        return;
    }
    if (pos_ + 1 >= static_cast<int>(rows_.size()) && !(!tailComplete_ && loadAfter())) {
        eof_ = true;
        return;
    }
    ++pos_;
    eof_ = bof_ = false;
    afterScroll();
}

void Cursor::prior() {
    checkBrowseMode();
    if (rows_.empty()) {
        eof_ = bof_ = true;
        return;
    }
    if (pos_ == 0 && !(!headComplete_ && loadBefore())) {
        bof_ = true;
        return;
    }
    --pos_;
    eof_ = bof_ = false;
    afterScroll();
}

void Cursor::moveBy(int n) {
    checkBrowseMode();
    if (rows_.empty()) {
        eof_ = bof_ = true;
        return;
    }
    const int startPos = pos_;
    bool hitEnd = false;
    for (; n > 0; --n) {
        if (pos_ + 1 >= static_cast<int>(rows_.size()) && !(!tailComplete_ && loadAfter())) {
            hitEnd = true;
            break;
        }
        ++pos_;
    }
    for (; n < 0; ++n) {
        if (pos_ == 0 && !(!headComplete_ && loadBefore())) {
            hitEnd = true;
            break;
        }
        --pos_;
    }
    // Reaching an end in the direction of the move reports it, as next() and prior() do.
    eof_ = hitEnd && n >= 0 && pos_ + 1 >= static_cast<int>(rows_.size());
    bof_ = hitEnd && !eof_;
    if (pos_ != startPos) {
        afterScroll();
    }
}

int Cursor::recordCount() {
    return static_cast<int>(rows_.size());
}

int Cursor::recordIndex() {
    if (pos_ < 0) {
        return -1;
    }
    if (!windowStart_) {
        computeWindowStart();
    }
    if (!windowStart_) {
        return -1;
    }
    return static_cast<int>(*windowStart_ + pos_);
}

bool Cursor::moveTo(int index) {
    if (!rowAt(index)) {
        return false;
    }
    checkBrowseMode();
    const int target = static_cast<int>(index - *windowStart_);
    if (target != pos_) {
        pos_ = target;
        eof_ = bof_ = false;
        afterScroll();
    }
    return true;
}

const Row* Cursor::rowAt(int index) {
    if (index < 0 || !isOpen()) {
        return nullptr;
    }
    if (!windowStart_) {
        computeWindowStart();
        if (!windowStart_) {
            return nullptr;
        }
    }
    while (index < *windowStart_) {
        if (headComplete_ || !loadBefore()) {
            return nullptr;
        }
    }
    while (index >= *windowStart_ + static_cast<std::int64_t>(rows_.size())) {
        if (tailComplete_ || !loadAfter()) {
            return nullptr;
        }
    }
    return &rows_[static_cast<std::size_t>(index - *windowStart_)];
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
    pos_ = found;
    eof_ = bof_ = false;
    afterScroll();
    return true;
}

int Cursor::locateRow(const std::vector<int>& fields, const std::vector<Value>& values) {
    std::vector<Value> wanted;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        wanted.push_back(normaliseSearch(fields[k], values[k]));
    }
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        bool all = true;
        for (std::size_t k = 0; k < fields.size() && all; ++k) {
            all = sameValue(rows_[r].values[static_cast<std::size_t>(fields[k])], wanted[k]);
        }
        if (all) {
            return static_cast<int>(r);
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
    if (pos_ < 0) {
        return nullValue();
    }
    return rows_[static_cast<std::size_t>(pos_)].values[static_cast<std::size_t>(i)];
}

std::int64_t Cursor::rowid() const {
    if (pos_ < 0 || state_ == CursorState::Insert) {
        return 0;
    }
    return rows_[static_cast<std::size_t>(pos_)].rowid;
}

const std::vector<Value>& Cursor::currentValues() const {
    static const std::vector<Value> none;
    if (isEditing()) {
        return buffer_;
    }
    return pos_ < 0 ? none : rows_[static_cast<std::size_t>(pos_)].values;
}

void Cursor::addObserver(CursorObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
        observers_.push_back(observer);
    }
}

void Cursor::removeObserver(CursorObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void Cursor::disableControls() {
    ++disabledCount_;
}

void Cursor::enableControls() {
    if (disabledCount_ == 0) {
        return;
    }
    if (--disabledCount_ == 0) {
        pendingReset_ = false;
        for (auto* o : std::vector<CursorObserver*>(observers_)) {
            o->cursorReset(*this);
        }
        notifyDetails();
        if (dataChangeHook_) {
            dataChangeHook_(*this);
        }
    }
}

void Cursor::notifyReset() {
    if (controlsDisabled()) {
        pendingReset_ = true;
        return;
    }
    for (auto* o : std::vector<CursorObserver*>(observers_)) {
        o->cursorReset(*this);
    }
    if (dataChangeHook_) {
        dataChangeHook_(*this);
    }
}

void Cursor::notifyRowChanged() {
    if (controlsDisabled()) {
        pendingReset_ = true;
        return;
    }
    for (auto* o : std::vector<CursorObserver*>(observers_)) {
        o->currentRowChanged(*this);
    }
    if (dataChangeHook_) {
        dataChangeHook_(*this);
    }
}

void Cursor::notifyPosition() {
    if (controlsDisabled()) {
        pendingReset_ = true;
        return;
    }
    for (auto* o : std::vector<CursorObserver*>(observers_)) {
        o->positionChanged(*this);
    }
    if (dataChangeHook_) {
        dataChangeHook_(*this);
    }
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

// ---- TableCursor -----------------------------------------------------------------------------

TableCursor::TableCursor(std::string name, Database& database, std::string_view tableName)
    : Cursor(std::move(name)), database_(database), table_(findTable(tableName)) {
    if (!table_) {
        throw StoreError("Cursor " + this->name() + ": unknown table " + std::string(tableName));
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < table_->fields.size(); ++i) {
        const auto& f = table_->fields[i];
        names.emplace_back(f.name);
        if (f.stored()) {
            storedIndex_.push_back(static_cast<int>(i));
        } else {
            calculatedIndex_.push_back(static_cast<int>(i));
        }
        if (f.type == FieldType::AutoInc) {
            autoIncIndex_ = static_cast<int>(i);
        }
    }
    setFieldNames(std::move(names));
    readOnly_.assign(table_->fields.size(), false);
}

TableCursor::~TableCursor() {
    if (master_) {
        master_->removeDetail(this);
    }
    for (auto* d : std::vector<TableCursor*>(details_)) {
        d->master_ = nullptr;
    }
}

bool TableCursor::pagedOrder() const {
    return indexName_.empty() || indexName_ == "sys_primary";
}

void TableCursor::setIndexName(std::string indexName) {
    if (!indexName.empty() && indexName != "sys_primary" && !table_->index(indexName)) {
        throw StoreError("Table " + std::string(table_->name) + " has no index " + indexName);
    }
    indexName_ = std::move(indexName);
    if (isOpen()) {
        reload(rowid(), 0);
    }
}

void TableCursor::setMasterLink(Cursor* master,
                                std::vector<std::pair<std::string, std::string>> fields) {
    for (const auto& [masterField, detailField] : fields) {
        if (fieldIndex(detailField) < 0) {
            throw StoreError("Cursor " + name() + ": unknown field " + detailField);
        }
        (void)masterField;
    }
    if (master_) {
        master_->removeDetail(this);
    }
    master_ = master;
    masterFields_ = std::move(fields);
    if (master_) {
        master_->addDetail(this);
    }
    if (isOpen()) {
        masterChanged();
    }
}

void TableCursor::clearMasterLink() {
    if (master_) {
        master_->removeDetail(this);
    }
    master_ = nullptr;
    masterFields_.clear();
    if (isOpen()) {
        masterChanged();
    }
}

void TableCursor::setFiltered(bool on) {
    filtered_ = on;
    if (isOpen()) {
        checkBrowseMode();
        reload(rowid(), 0);
    }
}

void TableCursor::setReadOnly(std::string_view field, bool readOnly) {
    const int i = fieldIndex(field);
    if (i < 0) {
        throw StoreError("Cursor " + name() + ": unknown field " + std::string(field));
    }
    readOnly_[static_cast<std::size_t>(i)] = readOnly;
}

std::string TableCursor::selectList() const {
    std::string s = "SELECT rowid";
    for (int i : storedIndex_) {
        s += ", " + ident(table_->fields[static_cast<std::size_t>(i)].name);
    }
    s += " FROM " + ident(table_->name);
    return s;
}

TableCursor::Where TableCursor::baseWhere() const {
    Where w;
    appliedLink_ = linkValues();
    if (master_) {
        if (!master_->isOpen() || (master_->isEmpty() && !master_->isEditing())) {
            w.sql = "0";
            return w;
        }
        for (const auto& [masterField, detailField] : masterFields_) {
            if (!w.sql.empty()) {
                w.sql += " AND ";
            }
            w.sql += ident(detailField) + " = ?";
            const int di = fieldIndex(detailField);
            w.params.push_back(normalise(di, master_->value(masterField)));
        }
    }
    if (filtered_ && filterRange_) {
        // The filter's range narrows the reading itself; the predicate still decides per row.
        const auto [from, to] = filterRange_();
        const int fi = fieldIndex(filterRangeField_);
        if (!w.sql.empty()) {
            w.sql += " AND ";
        }
        w.sql += ident(filterRangeField_) + " >= ? AND " + ident(filterRangeField_) + " <= ?";
        w.params.push_back(normalise(fi, from));
        w.params.push_back(normalise(fi, to));
    }
    return w;
}

void TableCursor::setFilterRange(std::string field, FilterRange range) {
    if (fieldIndex(field) < 0) {
        throw StoreError("Cursor " + name() + ": unknown field " + field);
    }
    filterRangeField_ = std::move(field);
    filterRange_ = std::move(range);
}

std::string TableCursor::orderBy(bool descending) const {
    const char* dir = descending ? " DESC" : "";
    std::string s = " ORDER BY ";
    if (!pagedOrder()) {
        for (const char* f : table_->index(indexName_)->fields) {
            s += ident(f) + dir + ", ";
        }
    }
    s += std::string("rowid") + dir;
    return s;
}

Row TableCursor::readRow(Statement& s) const {
    Row row;
    row.rowid = s.int64(0);
    row.values.resize(table_->fields.size());
    for (std::size_t c = 0; c < storedIndex_.size(); ++c) {
        const int col = static_cast<int>(c) + 1;
        const auto fi = static_cast<std::size_t>(storedIndex_[c]);
        if (s.isNull(col)) {
            continue;
        }
        switch (table_->fields[fi].type) {
            case FieldType::Integer:
            case FieldType::AutoInc:
                row.values[fi] = Value(s.int64(col));
                break;
            case FieldType::Float:
                row.values[fi] = Value(s.real(col));
                break;
            case FieldType::Date: {
                const auto d = Date::parseIso(s.text(col));
                row.values[fi] = d ? Value(*d) : Value();
                break;
            }
            default:
                row.values[fi] = Value(s.text(col));
                break;
        }
    }
    computeCalculated(row);
    return row;
}

void TableCursor::computeCalculated(Row& row) const {
    if (calculatedIndex_.empty() || !calcFields_) {
        return;
    }
    std::vector<Value> calc(calculatedIndex_.size());
    calcFields_(RowView(*this, row), calc);
    for (std::size_t k = 0; k < calculatedIndex_.size() && k < calc.size(); ++k) {
        const auto fi = static_cast<std::size_t>(calculatedIndex_[k]);
        const auto& f = table_->fields[fi];
        row.values[fi] = calc[k].isNull() ? Value() : Value(cutToChars(calc[k].toText(), f.size));
    }
}

bool TableCursor::passes(const Row& row) const {
    return !filtered_ || !filter_ || filter_(RowView(*this, row));
}

TableCursor::Page TableCursor::fetchPage(const char* op, std::int64_t rowid, bool descending,
                                         int limit) {
    Page page;
    Where w = baseWhere();
    std::string sql = selectList() + " WHERE ";
    if (!w.sql.empty()) {
        sql += w.sql + " AND ";
    }
    sql += std::string("rowid ") + op + " ?" + orderBy(descending) + " LIMIT ?";
    Statement& s = database_.cached(sql);
    int p = bindAll(s, w.params);
    std::int64_t cursorRowid = rowid;
    // With a filter on, keep fetching until the page holds `limit` shown rows or the table ends.
    while (true) {
        s.bind(p, cursorRowid);
        s.bind(p + 1, static_cast<std::int64_t>(limit));
        int raw = 0;
        while (s.step()) {
            ++raw;
            Row row = readRow(s);
            cursorRowid = row.rowid;
            if (passes(row)) {
                page.rows.push_back(std::move(row));
            }
        }
        s.reset();
        if (raw < limit) {
            page.end = true;
            break;
        }
        if (static_cast<int>(page.rows.size()) >= limit) {
            break;
        }
    }
    if (descending) {
        std::reverse(page.rows.begin(), page.rows.end());
    }
    return page;
}

void TableCursor::loadAll() {
    Where w = baseWhere();
    std::string sql = selectList();
    if (!w.sql.empty()) {
        sql += " WHERE " + w.sql;
    }
    sql += orderBy(false);
    Statement& s = database_.cached(sql);
    bindAll(s, w.params);
    std::deque<Row> rows;
    while (s.step()) {
        Row row = readRow(s);
        if (passes(row)) {
            rows.push_back(std::move(row));
        }
    }
    s.reset();
    setRows(std::move(rows));
}

void TableCursor::loadFirst() {
    if (!pagedOrder()) {
        loadAll();
        return;
    }
    Page page = fetchPage(">", std::numeric_limits<std::int64_t>::min(), false, kPageSize);
    rows_.assign(std::make_move_iterator(page.rows.begin()),
                 std::make_move_iterator(page.rows.end()));
    headComplete_ = true;
    tailComplete_ = page.end;
    windowStart_ = 0;
    pos_ = rows_.empty() ? -1 : 0;
}

bool TableCursor::loadAfter() {
    if (rows_.empty() || !pagedOrder()) {
        return false;
    }
    Page page = fetchPage(">", rows_.back().rowid, false, kPageSize);
    tailComplete_ = page.end;
    for (auto& r : page.rows) {
        rows_.push_back(std::move(r));
    }
    trimWindow(true);
    return !page.rows.empty();
}

void TableCursor::trimWindow(bool grewAtTail) {
    const int size = static_cast<int>(rows_.size());
    if (size <= kWindowLimit || pos_ < 0) {
        return;
    }
    // Only the side away from the growth is trimmed, and a page on either side of the current
    // row always stays, so a reader moving on never loses the rows it just fetched.
    if (grewAtTail) {
        const int dropHead = std::max(0, pos_ - kPageSize);
        if (dropHead > 0) {
            rows_.erase(rows_.begin(), rows_.begin() + dropHead);
            pos_ -= dropHead;
            headComplete_ = false;
            if (windowStart_) {
                *windowStart_ += dropHead;
            }
        }
    } else {
        const int keepEnd = std::min(size, pos_ + kPageSize + 1);
        if (keepEnd < size) {
            rows_.erase(rows_.begin() + keepEnd, rows_.end());
            tailComplete_ = false;
        }
    }
}

bool TableCursor::loadBefore() {
    if (rows_.empty() || !pagedOrder()) {
        return false;
    }
    Page page = fetchPage("<", rows_.front().rowid, true, kPageSize);
    headComplete_ = page.end;
    const int n = static_cast<int>(page.rows.size());
    for (auto it = page.rows.rbegin(); it != page.rows.rend(); ++it) {
        rows_.push_front(std::move(*it));
    }
    pos_ += n;
    if (windowStart_) {
        *windowStart_ -= n;
    }
    trimWindow(false);
    return n > 0;
}

bool TableCursor::loadLast() {
    if (!pagedOrder()) {
        loadAll();
        return !rows_.empty();
    }
    Page page = fetchPage("<", std::numeric_limits<std::int64_t>::max(), true, kPageSize);
    rows_.assign(std::make_move_iterator(page.rows.begin()),
                 std::make_move_iterator(page.rows.end()));
    tailComplete_ = true;
    headComplete_ = page.end;
    windowStart_.reset();
    if (headComplete_) {
        windowStart_ = 0;
    }
    pos_ = rows_.empty() ? -1 : static_cast<int>(rows_.size()) - 1;
    return !rows_.empty();
}

void TableCursor::loadFrom(std::int64_t rowid) {
    Page page = fetchPage(">=", rowid, false, kPageSize);
    rows_.assign(std::make_move_iterator(page.rows.begin()),
                 std::make_move_iterator(page.rows.end()));
    tailComplete_ = page.end;
    headComplete_ = false;
    windowStart_.reset();
    pos_ = rows_.empty() ? -1 : 0;
    if (rows_.empty()) {
        loadLast();
    }
}

void TableCursor::computeWindowStart() {
    if (windowStart_ || rows_.empty()) {
        windowStart_ = windowStart_.value_or(0);
        return;
    }
    if (filtered_ && filter_) {
        // Counting shown rows before the window needs the filter: read from the head instead.
        const std::int64_t keep = rowid();
        loadFirst();
        while (!tailComplete_ && rows_.back().rowid < keep) {
            loadAfter();
        }
        positionOnRowid(keep);
        return;
    }
    Where w = baseWhere();
    std::string sql = "SELECT COUNT(*) FROM " + ident(table_->name) + " WHERE ";
    if (!w.sql.empty()) {
        sql += w.sql + " AND ";
    }
    sql += "rowid < ?";
    Statement& s = database_.cached(sql);
    int p = bindAll(s, w.params);
    s.bind(p, rows_.front().rowid);
    s.step();
    windowStart_ = s.int64(0);
    s.reset();
}

int TableCursor::recordCount() {
    if (!isOpen()) {
        return 0;
    }
    if (headComplete_ && tailComplete_) {
        return static_cast<int>(rows_.size());
    }
    Where w = baseWhere();
    if (filtered_ && filter_) {
        std::string sql = selectList();
        if (!w.sql.empty()) {
            sql += " WHERE " + w.sql;
        }
        Statement& s = database_.cached(sql);
        bindAll(s, w.params);
        int n = 0;
        while (s.step()) {
            n += passes(readRow(s)) ? 1 : 0;
        }
        s.reset();
        return n;
    }
    std::string sql = "SELECT COUNT(*) FROM " + ident(table_->name);
    if (!w.sql.empty()) {
        sql += " WHERE " + w.sql;
    }
    Statement& s = database_.cached(sql);
    bindAll(s, w.params);
    s.step();
    const auto n = static_cast<int>(s.int64(0));
    s.reset();
    return n;
}

int TableCursor::locateRow(const std::vector<int>& fields, const std::vector<Value>& values) {
    if (headComplete_ && tailComplete_) {
        return Cursor::locateRow(fields, values);
    }
    // Not every shown row is loaded: ask the table for the first match in shown order.
    Where w = baseWhere();
    std::string sql = selectList() + " WHERE ";
    if (!w.sql.empty()) {
        sql += w.sql + " AND ";
    }
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const auto fi = static_cast<std::size_t>(fields[k]);
        if (!table_->fields[fi].stored()) {
            return Cursor::locateRow(fields, values);
        }
        sql += (k ? " AND " : "") + ident(table_->fields[fi].name) + " IS ?";
    }
    sql += orderBy(false);
    Statement& s = database_.cached(sql);
    int p = bindAll(s, w.params);
    for (std::size_t k = 0; k < fields.size(); ++k) {
        s.bind(p++, normaliseSearch(fields[k], values[k]));
    }
    std::int64_t found = 0;
    bool any = false;
    while (s.step()) {
        Row row = readRow(s);
        if (passes(row)) {
            found = row.rowid;
            any = true;
            break;
        }
    }
    s.reset();
    if (!any) {
        return -1;
    }
    if (!rows_.empty() && found >= rows_.front().rowid && found <= rows_.back().rowid) {
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            if (rows_[r].rowid == found) {
                return static_cast<int>(r);
            }
        }
    }
    loadFrom(found);
    return 0;
}

Value TableCursor::normalise(int fi, const Value& v) const {
    const auto& f = table_->fields[static_cast<std::size_t>(fi)];
    if (v.isNull()) {
        return v;
    }
    switch (f.type) {
        case FieldType::Integer:
        case FieldType::AutoInc: {
            if (v.isInteger()) {
                return v;
            }
            if (v.isDouble()) {
                return Value(static_cast<std::int64_t>(v.toDouble()));
            }
            if (v.isDate()) {
                return Value(static_cast<std::int64_t>(v.toDate().days()));
            }
            const std::string t = v.toText();
            if (t.empty()) {
                return Value();
            }
            const std::int64_t n = v.toInt64();
            if (n == 0 && t != "0" && t != "-0" && t != "+0") {
                throw StoreError("'" + t + "' is not a valid integer for field " + f.name);
            }
            return Value(n);
        }
        case FieldType::Float:
            return Value(v.toDouble());
        case FieldType::Date: {
            if (v.isDate()) {
                return v;
            }
            const std::string t = v.toText();
            if (t.empty()) {
                return Value();
            }
            if (auto d = Date::parse(t)) {
                return Value(*d);
            }
            throw StoreError("'" + t + "' is not a valid date for field " + f.name);
        }
        case FieldType::Text:
        case FieldType::Calculated: {
            std::string t = cutToChars(v.toText(), f.size);
            return t.empty() ? Value() : Value(std::move(t));
        }
        case FieldType::Memo: {
            std::string t = v.toText();
            return t.empty() ? Value() : Value(std::move(t));
        }
    }
    return v;
}

Value TableCursor::normaliseSearch(int fi, const Value& v) const {
    const auto& f = table_->fields[static_cast<std::size_t>(fi)];
    // Searching a text field for an exact value must not cut the value to the field size.
    if (f.type == FieldType::Text || f.type == FieldType::Memo || f.type == FieldType::Calculated) {
        std::string t = v.toText();
        return v.isNull() ? Value() : Value(std::move(t));
    }
    try {
        return normalise(fi, v);
    } catch (const StoreError&) {
        return v;  // cannot equal any stored value of the field
    }
}

namespace {

// Order of values as SQLite sorts them: null first, then numbers, then texts (days are stored as
// ISO text, which sorts like the days themselves).
int orderRank(const Value& v) {
    if (v.isNull()) {
        return 0;
    }
    if (v.isInteger() || v.isDouble()) {
        return 1;
    }
    return 2;
}

int compareForOrder(const Value& a, const Value& b) {
    const int ra = orderRank(a);
    const int rb = orderRank(b);
    if (ra != rb || ra == 0) {
        return ra - rb;
    }
    if (ra == 1) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const std::string x = a.isDate() ? a.toDate().iso() : a.toText();
    const std::string y = b.isDate() ? b.toDate().iso() : b.toText();
    return x.compare(y);
}

}  // namespace

bool TableCursor::indexLess(const Row& a, const Row& b) const {
    for (const char* f : table_->index(indexName_)->fields) {
        const auto fi = static_cast<std::size_t>(fieldIndex(f));
        const int c = compareForOrder(a.values[fi], b.values[fi]);
        if (c != 0) {
            return c < 0;
        }
    }
    return a.rowid < b.rowid;
}

bool TableCursor::shownByLink(const Row& row) const {
    if (!master_) {
        return true;
    }
    if (appliedLink_.empty() || appliedLink_[0].toInt() == 0) {
        return false;
    }
    for (std::size_t k = 0; k < masterFields_.size() && k + 1 < appliedLink_.size(); ++k) {
        const auto di = static_cast<std::size_t>(fieldIndex(masterFields_[k].second));
        if (compareForOrder(row.values[di], appliedLink_[k + 1]) != 0 || row.values[di].isNull()) {
            return false;
        }
    }
    return true;
}

void TableCursor::requireRow() const {
    if (!isOpen()) {
        throw StoreError("Cursor " + name() + " is not open");
    }
    if (pos_ < 0) {
        throw StoreError("Cursor " + name() + ": no current row");
    }
}

void TableCursor::open() {
    if (isOpen()) {
        return;
    }
    if (!database_.isConnected()) {
        throw StoreError("Cursor " + name() + ": database " + Database::fileName(database_.file()) +
                         " is not connected");
    }
    setState(CursorState::Browse);
    try {
        loadFirst();
    } catch (...) {
        setState(CursorState::Inactive);
        throw;
    }
    bof_ = true;
    eof_ = rows_.empty();
    notifyReset();
    notifyDetails();
}

void TableCursor::close() {
    if (!isOpen()) {
        return;
    }
    Cursor::close();
    notifyDetails();
}

void TableCursor::checkBrowseMode() {
    if (isEditing()) {
        post();
    }
}

void TableCursor::edit() {
    if (isEditing()) {
        return;
    }
    requireRow();
    buffer_ = rows_[static_cast<std::size_t>(pos_)].values;
    editRowid_ = rows_[static_cast<std::size_t>(pos_)].rowid;
    setState(CursorState::Edit);
}

void TableCursor::append() {
    if (!isOpen()) {
        throw StoreError("Cursor " + name() + " is not open");
    }
    checkBrowseMode();
    buffer_.assign(table_->fields.size(), Value());
    // A new row of a detail cursor belongs to the master's current row.
    if (master_ && master_->isOpen()) {
        for (const auto& [masterField, detailField] : masterFields_) {
            const int di = fieldIndex(detailField);
            buffer_[static_cast<std::size_t>(di)] = normalise(di, master_->value(masterField));
        }
    }
    editRowid_ = 0;
    setState(CursorState::Insert);
    notifyRowChanged();
}

void TableCursor::setValue(std::string_view field, const Value& v) {
    const int i = fieldIndex(field);
    if (i < 0) {
        throw StoreError("Cursor " + name() + ": unknown field " + std::string(field));
    }
    const auto& f = table_->fields[static_cast<std::size_t>(i)];
    if (f.type == FieldType::AutoInc || f.type == FieldType::Calculated ||
        readOnly_[static_cast<std::size_t>(i)]) {
        throw StoreError("Cursor " + name() + ": field " + f.name + " is read-only");
    }
    if (!isEditing()) {
        edit();
    }
    buffer_[static_cast<std::size_t>(i)] = normalise(i, v);
    notifyRowChanged();
}

void TableCursor::post() {
    if (!isEditing()) {
        return;
    }
    if (beforePost_) {
        beforePost_(*this);  // may throw PostCancelled; the row stays in its edit state
    }
    for (int i : storedIndex_) {
        const auto& f = table_->fields[static_cast<std::size_t>(i)];
        if (f.required && buffer_[static_cast<std::size_t>(i)].isNull()) {
            throw StoreError(
                "Table " + std::string(table_->name) + ": field " + f.name + " must have a value",
                SQLITE_CONSTRAINT, SQLITE_CONSTRAINT_NOTNULL);
        }
    }
    const bool inserting = state() == CursorState::Insert;
    std::int64_t rowid = editRowid_;
    if (inserting) {
        std::string cols;
        std::string marks;
        for (int i : storedIndex_) {
            if (!cols.empty()) {
                cols += ", ";
                marks += ", ";
            }
            cols += ident(table_->fields[static_cast<std::size_t>(i)].name);
            marks += "?";
        }
        Statement& s = database_.cached("INSERT INTO " + ident(table_->name) + " (" + cols +
                                        ") VALUES (" + marks + ")");
        int p = 1;
        for (int i : storedIndex_) {
            s.bind(p++, i == autoIncIndex_ ? Value() : buffer_[static_cast<std::size_t>(i)]);
        }
        s.run();
        rowid = database_.connection().lastInsertRowid();
        if (autoIncIndex_ >= 0) {
            buffer_[static_cast<std::size_t>(autoIncIndex_)] = Value(rowid);
        }
    } else {
        std::string sets;
        for (int i : storedIndex_) {
            if (i == autoIncIndex_) {
                continue;
            }
            if (!sets.empty()) {
                sets += ", ";
            }
            sets += ident(table_->fields[static_cast<std::size_t>(i)].name) + " = ?";
        }
        Statement& s =
            database_.cached("UPDATE " + ident(table_->name) + " SET " + sets + " WHERE rowid = ?");
        int p = 1;
        for (int i : storedIndex_) {
            if (i != autoIncIndex_) {
                s.bind(p++, buffer_[static_cast<std::size_t>(i)]);
            }
        }
        s.bind(p, rowid);
        s.run();
    }

    Row row{rowid, std::move(buffer_)};
    buffer_.clear();
    setState(CursorState::Browse);
    computeCalculated(row);

    if (!pagedOrder()) {
        bool keysKept = !inserting;
        if (keysKept) {
            const auto& old = rows_[static_cast<std::size_t>(pos_)].values;
            for (const char* f : table_->index(indexName_)->fields) {
                const auto fi = static_cast<std::size_t>(fieldIndex(f));
                keysKept = keysKept && old[fi] == row.values[fi];
            }
        }
        if (keysKept) {
            rows_[static_cast<std::size_t>(pos_)] = std::move(row);
            notifyRowChanged();
        } else if (passes(row) && shownByLink(row)) {
            // Still shown: move the row to its place in index order without reading the table.
            if (!inserting) {
                rows_.erase(rows_.begin() + pos_);
            }
            const auto at =
                std::upper_bound(rows_.begin(), rows_.end(), row,
                                 [this](const Row& a, const Row& b) { return indexLess(a, b); });
            pos_ = static_cast<int>(at - rows_.begin());
            rows_.insert(at, std::move(row));
            eof_ = bof_ = false;
            notifyReset();
        } else {
            // The row left the shown rows: read them again.
            reload(rowid, pos_);
        }
        notifyDetails();
        return;
    }
    if (inserting) {
        if (tailComplete_) {
            rows_.push_back(std::move(row));
            pos_ = static_cast<int>(rows_.size()) - 1;
            trimWindow(true);
        } else {
            loadLast();
            positionOnRowid(rowid);
        }
        eof_ = bof_ = false;
        notifyReset();
    } else {
        rows_[static_cast<std::size_t>(pos_)] = std::move(row);
        notifyRowChanged();
    }
    notifyDetails();
}

void TableCursor::cancel() {
    if (!isEditing()) {
        return;
    }
    buffer_.clear();
    setState(CursorState::Browse);
    notifyRowChanged();
}

void TableCursor::appendRecord(const std::vector<Value>& values) {
    append();
    try {
        for (std::size_t i = 0; i < values.size() && i < buffer_.size(); ++i) {
            if (values[i].isNull()) {
                continue;
            }
            const auto& f = table_->fields[i];
            if (f.type == FieldType::AutoInc || f.type == FieldType::Calculated) {
                throw StoreError("Cursor " + name() + ": field " + f.name + " is read-only");
            }
            buffer_[i] = normalise(static_cast<int>(i), values[i]);
        }
        post();
    } catch (...) {
        cancel();
        throw;
    }
}

void TableCursor::setFields(const std::vector<Value>& values) {
    for (std::size_t i = 0; i < values.size() && i < table_->fields.size(); ++i) {
        if (!values[i].isNull()) {
            setValue(table_->fields[i].name, values[i]);
        }
    }
}

void TableCursor::remove() {
    if (state() == CursorState::Insert) {
        cancel();
        return;
    }
    cancel();
    requireRow();
    Statement& s = database_.cached("DELETE FROM " + ident(table_->name) + " WHERE rowid = ?");
    s.bind(1, rows_[static_cast<std::size_t>(pos_)].rowid);
    s.run();
    rows_.erase(rows_.begin() + pos_);
    if (pos_ >= static_cast<int>(rows_.size())) {
        if (!tailComplete_ && !rows_.empty()) {
            loadAfter();
        }
        pos_ = std::min(pos_, static_cast<int>(rows_.size()) - 1);
    }
    if (rows_.empty() && (!headComplete_ || !tailComplete_)) {
        loadLast();
    }
    eof_ = rows_.empty();
    bof_ = rows_.empty();
    notifyReset();
    if (afterDelete_) {
        afterDelete_(*this);
    }
    notifyDetails();
}

void TableCursor::positionOnRowid(std::int64_t rowid) {
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        if (rows_[r].rowid == rowid) {
            pos_ = static_cast<int>(r);
            return;
        }
    }
}

void TableCursor::reload(std::optional<std::int64_t> keepRowid, int fallbackIndex) {
    const bool fromHead = headComplete_;
    const std::int64_t keep = keepRowid.value_or(0);
    if (!pagedOrder() || fromHead || keep == 0) {
        loadFirst();
        while (pagedOrder() && keep != 0 && !tailComplete_ && !rows_.empty() &&
               rows_.back().rowid < keep) {
            loadAfter();
        }
    } else {
        loadFrom(keep);
    }
    pos_ = rows_.empty() ? -1 : std::clamp(fallbackIndex, 0, static_cast<int>(rows_.size()) - 1);
    if (keep != 0) {
        positionOnRowid(keep);
    }
    eof_ = rows_.empty();
    bof_ = rows_.empty();
    notifyReset();
}

void TableCursor::refresh() {
    if (!isOpen()) {
        return;
    }
    checkBrowseMode();
    reload(rowid(), pos_);
    notifyDetails();
}

void TableCursor::emptyTable() {
    if (isEditing()) {
        cancel();
    }
    database_.cached("DELETE FROM " + ident(table_->name)).run();
    if (isOpen()) {
        reload(std::nullopt, 0);
        notifyDetails();
    }
}

std::vector<Value> TableCursor::linkValues() const {
    std::vector<Value> v;
    if (!master_) {
        return v;
    }
    const bool usable = master_->isOpen() && !(master_->isEmpty() && !master_->isEditing());
    v.emplace_back(usable ? 1 : 0);
    if (usable) {
        for (const auto& [masterField, detailField] : masterFields_) {
            v.push_back(normalise(fieldIndex(detailField), master_->value(masterField)));
        }
    }
    return v;
}

void TableCursor::masterChanged() {
    if (!isOpen()) {
        return;
    }
    // A master that moved or was posted without changing the link values shows the same rows:
    // the detail keeps its position (number entry relies on this when it posts the selection).
    if (linkValues() == appliedLink_) {
        return;
    }
    checkBrowseMode();
    loadFirst();
    bof_ = true;
    eof_ = rows_.empty();
    notifyReset();
    notifyDetails();
}

// ---- QueryCursor -----------------------------------------------------------------------------

QueryCursor::QueryCursor(std::string name, Database& database, std::string sql)
    : Cursor(std::move(name)), database_(database), sql_(std::move(sql)) {}

void QueryCursor::setSql(std::string sql, std::vector<Value> params) {
    if (isOpen()) {
        close();
    }
    sql_ = std::move(sql);
    params_ = std::move(params);
}

void QueryCursor::clearSql() {
    setSql({}, {});
}

void QueryCursor::open() {
    if (isOpen()) {
        return;
    }
    if (sql_.empty()) {
        throw StoreError("Query " + name() + " has no statement");
    }
    Statement& s = database_.cached(sql_);
    s.clearBindings();
    for (std::size_t i = 0; i < params_.size(); ++i) {
        s.bind(static_cast<int>(i) + 1, params_[i]);
    }
    const int n = s.columnCount();
    std::vector<std::string> names;
    std::vector<bool> isDate;
    for (int c = 0; c < n; ++c) {
        names.push_back(s.columnName(c));
        const char* decl = sqlite3_column_decltype(s.handle(), c);
        isDate.push_back(decl && std::string_view(decl) == "DATE");
    }
    setFieldNames(std::move(names));
    std::deque<Row> rows;
    try {
        while (s.step()) {
            Row row;
            row.values.reserve(static_cast<std::size_t>(n));
            for (int c = 0; c < n; ++c) {
                Value v = s.value(c);
                if (isDate[static_cast<std::size_t>(c)] && v.isText()) {
                    const auto d = Date::parseIso(v.toText());
                    v = d ? Value(*d) : Value();
                }
                row.values.push_back(std::move(v));
            }
            rows.push_back(std::move(row));
        }
    } catch (...) {
        s.reset();
        throw;
    }
    s.reset();
    setState(CursorState::Browse);
    setRows(std::move(rows));
    notifyReset();
    notifyDetails();
}

void QueryCursor::close() {
    if (!isOpen()) {
        return;
    }
    Cursor::close();
    notifyDetails();
}

int QueryCursor::execute() {
    if (sql_.empty()) {
        throw StoreError("Query " + name() + " has no statement");
    }
    Statement& s = database_.cached(sql_);
    s.clearBindings();
    for (std::size_t i = 0; i < params_.size(); ++i) {
        s.bind(static_cast<int>(i) + 1, params_[i]);
    }
    s.run();
    return database_.connection().changes();
}

}  // namespace spinalyst::store
