#pragma once

#include <functional>
#include <string>
#include <vector>

#include "store/cursor.h"
#include "store/value.h"

namespace spinalyst::store {

class Database;

// A cursor over the rows of one SQL statement. The statement is given as text with "?" for
// bound parameters; SELECTs are opened and read like a table cursor (read-only), other statements
// are executed. The whole result of a SELECT is read at open, so it is meant for bounded results
// (a stretch of days, one chance class). Columns declared DATE are handed out as days.
class QueryCursor : public Cursor {
  public:
    QueryCursor(std::string name, Database& database, std::string sql = {});
    // Closes the cursor when open, then takes the statement and its parameters for the next
    // open() or execute().
    void setSql(std::string sql, std::vector<Value> params = {});
    void clearSql();
    const std::string& sql() const { return sql_; }
    const std::vector<Value>& params() const { return params_; }

    // Calculated fields: named fields after the statement's columns, computed by the hook for
    // every row as it is read (the hook sees the row's columns and fills one value per name).
    // Kept across setSql; take effect at the next open().
    using CalcFields = std::function<void(const RowView& row, std::vector<Value>& calculated)>;
    void setCalculatedFields(std::vector<std::string> names, CalcFields hook);

    // Reads the whole result and positions on its first row; does nothing when open. Throws
    // StoreError without a statement or when SQLite refuses it; the cursor then stays closed.
    void open() override;
    void close() override;
    // Runs a statement that returns no rows (DELETE); returns the number of changed rows. Throws
    // StoreError without a statement or when SQLite refuses it. Leaves the cursor as it is.
    int execute();

  private:
    // The statement with its parameters bound; throws StoreError when there is none.
    Statement& prepared();

    Database& database_;
    std::string sql_;
    std::vector<Value> params_;
    std::vector<std::string> calculatedNames_;
    CalcFields calcFields_;
};

}  // namespace spinalyst::store
