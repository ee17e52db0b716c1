#pragma once

#include <string>
#include <utility>
#include <vector>

#include "store/query_text.h"
#include "store/row.h"
#include "store/schema.h"
#include "store/value.h"

namespace spinalyst::store {

class Cursor;

// The link of a detail table cursor to its master: the detail shows only the rows whose link
// fields equal the master's current values. The link remembers the values the detail last read
// its rows with, so that the detail re-reads only when they change. Owned by the detail cursor,
// which also registers itself with the master (Cursor::addDetail).
class MasterLink {
  public:
    // Pairs of master field -> detail field.
    using Fields = std::vector<std::pair<std::string, std::string>>;

    explicit MasterLink(const TableDef& detailTable) : table_(detailTable) {}

    // detailIndex: the detail's field index of each pair's detail field. A null master unlinks.
    void set(Cursor* master, Fields fields, std::vector<int> detailIndex);
    // The master went away: the detail shows every row from its next read on.
    void forgetMaster() { master_ = nullptr; }
    Cursor* master() const { return master_; }
    const Fields& fields() const { return fields_; }

    // The link values now: empty without a master; else 1 when the master has a row to follow
    // (open and not empty, or inserting one) and 0 when not, followed in the first case by the
    // master's values converted to the detail fields' types. Throws StoreError when a master
    // value does not fit its detail field.
    std::vector<Value> values() const;
    // The conditions on the detail's rows for the master's current row: none without a master,
    // Condition::never() when the master has no row to follow. Remembers the values as those the
    // rows were read with.
    std::vector<Condition> conditions() const;
    // Whether the master's values differ from those the rows were last read with.
    bool changed() const { return values() != applied_; }
    // Whether a loaded row belongs to the values the rows were last read with.
    bool shows(const Row& row) const;
    // Writes the master's current values into the link fields of a new detail row (a row in
    // field order), when the master is open.
    void fill(std::vector<Value>& row) const;

  private:
    const TableDef& table_;
    Cursor* master_ = nullptr;
    Fields fields_;
    std::vector<int> detailIndex_;
    mutable std::vector<Value> applied_;
};

}  // namespace spinalyst::store
