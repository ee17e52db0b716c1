#pragma once

#include <string>
#include <string_view>
#include <vector>

// The database layout as data: every table of both files with its fields in stored order, their
// types, sizes and required flags, and the indexes. The CREATE statements are generated from
// this one table, and the cursors take field types and sizes from it.
namespace spinalyst::store {

enum class DatabaseFile { Roulette, DmModul };

enum class FieldType {
    Integer,     // signed 32-bit, may be null
    AutoInc,     // assigned by the store on append; greater than every earlier value, never reused
    Date,        // a day without time of day
    Text,        // at most `size` characters
    Memo,        // text of any length
    Float,       // double precision
    Calculated,  // not stored; filled per shown row by the cursor's calculated-fields hook
};

struct FieldDef {
    const char* name;
    FieldType type;
    int size;  // characters, for Text and Calculated; 0 otherwise
    bool required;

    bool stored() const { return type != FieldType::Calculated; }
};

struct IndexDef {
    const char* name;
    std::vector<const char*> fields;  // in key order, ascending
    bool named;  // one of the named orders the system selects (else a search index of our own)
};

struct TableDef {
    const char* name;
    DatabaseFile file;
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;

    // The auto-increment field, or nullptr. It is the table's INTEGER PRIMARY KEY, so the
    // primary order (sys_primary) and its order are one.
    const FieldDef* autoIncField() const;
    const FieldDef* field(std::string_view fieldName) const;
    int fieldIndex(std::string_view fieldName) const;  // -1 when absent
    const IndexDef* index(std::string_view indexName) const;
    int storedFieldCount() const;
};

// All tables of both files, in the order of the layout.
const std::vector<TableDef>& schemaTables();
const TableDef* findTable(std::string_view name);
std::vector<const TableDef*> tablesOf(DatabaseFile file);

// The statements that create a table and its indexes.
std::vector<std::string> createStatements(const TableDef& table);

// Marks a file as one of this program's databases (PRAGMA application_id) and its layout
// version (PRAGMA user_version).
inline constexpr int kApplicationId = 0x53504E59;  // "SPNY"
inline constexpr int kLayoutVersion = 1;

}  // namespace spinalyst::store
