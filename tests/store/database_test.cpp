#include "store/database.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "store/referenzdaten.h"
#include "tests/store/store_fixture.h"
#include "tests/support/fault_injection.h"

namespace spinalyst::store {
namespace {

namespace fs = std::filesystem;
using spinalyst::testing::FaultVfs;
using testing::TempDir;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> columns(Connection& c, const char* table) {
    std::vector<std::string> result;
    Statement s(c, std::string("PRAGMA table_info(\"") + table + "\")");
    while (s.step()) {
        result.push_back(s.text(1));
    }
    return result;
}

fs::path createDatabase(const TempDir& dir, DatabaseFile file) {
    Database db(file);
    db.setLocation(dir.path() / Database::fileName(file));
    EXPECT_EQ(db.connect(), ConnectResult::Created);
    return db.location();
}

TEST(DatabaseTest, NewFilesHoldEveryTableWithItsFieldsInStoredOrder) {
    TempDir dir;
    struct Case {
        DatabaseFile file;
        std::size_t tables;
    } cases[] = {{DatabaseFile::Roulette, 22}, {DatabaseFile::DmModul, 7}};
    for (const auto& c : cases) {
        Database db(c.file);
        db.setLocation(dir.path() / Database::fileName(c.file));
        ASSERT_EQ(db.connect(), ConnectResult::Created);
        const auto tables = tablesOf(c.file);
        EXPECT_EQ(tables.size(), c.tables);
        for (const TableDef* t : tables) {
            std::vector<std::string> expected;
            for (const auto& f : t->fields) {
                if (f.stored()) {
                    expected.emplace_back(f.name);
                }
            }
            EXPECT_EQ(columns(db.connection(), t->name), expected) << t->name;
        }
    }
    // A few fields in stored order, independent of the layout table.
    Database db(DatabaseFile::Roulette);
    db.setLocation(dir.path() / Database::fileName(DatabaseFile::Roulette));
    ASSERT_EQ(db.connect(), ConnectResult::Opened);
    EXPECT_EQ(columns(db.connection(), "Permanenz"),
              (std::vector<std::string>{"ID_Casino", "Tisch", "Datum", "ID_Zahl", "Zahl",
                                        "Angriff_Satz", "Gewinn_Verlust"}));
    EXPECT_EQ(columns(db.connection(), "System_Ereignisse"),
              (std::vector<std::string>{"ID_System", "ID_Instanz", "Nr_Ereignis", "ID_Ereignis",
                                        "Angriff"}));
    EXPECT_EQ(columns(db.connection(), "Wahl").size(), 74u);
    EXPECT_EQ(columns(db.connection(), "Wahl").back(), "DM_Art_Angriff");
}

TEST(DatabaseTest, NewFilesHoldTheReferenceRows) {
    TempDir dir;
    for (DatabaseFile file : {DatabaseFile::Roulette, DatabaseFile::DmModul}) {
        Database db(file);
        db.setLocation(dir.path() / Database::fileName(file));
        db.connect();
        for (const auto& ref : referenceRows(file)) {
            EXPECT_EQ(db.rowCount(ref.table->name), static_cast<int>(ref.rows.size()))
                << ref.table->name;
        }
    }
    Database db(DatabaseFile::Roulette);
    db.setLocation(dir.path() / Database::fileName(DatabaseFile::Roulette));
    db.connect();
    EXPECT_EQ(db.rowCount("Wahl"), 1);
    EXPECT_EQ(db.rowCount("Ereignisse"), 153);
    EXPECT_EQ(db.rowCount("Permanenz"), 0);
    EXPECT_EQ(db.rowCount("System_Art"), 3);
    Statement s(db.connection(), "SELECT ID_System_Art_AutoInc, ID_System_Art FROM System_Art");
    while (s.step()) {
        EXPECT_EQ(s.int64(0), s.int64(1));
    }
}

TEST(DatabaseTest, OpeningAnExistingFileLeavesItByteForByteUnchanged) {
    TempDir dir;
    const fs::path path = createDatabase(dir, DatabaseFile::Roulette);
    const std::string before = readFile(path);
    ASSERT_FALSE(before.empty());
    for (int i = 0; i < 2; ++i) {
        Database db(DatabaseFile::Roulette);
        db.setLocation(path);
        EXPECT_EQ(db.connect(), ConnectResult::Opened);
        EXPECT_EQ(db.rowCount("Ereignisse"), 153);
        db.disconnect();
    }
    EXPECT_EQ(readFile(path), before);
    EXPECT_FALSE(fs::exists(path.string() + "-wal"));
}

// Files that are not a usable database of this program give an error naming the file and are
// never overwritten.
TEST(DatabaseTest, ForeignOrDamagedFilesAreRefusedAndLeftAlone) {
    struct Case {
        const char* what;
        std::function<void(const fs::path&, const TempDir&)> make;
    } cases[] = {
        {"text", [](const fs::path& p, const TempDir&) { writeFile(p, "Rot Schwarz\n17\n"); }},
        {"empty file", [](const fs::path& p, const TempDir&) { writeFile(p, ""); }},
        {"garbage after a valid header",
         [](const fs::path& p, const TempDir& d) {
             const fs::path good = createDatabase(d, DatabaseFile::DmModul);
             std::string bytes = readFile(good);
             for (std::size_t i = 100; i < bytes.size(); ++i) {
                 bytes[i] = static_cast<char>(i * 31);
             }
             writeFile(p, bytes);
         }},
        {"truncated",
         [](const fs::path& p, const TempDir& d) {
             const fs::path good = createDatabase(d, DatabaseFile::DmModul);
             writeFile(p, readFile(good).substr(0, 2000));
         }},
        {"another program's database",
         [](const fs::path& p, const TempDir&) {
             Connection c(p.string(), Connection::Mode::Create);
             c.exec("CREATE TABLE t (a INTEGER)");
         }},
        {"a table missing",
         [](const fs::path& p, const TempDir& d) {
             const fs::path good = createDatabase(d, DatabaseFile::DmModul);
             fs::copy_file(good, p);
             Connection c(p.string(), Connection::Mode::OpenExisting);
             c.exec("DROP TABLE DM_Folge");
         }},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const fs::path path = dir.path() / Database::fileName(DatabaseFile::Roulette);
        c.make(path, dir);
        const std::string before = readFile(path);
        Database db(DatabaseFile::Roulette);
        db.setLocation(path);
        try {
            db.connect();
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const StoreError& e) {
            EXPECT_NE(std::string(e.what()).find("Datenbank_Roulette.tdbd"), std::string::npos)
                << c.what << ": " << e.what();
        }
        EXPECT_FALSE(db.isConnected());
        EXPECT_EQ(readFile(path), before) << c.what;
    }
}

TEST(DatabaseTest, ADirectoryOrAnUnwritableFileIsRefused) {
    TempDir dir;
    const fs::path path = dir.path() / Database::fileName(DatabaseFile::Roulette);
    fs::create_directory(path);
    Database db(DatabaseFile::Roulette);
    db.setLocation(path);
    EXPECT_THROW(db.connect(), StoreError);

    fs::remove(path);
    createDatabase(dir, DatabaseFile::Roulette);
    const std::string before = readFile(path);
    const auto expectRefused = [&](const char* how) {
        try {
            db.connect();
            ADD_FAILURE() << how << ": read-only file accepted";
        } catch (const StoreError& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind(path.string() + ": ", 0), 0u) << how << ": " << what;
            EXPECT_NE(what.find("file cannot be written"), std::string::npos)
                << how << ": " << what;
            EXPECT_NE(what.find("read-only"), std::string::npos) << how << ": " << what;
            EXPECT_EQ(e.code(), SQLITE_READONLY) << how;
        }
        EXPECT_FALSE(db.isConnected()) << how;
        EXPECT_EQ(readFile(path), before) << how;
    };
    // The VFS opens the file read-only, as SQLite's default VFS does with a file without write
    // permission; this binds root too.
    {
        FaultVfs vfs;
        vfs.makeReadOnly(path);
        db.setVfs(vfs.name());
        expectRefused("read-only through the VFS");
        db.setVfs({});
    }
    // The file's own permission, where it binds.
    if (geteuid() != 0) {
        fs::permissions(path, fs::perms::owner_read);
        expectRefused("without write permission");
    }
}

// The directory of a database holds its journal files, which every write makes: a database in a
// directory that cannot be written is refused with an error that names the directory, and no
// file is made or changed there.
TEST(DatabaseTest, ADirectoryThatCannotBeWrittenIsNamed) {
    struct Case {
        const char* how;
        bool vfs;  // through the fault VFS, else by the directory's permissions
        bool exists;
    } cases[] = {
        {"existing file, read-only directory through the VFS", true, true},
        {"missing file, read-only directory through the VFS", true, false},
        {"existing file, directory without write permission", false, true},
        {"missing file, directory without write permission", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        if (!c.vfs && geteuid() == 0) {
            continue;  // the directory's permissions do not bind root; the VFS stands in
        }
        TempDir dir;
        const fs::path path = dir.path() / Database::fileName(DatabaseFile::Roulette);
        if (c.exists) {
            createDatabase(dir, DatabaseFile::Roulette);
        }
        const std::string before = c.exists ? readFile(path) : std::string();
        FaultVfs vfs;
        Database db(DatabaseFile::Roulette);
        db.setLocation(path);
        if (c.vfs) {
            vfs.makeReadOnly(dir.path());
            db.setVfs(vfs.name());
        } else {
            fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
        }
        try {
            db.connect();
            ADD_FAILURE() << "accepted";
        } catch (const StoreError& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind(path.string() + ": ", 0), 0u) << what;
            EXPECT_NE(what.find("the directory " + dir.path().string() + " cannot be written"),
                      std::string::npos)
                << what;
            if (!c.exists) {
                EXPECT_NE(what.find("cannot be created"), std::string::npos) << what;
            }
        }
        EXPECT_FALSE(db.isConnected());
        fs::permissions(dir.path(), fs::perms::owner_all);
        if (c.exists) {
            EXPECT_EQ(readFile(path), before);
            EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
        } else {
            EXPECT_TRUE(fs::is_empty(dir.path()));
        }
    }
}

// A creation that fails, wherever it fails, leaves neither the file nor any part of it behind.
TEST(DatabaseTest, FailedCreationLeavesNoFileBehind) {
    struct Case {
        const char* how;
        std::function<void(FaultVfs&)> fault;
        const char* message;
    } cases[] = {
        {"missing directory", nullptr, "unable to open database file"},
        {"full disk", [](FaultVfs& v) { v.failWrites(SQLITE_FULL); }, "database or disk is full"},
        {"device error part-way", [](FaultVfs& v) { v.failWrites(SQLITE_IOERR_WRITE, 3); },
         "disk I/O error"},
        {"failing sync", [](FaultVfs& v) { v.failSyncs(SQLITE_IOERR_FSYNC); }, "disk I/O error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        TempDir dir;
        FaultVfs vfs;
        Database db(DatabaseFile::Roulette);
        if (c.fault) {
            c.fault(vfs);
            db.setVfs(vfs.name());
            db.setLocation(dir.path() / Database::fileName(DatabaseFile::Roulette));
        } else {
            db.setLocation(dir.path() / "missing-directory" /
                           Database::fileName(DatabaseFile::Roulette));
        }
        try {
            db.connect();
            ADD_FAILURE() << "created";
        } catch (const StoreError& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind(db.location().string() + ": cannot be created", 0), 0u) << what;
            EXPECT_NE(what.find(c.message), std::string::npos) << what;
        }
        EXPECT_FALSE(db.isConnected());
        EXPECT_EQ(vfs.failures() > 0, c.fault != nullptr);
        EXPECT_TRUE(fs::is_empty(dir.path()));
    }
}

// A write that fails in a transaction, at its commit or while it spills pages before, leaves
// nothing of the transaction stored, tells which file and why, and leaves the connection usable.
TEST(DatabaseTest, AFailingWriteStoresNothingOfItsTransaction) {
    struct Case {
        const char* how;
        int rc;
        int writesBefore;
        int cachePages;  // a small cache spills the transaction's pages before its commit
        const char* message;
    } cases[] = {
        {"full disk at the commit", SQLITE_FULL, 0, 0, "database or disk is full"},
        {"device error part-way through the commit", SQLITE_IOERR_WRITE, 3, 0, "disk I/O error"},
        {"full disk while spilling", SQLITE_FULL, 2, 10, "database or disk is full"},
        {"device error while spilling", SQLITE_IOERR_WRITE, 0, 10, "disk I/O error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        TempDir dir;
        FaultVfs vfs;
        Database db(DatabaseFile::DmModul);
        db.setVfs(vfs.name());
        db.setLocation(dir.path() / Database::fileName(DatabaseFile::DmModul));
        ASSERT_EQ(db.connect(), ConnectResult::Created);
        Connection& connection = db.connection();
        if (c.cachePages > 0) {
            connection.exec("PRAGMA cache_size = " + std::to_string(c.cachePages));
        }
        const auto insert = [&](int id) {
            Statement s(connection,
                        "INSERT INTO DM_Gleiche_Art (ID_Gleiche_Art, Gleiche_Art) VALUES (?, ?)");
            s.bind(1, static_cast<std::int64_t>(id));
            s.bind(2, Value(std::string(400, static_cast<char>('a' + id % 26))));
            s.run();
        };
        const auto stored = [](Connection& on) {
            Statement s(on,
                        "SELECT count(*), coalesce(sum(ID_Gleiche_Art), 0) FROM DM_Gleiche_Art");
            s.step();
            return std::to_string(s.int64(0)) + " rows, ids summing to " +
                   std::to_string(s.int64(1));
        };
        insert(1);

        vfs.failWrites(c.rc, c.writesBefore);
        bool committing = false;
        try {
            Transaction tx(connection);
            for (int id = 2; id < 400; ++id) {
                insert(id);
            }
            committing = true;
            tx.commit();
            ADD_FAILURE() << "committed";
        } catch (const StoreError& e) {
            EXPECT_EQ(committing, c.cachePages == 0);
            const std::string what = e.what();
            EXPECT_EQ(what.rfind("Datenbank_DM_Modul.tdbd: ", 0), 0u) << what;
            EXPECT_NE(what.find(c.message), std::string::npos) << what;
            EXPECT_EQ(e.code(), c.rc & 0xff);
        }
        EXPECT_GT(vfs.failures(), 0);
        vfs.heal();

        EXPECT_EQ(stored(connection), "1 rows, ids summing to 1");
        Connection fresh(db.location().string(), Connection::Mode::OpenExisting);
        EXPECT_EQ(stored(fresh), "1 rows, ids summing to 1");
        // The same connection writes again.
        {
            Transaction tx(connection);
            insert(2);
            tx.commit();
        }
        EXPECT_EQ(stored(fresh), "2 rows, ids summing to 3");
    }
}

TEST(DatabaseTest, TransactionsRollBackUnlessCommittedAndNest) {
    TempDir dir;
    Database db(DatabaseFile::DmModul);
    db.setLocation(dir.path() / Database::fileName(DatabaseFile::DmModul));
    db.connect();
    auto insert = [&](int id) {
        Statement s(db.connection(), "INSERT INTO DM_Gleiche_Art (ID_Gleiche_Art) VALUES (?)");
        s.bind(1, static_cast<std::int64_t>(id));
        s.run();
    };
    {
        Transaction tx(db.connection());
        insert(1);
    }
    EXPECT_EQ(db.rowCount("DM_Gleiche_Art"), 0);
    {
        Transaction outer(db.connection());
        insert(2);
        {
            Transaction inner(db.connection());
            insert(3);
        }
        {
            Transaction inner(db.connection());
            insert(4);
            inner.commit();
        }
        outer.commit();
    }
    Statement s(db.connection(), "SELECT group_concat(ID_Gleiche_Art) FROM DM_Gleiche_Art");
    ASSERT_TRUE(s.step());
    EXPECT_EQ(s.text(0), "2,4");
}

TEST(DatabaseTest, StoreErrorsCarrySqliteCodes) {
    TempDir dir;
    Database db(DatabaseFile::DmModul);
    db.setLocation(dir.path() / Database::fileName(DatabaseFile::DmModul));
    db.connect();
    try {
        db.connection().exec("INSERT INTO DM_Gleiche_Art (Gleiche_Art) VALUES ('x')");
        ADD_FAILURE() << "null in a required field accepted";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.code(), SQLITE_CONSTRAINT);
        EXPECT_EQ(e.extendedCode(), SQLITE_CONSTRAINT_NOTNULL);
    }
    EXPECT_THROW(Statement(db.connection(), "SELECT * FROM Unbekannt"), StoreError);
}

}  // namespace
}  // namespace spinalyst::store
