#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>

#include "store/schema.h"
#include "store/sqlite.h"

namespace spinalyst::store {

// What connect() found.
enum class ConnectResult { Opened, Created };

// One database file of the layout (the main database or the data-mining database). Owned by the
// data module; cursors keep a reference to it and use its connection and statement cache.
//
// connect(): a missing file is created with every table of its layout and the rows it comes
// with, written to a temporary file first and renamed into place, so a failed creation leaves no
// half-made file. An existing file is opened as it is and checked: a file that is no database of
// this program, is damaged, misses a table or field, or cannot be written gives a StoreError
// naming the file and is left untouched. When the file or its directory cannot be written (the
// directory holds the journal of every write), the error says which of them.
class Database {
  public:
    explicit Database(DatabaseFile file);
    ~Database();

    DatabaseFile file() const { return file_; }
    // The standard file name of this database ("Datenbank_Roulette.tdbd", ...).
    static const char* fileName(DatabaseFile file);

    void setLocation(std::filesystem::path path) { path_ = std::move(path); }
    const std::filesystem::path& location() const { return path_; }
    // The SQLite VFS the file is reached through (see Connection); empty, as the program leaves
    // it, for SQLite's default. Takes effect at the next connect().
    void setVfs(std::string name) { vfs_ = std::move(name); }
    const std::string& vfs() const { return vfs_; }
    ConnectResult connect();
    void disconnect();
    bool isConnected() const { return connection_ != nullptr; }

    // Requires a connection.
    Connection& connection();
    // A prepared statement kept for the life of the connection, keyed by its text. Reset before
    // it is handed out.
    Statement& cached(const std::string& sql);

    // Number of rows of a table (for reports and checks).
    int rowCount(const char* table);

  private:
    void create();
    void verify();

    DatabaseFile file_;
    std::filesystem::path path_;
    std::string vfs_;
    std::unique_ptr<Connection> connection_;
    std::unordered_map<std::string, std::unique_ptr<Statement>> statements_;
};

}  // namespace spinalyst::store
