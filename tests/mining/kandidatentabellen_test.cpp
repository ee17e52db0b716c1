#include "mining/kandidatentabellen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mining/kandidaten.h"
#include "mining/parameter.h"
#include "store/sqlite.h"
#include "tests/support/kontext_fixture.h"

namespace spinalyst::mining {
namespace {

using store::Value;

class KandidatentabellenTest : public spinalyst::testing::KontextTest {
  protected:
    store::Connection& roulette() { return dm.TdbDatabase_Roulette.connection(); }
    store::Connection& dmModul() { return dm.TdbDatabase_DM_Modul.connection(); }

    // A data-mining system with the data row of its instance 1 (the fields given, the rest null)
    // and an empty data row of instance 2; returns its `ID_System_AutoInc`.
    std::int64_t System(const std::string& felder, const std::string& werte) {
        store::execute(roulette(),
                       "INSERT INTO Systeme (ID_System_Art, ID_System_Chancen, ID_System_Nummer, "
                       "ID_Instanz) VALUES (3, 1, 901, 1)");
        const std::int64_t id = roulette().lastInsertRowid();
        store::execute(roulette(),
                       "INSERT INTO System_Daten (ID_System, ID_Instanz, " + felder +
                           ") VALUES (?, 1, " + werte + ")",
                       {Value(id)});
        store::execute(roulette(),
                       "INSERT INTO System_Daten (ID_System, ID_Instanz, "
                       "ID_Ereignis_Haeufigkeit) VALUES (?, 2, 99)",
                       {Value(id)});
        return id;
    }

    // Every row of a table of the data-mining database in `ORDER BY` order, fields separated by
    // "|" (null as "~"), rows by newlines.
    std::string Zeilen(const std::string& sql) {
        store::Statement s(dmModul(), sql);
        std::string text;
        while (s.step()) {
            for (int c = 0; c < s.columnCount(); ++c) {
                text += (c == 0 ? "" : "|") + (s.isNull(c) ? std::string("~") : s.text(c));
            }
            text += "\n";
        }
        return text;
    }
};

TEST_F(KandidatentabellenTest, ParameterAusWahlUndDemSystem) {
    const std::int64_t id = System(
        "ID_Ereignis_Haeufigkeit, Haeufigkeit_Anzahl_von, Haeufigkeit_Anzahl_bis, "
        "Haeufigkeit_Coups_zurueck_von, Haeufigkeit_Coups_zurueck_bis, "
        "Haeufigkeit_vor_Ereignisfolge, ID_Ereignis_Rueckstaendigkeit",
        "3, 1, 2, 1, 10, 't', 130");
    store::execute(roulette(),
                   "UPDATE Wahl SET DM_Datum_von = '2026-03-01', DM_Datum_bis = '2026-03-31', "
                   "DM_Tage_uebergreifend = 't', DM_Chancen_1 = 't', DM_Chancen_2 = 'f', "
                   "DM_Chancen_5 = NULL, DM_Chancen_8 = 'x', DM_Chancen_11 = 'f', "
                   "DM_Chancen_17 = 'f', DM_Chancen_35 = 't', DM_Haeufigkeit_aktiv = 't', "
                   "DM_Haeufigkeit_Ereignisse_alle = 't', DM_Serien_aktiv = 't', "
                   "DM_Serien_Ereignisse_alle = 'f', DM_Rueckstaendigkeit_aktiv = 'f', "
                   "DM_Rueckstaendigkeit_Ereignisse_alle = 't', DM_Ereignisfolge_Anzahl = 2, "
                   "DM_Ereignisfolge_11 = 't', DM_Ereignisfolge_21 = 't', "
                   "DM_Ereignisfolge_51 = 'f', DM_Ereignisfolge_ungleich = 't'");
    const std::optional<Parameter> p = Parameter_Laden(dm.TdbDatabase_Roulette, id);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->datumVon, store::Date::fromYmd(2026, 3, 1));
    EXPECT_EQ(p->datumBis, store::Date::fromYmd(2026, 3, 31));
    EXPECT_TRUE(p->uebergreifend);
    EXPECT_EQ(p->chancen, (std::array<bool, 7>{true, false, false, false, false, false, true}));
    EXPECT_EQ(p->option(Filterart::Haeufigkeit), (Filteroption{true, true}));
    EXPECT_EQ(p->option(Filterart::Serien), (Filteroption{true, false}));
    EXPECT_EQ(p->option(Filterart::Rueckstaendigkeit), (Filteroption{false, true}));
    EXPECT_EQ(p->folgeAnzahl, 2);
    EXPECT_TRUE(p->folge11 && p->folge21 && !p->folge51 && p->folgeUngleich);
    EXPECT_EQ(p->system, id);
    // Instance 1 of the system, not instance 2.
    EXPECT_EQ(Systemereignis(*p, Filterart::Haeufigkeit), 3);
    EXPECT_EQ(Systemereignis(*p, Filterart::Serien), 0);
    EXPECT_EQ(Systemereignis(*p, Filterart::Rueckstaendigkeit), 130);
    EXPECT_EQ(p->instanz.haeufigkeit.coupsBis, 10);
    EXPECT_TRUE(p->instanz.haeufigkeit.vorEreignisfolge);
    EXPECT_TRUE(Optionszeile_Frei(p->instanz, Filterart::Haeufigkeit));
    EXPECT_FALSE(Optionszeile_Frei(p->instanz, Filterart::Serien));
    EXPECT_FALSE(Optionszeile_Frei(p->instanz, Filterart::Rueckstaendigkeit));
    // Frequency over the class of event 3, series without an event: 13 combinations;
    // 24 · 24 sequences.
    EXPECT_EQ(HSR_Kombinationen_Zaehlen(*p), 13);
    EXPECT_EQ(Kombinationen_Anzahl(*p), 13 * 576);

