#include "store/cursor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "store/query_cursor.h"
#include "tests/store/store_fixture.h"

namespace spinalyst::store {
namespace {

using testing::StoreTest;

const Date kDay1 = Date::fromYmd(2012, 3, 1);
const Date kDay2 = Date::fromYmd(2012, 3, 2);

// The shown rows of a cursor as one string of the given field, e.g. "17 0 36"; the cursor is left
// on its first row.
std::string render(Cursor& c, const char* field) {
    std::string s;
    for (c.first(); !c.eof(); c.next()) {
        s += (s.empty() ? "" : " ") + (c.isNull(field) ? std::string("-") : c.text(field));
    }
    c.first();
    return s;
}

class CursorTest : public StoreTest {
  protected:
    // Appends coups of casino 1, table "T 01".
    void addCoups(TableCursor& p, Date day, std::initializer_list<int> numbers,
                  const char* table = "T 01", int casino = 1) {
        for (int n : numbers) {
            p.appendRecord({Value(casino), Value(table), Value(day), Value(), Value(n)});
        }
    }
};

TEST_F(CursorTest, EmptyCursorIsAtBothEndsAndReadsNullRules) {
    TableCursor p("p", db, "Permanenz");
    p.open();
    EXPECT_TRUE(p.eof());
    EXPECT_TRUE(p.bof());
    EXPECT_EQ(p.recordCount(), 0);
    p.next();
    EXPECT_TRUE(p.eof());
    EXPECT_EQ(p.integer("Zahl"), 0);
    EXPECT_EQ(p.text("Tisch"), "");
    EXPECT_THROW(p.edit(), StoreError);
    EXPECT_THROW((void)p.value("Unbekannt"), StoreError);
}

TEST_F(CursorTest, NavigationStopsAtTheEndsAndReportsThem) {
    TableCursor p("p", db, "Permanenz");
    p.open();
    addCoups(p, kDay1, {5, 6, 7, 8});
    p.first();
    EXPECT_TRUE(p.bof());
    EXPECT_FALSE(p.eof());
    EXPECT_EQ(p.integer("Zahl"), 5);
    p.moveBy(2);
    EXPECT_EQ(p.integer("Zahl"), 7);
    EXPECT_FALSE(p.eof());
    p.moveBy(10);  // more rows than remain: stops on the last and reports the end
    EXPECT_EQ(p.integer("Zahl"), 8);
    EXPECT_TRUE(p.eof());
    p.prior();
    EXPECT_EQ(p.integer("Zahl"), 7);
    EXPECT_FALSE(p.eof());
    p.moveBy(-10);
    EXPECT_EQ(p.integer("Zahl"), 5);
    EXPECT_TRUE(p.bof());
    p.last();
    EXPECT_EQ(p.integer("Zahl"), 8);
    EXPECT_TRUE(p.eof());
    p.next();
    EXPECT_EQ(p.integer("Zahl"), 8);
    EXPECT_EQ(p.recordIndex(), 3);
}

TEST_F(CursorTest, LocateMatchesEveryFieldAndStaysOnFailure) {
    TableCursor p("p", db, "Permanenz");
    p.open();
    addCoups(p, kDay1, {5});
    addCoups(p, kDay1, {5}, "T 02");
    addCoups(p, kDay2, {9}, "T 02");
    p.first();
    EXPECT_TRUE(p.locate("Tisch;Zahl", {Value("T 02"), Value(5)}));
    EXPECT_EQ(p.text("Tisch"), "T 02");
    EXPECT_EQ(p.date("Datum"), kDay1);
    // Only one field equal: no match, and the cursor stays where it was.
    EXPECT_FALSE(p.locate("Tisch;Zahl", {Value("T 01"), Value(9)}));
    EXPECT_EQ(p.text("Tisch"), "T 02");
    EXPECT_EQ(p.integer("Zahl"), 5);
    // Texts compare case-sensitively.
    EXPECT_FALSE(p.locate("Tisch", {Value("t 02")}));
    EXPECT_TRUE(p.locate("Datum;Tisch", {Value(kDay2), Value("T 02")}));
    EXPECT_EQ(p.integer("Zahl"), 9);
    EXPECT_THROW(p.locate("Tisch;Zahl", {Value("T 01")}), StoreError);
}

TEST_F(CursorTest, MasterLinkShowsOnlyLinkedRowsAndFollowsTheMaster) {
    TableCursor wahl("wahl", db, "Wahl");
    TableCursor all("all", db, "Permanenz");
    TableCursor p("p", db, "Permanenz");
    wahl.open();
    all.open();
    addCoups(all, kDay1, {1, 2, 3});
    addCoups(all, kDay1, {4}, "T 02");
    addCoups(all, kDay2, {5, 6});
    addCoups(all, kDay1, {7}, "T 01", 2);

    p.setMasterLink(&wahl, {{"ID_Casino", "ID_Casino"}, {"Tisch", "Tisch"}, {"Datum", "Datum"}});
    p.open();
    struct Case {
        int casino;
        const char* table;
        Date day;
        const char* shown;
    } cases[] = {
        {1, "T 01", kDay1, "1 2 3"}, {1, "T 02", kDay1, "4"}, {1, "T 01", kDay2, "5 6"},
        {2, "T 01", kDay1, "7"},     {3, "T 01", kDay1, ""},
    };
    for (const auto& c : cases) {
        wahl.edit();
        wahl.setInteger("ID_Casino", c.casino);
        wahl.setText("Tisch", c.table);
        wahl.setDate("Datum", c.day);
        wahl.post();
        EXPECT_EQ(render(p, "Zahl"), c.shown) << c.casino << " " << c.table << " " << c.day.iso();
        EXPECT_EQ(p.recordCount(),
                  static_cast<int>(c.shown[0] ? (std::string(c.shown).size() + 1) / 2 : 0));
    }
    // Locate on a linked cursor sees only the linked rows.
    EXPECT_FALSE(p.locate("Zahl", {Value(1)}));

    // A new row of a detail takes the link values of the master.
    wahl.edit();
    wahl.setInteger("ID_Casino", 1);
    wahl.setText("Tisch", "T 01");
    wahl.setDate("Datum", kDay2);
    wahl.post();
    p.append();
    p.setInteger("Zahl", 8);
    p.post();
    EXPECT_EQ(render(p, "Zahl"), "5 6 8");

    // Removing the link shows every row; setting it again restores the linked view.
    p.clearMasterLink();
    EXPECT_EQ(p.recordCount(), 8);
    p.setMasterLink(&wahl, {{"ID_Casino", "ID_Casino"}, {"Tisch", "Tisch"}, {"Datum", "Datum"}});
    EXPECT_EQ(render(p, "Zahl"), "5 6 8");
}

TEST_F(CursorTest, ADetailKeepsItsPositionWhenTheMasterIsPostedUnchanged) {
    TableCursor wahl("wahl", db, "Wahl");
    TableCursor p("p", db, "Permanenz");
    wahl.open();
    p.setMasterLink(&wahl, {{"ID_Casino", "ID_Casino"}, {"Tisch", "Tisch"}, {"Datum", "Datum"}});
    p.open();
    addCoups(p, wahl.date("Datum"), {1, 2, 3});
    p.first();
    p.next();
    wahl.edit();
    wahl.setInteger("Permanenz_Zahl", 17);  // not a link field
    wahl.post();
    EXPECT_EQ(p.integer("Zahl"), 2);
    wahl.edit();
    wahl.setDate("Datum", wahl.date("Datum").addDays(1));
    wahl.post();
    EXPECT_TRUE(p.isEmpty());
}

TEST_F(CursorTest, FilterIsAppliedWhileOn) {
    TableCursor c("c", db, "Casino");
    c.setIndexName("Index_ID_Casino");
    c.open();
    c.appendRecord({Value(), Value(2), Value("B"), Value("x")});
    c.appendRecord({Value(), Value(1), Value("A"), Value("x")});
    c.appendRecord({Value(), Value(3), Value("C"), Value()});
    EXPECT_EQ(render(c, "Casino_Name"), "A B C");  // index order, not append order
    c.setFilter([](const RowView& r) { return r.text("Casino_In_Liste") == "x"; });
    c.setFiltered(true);
    EXPECT_EQ(render(c, "Casino_Name"), "A B");
    EXPECT_EQ(c.recordCount(), 2);
    EXPECT_FALSE(c.locate("Casino_Name", {Value("C")}));
    c.setFiltered(false);
    EXPECT_EQ(render(c, "Casino_Name"), "A B C");
}

TEST_F(CursorTest, AutoIncrementIsNeverReusedAfterDeletes) {
    TableCursor p("p", db, "Permanenz");
    p.open();
    addCoups(p, kDay1, {1, 2, 3});
    p.last();
    const auto highest = p.integer("ID_Zahl");
    p.first();
    const auto firstId = p.integer("ID_Zahl");
    p.last();
    p.remove();  // the highest id is gone
    EXPECT_EQ(render(p, "ID_Zahl"), std::to_string(firstId) + " " + std::to_string(firstId + 1));
    addCoups(p, kDay1, {4});
    p.last();
    EXPECT_GT(p.integer("ID_Zahl"), highest);
    p.emptyTable();
    EXPECT_EQ(p.recordCount(), 0);
    addCoups(p, kDay1, {5});
    p.first();
    EXPECT_GT(p.integer("ID_Zahl"), highest + 1);
}

TEST_F(CursorTest, RemoveMovesToTheNextRowAndRunsTheAfterDeleteHook) {
    TableCursor p("p", db, "Permanenz");
    p.open();
    addCoups(p, kDay1, {1, 2, 3});
    int deletes = 0;
    p.setAfterDeleteHook([&](TableCursor&) { ++deletes; });
    p.first();
    p.next();
    p.remove();
    EXPECT_EQ(p.integer("Zahl"), 3);
    p.remove();
    EXPECT_EQ(p.integer("Zahl"), 1);  // the last row went: the new last row is current
    p.remove();
    EXPECT_TRUE(p.eof());
    EXPECT_TRUE(p.isEmpty());
    EXPECT_EQ(deletes, 3);
}

TEST_F(CursorTest, PostRefusesANullRequiredFieldAndKeepsTheEdit) {
    TableCursor p("p", db, "Permanenz");
    p.open();
    p.append();
    p.setInteger("ID_Casino", 1);
    p.setDate("Datum", kDay1);
    EXPECT_THROW(p.post(), StoreError);  // Tisch is required
    EXPECT_EQ(p.state(), CursorState::Insert);
    p.setText("Tisch", "T 01");
    p.post();
    EXPECT_EQ(p.state(), CursorState::Browse);
    EXPECT_TRUE(p.isNull("Zahl"));  // the coup about to be played has no number
    EXPECT_EQ(p.recordCount(), 1);
}

TEST_F(CursorTest, FieldValuesAreConvertedToTheFieldType) {
    TableCursor p("p", db, "Permanenz");
    p.open();
    p.append();
    p.setValue("ID_Casino", Value("12"));
    p.setText("Tisch", "T 01 and more");                // cut to the field's 4 characters
    p.setValue("Datum", Value("2012-03-01 14:05:09"));  // only the day is stored
    p.setValue("Zahl", Value(""));                      // empty is null
    EXPECT_THROW(p.setValue("Angriff_Satz", Value("abc")), StoreError);
    EXPECT_THROW(p.setValue("ID_Zahl", Value(5)), StoreError);  // assigned by the store
    p.post();
    TableCursor again("again", db, "Permanenz");
    again.open();
    EXPECT_EQ(again.integer("ID_Casino"), 12);
    EXPECT_EQ(again.text("Tisch"), "T 01");
    EXPECT_EQ(again.date("Datum"), kDay1);
    EXPECT_TRUE(again.isNull("Zahl"));
    EXPECT_EQ(db.connection().changes(), 1);
    Statement raw(db.connection(), "SELECT Datum FROM Permanenz");
    ASSERT_TRUE(raw.step());
    EXPECT_EQ(raw.text(0), "2012-03-01");
}

TEST_F(CursorTest, AppendRecordAndSetFieldsTreatEmptyEntriesAsSpecified) {
    TableCursor c("c", db, "Casino");
    c.open();
    c.appendRecord({Value(), Value(1), Value("Alpha"), Value("x"), Value(), Value(0), Value("f")});
    EXPECT_GT(c.integer("ID_Casino_AutoInc"), 0);
    EXPECT_TRUE(c.isNull("Casino_Bemerkungen"));
    c.setFields({Value(), Value(), Value("Beta")});  // empty entries leave fields unchanged
    EXPECT_EQ(c.state(), CursorState::Edit);
    c.post();
    EXPECT_EQ(c.text("Casino_Name"), "Beta");
    EXPECT_EQ(c.integer("ID_Casino"), 1);
    EXPECT_EQ(c.text("Casino_In_Liste"), "x");
    EXPECT_THROW(c.appendRecord({Value(7)}), StoreError);  // the auto-increment is the store's
    EXPECT_EQ(c.recordCount(), 1);
    EXPECT_EQ(c.state(), CursorState::Browse);
}

TEST_F(CursorTest, CancelDropsTheEditAndMovingPostsIt) {
    TableCursor p("p", db, "Permanenz");
    p.open();
    addCoups(p, kDay1, {1, 2});
    p.first();
    p.setInteger("Zahl", 9);
    p.cancel();
    EXPECT_EQ(p.integer("Zahl"), 1);
    p.setInteger("Zahl", 9);
    p.next();  // leaving the row posts it
    EXPECT_EQ(render(p, "Zahl"), "9 2");
}

TEST_F(CursorTest, RefreshSeesOtherCursorsPostsAndKeepsThePosition) {
    TableCursor a("a", db, "Permanenz");
    TableCursor b("b", db, "Permanenz");
    a.open();
    b.open();
    addCoups(a, kDay1, {1, 2, 3});
    b.refresh();
    b.locate("Zahl", {Value(2)});
    a.first();
    a.appendRecord({Value(1), Value("T 01"), Value(kDay1), Value(), Value(4)});
    a.first();
    a.setInteger("Zahl", 10);
    a.post();
    b.refresh();
    EXPECT_EQ(b.integer("Zahl"), 2);
    EXPECT_EQ(b.recordCount(), 4);
    EXPECT_EQ(render(b, "Zahl"), "10 2 3 4");
}

TEST_F(CursorTest, IndexOrderFollowsAnEditedRow) {
    TableCursor t("t", db, "Permanenz_Tag_Zusammenfassung");
    t.setIndexName("Index_Datum");
    t.open();
    for (int d : {5, 1, 3}) {
        t.appendRecord({Value(1), Value("T 01"), Value(Date::fromYmd(2012, 3, d))});
    }
    EXPECT_EQ(render(t, "Datum"), "01.03.2012 03.03.2012 05.03.2012");
    t.first();
    t.setDate("Datum", Date::fromYmd(2012, 3, 9));
    t.post();
    EXPECT_EQ(t.date("Datum"), Date::fromYmd(2012, 3, 9));  // the cursor followed the row
    EXPECT_EQ(t.recordIndex(), 2);
    EXPECT_THROW(t.setIndexName("Index_Unbekannt"), StoreError);
}

TEST_F(CursorTest, HooksSeeAndMayRefuseThePost) {
    TableCursor e("e", db, "System_Ereignisse");
    e.setCalcFieldsHook([](const RowView& row, std::vector<Value>& calc) {
        calc[0] = Value("Name " + row.text("ID_Ereignis"));
        calc[1] = Value("Info");
    });
    bool refuse = true;
    e.setBeforePostHook([&](TableCursor&) {
        if (refuse) {
            throw PostCancelled();
        }
    });
    e.open();
    e.append();
    e.setInteger("ID_System", 1);
    e.setInteger("ID_Instanz", 1);
    e.setInteger("ID_Ereignis", 17);
    EXPECT_THROW(e.post(), PostCancelled);
    EXPECT_EQ(e.state(), CursorState::Insert);
    refuse = false;
    e.post();
    EXPECT_EQ(e.text("Ereignis"), "Name 17");
    EXPECT_EQ(e.text("Ereignis_Info"), "Info");
    EXPECT_THROW(e.setText("Ereignis", "x"), StoreError);  // calculated: read-only
}

class CountingObserver : public CursorObserver {
  public:
    void cursorReset(Cursor&) override { ++resets; }
    void currentRowChanged(Cursor&) override { ++rowChanges; }
    void positionChanged(Cursor&) override { ++moves; }
    int resets = 0;
    int rowChanges = 0;
    int moves = 0;
};

TEST_F(CursorTest, ObserversAreSuspendedByDisableControls) {
    TableCursor wahl("wahl", db, "Wahl");
    TableCursor p("p", db, "Permanenz");
    wahl.open();
    p.setMasterLink(&wahl, {{"ID_Casino", "ID_Casino"}, {"Tisch", "Tisch"}, {"Datum", "Datum"}});
    p.open();
    CountingObserver o;
    int dataChanges = 0;
    p.addObserver(&o);
    p.setDataChangeHook([&](Cursor&) { ++dataChanges; });
    addCoups(p, wahl.date("Datum"), {1, 2});
    EXPECT_EQ(o.resets, 2);
    p.first();
    p.next();
    EXPECT_EQ(o.moves, 2);
    p.setInteger("Zahl", 5);
    EXPECT_GE(o.rowChanges, 1);
    p.post();
    EXPECT_GT(dataChanges, 0);

    o = CountingObserver();
    dataChanges = 0;
    p.disableControls();
    p.disableControls();
    p.first();
    p.appendRecord({Value(1), Value("T 01"), Value(wahl.date("Datum")), Value(), Value(3)});
    p.enableControls();
    EXPECT_EQ(o.resets + o.moves + o.rowChanges + dataChanges, 0);
    p.enableControls();  // the last one resets the views once
    EXPECT_EQ(o.resets, 1);
    EXPECT_EQ(dataChanges, 1);
    p.removeObserver(&o);
}

TEST_F(CursorTest, ControlsSuspendedScopesNestAndEndAlsoOnErrors) {
    TableCursor p("p", db, "Permanenz");
    p.open();
    CountingObserver o;
    p.addObserver(&o);
    {
        ControlsSuspended outer(p);
        {
            ControlsSuspended inner(p);
            addCoups(p, kDay1, {1, 2});
        }
        EXPECT_TRUE(p.controlsDisabled());
        EXPECT_EQ(o.resets, 0);
    }
    EXPECT_FALSE(p.controlsDisabled());
    EXPECT_EQ(o.resets, 1);

    // Left by an exception: the views come back and the exception propagates.
    EXPECT_THROW(
        {
            ControlsSuspended suspended(p);
            p.setNull("Tisch");
            p.post();  // Tisch is required
        },
        StoreError);
    EXPECT_FALSE(p.controlsDisabled());
    EXPECT_EQ(o.resets, 2);
    p.cancel();

    // A view failing at the end: its error propagates from a normal end and from resume(), but
    // does not replace an exception that is leaving the scope.
    class Failing : public CursorObserver {
      public:
        void cursorReset(Cursor&) override { throw std::runtime_error("view failed"); }
    } failing;
    p.addObserver(&failing);
    EXPECT_THROW({ ControlsSuspended suspended(p); }, std::runtime_error);
    EXPECT_FALSE(p.controlsDisabled());
    {
        ControlsSuspended suspended(p);
        EXPECT_THROW(suspended.resume(), std::runtime_error);
        EXPECT_FALSE(p.controlsDisabled());
    }
    EXPECT_THROW(
        {
            ControlsSuspended suspended(p);
            throw PostCancelled();
        },
        PostCancelled);
    EXPECT_FALSE(p.controlsDisabled());
    p.removeObserver(&failing);
    p.removeObserver(&o);
}

TEST_F(CursorTest, DetailsDoNotFollowWhileTheMasterIsSuspended) {
    TableCursor wahl("wahl", db, "Wahl");
    TableCursor p("p", db, "Permanenz");
    wahl.open();
    p.open();
    addCoups(p, kDay1, {1});
    addCoups(p, kDay2, {2});
    p.setMasterLink(&wahl, {{"Datum", "Datum"}});
    wahl.edit();
    wahl.setDate("Datum", kDay1);
    wahl.post();
    EXPECT_EQ(render(p, "Zahl"), "1");
    wahl.disableControls();
    wahl.edit();
    wahl.setDate("Datum", kDay2);
    wahl.post();
    EXPECT_EQ(render(p, "Zahl"), "1");
    wahl.enableControls();
    EXPECT_EQ(render(p, "Zahl"), "2");
}

// A table larger than a page is read page by page in both directions.
TEST_F(CursorTest, LargeTablesArePagedWithoutLosingRows) {
    TableCursor p("p", db, "Permanenz");
    p.open();
    constexpr int kRows = 20000;  // more than a cursor holds at once
    {
        Transaction tx(db.connection());
        for (int i = 0; i < kRows; ++i) {
            p.appendRecord({Value(1), Value("T 01"), Value(kDay1.addDays(i / 400 % 40)), Value(),
                            Value(i % 37)});
        }
        tx.commit();
    }
    p.refresh();
    EXPECT_EQ(p.recordCount(), kRows);
    int seen = 0;
    std::int64_t lastId = 0;
    bool ascending = true;
    for (p.first(); !p.eof(); p.next()) {
        ascending = ascending && p.integer("ID_Zahl") > lastId;
        lastId = p.integer("ID_Zahl");
        ++seen;
    }
    EXPECT_EQ(seen, kRows);
    EXPECT_TRUE(ascending);

    TableCursor q("q", db, "Permanenz");
    q.open();
    q.last();
    EXPECT_EQ(q.integer("ID_Zahl"), lastId);
    int back = 0;
    while (!q.bof()) {
        ++back;
        q.prior();
    }
    EXPECT_EQ(back, kRows);
    EXPECT_EQ(q.recordIndex(), 0);

    // Locate beyond the first page, then append to a window that does not reach the end.
    TableCursor r("r", db, "Permanenz");
    r.open();
    ASSERT_TRUE(r.locate("Datum;Zahl", {Value(kDay1.addDays(11)), Value(4400 % 37)}));
    EXPECT_EQ(r.recordIndex(), 4400);
    r.first();
    r.appendRecord({Value(1), Value("T 01"), Value(kDay2), Value(), Value(36)});
    EXPECT_EQ(r.integer("Zahl"), 36);
    EXPECT_EQ(r.recordIndex(), kRows);
    EXPECT_EQ(r.recordCount(), kRows + 1);
    ASSERT_NE(r.rowAt(2500), nullptr);
    EXPECT_EQ(r.integer("Zahl"), 36);  // random access does not move the cursor
}

// Reading every row of a table far larger than a window by index, forwards and backwards, holds
// a bounded number of rows, reads each one right and leaves the cursor where it was. Moving to a
// far row and paging back from it to the first row reads every row again, in order.
TEST_F(CursorTest, RandomAccessOverALargeTableHoldsBoundedRows) {
    constexpr int kRows = 5 * RowWindow::kLimit;
    {
        Transaction tx(db.connection());
        Statement insert(db.connection(),
                         "INSERT INTO Permanenz (ID_Casino, Tisch, Datum, Zahl) "
                         "VALUES (1, 'T 01', ?, ?)");
        for (int i = 0; i < kRows; ++i) {
            insert.bind(1, Value(kDay1.addDays(i / 400)));
            insert.bind(2, std::int64_t{i % 37});
            insert.run();
        }
        tx.commit();
    }
    TableCursor p("p", db, "Permanenz");
    p.open();
    p.next();
    const auto id = static_cast<std::size_t>(p.fieldIndex("ID_Zahl"));
    const auto zahl = static_cast<std::size_t>(p.fieldIndex("Zahl"));
    constexpr int kBound = 2 * (RowWindow::kLimit + RowWindow::kPageSize);
    int most = 0;
    int wrong = 0;
    const auto read = [&](int i) {
        const Row* r = p.rowAt(i);
        if (r == nullptr || r->values[id].toInt64() != i + 1 || r->values[zahl].toInt() != i % 37) {
            ++wrong;
        }
        most = std::max(most, p.heldRows());
    };
    for (int i = 0; i < kRows; ++i) {
        read(i);
    }
    EXPECT_EQ(p.rowAt(kRows), nullptr);
    for (int i = kRows - 1; i >= 0; --i) {
        read(i);
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_LE(most, kBound);
    EXPECT_EQ(p.integer("ID_Zahl"), 2);
    EXPECT_EQ(p.recordIndex(), 1);

    ASSERT_TRUE(p.moveTo(kRows - 10));
    EXPECT_EQ(p.integer("ID_Zahl"), kRows - 9);
    EXPECT_EQ(p.recordIndex(), kRows - 10);
    std::int64_t expected = kRows - 9;
    bool inOrder = true;
    while (!p.bof()) {
        inOrder = inOrder && p.value("ID_Zahl").toInt64() == expected;
        --expected;
        most = std::max(most, p.heldRows());
        p.prior();
    }
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(expected, 0);
    EXPECT_EQ(p.recordIndex(), 0);
    EXPECT_LE(most, kBound);
    ASSERT_TRUE(p.moveTo(kRows / 2));
    EXPECT_EQ(p.integer("Zahl"), kRows / 2 % 37);
    p.moveBy(3 * RowWindow::kPageSize);
    EXPECT_EQ(p.recordIndex(), kRows / 2 + 3 * RowWindow::kPageSize);
    EXPECT_EQ(p.value("ID_Zahl").toInt64(), kRows / 2 + 3 * RowWindow::kPageSize + 1);
}

TEST_F(CursorTest, QueryCursorReadsBoundStatementsAndExecutesDeletes) {
    TableCursor p("p", db, "Permanenz");
    p.open();
    addCoups(p, kDay1, {3, 17, 3});
    addCoups(p, kDay2, {3});
    QueryCursor q("q", db);
    EXPECT_THROW(q.open(), StoreError);
    // A quoted number compares with an integer column by value; dates compare as days.
    q.setSql(
        "SELECT * FROM Permanenz WHERE  ID_Casino = ? AND Tisch = ?  AND Zahl = ? AND "
        "Datum >= ? AND Datum <= ? ORDER BY Datum DESC, ID_Zahl DESC",
        {Value(1), Value("T 01"), Value("3"), Value(kDay1), Value(kDay2)});
    q.open();
    EXPECT_EQ(q.recordCount(), 3);
    EXPECT_EQ(q.date("Datum"), kDay2);
    EXPECT_EQ(q.value("Datum"), Value(kDay2));  // handed out as a day
    q.next();
    EXPECT_EQ(q.date("datum"), kDay1);  // column names ignore case
    q.setSql("DELETE FROM Permanenz WHERE Datum = ?", {Value(kDay1)});
    EXPECT_EQ(q.execute(), 3);
    p.refresh();
    EXPECT_EQ(render(p, "Zahl"), "3");
}

TEST_F(CursorTest, QueryCursorComputesItsCalculatedFieldsForEveryRowRead) {
    TableCursor p("p", db, "Permanenz");
    p.open();
    addCoups(p, kDay1, {3, 17});
    QueryCursor q("q", db);
    int gerufen = 0;
    q.setCalculatedFields({"Doppelt", "Text"},
                          [&gerufen](const RowView& row, std::vector<Value>& calculated) {
                              ++gerufen;
                              ASSERT_EQ(calculated.size(), 2u);
                              calculated[0] = Value(std::int64_t{row.integer("Zahl") * 2});
                              calculated[1] = Value("z" + row.text("Zahl"));
                          });
    q.setSql("SELECT Zahl FROM Permanenz ORDER BY ID_Zahl");
    q.open();
    EXPECT_EQ(q.fieldNames(), (std::vector<std::string>{"Zahl", "Doppelt", "Text"}));
    EXPECT_EQ(q.integer("Doppelt"), 6);
    q.next();
    EXPECT_EQ(q.text("Text"), "z17");
    EXPECT_EQ(gerufen, 2);
    // Kept for the next statement.
    q.setSql("SELECT Zahl FROM Permanenz WHERE Zahl = ?", {Value(17)});
    q.open();
    EXPECT_EQ(q.integer("doppelt"), 34);
}

}  // namespace
}  // namespace spinalyst::store
