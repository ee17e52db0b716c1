#include "store/master_link.h"

#include "store/cursor.h"
#include "store/field_value.h"
#include "store/row_order.h"

namespace spinalyst::store {

void MasterLink::set(Cursor* master, Fields fields, std::vector<int> detailIndex) {
    master_ = master;
    fields_ = std::move(fields);
    detailIndex_ = std::move(detailIndex);
}

std::vector<Value> MasterLink::values() const {
    std::vector<Value> v;
    if (!master_) {
        return v;
    }
    const bool usable = master_->isOpen() && !(master_->isEmpty() && !master_->isEditing());
    v.emplace_back(usable ? 1 : 0);
    if (usable) {
        for (std::size_t k = 0; k < fields_.size(); ++k) {
            const auto& field = table_.fields[static_cast<std::size_t>(detailIndex_[k])];
            v.push_back(toFieldType(field, master_->value(fields_[k].first)));
        }
    }
    return v;
}

std::vector<Condition> MasterLink::conditions() const {
    applied_ = values();
    std::vector<Condition> c;
    if (!master_) {
        return c;
    }
    if (applied_[0].toInt() == 0) {
        c.push_back(Condition::never());
        return c;
    }
    for (std::size_t k = 0; k < fields_.size(); ++k) {
        c.push_back(Condition::equal(fields_[k].second, applied_[k + 1]));
    }
    return c;
}

bool MasterLink::shows(const Row& row) const {
    if (!master_) {
        return true;
    }
    if (applied_.empty() || applied_[0].toInt() == 0) {
        return false;
    }
    for (std::size_t k = 0; k < fields_.size() && k + 1 < applied_.size(); ++k) {
        const Value& v = row.values[static_cast<std::size_t>(detailIndex_[k])];
        if (compareForOrder(v, applied_[k + 1]) != 0 || v.isNull()) {
            return false;
        }
    }
    return true;
}

void MasterLink::fill(std::vector<Value>& row) const {
    if (!master_ || !master_->isOpen()) {
        return;
    }
    for (std::size_t k = 0; k < fields_.size(); ++k) {
        const auto di = static_cast<std::size_t>(detailIndex_[k]);
        row[di] = toFieldType(table_.fields[di], master_->value(fields_[k].first));
    }
}

}  // namespace spinalyst::store
