#include "mining/lauf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kern/katalog.h"
#include "mining/bewertung.h"
#include "mining/ergebnistabellen.h"
#include "mining/kandidaten.h"
#include "store/sqlite.h"
#include "systems/system.h"
#include "tests/support/kontext_fixture.h"
#include "tests/support/systemdaten.h"

namespace spinalyst::mining {

namespace {

using store::Date;
using store::Value;

class LaufTest : public spinalyst::testing::KontextTest {
  protected:
    LaufTest() { systems::Systemhaken_Installieren(k); }

    std::int64_t SystemAnlegen(int art) {
        systems::System_Art_Chancen_Waehlen(k, art, 1);
        return systems::MenuItem_Systeme_AufnahmeClick(k);
    }

    // A data-mining system whose frequency filter on red (event 3) may be varied.
    std::int64_t DataMiningSystem() {
        const std::int64_t id = SystemAnlegen(systems::kArtDataMining);
        store::TableCursor& d = dm.TdbTable_System_Daten;
        for (const char* f : {"Haeufigkeit_Anzahl_von", "Haeufigkeit_Anzahl_bis",
                              "Haeufigkeit_Coups_zurueck_von", "Haeufigkeit_Coups_zurueck_bis"}) {
            d.setInteger(f, 2);
        }
        d.setInteger("Haeufigkeit_Anzahl_von", 1);
        d.setInteger("Haeufigkeit_Coups_zurueck_bis", 4);
        d.setInteger("ID_Ereignis_Haeufigkeit", 3);
        d.post();
        return id;
    }

    // Every row of a query, fields separated by "|" (null as "~"), rows by newlines.
    std::string Zeilen(store::Connection& verbindung, const std::string& sql) {
        store::Statement s(verbindung, sql);
        std::string text;
        while (s.step()) {
            for (int c = 0; c < s.columnCount(); ++c) {
                text += (c == 0 ? "" : "|") + (s.isNull(c) ? std::string("~") : s.text(c));
            }
            text += "\n";
        }
        return text;
    }
    std::string Systemdaten(std::int64_t system) {
        return Zeilen(dm.TdbDatabase_Roulette.connection(),
                      "SELECT * FROM System_Daten WHERE ID_System = " + std::to_string(system) +
                          " ORDER BY ID_Instanz");
    }
    std::string Ergebniszeilen() {
        return Zeilen(dm.TdbDatabase_DM_Modul.connection(),
                      "SELECT ID_HSR, ID_Folge, Art, ID_Ereignis, ID_Angriff, Anzahl, Anzahl_OK, "
                      "Gewinn_Verlust FROM DM_Gewinn_Verlust ORDER BY ID_HSR, ID_Folge, Art, "
                      "ID_Ereignis, ID_Angriff");
    }

    // Two days at table "T1" of casino 1 (the second ending with the coup about to be played),
    // a coup the day after and a day at another table: the range is the two days.
    void Permanenz() {
        testing::Tag_Schreiben(
            dm.TdbDatabase_Roulette, 1, "T1", tag1,
            {Value(std::int64_t{1}), Value(std::int64_t{2}), Value(std::int64_t{3}),
             Value(std::int64_t{0}), Value(std::int64_t{12})});
        testing::Tag_Schreiben(
            dm.TdbDatabase_Roulette, 1, "T1", tag2,
            {Value(std::int64_t{19}), Value(std::int64_t{32}), Value(std::int64_t{1}), Value()});
        testing::Tag_Schreiben(dm.TdbDatabase_Roulette, 1, "T1", tag2.addDays(1),
                               {Value(std::int64_t{5})});
        testing::Tag_Schreiben(dm.TdbDatabase_Roulette, 1, "T2", tag1, {Value(std::int64_t{7})});
    }

    static void Anpassen(Parameter& p) {
        p.chancen = {true, true, false, false, false, false, true};
        p.option(Filterart::Haeufigkeit).aktiv = true;
        p.folgeAnzahl = 1;
        p.folge11 = true;
        p.folgeUngleich = true;
    }

    Laufauftrag Auftrag(std::int64_t system) {
        Laufauftrag a;
        a.casino = 1;
        a.tisch = "T1";
        a.von = tag1;
        a.bis = tag2;
        a.system = system;
        a.anpassen = &LaufTest::Anpassen;
        return a;
    }

