#pragma once

#include <cstddef>
#include <vector>

#include "store/row.h"
#include "store/schema.h"
#include "store/value.h"

// Ordering and matching of loaded rows in memory, the way the table orders and matches them, so
// that a cursor can place an edited row or check a link without reading the table again.
namespace spinalyst::store {

// Three-way comparison in SQLite's sort order: null first, then numbers by value, then texts
// (days compare as their ISO text, which sorts like the days themselves).
int compareForOrder(const Value& a, const Value& b);

// Equality of a stored value and a search value already converted to the field's type; numbers
// compare by value whether stored as integer or floating point.
bool sameValue(const Value& a, const Value& b);

// The order of a named index over loaded rows of its table: the index fields, then the rowid,
// as the cursor's ORDER BY gives it.
class IndexOrder {
  public:
    IndexOrder(const TableDef& table, const IndexDef& index);

    bool less(const Row& a, const Row& b) const;
    // Whether the two rows hold equal values in every index field (an edit that keeps them keeps
    // the row's place).
    bool sameKeys(const Row& a, const Row& b) const;

  private:
    std::vector<std::size_t> fields_;
};

}  // namespace spinalyst::store
