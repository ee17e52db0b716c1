#include "mining/ergebnisse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/mining/ergebnis_fixture.h"

namespace spinalyst::mining {

namespace {

using store::Value;

class ErgebnisseTest : public testing::ErgebnisTest {
  protected:
    // The shown result list as "event/kind/length:win-loss" rows.
    std::string Liste() {
        return Zeilen(dm.TdbQuery_DM_Ergebnisse,
                      {"ID_Ereignis", "Art", "ID_Angriff", "Gewinn_Verlust"});
    }
};

TEST(ProzentText, OneDecimalOfTheRunsCoupCounterWithTheDecimalSeparator) {
    struct Fall {
        std::int64_t wert;
        std::optional<std::int64_t> coups;
        char trenner;
        const char* text;
    };
    for (const Fall& f : std::vector<Fall>{{20, 201, '.', "10.0%"},  // 9.950... rounds up
                                           {20, 201, ',', "10,0%"},
                                           {-3, 7, '.', "-42.9%"},
                                           {0, 5, '.', "0.0%"},
                                           {4, 1, '.', "400.0%"},
                                           {4, std::nullopt, '.', ""},  // no run yet
                                           {4, 0, '.', ""}}) {
        EXPECT_EQ(Prozent_Text(f.wert, f.coups, f.trenner), f.text) << f.wert;
    }
}

TEST(FolgeEreignisse, OldestPositionFirstNegatedMarkedThenTheAttackedEvent) {
    EXPECT_EQ(Folge_Ereignisse({3, 109, 0, 0, 0}, 20),
              (std::vector<Anzeigeereignis>{{9, "<>"}, {3, ""}, {20, "x"}}));
    EXPECT_EQ(Folge_Ereignisse({101, 0, 0, 0, 0}, std::nullopt),
              (std::vector<Anzeigeereignis>{{1, "<>"}}));
    EXPECT_EQ(Folge_Ereignisse({}, 7), (std::vector<Anzeigeereignis>{{7, "x"}}));
}

TEST(ErgebnislisteAbfrage, BindsTheSelectionAndOrdersAsAsked) {
    const Abfrage a = Ergebnisliste_Abfrage({8, 3, "K", "%", 5});
    EXPECT_EQ(a.sql,
              "SELECT * FROM DM_Gewinn_Verlust WHERE Gewinn_Verlust > ? AND (ID_Ereignis >= ? AND "
              "ID_Ereignis <= ?) AND ID_Angriff = ? AND Art = ? ORDER BY Anzahl_OK_Prozent DESC, "
              "Gewinn_Verlust DESC, rowid");
    EXPECT_EQ(a.parameter,
              (std::vector<Value>{Value(std::int64_t{5}), Value(std::int64_t{24}),
                                  Value(std::int64_t{46}), Value(std::int64_t{3}), Value("K")}));
    // A text never becomes part of the statement.
    const Abfrage b = Ergebnisliste_Abfrage({4, 1, "E' OR '1'='1", "W", 0});
    EXPECT_EQ(b.sql.find('\''), std::string::npos);
    EXPECT_EQ(b.sql.find("ID_Ereignis >="), std::string::npos);  // no class 4: any event
}

TEST_F(ErgebnisseTest, ResultListSelectsAndOrdersTheRows) {
    const std::int64_t f = Folge(1, 3);
    Kombination(1, 0, "f", "f", 0, "f", "f", 0, "f", "f");
    // event, kind, length, count, hits, percent, win/loss
    Ergebnis(1, f, "E", 2, 1, 5, 3, 60.0, 5);
    Ergebnis(1, f, "E", 3, 1, 5, 3, 60.0, 9);  // ties with the row above on "%"
    Ergebnis(1, f, "E", 4, 1, 5, 4, 80.0, 1);
    Ergebnis(1, f, "E", 5, 1, 5, 1, 20.0, 0);   // not above the minimum 0
    Ergebnis(1, f, "E", 6, 1, 5, 1, 20.0, -4);  // nor this
    Ergebnis(1, f, "E", 7, 1, 5, 3, 60.0, 12);  // class 2
    Ergebnis(1, f, "E", 1, 2, 5, 3, 60.0, 30);  // length 2
    Ergebnis(1, f, "K", 1, 1, 5, 3, 60.0, 30);  // kind K
    Ergebnis(1, f, "K", 30, 3, 5, 3, 60.0, 2);  // class 8, K, 3
    Ergebnis(1, f, "K", 47, 3, 5, 3, 60.0, 8);  // class 11
    Ergebnis(1, f, "K", 24, 3, 5, 3, 60.0, 2);  // ties with event 30 on everything
    Ergebnis(1, f, "K", 46, 3, 5, 3, 60.0, -1);
    Auffrischen();
    struct Fall {
        int chance;
        int laenge;
        const char* art;
        const char* sortierung;
        int minimum;
        const char* liste;
    };
    for (const Fall& fall :
         std::vector<Fall>{{1, 1, "E", "W", 0, "3|E|1|9 2|E|1|5 4|E|1|1 "},
                           {1, 1, "E", "%", 0, "4|E|1|1 3|E|1|9 2|E|1|5 "},
                           {1, 1, "E", "W", -5, "3|E|1|9 2|E|1|5 4|E|1|1 5|E|1|0 6|E|1|-4 "},
                           {1, 1, "E", "W", 5, "3|E|1|9 "},
                           {8, 3, "K", "W", 0, "30|K|3|2 24|K|3|2 "},
                           {0, 3, "K", "W", 0, "47|K|3|8 30|K|3|2 24|K|3|2 "},
                           {2, 1, "E", "x", 0, "7|E|1|12 "},
                           {5, 1, "E", "W", 0, ""}}) {
        Auswahl(fall.chance, fall.laenge, fall.art, fall.sortierung, fall.minimum);
        BitBtn_Anzeige_ErgebnisseClick(k, '.');
        EXPECT_TRUE(Ergebnisliste_Offen(dm));
        EXPECT_EQ(Liste(), fall.liste)
            << fall.chance << fall.art << fall.sortierung << fall.minimum;
        if (!dm.TdbQuery_DM_Ergebnisse.isEmpty()) {
            EXPECT_EQ(dm.TdbQuery_DM_Ergebnisse.recordIndex(), 0);
        }
    }
}

TEST_F(ErgebnisseTest, WinLossPercentIsOfTheRunsCoupCounter) {
    const std::int64_t f = Folge(1, 3);
    Ergebnis(1, f, "E", 2, 1, 5, 3, 60.0, 20);
    Auffrischen();
    Auswahl(1, 1, "E", "W", 0, 201);
    BitBtn_Anzeige_ErgebnisseClick(k, ',');
    EXPECT_EQ(dm.TdbQuery_DM_Ergebnisse.text("Gewinn_Verlust_Prozent"), "10,0%");
}

TEST_F(ErgebnisseTest, DoubleClickTogglesTheSingleCoupProfileOfThePattern) {
    const std::int64_t f1 = Folge(1, 3);
    const std::int64_t f2 = Folge(1, 4);
    Ergebnis(1, f1, "E", 2, 3, 5, 3, 60.0, 7);
    for (int laenge : {3, 1, 2}) {
        Ergebnis(1, f1, "1", 2, laenge, 5, laenge, 20.0 * laenge, laenge - 3);
    }
    Ergebnis(1, f2, "1", 2, 1, 5, 3, 60.0, 4);  // another sequence
    Ergebnis(2, f1, "1", 2, 1, 5, 3, 60.0, 4);  // another combination
    Ergebnis(1, f1, "1", 3, 1, 5, 3, 60.0, 4);  // another event
    Auffrischen();
    Auswahl(1, 3, "E", "W", 0);
    BitBtn_Anzeige_ErgebnisseClick(k, '.');
    EXPECT_EQ(Liste(), "2|E|3|7 ");
    DBGrid_AuswertungDblClick(k, '.');
    EXPECT_EQ(Liste(), "2|1|1|-2 2|1|2|-1 2|1|3|0 ");
    EXPECT_EQ(dm.TdbQuery_DM_Ergebnisse.text("Gewinn_Verlust_Prozent"), "-1.0%");
    dm.TdbQuery_DM_Ergebnisse.next();
    DBGrid_AuswertungDblClick(k, '.');
    EXPECT_EQ(Liste(), "2|E|3|7 ");

    // Nothing on a closed list.
    DBLookup_AuswertungEnter(k);
    DBGrid_AuswertungDblClick(k, '.');
    EXPECT_FALSE(Ergebnisliste_Offen(dm));
}

TEST_F(ErgebnisseTest, PatternDisplayShowsTheSequenceTheAttackedEventAndTheFilters) {
    Kombination(1, 4, "f", "t", 7, "t", "f", 0, "f", "f");
    Kombination(2, 4, "t", "t", 0, "f", "f", 0, "f", "f");
    const std::int64_t f = Folge(10001, 3, 109);
    Ergebnis(1, f, "E", 20, 1, 5, 3, 60.0, 9);
    Ergebnis(2, f, "E", 21, 1, 5, 3, 60.0, 8);
    Ergebnis(9, 99, "E", 22, 1, 5, 3, 60.0, 7);  // its combination and sequence are gone
    Auffrischen();
    Auswahl(5, 1, "E", "W", 0);
    BitBtn_Anzeige_ErgebnisseClick(k, '.');
    std::optional<Musteranzeige> m = DataSource_Tdb_Query_DM_ErgebnisseDataChange(k, katalog);
    EXPECT_EQ(Anzeige(), "1|9|<> 2|3|~ 3|20|x ");
    EXPECT_EQ(Zeilen(dm.TdbTable_DM_Folge_Anzeige, {"Ereignis", "Ereignis_Info"}),
              katalog.name(9, store::Sprache::Deutsch) + "|" +
                  katalog.info(9, store::Sprache::Deutsch) + " " +
                  katalog.name(3, store::Sprache::Deutsch) + "|" +
                  katalog.info(3, store::Sprache::Deutsch) + " " +
                  katalog.name(20, store::Sprache::Deutsch) + "|" +
                  katalog.info(20, store::Sprache::Deutsch) + " ");
    ASSERT_TRUE(m);
    EXPECT_EQ(*m,
              (Musteranzeige{Filteranzeige{katalog.info(4, store::Sprache::Deutsch), false, true},
                             Filteranzeige{katalog.info(7, store::Sprache::Deutsch), true, false},
                             Filteranzeige{}}));

    // The next row, in English: names in English, the labels' texts stay German.
    sitzung.sprache = store::Sprache::Englisch;
    dm.TdbQuery_DM_Ergebnisse.next();
    m = DataSource_Tdb_Query_DM_ErgebnisseDataChange(k, katalog);
    EXPECT_EQ(Zeilen(dm.TdbTable_DM_Folge_Anzeige, {"Ereignis"}),
              katalog.name(9, store::Sprache::Englisch) + " " +
                  katalog.name(3, store::Sprache::Englisch) + " " +
                  katalog.name(21, store::Sprache::Englisch) + " ");
    ASSERT_TRUE(m);
    EXPECT_EQ((*m)[0], (Filteranzeige{katalog.info(4, store::Sprache::Deutsch), true, true}));

    // Combination and sequence no longer there: only the attacked event, no filters.
    dm.TdbQuery_DM_Ergebnisse.next();
    m = DataSource_Tdb_Query_DM_ErgebnisseDataChange(k, katalog);
    EXPECT_EQ(Anzeige(), "1|22|x ");
    EXPECT_EQ(m, Musteranzeige{});

    // No rows: the display is emptied and the labels keep theirs.
    Auswahl(5, 1, "E", "W", 100);
    BitBtn_Anzeige_ErgebnisseClick(k, '.');
    EXPECT_FALSE(DataSource_Tdb_Query_DM_ErgebnisseDataChange(k, katalog));
    EXPECT_EQ(Anzeige(), "");
}

TEST_F(ErgebnisseTest, FocusOnASelectionControlAndClosingCloseTheListAndEmptyTheDisplay) {
    const std::int64_t f = Folge(1, 3);
    Ergebnis(1, f, "E", 2, 1, 5, 3, 60.0, 9);
    Auffrischen();
    Auswahl(1, 1, "E", "W", 0);
    for (auto schliessen : {&DBLookup_AuswertungEnter, &Data_Mining_Ergebnisse_Schliessen}) {
        BitBtn_Anzeige_ErgebnisseClick(k, '.');
        DataSource_Tdb_Query_DM_ErgebnisseDataChange(k, katalog);
        EXPECT_EQ(Anzeige(), "1|3|~ 2|2|x ");
        schliessen(k);
        EXPECT_FALSE(Ergebnisliste_Offen(dm));
        EXPECT_EQ(Anzeige(), "");
        EXPECT_TRUE(dm.TdbTable_DM_Folge_Anzeige.isEmpty());
    }
}

TEST_F(ErgebnisseTest, SequenceWindowListsTheKindsAndTheSequencesOfTheChosenKind) {
    Folge(1, 1, 0, 3);
    Folge(1, 2, 0, 10);
    Folge(100, 7, 0, 4);
    Folge(1, 104, 0, 10);  // code 104: "<> 4"; ties with the second on the count
    Auswahl(1, 1, "E", "W", 0, 201);
    // The result list closes when the window opens.
    BitBtn_Anzeige_ErgebnisseClick(k, '.');
    Ereignisfolgen_FormShow(k, '.');
    EXPECT_FALSE(Ergebnisliste_Offen(dm));
    EXPECT_EQ(Zeilen(dm.TdbTable_DM_Gleiche_Art, {"ID_Gleiche_Art", "Gleiche_Art"}),
              "1|Art 1 100|Art 100 ");
    EXPECT_EQ(dm.TdbTable_DM_Gleiche_Art.integer("ID_Gleiche_Art"), 1);
    EXPECT_EQ(
        Zeilen(dm.TdbQuery_Gleiche_Art, {"Ereignis_1_vor_Angriff", "Anzahl", "Anzahl_Prozent"}),
        "2|10|5.0% 104|10|5.0% 1|3|1.5% ");
    DataSource_Query_Gleiche_ArtDataChange(k, katalog);
    EXPECT_EQ(Anzeige(), "1|2|~ ");
    dm.TdbQuery_Gleiche_Art.next();
    DataSource_Query_Gleiche_ArtDataChange(k, katalog);
    EXPECT_EQ(Anzeige(), "1|4|<> ");

    dm.TdbTable_DM_Gleiche_Art.next();
    Folgen_Anzeigen(k, '.');
    EXPECT_EQ(Zeilen(dm.TdbQuery_Gleiche_Art, {"Ereignis_1_vor_Angriff", "Anzahl"}), "7|4 ");

    Ereignisfolgen_FormClose(k);
    EXPECT_EQ(Anzeige(), "");
    EXPECT_FALSE(dm.TdbQuery_Gleiche_Art.isOpen());

    // Opening again rebuilds the kinds (here from no sequences at all).
    store::execute(dmModul(), "DELETE FROM DM_Folge");
    Ereignisfolgen_FormShow(k, '.');
    EXPECT_TRUE(dm.TdbTable_DM_Gleiche_Art.isEmpty());
    EXPECT_EQ(Zeilen(dm.TdbQuery_Gleiche_Art, {"Anzahl"}), "");
    DataSource_Query_Gleiche_ArtDataChange(k, katalog);
    EXPECT_EQ(Anzeige(), "");
}

TEST_F(ErgebnisseTest, KindsComeOnceEachLowestCodeFirstWithTheTextOfTheirFirstSequence) {
    Folge(100, 7);
    store::execute(dmModul(), "UPDATE DM_Folge SET Gleiche_Art_Ansicht = 'erste'");
    Folge(1, 1);
    Folge(100, 8);
    Folge(1, 2);
    EXPECT_EQ(Gleiche_Arten_Lesen(dm.TdbDatabase_DM_Modul),
              (std::vector<std::pair<int, std::string>>{{1, "Art 1"}, {100, "erste"}}));
}

TEST_F(ErgebnisseTest, PatternInWords) {
    const auto name = [this](int e) { return katalog.name(e, store::Sprache::Englisch); };
    HSR_Kombination h;
    h.filter[0] = {4, false, true};
    h.filter[1] = {7, true, true};
    h.filter[2] = {0, false, false};
    EXPECT_EQ(
        Muster_Text(h, std::array<int, 5>{3, 109, 0, 0, 0}, 20, katalog, store::Sprache::Englisch),
        "H " + name(4) + ", S not " + name(7) + ", R off; not " + name(9) + ", " + name(3) +
            "; attack " + name(20));
    EXPECT_EQ(Muster_Text(std::nullopt, std::nullopt, 20, katalog, store::Sprache::Deutsch),
              "H ?, S ?, R ?; ?; Angriff " + katalog.name(20, store::Sprache::Deutsch));
}

}  // namespace
}  // namespace spinalyst::mining
