#include "store/database.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "store/referenzdaten.h"
#include "tests/store/store_fixture.h"

namespace spinalyst::store {
namespace {

namespace fs = std::filesystem;
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

    if (geteuid() == 0) {
        GTEST_SKIP() << "file permissions do not bind root";
    }
    fs::remove(path);
    createDatabase(dir, DatabaseFile::Roulette);
    fs::permissions(path, fs::perms::owner_read);
    const std::string before = readFile(path);
    try {
        db.connect();
        ADD_FAILURE() << "read-only file accepted";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("read-only"), std::string::npos) << e.what();
    }
    EXPECT_EQ(readFile(path), before);
}

TEST(DatabaseTest, FailedCreationLeavesNoFileBehind) {
    TempDir dir;
    Database db(DatabaseFile::Roulette);
    db.setLocation(dir.path() / "missing-directory" / Database::fileName(DatabaseFile::Roulette));
    EXPECT_THROW(db.connect(), StoreError);
    EXPECT_TRUE(fs::is_empty(dir.path()));
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
