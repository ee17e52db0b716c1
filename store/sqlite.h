#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "store/value.h"

// Thin RAII layer over the SQLite C API. Every handle has one owner; every failing return code
// becomes a StoreError carrying SQLite's code, extended code and message.
namespace spinalyst::store {

class StoreError : public std::runtime_error {
  public:
    StoreError(const std::string& message, int code = SQLITE_ERROR, int extendedCode = SQLITE_ERROR)
        : std::runtime_error(message), code_(code), extendedCode_(extendedCode) {}
    int code() const { return code_; }
    int extendedCode() const { return extendedCode_; }

  private:
    int code_;
    int extendedCode_;
};

class Connection;

// A prepared statement. Parameters are 1-based as in SQLite; columns 0-based.
class Statement {
  public:
    Statement(Connection& connection, std::string_view sql);
    Statement(Statement&&) noexcept = default;
    Statement& operator=(Statement&&) noexcept = default;

    void bind(int index, const Value& value);
    void bindNull(int index);
    void bind(int index, std::int64_t value);
    void bind(int index, std::string_view value);
    void clearBindings();
    void reset();

    // Advances to the next row; false when done. Throws on error.
    bool step();
    // Runs a statement that returns no rows (or ignores them) and resets it for reuse.
    void run();

    int columnCount() const;
    std::string columnName(int column) const;
    bool isNull(int column) const;
    std::int64_t int64(int column) const;
    double real(int column) const;
    std::string text(int column) const;
    // The text of the column without a copy; valid until the next step(), reset() or read of the
    // same column in another form.
    std::string_view textView(int column) const;
    // The column as a Value, mapped by SQLite's storage class of this row.
    Value value(int column) const;

    const std::string& sql() const { return sql_; }
    sqlite3_stmt* handle() const { return stmt_.get(); }

  private:
    struct Finalizer {
        void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
    };
    Connection* connection_;
    std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
    std::string sql_;
};

// One open database file. Owns the sqlite3 handle; closes it on destruction.
class Connection {
  public:
    enum class Mode { OpenExisting, Create };

    // `vfs` names the SQLite VFS the file is reached through; empty for SQLite's default, which
    // the program always uses (tests name one that fails on demand).
    Connection(const std::string& path, Mode mode, const std::string& vfs = {});
    // Statements keep a pointer to their connection, so a connection stays where it was made.
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void exec(std::string_view sql);
    // Throws a StoreError for a failing code; returns the code otherwise.
    int check(int rc, std::string_view what = {}) const;
    std::int64_t lastInsertRowid() const;
    int changes() const;
    bool isReadOnly() const;
    const std::string& path() const { return path_; }
    sqlite3* handle() const { return db_.get(); }

  private:
    struct Closer {
        void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
    };
    std::unique_ptr<sqlite3, Closer> db_;
    std::string path_;
};

// Begins a transaction on construction; rolls it back in the destructor unless committed.
class Transaction {
  public:
    explicit Transaction(Connection& connection);
    ~Transaction() noexcept;
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

  private:
    Connection& connection_;
    bool savepoint_;
    bool done_ = false;
};

// Runs one statement with its own prepared handle and the given parameters; returns the number
// of rows it changed. For the one-off statements of an operation (a DELETE, an UPDATE), so that
// no operation re-points a statement another one may be using.
int execute(Connection& connection, std::string_view sql, std::initializer_list<Value> params = {});

}  // namespace spinalyst::store
