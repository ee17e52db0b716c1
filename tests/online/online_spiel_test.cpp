// Online play without a window: opening on the chosen day, numbers entered one by one, the
// signals on the coup about to be played, closing.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "capture/auswahl.h"
#include "kern/katalog.h"
#include "kern/strecke.h"
#include "online/online_spiel.h"
#include "store/sqlite.h"
#include "systems/ereignisfolge.h"
#include "tests/systems/system_fixture.h"

namespace spinalyst::online {
namespace {

using store::Value;

class OnlineSpielTest : public testing::SystemTest {
  protected:
    OnlineSpielTest() {
        capture::BitBtn_NeuClick(k);
        capture::BitBtn_OKClick(k);
        katalog = kern::Ereigniskatalog::laden(dm);
    }

    // Coups of the chosen day, oldest first; kern::kKeineZahl stores a coup without number.
    void coups(const std::vector<int>& zahlen) {
        auto& w = dm.TdbTable_Wahl;
        store::TableCursor p("Testpermanenz", dm.TdbDatabase_Roulette, "Permanenz");
        p.open();
        for (int z : zahlen) {
            p.appendRecord({w.value("ID_Casino"), w.value("Tisch"), sitzung.gewaehlter_tag, Value(),
                            z < 0 ? Value() : Value(z)});
        }
        dm.TdbTable_Permanenz.refresh();
    }

    // A system of kind 1, chance class 1: after a red coup, black, with these stakes ("E").
    int schwarzNachRot(const std::vector<int>& saetze, bool markiert = false) {
        const int id = neu();
        systems::Ereignisfolge_Anfuegen(k, 1);
        systems::Ereignisfolge_Anfuegen(k, 2);
        einsaetze(saetze);
        if (markiert) {
            auto& s = dm.TdbTable_Systeme;
            s.edit();
            s.setText("System_Online_Aktiv", "x");
            s.post();
        }
        return id;
    }

    void modusAlle(bool an) {
        auto& w = dm.TdbTable_Wahl;
        if (!w.isEditing()) {
            w.edit();
        }
        w.setText("System_Online_Alle", an ? "t" : "f");
        w.post();
    }

    bool eingeben(const Onlinespiel& spiel, std::optional<int> zahl) {
        auto& w = dm.TdbTable_Wahl;
        if (!w.isEditing()) {
            w.edit();
        }
        if (zahl) {
            w.setInteger("Permanenz_Zahl", *zahl);
        } else {
            w.setNull("Permanenz_Zahl");
        }
        return BitBtn_Permanenz_ZahlClick(k, katalog, spiel);
    }

    // The signals: (system, event, stake) of the bets on the day's last coup when it has no
    // number.
    std::vector<std::tuple<int, int, int>> signale() {
        store::Statement s(dm.TdbDatabase_Roulette.connection(),
                           "SELECT b.ID_System, b.ID_Ereignis, b.Satz FROM Systeme_Abarbeitung b "
                           "JOIN Permanenz p ON p.ID_Zahl = b.Permanenz_ID_Zahl WHERE p.Zahl IS "
                           "NULL ORDER BY b.rowid");
        std::vector<std::tuple<int, int, int>> r;
        while (s.step()) {
            r.emplace_back(static_cast<int>(s.int64(0)), static_cast<int>(s.int64(1)),
                           static_cast<int>(s.int64(2)));
        }
        return r;
    }
    // Coups of the day: (with a number, all).
    std::pair<int, int> anzahl() {
        store::Statement s(dm.TdbDatabase_Roulette.connection(),
                           "SELECT COUNT(Zahl), COUNT(*) FROM Permanenz");
        s.step();
        return {static_cast<int>(s.int64(0)), static_cast<int>(s.int64(1))};
    }