    const Date tag1 = Date::fromYmd(2026, 3, 2);
    const Date tag2 = Date::fromYmd(2026, 3, 3);
};

TEST_F(LaufTest, SchreibtDieZeilenDerBewertungDesBereichsUndLaesstDasSystemUnveraendert) {
    const std::int64_t system = DataMiningSystem();
    Permanenz();
    const std::string vorher = Systemdaten(system);
    std::vector<std::size_t> gemeldet;
    Laufauftrag a = Auftrag(system);
    a.fortschritt = [&](std::size_t fertig, std::size_t n) {
        EXPECT_EQ(n, 8u);
        gemeldet.push_back(fertig);
        return false;
    };
    const Laufergebnis e = Data_Mining_Lauf(dm, a);
    ASSERT_EQ(e.status, Laufergebnis::Status::Gelaufen);
    EXPECT_FALSE(e.abgebrochen);
    // Only the coups with a number of that table and those days: 8 coups on 2 days.
    EXPECT_EQ(e.coupsImBereich, 8u);
    EXPECT_EQ(e.tage, 2);
    EXPECT_EQ(e.coups, 9);
    EXPECT_EQ(gemeldet.back(), 8u);

    // The same as scoring those coups straight.
    std::optional<Parameter> p = Parameter_Laden(dm.TdbDatabase_Roulette, system);
    ASSERT_TRUE(p);
    Anpassen(*p);
    const std::vector<HSR_Kombination> kombinationen = HSR_Kombinationen_Bilden(*p);
    const std::vector<Folge> folgen = Folgen_Bilden(*p);
    EXPECT_GT(kombinationen.size(), 1u);
    EXPECT_EQ(e.kombinationen, static_cast<std::int64_t>(kombinationen.size()));
    EXPECT_EQ(e.folgen, static_cast<std::int64_t>(folgen.size()));
    const kern::Ereigniskatalog katalog = kern::Ereigniskatalog::laden(dm);
    const Auszahlungen auszahlungen = Auszahlungen_Laden(dm.TdbDatabase_DM_Modul);
    std::vector<kern::Coup> bereich;
    for (int z : {1, 2, 3, 0, 12}) {
        bereich.push_back(kern::Coup{tag1, 0, static_cast<std::int8_t>(z)});
    }
    for (int z : {19, 32, 1}) {
        bereich.push_back(kern::Coup{tag2, 0, static_cast<std::int8_t>(z)});
    }
    const std::int64_t ersteFolge = std::stoll(
        Zeilen(dm.TdbDatabase_DM_Modul.connection(), "SELECT MIN(ID_Folge) FROM DM_Folge"));
    Bewertungsauftrag b;
    b.bereich = bereich;
    b.parameter = &*p;
    b.katalog = &katalog;
    b.auszahlungen = &auszahlungen;
    b.kombinationen = kombinationen;
    b.folgen = folgen;
    b.ersteFolgeId = ersteFolge;
    const Bewertung erwartet = Bewerten(b);
    ASSERT_FALSE(erwartet.zeilen.empty());
    EXPECT_EQ(e.zeilen, static_cast<std::int64_t>(erwartet.zeilen.size()));
    std::string erwarteteZeilen;
    for (const Ergebniszeile& z : erwartet.zeilen) {
        erwarteteZeilen += std::to_string(z.idHsr) + "|" + std::to_string(z.idFolge) + "|" +
                           std::string(1, z.art) + "|" + std::to_string(z.ereignis) + "|" +
                           std::to_string(z.angriff) + "|" + std::to_string(z.anzahl) + "|" +
                           std::to_string(z.anzahlOk) + "|" + std::to_string(z.gewinnVerlust) +
                           "\n";
    }
    // Both in the same order for the comparison ('1' sorts before the letters either way).
    EXPECT_EQ(Ergebniszeilen(), erwarteteZeilen);
    EXPECT_EQ(Zeilen(dm.TdbDatabase_Roulette.connection(),
                     "SELECT DM_Tisch_letztes_DM, DM_Tage_letztes_DM, DM_Coups_letztes_DM FROM "
                     "Wahl"),
              "T1|2|9\n");
    // The system's filters are as before the run.
    EXPECT_EQ(Systemdaten(system), vorher);
}

TEST_F(LaufTest, AbbruchSchreibtDieFertigenCoups) {
    const std::int64_t system = DataMiningSystem();
    Permanenz();
    Laufauftrag a = Auftrag(system);
    a.fortschritt = [](std::size_t fertig, std::size_t) { return fertig == 3; };
    const Laufergebnis e = Data_Mining_Lauf(dm, a);
    EXPECT_TRUE(e.abgebrochen);
    EXPECT_EQ(e.coups, 4);
    EXPECT_EQ(Zeilen(dm.TdbDatabase_Roulette.connection(), "SELECT DM_Coups_letztes_DM FROM Wahl"),
              "4\n");
    EXPECT_EQ(std::to_string(e.zeilen) + "\n", Zeilen(dm.TdbDatabase_DM_Modul.connection(),
                                                      "SELECT COUNT(*) FROM DM_Gewinn_Verlust"));
}

TEST_F(LaufTest, OhneDataMiningSystemAendertSichNichts) {
    const std::int64_t standard = SystemAnlegen(systems::kArtStandard);
    Permanenz();
    store::execute(dm.TdbDatabase_DM_Modul.connection(),
                   "INSERT INTO DM_Gewinn_Verlust (ID_HSR, ID_Folge, Art, ID_Ereignis, "
                   "ID_Angriff, Anzahl) VALUES (9, 9, 'E', 9, 9, 9)");
    struct Fall {
        std::int64_t system;
        Laufergebnis::Status status;
    };
    for (const Fall& f : {Fall{standard, Laufergebnis::Status::KeinDataMiningSystem},
                          Fall{standard + 100, Laufergebnis::Status::KeinSystem}}) {
        SCOPED_TRACE(f.system);
        EXPECT_EQ(Data_Mining_Lauf(dm, Auftrag(f.system)).status, f.status);
        EXPECT_EQ(Ergebniszeilen(), "9|9|E|9|9|9|~|~\n");
    }
}

}  // namespace
}  // namespace spinalyst::mining
