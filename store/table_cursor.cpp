#include <algorithm>
#include <limits>

#include "store/cursor.h"
#include "store/database.h"
#include "store/field_value.h"
#include "store/query_text.h"
#include "store/row_order.h"

namespace spinalyst::store {

namespace {

const TableDef& tableNamed(const std::string& cursor, std::string_view table) {
    const TableDef* t = findTable(table);
    if (!t) {
        throw StoreError("Cursor " + cursor + ": unknown table " + std::string(table));
    }
    return *t;
}

}  // namespace

TableCursor::TableCursor(std::string name, Database& database, std::string_view tableName)
    : Cursor(std::move(name)),
      database_(database),
      table_(&tableNamed(this->name(), tableName)),
      link_(*table_) {
    std::vector<std::string> names;
    std::vector<std::string> inserted;
    std::vector<std::string> updated;
    for (std::size_t i = 0; i < table_->fields.size(); ++i) {
        const auto& f = table_->fields[i];
        names.emplace_back(f.name);
        if (f.stored()) {
            storedIndex_.push_back(static_cast<int>(i));
            inserted.emplace_back(f.name);
            if (f.type != FieldType::AutoInc) {
                updated.emplace_back(f.name);
            }
        } else {
            calculatedIndex_.push_back(static_cast<int>(i));
        }
        if (f.type == FieldType::AutoInc) {
            autoIncIndex_ = static_cast<int>(i);
        }
    }
    setFieldNames(std::move(names));
    readOnly_.assign(table_->fields.size(), false);
    insertSql_ = insertText(table_->name, inserted);
    updateSql_ = updateText(table_->name, updated);
    deleteSql_ = deleteRowText(table_->name);
}

TableCursor::~TableCursor() {
    if (link_.master()) {
        link_.master()->removeDetail(this);
    }
    for (auto* d : std::vector<TableCursor*>(details_)) {
        d->link_.forgetMaster();
    }
}

bool TableCursor::pagedOrder() const {
    return !indexOrder_;
}

void TableCursor::setIndexName(std::string indexName) {
    const IndexDef* index = nullptr;
    if (!indexName.empty() && indexName != "sys_primary") {
        index = table_->index(indexName);
        if (!index) {
            throw StoreError("Table " + std::string(table_->name) + " has no index " + indexName);
        }
    }
    indexName_ = std::move(indexName);
    indexOrder_.reset();
    if (index) {
        indexOrder_.emplace(*table_, *index);
    }
    if (isOpen()) {
        reload(rowid(), 0);
    }
}

void TableCursor::setMasterLink(Cursor* master,
                                std::vector<std::pair<std::string, std::string>> fields) {
    std::vector<int> detailIndex;
    for (const auto& [masterField, detailField] : fields) {
        const int i = fieldIndex(detailField);
        if (i < 0) {
            throw StoreError("Cursor " + name() + ": unknown field " + detailField);
        }
        detailIndex.push_back(i);
    }
    if (link_.master()) {
        link_.master()->removeDetail(this);
    }
    link_.set(master, std::move(fields), std::move(detailIndex));
    if (master) {
        master->addDetail(this);
    }
    if (isOpen()) {
        masterChanged();
    }
}

void TableCursor::clearMasterLink() {
    setMasterLink(nullptr, {});
}

void TableCursor::setFiltered(bool on) {
    filtered_ = on;
    if (isOpen()) {
        checkBrowseMode();
        reload(rowid(), 0);
    }
}

void TableCursor::setFilterRange(std::string field, FilterRange range) {
    if (fieldIndex(field) < 0) {
        throw StoreError("Cursor " + name() + ": unknown field " + field);
    }
    filterRangeField_ = std::move(field);
    filterRange_ = std::move(range);
}

void TableCursor::setReadOnly(std::string_view field, bool readOnly) {
    const int i = fieldIndex(field);
    if (i < 0) {
        throw StoreError("Cursor " + name() + ": unknown field " + std::string(field));
    }
    readOnly_[static_cast<std::size_t>(i)] = readOnly;
}

// ---- Reading ---------------------------------------------------------------------------------

TableSelect TableCursor::reading() const {
    std::vector<Condition> where = link_.conditions();
    // A detail whose master has no row to follow reads nothing; the range would add nothing.
    const bool nothing = !where.empty() && where.front() == Condition::never();
    if (!nothing && filtered_ && filterRange_) {
        // The filter's range narrows the reading itself; the predicate still decides per row.
        const auto [from, to] = filterRange_();
        const int fi = fieldIndex(filterRangeField_);
        where.push_back(Condition::atLeast(filterRangeField_, normalise(fi, from)));
        where.push_back(Condition::atMost(filterRangeField_, normalise(fi, to)));
    }
    const IndexDef* order = pagedOrder() ? nullptr : table_->index(indexName_);
    return TableSelect(*table_, order, std::move(where));
}

Row TableCursor::readRow(Statement& s) const {
    Row row;
    row.rowid = s.int64(0);
    row.values.resize(table_->fields.size());
    for (std::size_t c = 0; c < storedIndex_.size(); ++c) {
        const auto fi = static_cast<std::size_t>(storedIndex_[c]);
        row.values[fi] = readColumn(table_->fields[fi], s, static_cast<int>(c) + 1);
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

TableCursor::Page TableCursor::fetchPage(PageFrom from, std::int64_t rowid) {
    const int limit = RowWindow::kPageSize;
    const TableSelect r = reading();
    const SelectQuery query = from == PageFrom::After ? r.pageAfter(rowid, limit)
                              : from == PageFrom::At  ? r.pageFrom(rowid, limit)
                                                      : r.pageBefore(rowid, limit);
    Page page;
    Statement& s = database_.cached(query.text());
    // The rowid and the limit are the last two parameters of a page query.
    const int params = query.bind(s);
    std::int64_t cursorRowid = rowid;
    // With a filter on, keep fetching until the page holds `limit` shown rows or the table ends.
    while (true) {
        s.bind(params - 1, cursorRowid);
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
    if (from == PageFrom::Before) {
        std::reverse(page.rows.begin(), page.rows.end());
    }
    return page;
}

void TableCursor::loadAll() {
    const SelectQuery q = reading().rows();
    Statement& s = database_.cached(q.text());
    q.bind(s);
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
    Page page = fetchPage(PageFrom::After, std::numeric_limits<std::int64_t>::min());
    window_.assignHead(std::move(page.rows), page.end);
    dropScan();
}

bool TableCursor::loadAfter(RowWindow& window) {
    if (window.empty() || !pagedOrder()) {
        return false;
    }
    Page page = fetchPage(PageFrom::After, window.back().rowid);
    const bool any = !page.rows.empty();
    window.append(std::move(page.rows), page.end);
    return any;
}

bool TableCursor::loadBefore(RowWindow& window) {
    if (window.empty() || !pagedOrder()) {
        return false;
    }
    Page page = fetchPage(PageFrom::Before, window.front().rowid);
    const bool any = !page.rows.empty();
    window.prepend(std::move(page.rows), page.end);
    return any;
}

bool TableCursor::loadLast() {
    if (!pagedOrder()) {
        loadAll();
        return !window_.empty();
    }
    Page page = fetchPage(PageFrom::Before, std::numeric_limits<std::int64_t>::max());
    window_.assignTail(std::move(page.rows), page.end);
    dropScan();
    return !window_.empty();
}

void TableCursor::loadFrom(std::int64_t rowid) {
    Page page = fetchPage(PageFrom::At, rowid);
    window_.assignFrom(std::move(page.rows), page.end);
    dropScan();
    if (window_.empty()) {
        loadLast();
    }
}

void TableCursor::readUpTo(std::int64_t rowid) {
    loadFirst();
    while (pagedOrder() && !window_.reachesTail() && !window_.empty() &&
           window_.back().rowid < rowid) {
        // Kept around the rows ahead, the window lets go of those far behind on a long way.
        window_.setCurrent(window_.size() - 1);
        loadAfter(window_);
    }
    if (window_.reachesHead() && !window_.empty()) {
        window_.setCurrent(0);
    }
}

void TableCursor::computeWindowStart() {
    if (window_.start()) {
        return;
    }
    if (window_.empty()) {
        window_.setStart(0);
        return;
    }
    if (filtered_ && filter_) {
        // Counting shown rows before the window needs the filter: read from the head instead.
        const std::int64_t keep = rowid();
        readUpTo(keep);
        positionOnRowid(keep);
        return;
    }
    const SelectQuery q = reading().countBefore(window_.front().rowid);
    Statement& s = database_.cached(q.text());
    q.bind(s);
    s.step();
    window_.setStart(s.int64(0));
    s.reset();
}

int TableCursor::recordCount() {
    if (!isOpen()) {
        return 0;
    }
    if (window_.complete()) {
        return window_.size();
    }
    const TableSelect r = reading();
    if (filtered_ && filter_) {
        const SelectQuery q = r.unordered();
        Statement& s = database_.cached(q.text());
        q.bind(s);
        int n = 0;
        while (s.step()) {
            n += passes(readRow(s)) ? 1 : 0;
        }
        s.reset();
        return n;
    }
    const SelectQuery q = r.count();
    Statement& s = database_.cached(q.text());
    q.bind(s);
    s.step();
    const auto n = static_cast<int>(s.int64(0));
    s.reset();
    return n;
}

int TableCursor::locateRow(const std::vector<int>& fields, const std::vector<Value>& values) {
    if (window_.complete()) {
        return Cursor::locateRow(fields, values);
    }
    // Not every shown row is loaded: ask the table for the first match in shown order.
    std::vector<std::pair<std::string, Value>> wanted;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const auto& f = table_->fields[static_cast<std::size_t>(fields[k])];
        if (!f.stored()) {
            return Cursor::locateRow(fields, values);
        }
        wanted.emplace_back(f.name, normaliseSearch(fields[k], values[k]));
    }
    const SelectQuery q = reading().matching(wanted);
    Statement& s = database_.cached(q.text());
    q.bind(s);
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
    if (!window_.empty() && found >= window_.front().rowid && found <= window_.back().rowid) {
        if (const int r = window_.find(found); r >= 0) {
            return r;
        }
    }
    loadFrom(found);
    return 0;
}

Value TableCursor::normalise(int fi, const Value& v) const {
    return toFieldType(table_->fields[static_cast<std::size_t>(fi)], v);
}

Value TableCursor::normaliseSearch(int fi, const Value& v) const {
    return toSearchValue(table_->fields[static_cast<std::size_t>(fi)], v);
}

void TableCursor::positionOnRowid(std::int64_t rowid) {
    if (const int r = window_.find(rowid); r >= 0) {
        window_.setCurrent(r);
    }
}

void TableCursor::reload(std::optional<std::int64_t> keepRowid, int fallbackIndex) {
    const bool fromHead = window_.reachesHead();
    const std::int64_t keep = keepRowid.value_or(0);
    if (!pagedOrder() || fromHead || keep == 0) {
        if (keep != 0) {
            readUpTo(keep);
        } else {
            loadFirst();
        }
    } else {
        loadFrom(keep);
    }
    if (!window_.empty()) {
        window_.setCurrent(std::clamp(fallbackIndex, 0, window_.size() - 1));
    }
    if (keep != 0) {
        positionOnRowid(keep);
    }
    eof_ = window_.empty();
    bof_ = window_.empty();
    notifyReset();
}

void TableCursor::refresh() {
    if (!isOpen()) {
        return;
    }
    checkBrowseMode();
    reload(rowid(), window_.current());
    notifyDetails();
}

void TableCursor::masterChanged() {
    if (!isOpen()) {
        return;
    }
    // A master that moved or was posted without changing the link values shows the same rows:
    // the detail keeps its position (number entry relies on this when it posts the selection).
    if (!link_.changed()) {
        return;
    }
    checkBrowseMode();
    loadFirst();
    bof_ = true;
    eof_ = window_.empty();
    notifyReset();
    notifyDetails();
}

// ---- Opening and editing ---------------------------------------------------------------------

void TableCursor::requireRow() const {
    if (!isOpen()) {
        throw StoreError("Cursor " + name() + " is not open");
    }
    if (window_.current() < 0) {
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
    eof_ = window_.empty();
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
    buffer_ = window_.currentRow().values;
    editRowid_ = window_.currentRow().rowid;
    setState(CursorState::Edit);
}

void TableCursor::append() {
    if (!isOpen()) {
        throw StoreError("Cursor " + name() + " is not open");
    }
    checkBrowseMode();
    buffer_.assign(table_->fields.size(), Value());
    // A new row of a detail cursor belongs to the master's current row.
    link_.fill(buffer_);
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
        Statement& s = database_.cached(insertSql_);
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
        Statement& s = database_.cached(updateSql_);
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
    dropScan();

    if (!pagedOrder()) {
        if (!inserting && indexOrder_->sameKeys(window_.currentRow(), row)) {
            window_.replaceCurrent(std::move(row));
            notifyRowChanged();
        } else if (passes(row) && link_.shows(row)) {
            // Still shown: move the row to its place in index order without reading the table.
            if (!inserting) {
                window_.eraseCurrent();
            }
            const auto& rows = window_.rows();
            const auto at = std::upper_bound(
                rows.begin(), rows.end(), row,
                [this](const Row& a, const Row& b) { return indexOrder_->less(a, b); });
            window_.insertAt(static_cast<int>(at - rows.begin()), std::move(row));
            eof_ = bof_ = false;
            notifyReset();
        } else {
            // The row left the shown rows: read them again.
            reload(rowid, window_.current());
        }
        notifyDetails();
        return;
    }
    if (inserting) {
        if (window_.reachesTail()) {
            window_.appendCurrent(std::move(row));
        } else {
            loadLast();
            positionOnRowid(rowid);
        }
        eof_ = bof_ = false;
        notifyReset();
    } else {
        window_.replaceCurrent(std::move(row));
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
    Statement& s = database_.cached(deleteSql_);
    s.bind(1, window_.currentRow().rowid);
    s.run();
    dropScan();
    const bool lastLoaded = window_.current() + 1 == window_.size();
    window_.eraseCurrent();
    // The row after the last loaded one follows it when there is one.
    if (lastLoaded && !window_.reachesTail() && !window_.empty() && loadAfter(window_)) {
        window_.setCurrent(window_.current() + 1);
    }
    if (window_.empty() && !window_.complete()) {
        loadLast();
    }
    eof_ = window_.empty();
    bof_ = window_.empty();
    notifyReset();
    if (afterDelete_) {
        afterDelete_(*this);
    }
    notifyDetails();
}

void TableCursor::emptyTable() {
    if (isEditing()) {
        cancel();
    }
    database_.cached(deleteAllText(table_->name)).run();
    if (isOpen()) {
        reload(std::nullopt, 0);
        notifyDetails();
    }
}

}  // namespace spinalyst::store
