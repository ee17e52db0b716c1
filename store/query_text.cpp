#include "store/query_text.h"

#include "store/schema.h"
#include "store/sqlite.h"

namespace spinalyst::store {

std::string quoted(std::string_view name) {
    std::string s;
    s.reserve(name.size() + 2);
    s += '"';
    s += name;
    s += '"';
    return s;
}

Condition Condition::equal(std::string_view column, Value value) {
    return {quoted(column) + " = ?", {std::move(value)}};
}

Condition Condition::same(std::string_view column, Value value) {
    return {quoted(column) + " IS ?", {std::move(value)}};
}

Condition Condition::atLeast(std::string_view column, Value value) {
    return {quoted(column) + " >= ?", {std::move(value)}};
}

Condition Condition::atMost(std::string_view column, Value value) {
    return {quoted(column) + " <= ?", {std::move(value)}};
}

Condition Condition::rowid(std::string_view op, std::int64_t rowid) {
    return {"rowid " + std::string(op) + " ?", {Value(rowid)}};
}

Condition Condition::never() {
    return {"0", {}};
}

std::string SelectQuery::text() const {
    std::string s = "SELECT ";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        s += (i ? ", " : "") + columns[i];
    }
    s += " FROM " + quoted(table);
    for (std::size_t i = 0; i < where.size(); ++i) {
        s += (i ? " AND " : " WHERE ") + where[i].sql;
    }
    for (std::size_t i = 0; i < orderBy.size(); ++i) {
        s += (i ? ", " : " ORDER BY ") + orderBy[i].column + (orderBy[i].descending ? " DESC" : "");
    }
    if (limit) {
        s += " LIMIT ?";
    }
    return s;
}

std::vector<Value> SelectQuery::params() const {
    std::vector<Value> p;
    for (const auto& c : where) {
        p.insert(p.end(), c.params.begin(), c.params.end());
    }
    if (limit) {
        p.emplace_back(*limit);
    }
    return p;
}

int SelectQuery::bind(Statement& statement) const {
    int n = 0;
    for (const auto& c : where) {
        for (const auto& v : c.params) {
            statement.bind(++n, v);
        }
    }
    if (limit) {
        statement.bind(++n, *limit);
    }
    return n;
}

TableSelect::TableSelect(const TableDef& table, const IndexDef* order, std::vector<Condition> where)
    : table_(table), order_(order), where_(std::move(where)) {}

SelectQuery TableSelect::select(std::vector<Condition> extra) const {
    SelectQuery q;
    q.table = table_.name;
    q.columns.emplace_back("rowid");
    for (const auto& f : table_.fields) {
        if (f.stored()) {
            q.columns.push_back(quoted(f.name));
        }
    }
    q.where = where_;
    for (auto& c : extra) {
        q.where.push_back(std::move(c));
    }
    return q;
}

std::vector<OrderTerm> TableSelect::order(bool descending) const {
    std::vector<OrderTerm> terms;
    if (order_) {
        for (const char* f : order_->fields) {
            terms.push_back({quoted(f), descending});
        }
    }
    terms.push_back({"rowid", descending});
    return terms;
}

SelectQuery TableSelect::rows() const {
    SelectQuery q = select({});
    q.orderBy = order(false);
    return q;
}

SelectQuery TableSelect::unordered() const {
    return select({});
}

SelectQuery TableSelect::pageAfter(std::int64_t rowid, int limit) const {
    SelectQuery q = select({Condition::rowid(">", rowid)});
    q.orderBy = order(false);
    q.limit = limit;
    return q;
}

SelectQuery TableSelect::pageFrom(std::int64_t rowid, int limit) const {
    SelectQuery q = select({Condition::rowid(">=", rowid)});
    q.orderBy = order(false);
    q.limit = limit;
    return q;
}

SelectQuery TableSelect::pageBefore(std::int64_t rowid, int limit) const {
    SelectQuery q = select({Condition::rowid("<", rowid)});
    q.orderBy = order(true);
    q.limit = limit;
    return q;
}

SelectQuery TableSelect::count() const {
    SelectQuery q;
    q.table = table_.name;
    q.columns = {"COUNT(*)"};
    q.where = where_;
    return q;
}

SelectQuery TableSelect::countBefore(std::int64_t rowid) const {
    SelectQuery q = count();
    q.where.push_back(Condition::rowid("<", rowid));
    return q;
}

SelectQuery TableSelect::matching(const std::vector<std::pair<std::string, Value>>& columns) const {
    std::vector<Condition> conditions;
    for (const auto& [column, value] : columns) {
        conditions.push_back(Condition::same(column, value));
    }
    SelectQuery q = select(std::move(conditions));
    q.orderBy = order(false);
    return q;
}

std::string insertText(std::string_view table, const std::vector<std::string>& columns) {
    std::string names;
    std::string marks;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        names += (i ? ", " : "") + quoted(columns[i]);
        marks += i ? ", ?" : "?";
    }
    return "INSERT INTO " + quoted(table) + " (" + names + ") VALUES (" + marks + ")";
}

std::string updateText(std::string_view table, const std::vector<std::string>& columns) {
    std::string sets;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        sets += (i ? ", " : "") + quoted(columns[i]) + " = ?";
    }
    return "UPDATE " + quoted(table) + " SET " + sets + " WHERE rowid = ?";
}

std::string deleteRowText(std::string_view table) {
    return "DELETE FROM " + quoted(table) + " WHERE rowid = ?";
}

std::string deleteAllText(std::string_view table) {
    return "DELETE FROM " + quoted(table);
}

}  // namespace spinalyst::store
