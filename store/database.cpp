#include "store/database.h"

#include <system_error>

#include "store/referenzdaten.h"

namespace spinalyst::store {

namespace fs = std::filesystem;

namespace {

// Connection settings of every database file. WAL lets a post commit with one append to the
// log instead of rewriting pages in place; synchronous=NORMAL syncs the log at checkpoints, so a
// post survives a crash of the program at once and a power cut up to the last checkpoint, and
// the file is never left damaged.
void configure(Connection& c) {
    c.exec("PRAGMA journal_mode = WAL");
    c.exec("PRAGMA synchronous = NORMAL");
    c.exec("PRAGMA cache_size = -65536");
    c.exec("PRAGMA temp_store = MEMORY");
    // Reading a stretch of a large permanence from the mapped file spares a copy per page.
    c.exec("PRAGMA mmap_size = 1073741824");
}

int pragmaInt(Connection& c, const char* pragma) {
    Statement s(c, std::string("PRAGMA ") + pragma);
    return s.step() ? static_cast<int>(s.int64(0)) : 0;
}

// Whether the directory exists and files can be made in it, as the VFS sees it. Asked only after
// a file could not be made there, to tell the user why.
bool directoryUnwritable(const std::string& vfsName, const fs::path& directory) {
    sqlite3_vfs* vfs = sqlite3_vfs_find(vfsName.empty() ? nullptr : vfsName.c_str());
    if (vfs == nullptr) {
        return false;
    }
    const std::string name = directory.string();
    int exists = 0;
    int writable = 0;
    return vfs->xAccess(vfs, name.c_str(), SQLITE_ACCESS_EXISTS, &exists) == SQLITE_OK &&
           exists != 0 &&
           vfs->xAccess(vfs, name.c_str(), SQLITE_ACCESS_READWRITE, &writable) == SQLITE_OK &&
           writable == 0;
}

// The directory that holds a database file and its journal files.
fs::path directoryOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

std::string directoryUnwritableMessage(const fs::path& directory) {
    return "the directory " + directory.string() +
           " cannot be written; the program needs to make its journal files there";
}

}  // namespace

Database::Database(DatabaseFile file) : file_(file) {}

Database::~Database() {
    disconnect();
}

const char* Database::fileName(DatabaseFile file) {
    return file == DatabaseFile::Roulette ? "Datenbank_Roulette.tdbd" : "Datenbank_DM_Modul.tdbd";
}

Connection& Database::connection() {
    if (!connection_) {
        throw StoreError(std::string("Database ") + fileName(file_) + " is not connected");
    }
    return *connection_;
}

Statement& Database::cached(const std::string& sql) {
    auto it = statements_.find(sql);
    if (it == statements_.end()) {
        it = statements_.emplace(sql, std::make_unique<Statement>(connection(), sql)).first;
    }
    it->second->reset();
    it->second->clearBindings();
    return *it->second;
}

int Database::rowCount(const char* table) {
    Statement& s = cached(std::string("SELECT COUNT(*) FROM \"") + table + "\"");
    s.step();
    const auto n = static_cast<int>(s.int64(0));
    s.reset();
    return n;
}

void Database::disconnect() {
    statements_.clear();
    connection_.reset();
}

ConnectResult Database::connect() {
    disconnect();
    if (path_.empty()) {
        throw StoreError(std::string("Database ") + fileName(file_) + ": no location set");
    }
    std::error_code ec;
    const bool exists = fs::exists(path_, ec);
    ConnectResult result = ConnectResult::Opened;
    if (!exists) {
        create();
        result = ConnectResult::Created;
    }
    try {
        if (fs::is_directory(path_, ec)) {
            throw StoreError("is a directory, not a database file");
        }
        connection_ =
            std::make_unique<Connection>(path_.string(), Connection::Mode::OpenExisting, vfs_);
        verify();
        configure(*connection_);
    } catch (const StoreError& e) {
        connection_.reset();
        const std::string what = e.what();
        const std::string prefix = path_.filename().string() + ": ";
        throw StoreError(path_.string() + ": " +
                             (what.rfind(prefix, 0) == 0 ? what.substr(prefix.size()) : what),
                         e.code(), e.extendedCode());
    }
    return result;
}

void Database::verify() {
    Connection& c = *connection_;
    // Refuse before anything could be written: a read-only file cannot hold the program's data.
    if (c.isReadOnly()) {
        throw StoreError("the file cannot be written (it is read-only)", SQLITE_READONLY,
                         SQLITE_READONLY);
    }
    int appId = 0;
    try {
        appId = pragmaInt(c, "application_id");
    } catch (const StoreError& e) {
        // The first read of a file in WAL mode makes its journal files next to it.
        if (e.extendedCode() == SQLITE_READONLY_DIRECTORY) {
            throw StoreError(directoryUnwritableMessage(directoryOf(path_)), e.code(),
                             e.extendedCode());
        }
        if (e.code() == SQLITE_READONLY) {
            throw StoreError(
                std::string("the file or its journal files cannot be written (") + e.what() + ")",
                e.code(), e.extendedCode());
        }
        throw StoreError(
            std::string("not a database of this program, or damaged (") + e.what() + ")", e.code(),
            e.extendedCode());
    }
    if (appId != kApplicationId) {
        throw StoreError("not a database of this program", SQLITE_NOTADB, SQLITE_NOTADB);
    }
    const int version = pragmaInt(c, "user_version");
    if (version > kLayoutVersion) {
        throw StoreError(
            "made by a newer version of the program (layout " + std::to_string(version) + ")",
            SQLITE_NOTADB, SQLITE_NOTADB);
    }
    for (const TableDef* t : tablesOf(file_)) {
        Statement s(c, std::string("PRAGMA table_info(\"") + t->name + "\")");
        std::size_t k = 0;
        bool ok = true;
        std::vector<const FieldDef*> stored;
        for (const auto& f : t->fields) {
            if (f.stored()) {
                stored.push_back(&f);
            }
        }
        while (s.step()) {
            ok = ok && k < stored.size() && s.text(1) == stored[k]->name;
            ++k;
        }
        if (k == 0) {
            throw StoreError(std::string("table ") + t->name + " is missing", SQLITE_CORRUPT,
                             SQLITE_CORRUPT);
        }
        if (!ok || k != stored.size()) {
            throw StoreError(std::string("table ") + t->name + " does not have the expected fields",
                             SQLITE_CORRUPT, SQLITE_CORRUPT);
        }
    }
}

void Database::create() {
    // Build the file under a temporary name and move it into place when complete.
    fs::path tmp = path_;
    tmp += ".new";
    std::error_code ec;
    fs::remove(tmp, ec);
    try {
        {
            Connection c(tmp.string(), Connection::Mode::Create, vfs_);
            c.exec("PRAGMA journal_mode = DELETE");
            Transaction tx(c);
            for (const TableDef* t : tablesOf(file_)) {
                for (const auto& sql : createStatements(*t)) {
                    c.exec(sql);
                }
            }
            for (const auto& ref : referenceRows(file_)) {
                std::string cols;
                std::string marks;
                for (const auto& f : ref.table->fields) {
                    if (!f.stored()) {
                        continue;
                    }
                    cols += (cols.empty() ? "\"" : ", \"") + std::string(f.name) + "\"";
                    marks += marks.empty() ? "?" : ", ?";
                }
                Statement ins(c, std::string("INSERT INTO \"") + ref.table->name + "\" (" + cols +
                                     ") VALUES (" + marks + ")");
                for (const auto& row : ref.rows) {
                    for (std::size_t i = 0; i < row.size(); ++i) {
                        ins.bind(static_cast<int>(i) + 1, row[i]);
                    }
                    ins.run();
                    ins.clearBindings();
                }
            }
            c.exec("PRAGMA application_id = " + std::to_string(kApplicationId));
            c.exec("PRAGMA user_version = " + std::to_string(kLayoutVersion));
            tx.commit();
            c.exec("PRAGMA journal_mode = WAL");
        }
        fs::rename(tmp, path_);
    } catch (const StoreError& e) {
        fs::remove(tmp, ec);
        if (e.code() == SQLITE_CANTOPEN && directoryUnwritable(vfs_, directoryOf(path_))) {
            throw StoreError(path_.string() + ": cannot be created: " +
                                 directoryUnwritableMessage(directoryOf(path_)) + " (" + e.what() +
                                 ")",
                             e.code(), e.extendedCode());
        }
        throw StoreError(path_.string() + ": cannot be created (" + e.what() + ")", e.code(),
                         e.extendedCode());
    } catch (const fs::filesystem_error& e) {
        fs::remove(tmp, ec);
        throw StoreError(path_.string() + ": cannot be created (" + e.what() + ")", SQLITE_CANTOPEN,
                         SQLITE_CANTOPEN);
    }
}

}  // namespace spinalyst::store
