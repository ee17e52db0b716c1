#include "store/query_cursor.h"

#include "store/database.h"

namespace spinalyst::store {

QueryCursor::QueryCursor(std::string name, Database& database, std::string sql)
    : Cursor(std::move(name)), database_(database), sql_(std::move(sql)) {}

void QueryCursor::setSql(std::string sql, std::vector<Value> params) {
    if (isOpen()) {
        close();
    }
    sql_ = std::move(sql);
    params_ = std::move(params);
}

void QueryCursor::setCalculatedFields(std::vector<std::string> names, CalcFields hook) {
    calculatedNames_ = std::move(names);
    calcFields_ = std::move(hook);
}

void QueryCursor::clearSql() {
    setSql({}, {});
}

Statement& QueryCursor::prepared() {
    if (sql_.empty()) {
        throw StoreError("Query " + name() + " has no statement");
    }
    Statement& s = database_.cached(sql_);
    s.clearBindings();
    for (std::size_t i = 0; i < params_.size(); ++i) {
        s.bind(static_cast<int>(i) + 1, params_[i]);
    }
    return s;
}

void QueryCursor::open() {
    if (isOpen()) {
        return;
    }
    Statement& s = prepared();
    const int n = s.columnCount();
    std::vector<std::string> names;
    std::vector<bool> isDate;
    for (int c = 0; c < n; ++c) {
        names.push_back(s.columnName(c));
        const char* decl = sqlite3_column_decltype(s.handle(), c);
        isDate.push_back(decl && std::string_view(decl) == "DATE");
    }
    names.insert(names.end(), calculatedNames_.begin(), calculatedNames_.end());
    setFieldNames(std::move(names));
    std::vector<Value> calculated;
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
            if (!calculatedNames_.empty()) {
                row.values.resize(row.values.size() + calculatedNames_.size());
                calculated.assign(calculatedNames_.size(), Value());
                if (calcFields_) {
                    calcFields_(RowView(*this, row), calculated);
                }
                for (std::size_t i = 0; i < calculatedNames_.size(); ++i) {
                    row.values[static_cast<std::size_t>(n) + i] = std::move(calculated[i]);
                }
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
    Statement& s = prepared();
    s.run();
    return database_.connection().changes();
}

}  // namespace spinalyst::store
