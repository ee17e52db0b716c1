#pragma once

#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/database.h"
#include "store/sqlite.h"
#include "store/value.h"

namespace spinalyst::store {

class TableCursor;

// Writes many rows at once: prepared statements run in one transaction, and the cursors that show
// the tables written are refreshed once, after the commit. The runs that write in bulk (the
// import, the evaluations, data mining) go through it; a cursor is for the row a window edits.
//
// Values are bound as they are given: the caller passes values of the field's type (a null Value
// for a null field). Statements are prepared once per connection (Database::cached), so a writer
// made for every day of a month prepares nothing after the first.
//
// Usage:
//   BulkWriter w(dm.TdbDatabase_Roulette);
//   auto& coup = w.insert("Permanenz", {"ID_Casino", "Tisch", "Datum", "Zahl"});
//   for (...) coup.write({casino, tisch, Value(tag), Value(zahl)});
//   w.refreshAfterCommit(dm.TdbTable_Permanenz);
//   w.commit();
class BulkWriter {
  public:
    // One prepared statement of the writer.
    class Rows {
      public:
        explicit Rows(Statement& statement) : statement_(statement) {}
        // Binds the values to the parameters in order and runs the statement; returns the number
        // of rows it changed. Throws StoreError (the transaction is then to be abandoned).
        int write(std::span<const Value> values);
        int write(std::initializer_list<Value> values) {
            return write(std::span<const Value>(values.begin(), values.size()));
        }

      private:
        Statement& statement_;
    };

    // Begins the transaction (a savepoint inside one that is open already). Requires a connected
    // database.
    explicit BulkWriter(Database& database);
    // Rolls back whatever was not committed. Registered cursors are left as they are: they were
    // not told of the rows, so they still show what the database holds.
    ~BulkWriter();
    BulkWriter(const BulkWriter&) = delete;
    BulkWriter& operator=(const BulkWriter&) = delete;

    // An INSERT of the named fields into a table of the layout; `write` takes one value per
    // field. Throws StoreError for a table or field the database does not have.
    Rows& insert(std::string_view table, std::initializer_list<std::string_view> fields);
    // Any other statement with `?` parameters (UPDATE, DELETE), run row by row with `write`.
    Rows& statement(std::string_view sql);
    // Runs a statement once with its parameters; returns the number of rows changed.
    int execute(std::string_view sql, std::initializer_list<Value> params = {});

    // A cursor showing a table the writer writes; refreshed once after the commit.
    void refreshAfterCommit(TableCursor& cursor);
    // Commits, then refreshes each registered cursor once (in the order registered). The rows are
    // stored even when a refresh throws.
    void commit();

  private:
    Database& database_;
    Transaction transaction_;
    std::vector<std::unique_ptr<Rows>> rows_;
    std::vector<std::pair<std::string, Rows*>> bySql_;
    std::vector<TableCursor*> cursors_;
};

}  // namespace spinalyst::store