    EXPECT_FALSE(Parameter_Laden(dm.TdbDatabase_Roulette, id + 1000));
}

TEST_F(KandidatentabellenTest, OptionszeileNurMitAllenFeldern) {
    struct Fall {
        const char* felder;
        const char* werte;
        bool h;
        bool s;
        bool r;
    };
    const Fall faelle[] = {
        {"ID_Ereignis_Serien, Serien_Anzahl_von, Serien_Anzahl_bis, Serien_von, Serien_bis, "
         "Serien_Coups_zurueck_von, Serien_Coups_zurueck_bis",
         "5, 1, 2, 2, 4, 1, 20", false, true, false},
        {"ID_Ereignis_Serien, Serien_Anzahl_von, Serien_Anzahl_bis, Serien_von, "
         "Serien_Coups_zurueck_von, Serien_Coups_zurueck_bis",
         "5, 1, 2, 2, 1, 20", false, false, false},
        {"ID_Ereignis_Rueckstaendigkeit, Rueckstaendigkeit_Anzahl_von, "
         "Rueckstaendigkeit_Anzahl_bis, Rueckstaendigkeit_Coups_zurueck_von, "
         "Rueckstaendigkeit_Coups_zurueck_bis",
         "40, 0, 0, 1, 30", false, false, true},
        {"Haeufigkeit_Anzahl_von, Haeufigkeit_Anzahl_bis, Haeufigkeit_Coups_zurueck_von, "
         "Haeufigkeit_Coups_zurueck_bis",
         "1, 2, 1, 10", false, false, false},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.felder);
        const std::optional<Parameter> p =
            Parameter_Laden(dm.TdbDatabase_Roulette, System(f.felder, f.werte));
        ASSERT_TRUE(p);
        EXPECT_EQ(Optionszeile_Frei(p->instanz, Filterart::Haeufigkeit), f.h);
        EXPECT_EQ(Optionszeile_Frei(p->instanz, Filterart::Serien), f.s);
        EXPECT_EQ(Optionszeile_Frei(p->instanz, Filterart::Rueckstaendigkeit), f.r);
    }
}

TEST_F(KandidatentabellenTest, DreizehnKombinationenAlsZeilen) {
    Parameter p;
    p.option(Filterart::Haeufigkeit) = {true, true};
    p.instanz.haeufigkeit.ereignis = 3;
    p.option(Filterart::Rueckstaendigkeit) = {false, true};
    p.instanz.rueckstaendigkeit.ereignis = 40;
    store::execute(dmModul(), "INSERT INTO DM_HSR (ID_HSR) VALUES (77)");

    EXPECT_EQ(HSR_Kombinationen_Schreiben(dm, p, false), 13);
    const char* const erwartet =
        "1|1|f|t|0|f|f|0|f|f\n"
        "2|1|t|t|0|f|f|0|f|f\n"
        "3|1|f|f|0|f|f|0|f|f\n"
        "4|2|f|t|0|f|f|0|f|f\n"
        "5|2|t|t|0|f|f|0|f|f\n"
        "6|3|f|t|0|f|f|0|f|f\n"
        "7|3|t|t|0|f|f|0|f|f\n"
        "8|4|f|t|0|f|f|0|f|f\n"
        "9|4|t|t|0|f|f|0|f|f\n"
        "10|5|f|t|0|f|f|0|f|f\n"
        "11|5|t|t|0|f|f|0|f|f\n"
        "12|6|f|t|0|f|f|0|f|f\n"
        "13|6|t|t|0|f|f|0|f|f\n";
    EXPECT_EQ(Zeilen("SELECT ID_HSR, ID_Ereignis_Haeufigkeit, Haeufigkeit_ungleich, "
                     "Haeufigkeit_aktiv, ID_Ereignis_Serien, Serien_ungleich, Serien_aktiv, "
                     "ID_Ereignis_Rueckstaendigkeit, Rueckstaendigkeit_ungleich, "
                     "Rueckstaendigkeit_aktiv FROM DM_HSR ORDER BY rowid"),
              erwartet);
    // The cursor over the table shows what was written.
    EXPECT_EQ(dm.TdbTable_DM_HSR.recordCount(), 13);

    // Counting empties the table and writes nothing.
    EXPECT_EQ(HSR_Kombinationen_Schreiben(dm, p, true), 13);
    EXPECT_EQ(Zeilen("SELECT * FROM DM_HSR"), "");
    EXPECT_EQ(dm.TdbTable_DM_HSR.recordCount(), 0);

    // Nothing varied: the one row with every filter off.
    EXPECT_EQ(HSR_Kombinationen_Schreiben(dm, Parameter{}, false), 1);
    EXPECT_EQ(Zeilen("SELECT * FROM DM_HSR"), "1|0|f|f|0|f|f|0|f|f\n");
}

