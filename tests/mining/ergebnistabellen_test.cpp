#include "mining/ergebnistabellen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mining/bewertung.h"
#include "mining/kandidaten.h"
#include "mining/kandidatentabellen.h"
#include "store/sqlite.h"
#include "tests/support/kontext_fixture.h"

namespace spinalyst::mining {
namespace {

using store::Value;

class ErgebnistabellenTest : public spinalyst::testing::KontextTest {
  protected:
    // Every row of a query, fields separated by "|" (null as "~"), rows by newlines.
    static std::string Zeilen(store::Connection& verbindung, const std::string& sql) {
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
    store::Connection& dmModul() { return dm.TdbDatabase_DM_Modul.connection(); }
    store::Connection& roulette() { return dm.TdbDatabase_Roulette.connection(); }
};

TEST_F(ErgebnistabellenTest, AuszahlungenAusDerTabelle) {
    const Auszahlungen a = Auszahlungen_Laden(dm.TdbDatabase_DM_Modul);
    // The delivered table has every class, kind "E", "K", "P" and length; each row as stored.
    store::Statement s(
        dmModul(), "SELECT ID_Chance, Art_Angriff, ID_Angriff, Gewinn, Verlust FROM DM_Angriff");
    int zeilen = 0;
    while (s.step()) {
        const Auszahlung* z =
            a.finden(static_cast<int>(s.int64(0)), s.text(1)[0], static_cast<int>(s.int64(2)));
        ASSERT_NE(z, nullptr);
        EXPECT_EQ(*z, (Auszahlung{static_cast<int>(s.int64(3)), static_cast<int>(s.int64(4))}));
        ++zeilen;
    }
    EXPECT_EQ(zeilen, 7 * 3 * kAngriffslaengeMax);
    // A row taken out reads as none (the attack then pays 0).
    store::execute(dmModul(),
                   "DELETE FROM DM_Angriff WHERE ID_Chance = 5 AND Art_Angriff = 'P' "
                   "AND ID_Angriff = 3");
    const Auszahlungen ohne = Auszahlungen_Laden(dm.TdbDatabase_DM_Modul);
    EXPECT_EQ(ohne.finden(5, 'P', 3), nullptr);
    EXPECT_EQ(Angriff_Gewinn_Verlust(ohne, 'P', 13, true, 3), 0);
}

TEST_F(ErgebnistabellenTest, ZeilenFolgenanzahlUndZusammenfassung) {
    // A run over two days with sequences of length 1 over "1:1"; the previous run's rows go.
    store::execute(dmModul(),
                   "INSERT INTO DM_Gewinn_Verlust (ID_HSR, ID_Folge, Art, ID_Ereignis, "
                   "ID_Angriff, Anzahl) VALUES (9, 9, 'E', 9, 9, 9)");
    Parameter p;
    p.chancen[0] = true;
    p.folgeAnzahl = 1;
    p.folge11 = true;
    p.folgeUngleich = true;
    p.instanz.haeufigkeit.anzahlVon = 1;
    p.instanz.serien.laengeBis = 4;
    p.instanz.rueckstaendigkeit.vorEreignisfolge = true;
    const Folgen_Geschrieben geschrieben = Folgen_Schreiben(dm, p, false);
    const std::vector<HSR_Kombination> kombinationen = HSR_Kombinationen_Bilden(p);
    const std::vector<Folge> folgen = Folgen_Bilden(p);
    const kern::Ereigniskatalog katalog = kern::Ereigniskatalog::laden(dm);
    const Auszahlungen auszahlungen = Auszahlungen_Laden(dm.TdbDatabase_DM_Modul);
    std::vector<kern::Coup> bereich;
    for (int i = 0; i < 9; ++i) {
        kern::Coup c;
        c.tag = store::Date::fromYmd(2026, 3, i < 5 ? 2 : 4);
        c.idZahl = 100 + i;
        c.zahl = static_cast<std::int8_t>((i * 7) % 37);
        bereich.push_back(c);
    }
    Bewertungsauftrag a;
    a.bereich = bereich;
    a.parameter = &p;
    a.katalog = &katalog;
    a.auszahlungen = &auszahlungen;
    a.kombinationen = kombinationen;
    a.folgen = folgen;
    a.ersteFolgeId = geschrieben.ersteId;
    const Bewertung b = Bewerten(a);
    ASSERT_FALSE(b.zeilen.empty());

    Ergebnisse_Schreiben(dm, b, geschrieben.ersteId, ',');
    std::string erwartet;
    for (const Ergebniszeile& z : b.zeilen) {
        erwartet += std::to_string(z.idHsr) + "|" + std::to_string(z.idFolge) + "|" + z.art + "|" +
                    std::to_string(z.ereignis) + "|" + std::to_string(z.angriff) + "|" +
                    std::to_string(z.anzahl) + "|" + std::to_string(z.anzahlOk) + "|" +
                    z.prozentText(',') + "|" + std::to_string(z.gewinnVerlust) + "\n";
    }
    EXPECT_EQ(Zeilen(dmModul(),
                     "SELECT ID_HSR, ID_Folge, Art, ID_Ereignis, ID_Angriff, Anzahl, "
                     "Anzahl_OK, Anzahl_OK_Prozent_String, Gewinn_Verlust FROM "
                     "DM_Gewinn_Verlust ORDER BY rowid"),
              erwartet);
    // The float matches the text.
    EXPECT_EQ(Zeilen(dmModul(),
                     "SELECT COUNT(*) FROM DM_Gewinn_Verlust WHERE "
                     "abs(Anzahl_OK_Prozent - Anzahl_OK * 100.0 / Anzahl) > 1e-9"),
              "0\n");
    std::string anzahlen;
    for (std::size_t i = 0; i < b.folgeAnzahl.size(); ++i) {
        anzahlen += std::to_string(b.folgeAnzahl[i]) + "\n";
    }
    EXPECT_EQ(Zeilen(dmModul(), "SELECT Anzahl FROM DM_Folge ORDER BY ID_Folge"), anzahlen);
    // Each coup after the first is preceded by exactly one of "event e" / "not event e" per e.
    EXPECT_EQ(Zeilen(dmModul(), "SELECT SUM(Anzahl) FROM DM_Folge"), std::to_string(6 * 8) + "\n");

    Zusammenfassung_Schreiben(dm,
                              {"Casino Nord", "T1234567", store::Date::fromYmd(2026, 3, 1),
                               store::Date::fromYmd(2026, 3, 5)},
                              b, p);
    EXPECT_EQ(Zeilen(roulette(),
                     "SELECT DM_Casino_letztes_DM, DM_Tisch_letztes_DM, DM_Datum_von_letztes_DM, "
                     "DM_Datum_bis_letztes_DM, DM_Tage_letztes_DM, DM_Coups_letztes_DM, "
                     "DM_Haeufigkeit_Anzahl_von, DM_Haeufigkeit_Anzahl_bis, "
                     "DM_Serien_bis, DM_Serien_vor_Ereignisfolge, "
                     "DM_Rueckstaendigkeit_vor_Ereignisfolge FROM Wahl"),
              "Casino Nord|T1234|2026-03-01|2026-03-05|2|10|1|0|4|f|t\n");
    EXPECT_EQ(dm.TdbTable_Wahl.value("DM_Coups_letztes_DM").toInt(), 10);
}

}  // namespace
}  // namespace spinalyst::mining