    kern::Ereigniskatalog katalog;
};

TEST_F(OnlineSpielTest, AMissedStepShowsTheNextStakeAndAHitEndsTheSignal) {
    const int id = schwarzNachRot({1, 2, 4});
    coups({20});
    const Onlinespiel spiel = MenuItem_Online_SpielClick(k, katalog);
    ASSERT_TRUE(spiel.geoeffnet);
    EXPECT_EQ(spiel.aktiveSysteme, 1);
    EXPECT_EQ(anzahl(), std::pair(1, 2));  // the coup about to be played was appended
    EXPECT_EQ(signale(), (std::vector<std::tuple<int, int, int>>{}));
    EXPECT_EQ(Satz_Gesamt(k), std::nullopt);

    const struct {
        std::optional<int> zahl;
        bool gespeichert;
        std::vector<std::tuple<int, int, int>> signale;
    } schritte[] = {
        {1, true, {{id, 2, 1}}},    // red: black, step 1
        {3, true, {{id, 2, 2}}},    // lost: step 2
        {37, false, {{id, 2, 2}}},  // refused: nothing advances
        {std::nullopt, false, {{id, 2, 2}}},
        {5, true, {{id, 2, 4}}},  // lost again: step 3
        {2, true, {}},            // won: the attack ends; black does not trigger
        {9, true, {{id, 2, 1}}},  // a new attack from step 1
    };
    int gespeichert = 1;
    for (const auto& s : schritte) {
        SCOPED_TRACE(s.zahl ? std::to_string(*s.zahl) : "empty");
        EXPECT_EQ(eingeben(spiel, s.zahl), s.gespeichert);
        gespeichert += s.gespeichert ? 1 : 0;
        EXPECT_EQ(anzahl(), std::pair(gespeichert, gespeichert + 1));
        EXPECT_EQ(signale(), s.signale);
        EXPECT_EQ(Satz_Gesamt(k), s.signale.empty()
                                      ? std::nullopt
                                      : std::optional<int>(std::get<2>(s.signale.front())));
        // The cursor stands on the coup about to be played, ready for the next number.
        EXPECT_TRUE(dm.TdbTable_Permanenz.isNull("Zahl"));
    }

    Online_Spiel_Schliessen(k, spiel);
    EXPECT_EQ(anzahl(), std::pair(gespeichert, gespeichert));
    EXPECT_FALSE(sitzung.eingabemodus);
    EXPECT_EQ(dm.TdbTable_Systeme.value("ID_System_AutoInc").toInt(), id);
}

TEST_F(OnlineSpielTest, OpeningOnAnEmptyDayOrOneEndingWithTheNextCoup) {
    const int id = schwarzNachRot({1});
    {
        // A day without coups gets none; the first number brings the first coup about to be
        // played and its signal.
        const Onlinespiel spiel = MenuItem_Online_SpielClick(k, katalog);
        EXPECT_EQ(anzahl(), std::pair(0, 0));
        EXPECT_TRUE(eingeben(spiel, 7));
        EXPECT_EQ(anzahl(), std::pair(1, 2));
        EXPECT_EQ(signale(), (std::vector<std::tuple<int, int, int>>{{id, 2, 1}}));
        Online_Spiel_Schliessen(k, spiel);
    }
    // A day that already ends with a coup about to be played keeps it and shows its signal.
    coups({kern::kKeineZahl});
    EXPECT_EQ(anzahl(), std::pair(1, 2));
    const Onlinespiel spiel = MenuItem_Online_SpielClick(k, katalog);
    EXPECT_EQ(anzahl(), std::pair(1, 2));
    EXPECT_EQ(signale(), (std::vector<std::tuple<int, int, int>>{{id, 2, 1}}));
    Online_Spiel_Schliessen(k, spiel);
}

TEST_F(OnlineSpielTest, ModeAllCountsTheMarkedSystemsAndRefusesEight) {
    for (int i = 0; i < 3; ++i) {
        schwarzNachRot({1}, true);
    }
    schwarzNachRot({1}, false);
    coups({1});
    // Mode "E" counts 1 whatever is marked; mode "A" the marked systems.
    Onlinespiel spiel = MenuItem_Online_SpielClick(k, katalog);
    EXPECT_EQ(spiel.aktiveSysteme, 1);
    EXPECT_EQ(signale().size(), 1u);
    Online_Spiel_Schliessen(k, spiel);
    modusAlle(true);
    spiel = MenuItem_Online_SpielClick(k, katalog);
    EXPECT_EQ(spiel.aktiveSysteme, 3);
    // The three marked and the selected (unmarked) one bet.
    EXPECT_EQ(signale().size(), 4u);
    Online_Spiel_Schliessen(k, spiel);

    for (int i = 0; i < 5; ++i) {
        schwarzNachRot({1}, true);
    }
    const auto vorher = anzahl();
    spiel = MenuItem_Online_SpielClick(k, katalog);
    EXPECT_FALSE(spiel.geoeffnet);
    EXPECT_EQ(ui.informed, std::vector<std::string>{"Mehr als 7 aktive Systeme!"});
    EXPECT_FALSE(ui.busy);
    EXPECT_EQ(anzahl(), vorher);
    EXPECT_FALSE(sitzung.eingabemodus);
}

TEST_F(OnlineSpielTest, CaptionInBothLanguages) {
    EXPECT_EQ(Online_Titel(k, "Casino Nord", "11.12.26", 3),
              "  Molvane's Online Spiel,  Casino Nord,  11.12.26 - 3 System(e) aktiv");
    sitzung.sprache = store::Sprache::Englisch;
    EXPECT_EQ(Online_Titel(k, "Casino Nord", "12/11/26", 1),
              "  Molvane's Online Game,  Casino Nord,  12/11/26 - 1 Active systems");
    EXPECT_EQ(Casino_Name(k), "Casino");
}

}  // namespace
}  // namespace spinalyst::online
