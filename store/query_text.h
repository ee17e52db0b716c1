#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/value.h"

// The text of the statements the table cursors run, built from small value objects: every value
// goes in as a bound parameter, and tests can check the text a cursor's reading produces. The
// database caches one prepared statement per text, so equal objects give equal texts.
namespace spinalyst::store {

struct TableDef;
struct IndexDef;
class Statement;

// A table or column name as the statements write it: in double quotes.
std::string quoted(std::string_view name);

// One condition of a WHERE clause: SQL text with a "?" for each bound parameter, in order.
struct Condition {
    std::string sql;
    std::vector<Value> params;

    // "column" = ?
    static Condition equal(std::string_view column, Value value);
    // "column" IS ? (a null matches a null)
    static Condition same(std::string_view column, Value value);
    // "column" >= ? and "column" <= ?
    static Condition atLeast(std::string_view column, Value value);
    static Condition atMost(std::string_view column, Value value);
    // rowid <op> ?, op one of "<", ">", ">="
    static Condition rowid(std::string_view op, std::int64_t rowid);
    // 0: no row at all (a detail whose master shows no row)
    static Condition never();

    bool operator==(const Condition&) const = default;
};

// One term of an ORDER BY: a column as written in the statement (quoted name or rowid).
struct OrderTerm {
    std::string column;
    bool descending = false;
};

// SELECT <columns> FROM <table> [WHERE <c1> AND <c2> ...] [ORDER BY <terms>] [LIMIT ?]
struct SelectQuery {
    std::string table;
    std::vector<std::string> columns;  // as written: quoted names, rowid, COUNT(*)
    std::vector<Condition> where;
    std::vector<OrderTerm> orderBy;
    std::optional<std::int64_t> limit;

    std::string text() const;
    // The bound parameters in placeholder order: those of the conditions, then the limit.
    std::vector<Value> params() const;
    // Binds params() from the first placeholder on; returns how many it bound.
    int bind(Statement& statement) const;
};

// The SELECTs a table cursor reads its shown rows with: the rowid and the stored fields of one
// table, narrowed by the conditions of the master link and the filter range (`where`, in that
// order), in the order of a named index and then rowid, or in stored order (rowid) when `order`
// is null. Paging is by rowid, so the page queries are meant for stored order.
class TableSelect {
  public:
    TableSelect(const TableDef& table, const IndexDef* order, std::vector<Condition> where);

    // Every shown row, in shown order.
    SelectQuery rows() const;
    // Every shown row in no particular order (counting through a row filter).
    SelectQuery unordered() const;
    // Up to `limit` rows in stored order: after, or from, a rowid; before a rowid reads backwards
    // (highest rowid first).
    SelectQuery pageAfter(std::int64_t rowid, int limit) const;
    SelectQuery pageFrom(std::int64_t rowid, int limit) const;
    SelectQuery pageBefore(std::int64_t rowid, int limit) const;
    // The number of shown rows; of those in stored order before a rowid.
    SelectQuery count() const;
    SelectQuery countBefore(std::int64_t rowid) const;
    // The shown rows whose given columns hold the values (IS, so null finds null), in shown order.
    SelectQuery matching(const std::vector<std::pair<std::string, Value>>& columns) const;

  private:
    SelectQuery select(std::vector<Condition> extra) const;
    std::vector<OrderTerm> order(bool descending) const;

    const TableDef& table_;
    const IndexDef* order_;
    std::vector<Condition> where_;
};

// The writing statements of a table cursor, for the stored columns given in field order.
// INSERT INTO "T" ("a", "b") VALUES (?, ?)
std::string insertText(std::string_view table, const std::vector<std::string>& columns);
// UPDATE "T" SET "a" = ?, "b" = ? WHERE rowid = ?
std::string updateText(std::string_view table, const std::vector<std::string>& columns);
// DELETE FROM "T" WHERE rowid = ?
std::string deleteRowText(std::string_view table);
// DELETE FROM "T"
std::string deleteAllText(std::string_view table);

}  // namespace spinalyst::store
