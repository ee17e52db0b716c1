#include "store/bulk_writer.h"

#include "store/cursor.h"
#include "store/schema.h"

namespace spinalyst::store {

int BulkWriter::Rows::write(std::span<const Value> values) {
    const int n = sqlite3_bind_parameter_count(statement_.handle());
    if (static_cast<int>(values.size()) != n) {
        throw StoreError("Bulk write of " + std::to_string(values.size()) + " values into a " +
                         "statement of " + std::to_string(n) + " parameters: " + statement_.sql());
    }
    for (int i = 0; i < n; ++i) {
        statement_.bind(i + 1, values[static_cast<std::size_t>(i)]);
    }
    statement_.run();
    return sqlite3_changes(sqlite3_db_handle(statement_.handle()));
}

BulkWriter::BulkWriter(Database& database)
    : database_(database), transaction_(database.connection()) {}

BulkWriter::~BulkWriter() = default;

BulkWriter::Rows& BulkWriter::statement(std::string_view sql) {
    for (auto& [text, rows] : bySql_) {
        if (text == sql) {
            return *rows;
        }
    }
    std::string text(sql);
    rows_.push_back(std::make_unique<Rows>(database_.cached(text)));
    bySql_.emplace_back(std::move(text), rows_.back().get());
    return *rows_.back();
}

BulkWriter::Rows& BulkWriter::insert(std::string_view table,
                                     std::initializer_list<std::string_view> fields) {
    const TableDef* def = findTable(table);
    if (def == nullptr || def->file != database_.file()) {
        throw StoreError("Bulk write: the database has no table " + std::string(table));
    }
    std::string sql;
    sql.append("INSERT INTO \"").append(def->name).append("\" (");
    std::string werte;
    for (std::string_view f : fields) {
        const FieldDef* field = def->field(f);
        if (field == nullptr || !field->stored()) {
            throw StoreError("Bulk write: table " + std::string(def->name) + " has no field " +
                             std::string(f));
        }
        if (!werte.empty()) {
            sql += ", ";
            werte += ", ";
        }
        sql.append("\"").append(field->name).append("\"");
        werte.append("?");
    }
    sql.append(") VALUES (").append(werte).append(")");
    return statement(sql);
}

int BulkWriter::execute(std::string_view sql, std::initializer_list<Value> params) {
    return statement(sql).write(params);
}

void BulkWriter::refreshAfterCommit(TableCursor& cursor) {
    for (TableCursor* c : cursors_) {
        if (c == &cursor) {
            return;
        }
    }
    cursors_.push_back(&cursor);
}

void BulkWriter::commit() {
    transaction_.commit();
    for (TableCursor* c : cursors_) {
        if (c->isOpen()) {
            c->refresh();
        }
    }
}

}  // namespace spinalyst::store
