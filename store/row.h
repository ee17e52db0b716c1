#pragma once

#include <cstdint>
#include <vector>

#include "store/value.h"

namespace spinalyst::store {

// One shown row of a cursor: the row id of the table (0 for query rows) and the field values,
// calculated fields included, in field order.
struct Row {
    std::int64_t rowid = 0;
    std::vector<Value> values;
};

}  // namespace spinalyst::store
