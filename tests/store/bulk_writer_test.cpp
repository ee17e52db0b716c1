#include "store/bulk_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "store/cursor.h"
#include "tests/store/store_fixture.h"

namespace spinalyst::store {
namespace {

const Date kTag = Date::fromYmd(2012, 3, 1);

class BulkWriterTest : public testing::StoreTest {
  protected:
    // The coups as "day:number", in stored order.
    std::string permanenz() {
        Statement s(db.connection(),
                    "SELECT Datum, IFNULL(Zahl, '-') FROM Permanenz ORDER BY rowid");
        std::string text;
        while (s.step()) {
            text += (text.empty() ? "" : " ") + s.text(0).substr(8) + ":" + s.text(1);
        }
        return text;
    }
};

TEST_F(BulkWriterTest, RowsAreStoredOnCommitAndTheCursorsReadThemOnce) {
    TableCursor p("p", db, "Permanenz");
    p.open();
    int resets = 0;
    struct Zaehler : CursorObserver {
        int& n;
        explicit Zaehler(int& z) : n(z) {}
        void cursorReset(Cursor&) override { ++n; }
    } zaehler(resets);
    p.addObserver(&zaehler);
    {
        BulkWriter w(db);
        auto& coup = w.insert("Permanenz", {"ID_Casino", "Tisch", "Datum", "Zahl"});
        for (int z : {17, 0, 36}) {
            EXPECT_EQ(coup.write({Value(1), Value("T 01"), Value(kTag), Value(z)}), 1);
        }
        coup.write({Value(1), Value("T 01"), Value(kTag.addDays(1)), Value()});
        w.refreshAfterCommit(p);
        w.refreshAfterCommit(p);        // registered once
        EXPECT_EQ(p.recordCount(), 0);  // the cursor has not been told yet
        w.commit();
    }
    EXPECT_EQ(permanenz(), "01:17 01:0 01:36 02:-");
    EXPECT_EQ(p.recordCount(), 4);
    EXPECT_EQ(resets, 1);
    p.removeObserver(&zaehler);

    // Updates through a statement of the writer's own.
    BulkWriter w(db);
    EXPECT_EQ(w.execute("UPDATE Permanenz SET Zahl = ? WHERE Zahl = ?", {Value(5), Value(0)}), 1);
    w.commit();
    EXPECT_EQ(permanenz(), "01:17 01:5 01:36 02:-");
}

TEST_F(BulkWriterTest, NothingIsStoredWithoutCommitOrAfterAFailingRow) {
    {
        BulkWriter w(db);
        w.insert("Permanenz", {"ID_Casino", "Tisch", "Datum", "Zahl"})
            .write({Value(1), Value("T 01"), Value(kTag), Value(3)});
    }
    EXPECT_EQ(permanenz(), "");

    // A required field left null fails the row; the writer is then left without commit.
    try {
        BulkWriter w(db);
        auto& coup = w.insert("Permanenz", {"ID_Casino", "Tisch", "Datum", "Zahl"});
        coup.write({Value(1), Value("T 01"), Value(kTag), Value(3)});
        coup.write({Value(1), Value(), Value(kTag), Value(4)});
        w.commit();
        ADD_FAILURE() << "a coup without a table was stored";
    } catch (const StoreError&) {
    }
    EXPECT_EQ(permanenz(), "");

    // Nested in a transaction that is rolled back, the committed writer goes with it.
    {
        Transaction aussen(db.connection());
        BulkWriter w(db);
        w.insert("Permanenz", {"ID_Casino", "Tisch", "Datum", "Zahl"})
            .write({Value(1), Value("T 01"), Value(kTag), Value(3)});
        w.commit();
    }
    EXPECT_EQ(permanenz(), "");
}

TEST_F(BulkWriterTest, UnknownTablesFieldsAndValueCountsAreRefused) {
    BulkWriter w(db);
    EXPECT_THROW(w.insert("Permanenzen", {"Zahl"}), StoreError);
    EXPECT_THROW(w.insert("DM_HSR", {"DM_ID_HSR"}), StoreError);  // the other file's table
    EXPECT_THROW(w.insert("Permanenz", {"Zahl", "Nummer"}), StoreError);
    auto& coup = w.insert("Permanenz", {"ID_Casino", "Tisch", "Datum", "Zahl"});
    EXPECT_THROW(coup.write({Value(1), Value("T 01"), Value(kTag)}), StoreError);
    w.commit();
    EXPECT_EQ(permanenz(), "");
}

}  // namespace
}  // namespace spinalyst::store
