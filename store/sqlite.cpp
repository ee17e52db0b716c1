#include "store/sqlite.h"

#include <filesystem>

namespace spinalyst::store {

// ---- Statement -------------------------------------------------------------------------------

Statement::Statement(Connection& connection, std::string_view sql)
    : connection_(&connection), sql_(sql) {
    sqlite3_stmt* raw = nullptr;
    connection.check(
        sqlite3_prepare_v3(connection.handle(), sql_.data(), static_cast<int>(sql_.size()),
                           SQLITE_PREPARE_PERSISTENT, &raw, nullptr),
        sql_);
    stmt_.reset(raw);
}

void Statement::bind(int index, const Value& value) {
    struct {
        Statement& s;
        int i;
        void operator()(std::monostate) const { s.bindNull(i); }
        void operator()(std::int64_t v) const { s.bind(i, v); }
        void operator()(double v) const {
            s.connection_->check(sqlite3_bind_double(s.handle(), i, v));
        }
        void operator()(const std::string& v) const { s.bind(i, std::string_view(v)); }
        void operator()(Date d) const { s.bind(i, std::string_view(d.iso())); }
    } visitor{*this, index};
    std::visit(visitor, value.storage());
}

void Statement::bindNull(int index) {
    connection_->check(sqlite3_bind_null(handle(), index));
}

void Statement::bind(int index, std::int64_t value) {
    connection_->check(sqlite3_bind_int64(handle(), index, value));
}

void Statement::bind(int index, std::string_view value) {
    connection_->check(sqlite3_bind_text(handle(), index, value.data(),
                                         static_cast<int>(value.size()), SQLITE_TRANSIENT));
}

void Statement::clearBindings() {
    sqlite3_clear_bindings(handle());
}

void Statement::reset() {
    sqlite3_reset(handle());
}

bool Statement::step() {
    const int rc = sqlite3_step(handle());
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    // sqlite3_reset returns the same error; it also readies the statement for another use.
    sqlite3_reset(handle());
    connection_->check(rc, sql_);
    return false;
}

void Statement::run() {
    while (step()) {
    }
    reset();
}

int Statement::columnCount() const {
    return sqlite3_column_count(handle());
}

std::string Statement::columnName(int column) const {
    const char* n = sqlite3_column_name(handle(), column);
    return n ? n : "";
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(handle(), column) == SQLITE_NULL;
}

std::int64_t Statement::int64(int column) const {
    return sqlite3_column_int64(handle(), column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(handle(), column);
}

std::string Statement::text(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(handle(), column));
    const int n = sqlite3_column_bytes(handle(), column);
    return p ? std::string(p, static_cast<std::size_t>(n)) : std::string();
}

std::string_view Statement::textView(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(handle(), column));
    const int n = sqlite3_column_bytes(handle(), column);
    return p ? std::string_view(p, static_cast<std::size_t>(n)) : std::string_view();
}

Value Statement::value(int column) const {
    switch (sqlite3_column_type(handle(), column)) {
        case SQLITE_NULL:
            return Value();
        case SQLITE_INTEGER:
            return Value(int64(column));
        case SQLITE_FLOAT:
            return Value(real(column));
        default:
            return Value(text(column));
    }
}

// ---- Connection ------------------------------------------------------------------------------

Connection::Connection(const std::string& path, Mode mode, const std::string& vfs) : path_(path) {
    sqlite3* raw = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX |
                      (mode == Mode::Create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, vfs.empty() ? nullptr : vfs.c_str());
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        const std::string msg = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
        throw StoreError(path + ": " + msg, rc & 0xff, rc);
    }
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, 2000);
}

void Connection::exec(std::string_view sql) {
    const std::string text(sql);
    char* err = nullptr;
    const int rc = sqlite3_exec(handle(), text.c_str(), nullptr, nullptr, &err);
    if (err) {
        sqlite3_free(err);
    }
    check(rc, text);
}

int Connection::check(int rc, std::string_view what) const {
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE) {
        return rc;
    }
    std::string msg = db_ ? sqlite3_errmsg(handle()) : sqlite3_errstr(rc);
    const int extended = db_ ? sqlite3_extended_errcode(handle()) : rc;
    msg = std::filesystem::path(path_).filename().string() + ": " + msg;
    if (!what.empty()) {
        msg += " [" + std::string(what) + "]";
    }
    throw StoreError(msg, rc & 0xff, extended);
}

std::int64_t Connection::lastInsertRowid() const {
    return sqlite3_last_insert_rowid(handle());
}

int Connection::changes() const {
    return sqlite3_changes(handle());
}

bool Connection::isReadOnly() const {
    return sqlite3_db_readonly(handle(), "main") == 1;
}

// ---- Transaction -----------------------------------------------------------------------------

Transaction::Transaction(Connection& connection)
    : connection_(connection), savepoint_(sqlite3_get_autocommit(connection.handle()) == 0) {
    // Nested use becomes a savepoint, so an operation can group its writes whether or not its
    // caller already holds a transaction.
    connection_.exec(savepoint_ ? "SAVEPOINT nested" : "BEGIN IMMEDIATE");
}

Transaction::~Transaction() noexcept {
    if (done_) {
        return;
    }
    const char* sql = savepoint_ ? "ROLLBACK TO nested; RELEASE nested" : "ROLLBACK";
    sqlite3_exec(connection_.handle(), sql, nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    connection_.exec(savepoint_ ? "RELEASE nested" : "COMMIT");
    done_ = true;
}

int execute(Connection& connection, std::string_view sql, std::initializer_list<Value> params) {
    Statement s(connection, sql);
    int i = 0;
    for (const Value& v : params) {
        s.bind(++i, v);
    }
    s.run();
    return connection.changes();
}

}  // namespace spinalyst::store
