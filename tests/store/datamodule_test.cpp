#include "store/datamodule.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/store/store_fixture.h"

namespace spinalyst::store {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

const Date kDay1 = Date::fromYmd(2012, 3, 1);
const Date kDay2 = Date::fromYmd(2012, 3, 2);

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string render(Cursor& c, const char* field) {
    std::string s;
    for (c.first(); !c.eof(); c.next()) {
        s += (s.empty() ? "" : " ") + (c.isNull(field) ? std::string("-") : c.text(field));
    }
    c.first();
    return s;
}

class DataModuleTest : public ::testing::Test {
  protected:
    DataModuleTest() : dm(dir.path(), sitzung) {}

    void select(int casino, const char* table, Date day) {
        auto& w = dm.TdbTable_Wahl;
        w.edit();
        w.setInteger("ID_Casino", casino);
        w.setText("Tisch", table);
        w.setDate("Datum", day);
        w.post();
    }

    TempDir dir;
    Modulzustand sitzung;
    DataModule_Roulette dm;
};

TEST_F(DataModuleTest, OpenCreatesBothFilesAndOpensEveryCursor) {
    dm.open();
    EXPECT_TRUE(fs::exists(dir.path() / "Datenbank_Roulette.tdbd"));
    EXPECT_TRUE(fs::exists(dir.path() / "Datenbank_DM_Modul.tdbd"));
    EXPECT_EQ(dm.TdbTable_Wahl.recordCount(), 1);
    EXPECT_TRUE(dm.TdbQuery_Ereignisse.isOpen());
    EXPECT_EQ(dm.TdbQuery_Ereignisse.recordCount(), 153);
    for (auto* c : dm.openOrder()) {
        EXPECT_TRUE(c->isOpen()) << c->name();
    }
    EXPECT_FALSE(dm.TdbQuery_Permanenz.isOpen());
    EXPECT_EQ(dm.TdbTable_DM_Angriff.recordCount(), 210);
    dm.close();
    for (auto* c : dm.closeOrder()) {
        EXPECT_FALSE(c->isOpen()) << c->name();
    }
    EXPECT_FALSE(dm.TdbDatabase_Roulette.isConnected());
}

TEST_F(DataModuleTest, EveryCursorIsReachableByItsName) {
    const char* names[] = {"TdbTable_Wahl",
                           "TdbTable_Casino",
                           "TdbTable_Casino_Tisch_Datum",
                           "TdbTable_Permanenz",
                           "TdbTable_Permanenz_Tag_Zusammenfassung",
                           "TdbTable_Permanenz_Tag_Zusammenfassung_G",
                           "TdbTable_Permanenz_Aufnahme",
                           "TdbTable_Systeme",
                           "TdbTable_Systeme_2",
                           "TdbTable_System_Daten",
                           "TdbTable_System_Daten_2",
                           "TdbTable_System_Ereignisse",
                           "TdbTable_System_Ereignisse_2",
                           "TdbTable_System_Angriffe",
                           "TdbTable_System_Angriffe_2",
                           "TdbTable_System_Art",
                           "TdbTable_System_Chancen",
                           "TdbTable_Systeme_Auswertungen_Ueberblick",
                           "TdbTable_Systeme_Abarbeitung",
                           "TdbTable_Individuell_Daten_1",
                           "TdbTable_Individuell_Daten_2",
                           "TdbTable_Ereignisse",
                           "TdbTable_Ereignis_Zahl",
                           "TdbTable_Ereignisse_Serien",
                           "TdbTable_Ereignisse_Rueckstaendigkeit",
                           "TdbTable_Deutsch_Englisch",
                           "TdbTable_DM_HSR",
                           "TdbTable_DM_Folge",
                           "TdbTable_DM_Folge_Anzeige",
                           "TdbTable_DM_Angriff",
                           "TdbTable_DM_Gewinn_Verlust",
                           "TdbTable_DM_Gewinn_Verlust_Berechnung",
                           "TdbTable_DM_Gleiche_Art",
                           "TdbQuery_Ereignisse",
                           "TdbQuery_Permanenz",
                           "TdbQuery_Permanenz_Systemauswertung",
                           "TdbQuery_Ereignisse_Haeufigkeit",
                           "TdbQuery_Ereignisse_Serien",
                           "TdbQuery_Ereignisse_Rueckstaendigkeit",
                           "TdbQuery_Data_Alles",
                           "TdbQuery_DM_Ergebnisse",
                           "TdbQuery_Gleiche_Art"};
    for (const char* n : names) {
        Cursor* c = dm.cursor(n);
        ASSERT_NE(c, nullptr) << n;
        EXPECT_EQ(c->name(), n);
    }
    EXPECT_EQ(dm.cursor("TdbTable_Unbekannt"), nullptr);
}

TEST_F(DataModuleTest, PermanenceCursorsFollowTheSelection) {
    dm.open();
    TableCursor p("p", dm.TdbDatabase_Roulette, "Permanenz");
    p.open();
    const struct {
        int casino;
        const char* table;
        Date day;
        int number;
    } coups[] = {{1, "T 01", kDay1, 1},
                 {1, "T 01", kDay1, 2},
                 {1, "T 02", kDay1, 3},
                 {1, "T 01", kDay2, 4},
                 {2, "T 01", kDay1, 5}};
    for (const auto& c : coups) {
        p.appendRecord({Value(c.casino), Value(c.table), Value(c.day), Value(), Value(c.number)});
    }
    TableCursor days("days", dm.TdbDatabase_Roulette, "Permanenz_Tag_Zusammenfassung");
    days.open();
    for (Date d : {kDay2, kDay1}) {
        days.appendRecord({Value(1), Value("T 01"), Value(d)});
    }
    sitzung.gewaehlter_tag = kDay2;
    dm.TdbTable_Wahl.edit();
    dm.TdbTable_Wahl.setInteger("System_Tage_Anzahl", 10);
    dm.TdbTable_Wahl.post();

    struct Case {
        int casino;
        const char* table;
        Date day;
        const char* coups;
        const char* dayRows;
    } cases[] = {
        {1, "T 01", kDay1, "1 2", "01.03.2012 02.03.2012"},
        {1, "T 02", kDay1, "3", ""},
        {1, "T 01", kDay2, "4", "01.03.2012 02.03.2012"},
        {2, "T 01", kDay1, "5", ""},
    };
    // Rows written through another cursor are seen after a refresh; from then on the linked
    // cursor follows the selection by itself.
    dm.TdbTable_Permanenz.refresh();
    for (const auto& c : cases) {
        select(c.casino, c.table, c.day);
        EXPECT_EQ(render(dm.TdbTable_Permanenz, "Zahl"), c.coups);
        dm.TdbTable_Permanenz_Tag_Zusammenfassung.refresh();
        EXPECT_EQ(render(dm.TdbTable_Permanenz_Tag_Zusammenfassung, "Datum"), c.dayRows);
    }
    // The day window: one day up to the selected day.
    select(1, "T 01", kDay2);
    dm.TdbTable_Wahl.edit();
    dm.TdbTable_Wahl.setInteger("System_Tage_Anzahl", 1);
    dm.TdbTable_Wahl.post();
    dm.TdbTable_Permanenz_Tag_Zusammenfassung.setFiltered(true);
    EXPECT_EQ(render(dm.TdbTable_Permanenz_Tag_Zusammenfassung, "Datum"), "02.03.2012");
}

TEST_F(DataModuleTest, CasinoListAndEventFiltersAreOn) {
    dm.open();
    auto& casino = dm.TdbTable_Casino;
    casino.appendRecord({Value(), Value(1), Value("Im Haus"), Value("x")});
    casino.appendRecord({Value(), Value(2), Value("Versteckt"), Value("f")});
    casino.refresh();
    EXPECT_EQ(render(casino, "Casino_Name"), "Im Haus");
    casino.setFiltered(false);
    EXPECT_EQ(casino.recordCount(), 2);

    auto& events = dm.TdbTable_Ereignisse;
    struct Case {
        int chance;
        int count;
        int firstId;
    } cases[] = {{1, 6, 1},    {2, 6, 7},    {5, 11, 13},  {8, 23, 24},
                 {11, 12, 47}, {17, 58, 59}, {35, 37, 117}};
    for (const auto& c : cases) {
        dm.TdbTable_Wahl.edit();
        dm.TdbTable_Wahl.setInteger("ID_Chancen_Auswertung", c.chance);
        dm.TdbTable_Wahl.post();
        events.setFiltered(true);
        EXPECT_EQ(events.recordCount(), c.count) << c.chance;
        EXPECT_EQ(events.integer("ID_Ereignis"), c.firstId) << c.chance;
    }
}

TEST_F(DataModuleTest, ClosePostsAPendingEditAndDropsAnUnpostedInsert) {
    dm.open();
    dm.TdbTable_Wahl.edit();
    dm.TdbTable_Wahl.setInteger("Auswertung_Coups_Anzahl", 77);
    dm.TdbTable_Casino.append();
    dm.TdbTable_Casino.setText("Casino_Name", "nie gespeichert");
    dm.close();

    DataModule_Roulette again(dir.path(), sitzung);
    again.open();
    EXPECT_EQ(again.TdbTable_Wahl.integer("Auswertung_Coups_Anzahl"), 77);
    again.TdbTable_Casino.setFiltered(false);
    EXPECT_EQ(again.TdbTable_Casino.recordCount(), 0);
}

TEST_F(DataModuleTest, OpenAndCloseWithoutAnEditLeaveTheFilesUnchanged) {
    dm.open();
    dm.close();
    const std::string main = readFile(dir.path() / "Datenbank_Roulette.tdbd");
    const std::string dmFile = readFile(dir.path() / "Datenbank_DM_Modul.tdbd");
    dm.open();
    dm.TdbTable_Permanenz.last();
    dm.TdbTable_Ereignisse.first();
    dm.close();
    EXPECT_EQ(readFile(dir.path() / "Datenbank_Roulette.tdbd"), main);
    EXPECT_EQ(readFile(dir.path() / "Datenbank_DM_Modul.tdbd"), dmFile);
}

TEST_F(DataModuleTest, DeletingFromASequenceMarksTheNewLastEvent) {
    dm.open();
    auto& systeme = dm.TdbTable_Systeme;
    systeme.appendRecord({Value(), Value(1), Value(1), Value(1), Value(1), Value("S")});
    auto& seq = dm.TdbTable_System_Ereignisse;
    ASSERT_EQ(seq.master(), &systeme);
    for (int e : {1, 7, 13}) {
        seq.append();
        seq.setInteger("ID_Ereignis", e);
        seq.setText("Angriff", e == 13 ? "x" : "");
        seq.post();
    }
    EXPECT_EQ(render(seq, "Angriff"), "- - x");
    seq.last();
    seq.remove();
    EXPECT_EQ(render(seq, "Angriff"), "- x");
    EXPECT_EQ(render(seq, "ID_Ereignis"), "1 7");
    seq.first();
    seq.setText("Angriff", "<>");
    seq.post();
    seq.last();
    seq.remove();
    EXPECT_EQ(render(seq, "Angriff"), "x");  // the negation gives way to the attack mark
    seq.remove();
    EXPECT_TRUE(seq.isEmpty());
}

TEST_F(DataModuleTest, CalculatedEventNamesFollowTheLanguageAndTheBulkFlag) {
    dm.open();
    auto& systeme = dm.TdbTable_Systeme;
    systeme.appendRecord({Value(), Value(1), Value(1), Value(1), Value(1), Value("S")});
    auto& seq = dm.TdbTable_System_Ereignisse;
    seq.appendRecord({Value(), Value(), Value(), Value(1), Value("x")});
    const std::string german = seq.text("Ereignis");
    EXPECT_FALSE(german.empty());
    EXPECT_FALSE(seq.text("Ereignis_Info").empty());
    sitzung.sprache = Sprache::Englisch;
    seq.refresh();
    EXPECT_FALSE(seq.text("Ereignis").empty());
    EXPECT_NE(seq.text("Ereignis"), german);

    // Bets: names are left out while the bulk-write flag is on.
    TableCursor p("p", dm.TdbDatabase_Roulette, "Permanenz");
    p.open();
    p.appendRecord({Value(1), Value("T 01"), Value(kDay1)});
    auto& bets = dm.TdbTable_Systeme_Abarbeitung;
    bets.clearMasterLink();
    sitzung.massenschreiben = true;
    bets.appendRecord({Value(p.integer("ID_Zahl")), Value(1), Value(1), Value(2), Value(1)});
    EXPECT_TRUE(bets.isNull("Ereignis"));
    sitzung.massenschreiben = false;
    bets.refresh();
    EXPECT_FALSE(bets.isNull("Ereignis"));
}

TEST_F(DataModuleTest, ADetachedMasterLinkComesBackAsDeclared) {
    dm.open();
    auto& p = dm.TdbTable_Permanenz;
    select(1, "T 01", kDay1);
    p.appendRecord({Value(), Value(), Value(), Value(), Value(5)});  // link fields from Wahl
    select(1, "T 01", kDay2);
    p.appendRecord({Value(), Value(), Value(), Value(), Value(6)});
    EXPECT_EQ(render(p, "Zahl"), "6");
    {
        MasterLinkDetached unlinked(dm, p);
        EXPECT_EQ(p.master(), nullptr);
        EXPECT_EQ(render(p, "Zahl"), "5 6");
    }
    EXPECT_EQ(p.master(), &dm.TdbTable_Wahl);
    EXPECT_EQ(render(p, "Zahl"), "6");
    select(1, "T 01", kDay1);
    EXPECT_EQ(render(p, "Zahl"), "5");
    select(2, "T 01", kDay1);
    EXPECT_EQ(render(p, "Zahl"), "");  // every declared field links again, the casino too

    // Left by an error, the scope restores the link all the same and passes the error on.
    EXPECT_THROW(
        {
            MasterLinkDetached unlinked(dm, p);
            throw StoreError("bulk write failed");
        },
        StoreError);
    EXPECT_EQ(p.master(), &dm.TdbTable_Wahl);
    EXPECT_EQ(render(p, "Zahl"), "");

    // Without a scope; a cursor without a declared link is left unlinked.
    auto& bets = dm.TdbTable_Systeme_Abarbeitung;
    dm.detachMasterLink(bets);
    EXPECT_EQ(bets.master(), nullptr);
    dm.restoreMasterLink(bets);
    EXPECT_EQ(bets.master(), &p);
    dm.TdbTable_Ereignis_Zahl.setMasterLink(&dm.TdbTable_Ereignisse,
                                            {{"ID_Ereignis", "ID_Ereignis"}});
    dm.restoreMasterLink(dm.TdbTable_Ereignis_Zahl);
    EXPECT_EQ(dm.TdbTable_Ereignis_Zahl.master(), nullptr);
}

TEST_F(DataModuleTest, AMissingOrDamagedFileStopsTheOpenWithTheFileName) {
    { std::ofstream(dir.path() / "Datenbank_DM_Modul.tdbd") << "kein Datenbankinhalt"; }
    try {
        dm.open();
        ADD_FAILURE() << "damaged file accepted";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("Datenbank_DM_Modul.tdbd"), std::string::npos);
    }
    EXPECT_FALSE(dm.TdbTable_Wahl.isOpen());
    EXPECT_EQ(readFile(dir.path() / "Datenbank_DM_Modul.tdbd"), "kein Datenbankinhalt");
}

}  // namespace
}  // namespace spinalyst::store
