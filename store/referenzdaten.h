#pragma once

#include <initializer_list>
#include <utility>
#include <vector>

#include "store/schema.h"
#include "store/value.h"

// The rows the two database files come with: the event catalogue with its member numbers, the
// system kinds and chance classes, the menu captions in both languages, the data-mining payout
// table and the single selection row.
namespace spinalyst::store {

struct ReferenceRows {
    const TableDef* table;
    // Values in the table's stored field order (calculated fields left out); a null entry leaves
    // the field null or lets the store assign it.
    std::vector<std::vector<Value>> rows;
};

// All reference rows of one file, table by table.
std::vector<ReferenceRows> referenceRows(DatabaseFile file);

// Builds one row of a table in stored field order from (field, value) pairs; fields not named
// stay null. Throws std::invalid_argument for a field the table does not have.
std::vector<Value> makeRow(const TableDef& table,
                           std::initializer_list<std::pair<const char*, Value>> values);

}  // namespace spinalyst::store
