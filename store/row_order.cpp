#include "store/row_order.h"

#include <string>

namespace spinalyst::store {

namespace {

int orderRank(const Value& v) {
    if (v.isNull()) {
        return 0;
    }
    if (v.isInteger() || v.isDouble()) {
        return 1;
    }
    return 2;
}

}  // namespace

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

bool sameValue(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull()) {
        return a.isNull() && b.isNull();
    }
    if ((a.isInteger() || a.isDouble()) && (b.isInteger() || b.isDouble())) {
        return a.toDouble() == b.toDouble();
    }
    return a == b;
}

IndexOrder::IndexOrder(const TableDef& table, const IndexDef& index) {
    for (const char* f : index.fields) {
        fields_.push_back(static_cast<std::size_t>(table.fieldIndex(f)));
    }
}

bool IndexOrder::less(const Row& a, const Row& b) const {
    for (const std::size_t fi : fields_) {
        const int c = compareForOrder(a.values[fi], b.values[fi]);
        if (c != 0) {
            return c < 0;
        }
    }
    return a.rowid < b.rowid;
}

bool IndexOrder::sameKeys(const Row& a, const Row& b) const {
    for (const std::size_t fi : fields_) {
        if (!(a.values[fi] == b.values[fi])) {
            return false;
        }
    }
    return true;
}

}  // namespace spinalyst::store