TEST_F(KandidatentabellenTest, FolgenAlsZeilen) {
    Parameter p;
    p.folgeAnzahl = 2;
    p.folge21 = true;
    p.folgeUngleich = true;
    const std::vector<Folge> folgen = Folgen_Bilden(p);

    const Folgen_Geschrieben erstes = Folgen_Schreiben(dm, p, false);
    ASSERT_EQ(erstes.anzahl, 576);
    // Again: the table holds one run's rows, numbered on from the last.
    const Folgen_Geschrieben zweites = Folgen_Schreiben(dm, p, false);
    EXPECT_EQ(zweites, (Folgen_Geschrieben{576, erstes.ersteId + 576}));

    std::string erwartet;
    for (std::size_t i = 0; i < folgen.size(); ++i) {
        const Folge& f = folgen[i];
        erwartet += std::to_string(zweites.ersteId + static_cast<std::int64_t>(i)) + "|" +
                    std::to_string(f.gleicheArt) + "|" + Gleiche_Art_Text(f.gleicheArt);
        for (const int code : f.codes) {
            erwartet += "|" + std::to_string(code);
        }
        erwartet += "|0|~\n";
    }
    const std::string zeilen = Zeilen(
        "SELECT ID_Folge, Gleiche_Art, Gleiche_Art_Ansicht, Ereignis_1_vor_Angriff, "
        "Ereignis_2_vor_Angriff, Ereignis_3_vor_Angriff, Ereignis_4_vor_Angriff, "
        "Ereignis_5_vor_Angriff, Anzahl, Geprueft FROM DM_Folge ORDER BY ID_Folge");
    EXPECT_EQ(zeilen, erwartet);
    // The sequence "not 8, then 2" with its kind.
    EXPECT_NE(zeilen.find("|1001|1-1 , <> 2-1 |108|2|0|0|0|0|~\n"), std::string::npos);
    EXPECT_EQ(dm.TdbTable_DM_Folge.recordCount(), 576);

    EXPECT_EQ(Folgen_Schreiben(dm, p, true), (Folgen_Geschrieben{576, 0}));
    EXPECT_EQ(Zeilen("SELECT * FROM DM_Folge"), "");

    // Length 0: nothing built, and the count before a run takes 1 for the sequences.
    p.folgeAnzahl = 0;
    EXPECT_EQ(Folgen_Schreiben(dm, p, false), (Folgen_Geschrieben{0, 0}));
    EXPECT_EQ(Zeilen("SELECT * FROM DM_Folge"), "");
    EXPECT_EQ(Kombinationen_Anzahl(p), 1);
}

TEST_F(KandidatentabellenTest, SechsFolgenDerArtEins) {
    Parameter p;
    p.folgeAnzahl = 1;
    p.folge11 = true;
    const Folgen_Geschrieben g = Folgen_Schreiben(dm, p, false);
    ASSERT_EQ(g.anzahl, 6);
    EXPECT_EQ(Zeilen("SELECT Gleiche_Art, Gleiche_Art_Ansicht, Ereignis_1_vor_Angriff, "
                     "Ereignis_2_vor_Angriff FROM DM_Folge ORDER BY ID_Folge"),
              "1|1-1 |1|0\n1|1-1 |2|0\n1|1-1 |3|0\n1|1-1 |4|0\n1|1-1 |5|0\n1|1-1 |6|0\n");
}

}  // namespace
}  // namespace spinalyst::mining
