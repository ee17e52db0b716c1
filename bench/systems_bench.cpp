// Benchmarks of the system evaluation engine on 30 days × 400 coups (12 000 coups, days
// overlapping, so the day before is loaded as history too) of casino 1, table "T 01" of the
// 10 000 000-coup benchmark database (bench/benchdatenbank.h), with 7 marked systems of kind 1
// whose instances have every filter switched on, the sequence history included, in mode "A":
//  - BM_Durchlauf: the engine's computation alone, Systeme_Durchlaufen on the loaded stretch
//    (the after-coup callback of the run included). Goal: under 50 ms.
//  - BM_Referenz: the plain reference of the tests on the same work, for the ratio (goal: the
//    engine at least 100 times faster).
//  Both also on two other sets of systems (arguments 1 and 2, see systemDokument) whose rarer
//  trigger sequences make the sequence history reach farther back.
//  - BM_Lauf: the whole run, Systemauswertung_Berechnen: loading the stretch and the systems, the
//    walk, writing bets, coup bookings, day results and run state, the totals row. Goal: under
//    0.3 s.
//  - BM_OnlineSchritt: one online step (chosen day only, last coup only) after a number was
//    entered. Goal: under 2 ms. BM_OnlineSchrittDurchlauf: the step's walk alone.
//  - BM_OnlineEingabe: online play as the window plays it, on a day of 500 coups: one number
//    entered (online::BitBtn_Permanenz_ZahlClick: the number stored, the next coup appended, the
//    day row and totals kept, then the online step). Goal: under 5 ms.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "bench/benchdatenbank.h"
#include "capture/auswahl.h"
#include "kern/katalog.h"
#include "kern/kontext.h"
#include "kern/strecke.h"
#include "online/online_spiel.h"
#include "store/sqlite.h"
#include "systems/austausch.h"
#include "systems/durchlauf.h"
#include "systems/system.h"
#include "systems/systemauswertung.h"
#include "tests/systems/referenzlauf.h"

namespace spinalyst::systems {
namespace {

using bench::Fixture;
using Json = nlohmann::ordered_json;
using store::Date;
using store::Value;

constexpr int kSysteme = 7;
// The walk covers D - kTageZurueck to D.
constexpr int kTageZurueck = bench::kStretchDays - 1;
constexpr int kCasino = 1;
const char* const kTisch = "T 01";

// A system of kind 1, chance class 1, marked for mode "A": a trigger sequence of one or two
// events, the attacked event, stakes 1, 2, 4, 8, and every filter of instance 1 on; its other
// instances have a one-event sequence and no filters, as the simple chances are played.
//
// Two other sets of 7 systems, not marked and of other chance classes (so the run leaves them
// out), are walked only, to show what decides the ratio between the engine and a plain walk:
//  - Dutzende: a dozen twice triggers a bet on a column; the history looks at up to 7 earlier
//    occurrences, which are rarer than those of colours, so it reaches farther back.
//  - Weit: the systems of the run with windows about eight times as wide (frequency over the
//    last 96 coups, series over 160, absence over 120) and a history of up to 12 occurrences,
//    so that every look-back of a plain walk covers many more coups.
enum class Satzart { Einfach = 0, Dutzende = 1, Weit = 2 };

std::string systemDokument(int i, Satzart satzart) {
    const bool dutzende = satzart == Satzart::Dutzende;
    const bool weit = satzart == Satzart::Weit;
    // A column, or red or black.
    const int angriff = dutzende ? 10 + i % 3 : 1 + i % 2;
    // A dozen, or the other colour.
    const int ausloeser = dutzende ? 7 + (i + 1) % 3 : 2 - i % 2;
    Json daten = Json::object();
    daten["ID_Ereignis_Haeufigkeit"] = dutzende ? 7 + i % 3 : 1 + (i % 6);
    daten["Haeufigkeit_Anzahl_von"] = weit ? 38 : 2;
    daten["Haeufigkeit_Anzahl_bis"] = weit ? 58 : 8;
    daten["Haeufigkeit_Coups_zurueck_von"] = 1;
    daten["Haeufigkeit_Coups_zurueck_bis"] = weit ? 96 : 12;
    daten["Haeufigkeit_vor_Ereignisfolge"] = i % 3 == 0 ? "t" : "f";
    daten["Haeufigkeit_Filterung_aktiv"] = "t";
    daten["ID_Ereignis_Serien"] = angriff;
    daten["Serien_Anzahl_von"] = weit ? 20 : 1;
    daten["Serien_Anzahl_bis"] = weit ? 60 : 6;
    daten["Serien_von"] = 1;
    daten["Serien_bis"] = 3;
    daten["Serien_Coups_zurueck_von"] = 1;
    daten["Serien_Coups_zurueck_bis"] = weit ? 160 : 20;
    daten["Serien_Filterung_aktiv"] = "t";
    daten["ID_Ereignis_Rueckstaendigkeit"] = 7 + (i % 3);  // a dozen
    daten["Rueckstaendigkeit_Anzahl_von"] = weit ? 25 : 0;
    daten["Rueckstaendigkeit_Anzahl_bis"] = weit ? 55 : 4;
    daten["Rueckstaendigkeit_Coups_zurueck_von"] = 2;
    daten["Rueckstaendigkeit_Coups_zurueck_bis"] = weit ? 120 : 15;
    daten["Rueckstaendigkeit_Filterung_aktiv"] = "t";
    daten["Ereignisfolge_Angriff_OK_von"] = 1;
    daten["Ereignisfolge_Angriff_OK_bis"] = 3 + i % 3;
    daten["Ereignisfolgen_zurueck_von"] = 1;
    daten["Ereignisfolgen_zurueck_bis"] = dutzende ? 4 + i % 4 : weit ? 9 + i % 4 : 2 + i % 4;
    daten["Ereignisfolge_ungleich"] = i == 6 ? "t" : "f";
    daten["Ereignisfolge_Filterung_aktiv"] = "t";
    daten["Setzart"] = std::string(1, "EKP"[i % 3]);
    Json folge = Json::array();
    folge.push_back({{"ID_Ereignis", ausloeser}, {"Angriff", nullptr}});
    if (dutzende || i % 2 == 0) {
        folge.push_back({{"ID_Ereignis", ausloeser}, {"Angriff", nullptr}});
    }
    folge.push_back({{"ID_Ereignis", angriff}, {"Angriff", "x"}});
    const Json saetze = {{"1", 1}, {"2", 2}, {"3", 4}, {"4", 8}};
    Json instanzen = Json::array();
    instanzen.push_back({{"ID_Instanz", 1},
                         {"System_Daten", daten},
                         {"System_Ereignisse", folge},
                         {"System_Angriffe", saetze}});
    for (int n = 2; n <= 3; ++n) {
        instanzen.push_back(
            {{"ID_Instanz", n},
             {"System_Daten", {{"Setzart", "E"}}},
             {"System_Ereignisse", Json::array({{{"ID_Ereignis", 2 + n}, {"Angriff", "x"}}})},
             {"System_Angriffe", saetze}});
    }
    Json dokument = {{"ID_System_Art", 1},
                     {"ID_System_Chancen", dutzende ? 2
                                           : weit   ? 35
                                                    : 1},
                     {"System_Name", "Bench " + std::to_string(i + 1)},
                     {"System_Online_Aktiv", satzart == Satzart::Einfach ? "x" : ""},
                     {"Systemangriff_Beendung_Einzeln_Alle", i % 2 == 0 ? "t" : "f"},
                     {"Instanzen", instanzen}};
    return dokument.dump();
}

// The 10M-coup database with the 7 systems and the selection of the run: casino 1, "T 01", a day
// D in the middle of the permanence, 29 days back, days overlapping, all marked systems.
class Umgebung {
  public:
    Umgebung() : f_(bench::fixture(bench::kLarge)), k{f_.dm(), f_.sitzung(), ui, ansicht} {
        auto& dm = f_.dm();
        for (int i = 0; i < kSysteme; ++i) {
            for (const Satzart a : {Satzart::Einfach, Satzart::Dutzende, Satzart::Weit}) {
                systeme[static_cast<std::size_t>(a)].push_back(
                    System_Importieren(dm, systemDokument(i, a)));
            }
        }
        tag = bench::firstDay().addDays(f_.shape().days / 2);
        f_.sitzung().gewaehlter_tag = tag;
        auto& w = dm.TdbTable_Wahl;
        w.edit();
        w.setInteger("ID_Casino", kCasino);
        w.setText("Tisch", kTisch);
        w.setDate("Datum", tag);
        w.setInteger("ID_System_Art", 1);
        w.setInteger("ID_System_Chancen", 1);
        w.setInteger("System_Tage_Anzahl", kTageZurueck);
        w.setText("System_Online_Tage_uebergreifend", "t");
        w.setText("System_Online_Alle", "t");
        w.post();
        katalog = kern::Ereigniskatalog::laden(dm);
        parameter.modus = 'A';
        parameter.uebergreifend = true;
        parameter.system = systeme[0].front();
    }

    // The stretch and the systems as the run loads them.
    std::vector<kern::Coup> strecke() {
        kern::Streckenauswahl auswahl;
        auswahl.casino = kCasino;
        auswahl.tisch = kTisch;
        auswahl.von = tag.addDays(-kTageZurueck - 1);
        auswahl.bis = tag;
        return kern::Strecke_Laden(f_.dm().TdbDatabase_Roulette, auswahl);
    }
    std::vector<System> geladeneSysteme(std::int64_t satzart = 0) {
        return Systeme_Laden(f_.dm().TdbDatabase_Roulette,
                             systeme[static_cast<std::size_t>(satzart)]);
    }
    store::DataModule_Roulette& dm() { return f_.dm(); }

  private:
    Fixture& f_;

  public:
    kern::UnattendedUserInterface ui;
    kern::Ansicht ansicht;
    kern::Kontext k;
    kern::Ereigniskatalog katalog;
    // By Satzart: the 7 systems of the run, then those walked only.
    std::array<std::vector<std::int64_t>, 3> systeme;
    Date tag;
    Laufparameter parameter;
};

Umgebung& umgebung() {
    static Umgebung u;
    return u;
}

// The after-coup callback of the run (repaint every tenth coup, poll for Escape).
Nach_Coup nachCoup(Umgebung& u) {
    return [&u](std::size_t zaehler) {
        if (zaehler % 10 == 0) {
            u.k.ansicht.neuZeichnen();
        }
        return u.k.ui.processEventsAndCheckEscape();
    };
}

template <class Body>
void guarded(benchmark::State& state, Body body) {
    try {
        body();
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

// The walk of a run over a whole stretch, as the run sets it up: the first evaluated day is
// D - 29, the day before it is history.
Durchlauf durchlauf(const std::vector<kern::Coup>& strecke, const Date& erster) {
    Durchlauf lauf;
    lauf.strecke = strecke;
    lauf.uebergreifend = true;
    for (std::size_t i = 0; i < strecke.size(); ++i) {
        if (strecke[i].tag == erster) {
            lauf.beginn = i;
            break;
        }
    }
    return lauf;
}

void BM_Durchlauf(benchmark::State& state) {
    guarded(state, [&] {
        Umgebung& u = umgebung();
        const std::vector<kern::Coup> strecke = u.strecke();
        const std::vector<System> systeme = u.geladeneSysteme(state.range(0));
        const Durchlauf lauf = durchlauf(strecke, u.tag.addDays(-kTageZurueck));
        std::size_t wetten = 0;
        std::size_t coups = 0;
        for (auto _ : state) {
            state.PauseTiming();
            std::vector<System> kopie = systeme;
            state.ResumeTiming();
            const Durchlaufergebnis e =
                Systeme_Durchlaufen(lauf, kopie, {}, {}, u.katalog, nachCoup(u));
            wetten = e.wetten.size();
            coups = e.coups;
            benchmark::DoNotOptimize(wetten);
        }
        // Coups walked (the day before is loaded as history only) and bets placed.
        state.counters["coups"] = static_cast<double>(coups);
        state.counters["bets"] = static_cast<double>(wetten);
        state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(coups));
    });
}

// The plain reference of the tests on exactly the work of BM_Durchlauf; the ratio of the two
// times is the engine's speed-up.
void BM_Referenz(benchmark::State& state) {
    guarded(state, [&] {
        Umgebung& u = umgebung();
        const std::vector<kern::Coup> strecke = u.strecke();
        const std::vector<System> systeme = u.geladeneSysteme(state.range(0));
        const Durchlauf lauf = durchlauf(strecke, u.tag.addDays(-kTageZurueck));
        // Both walks must do the same work, or the ratio means nothing.
        std::vector<System> engine = systeme;
        const Durchlaufergebnis erwartet =
            Systeme_Durchlaufen(lauf, engine, {}, {}, u.katalog, nachCoup(u));
        std::size_t coups = 0;
        for (auto _ : state) {
            state.PauseTiming();
            std::vector<System> kopie = systeme;
            state.ResumeTiming();
            const Durchlaufergebnis e =
                referenz::Systeme_Durchlaufen(lauf, kopie, {}, {}, u.katalog, nachCoup(u));
            coups = e.coups;
            const bool gleicheWetten = std::equal(
                e.wetten.begin(), e.wetten.end(), erwartet.wetten.begin(), erwartet.wetten.end(),
                [](const Wette& a, const Wette& b) { return a.gleich(b); });
            if (!gleicheWetten || e.summen != erwartet.summen ||
                e.buchungen != erwartet.buchungen || e.tage != erwartet.tage || kopie != engine) {
                state.SkipWithError("the reference and the engine differ on this work");
                break;
            }
        }
        state.counters["coups"] = static_cast<double>(coups);
        state.counters["bets"] = static_cast<double>(erwartet.wetten.size());
    });
}

void BM_Lauf(benchmark::State& state) {
    guarded(state, [&] {
        Umgebung& u = umgebung();
        std::size_t coups = 0;
        for (auto _ : state) {
            state.PauseTiming();
            // As the evaluation button does before the run: every system starts idle.
            Systeme_Vorbereiten(u.k, false);
            state.ResumeTiming();
            const Systemauswertung a = Systemauswertung_Berechnen(u.k, u.katalog, u.parameter);
            if (a.fehler) {
                state.SkipWithError(a.fehler->c_str());
                break;
            }
            coups = a.coups;
        }
        state.counters["coups"] = static_cast<double>(coups);
    });
}

// One online step: the number of the coup about to be played is entered and the next coup
// appended (outside the timing), then the engine settles and bets on the last coup alone.
void BM_OnlineSchritt(benchmark::State& state) {
    guarded(state, [&] {
        Umgebung& u = umgebung();
        auto& verbindung = u.dm().TdbDatabase_Roulette.connection();
        store::Statement zahl(verbindung, "UPDATE Permanenz SET Zahl = ? WHERE ID_Zahl = ?");
        store::Statement neu(verbindung,
                             "INSERT INTO Permanenz (ID_Casino, Tisch, Datum) VALUES (?, ?, ?)");
        const auto anhaengen = [&] {
            neu.bind(1, std::int64_t{kCasino});
            neu.bind(2, std::string_view(kTisch));
            neu.bind(3, Value(u.tag));
            neu.run();
            return verbindung.lastInsertRowid();
        };
        // The day is evaluated alone first, as online play starts; the coup about to be played
        // gets its bets.
        std::int64_t offen = anhaengen();
        Systeme_Vorbereiten(u.k, false);
        Laufparameter p = u.parameter;
        p.nurGewaehlterTag = true;
        Systemauswertung_Berechnen(u.k, u.katalog, p);
        p.nurLetzterCoup = true;
        bench::Zufall zufall(20240101u);
        for (auto _ : state) {
            state.PauseTiming();
            zahl.bind(1, std::int64_t{zufall.below(37)});
            zahl.bind(2, offen);
            zahl.run();
            offen = anhaengen();
            state.ResumeTiming();
            const Systemauswertung a = Systemauswertung_Berechnen(u.k, u.katalog, p);
            if (a.fehler) {
                state.SkipWithError(a.fehler->c_str());
                break;
            }
        }
    });
}

// The computation of one online step alone: the walk over the chosen day (and the day before as
// history) with only its last coup processed, from the stored bets and run state of a chosen-day
// run. Beside BM_OnlineSchritt it shows what the step's loading and writing cost.
void BM_OnlineSchrittDurchlauf(benchmark::State& state) {
    guarded(state, [&] {
        Umgebung& u = umgebung();
        auto& db = u.dm().TdbDatabase_Roulette;
        Systeme_Vorbereiten(u.k, false);
        Laufparameter p = u.parameter;
        p.nurGewaehlterTag = true;
        Systemauswertung_Berechnen(u.k, u.katalog, p);
        kern::Streckenauswahl auswahl;
        auswahl.casino = kCasino;
        auswahl.tisch = kTisch;
        auswahl.von = u.tag.addDays(-1);
        auswahl.bis = u.tag;
        const std::vector<kern::Coup> strecke = kern::Strecke_Laden(db, auswahl);
        const std::vector<System> systeme = u.geladeneSysteme();
        std::vector<Wette> wetten;
        store::Statement s(db.connection(),
                           "SELECT rowid, Permanenz_ID_Zahl, ID_System, ID_Instanz, ID_Ereignis, "
                           "Satz, Gewinn_Verlust FROM Systeme_Abarbeitung ORDER BY rowid");
        while (s.step()) {
            Wette w;
            w.rowid = s.int64(0);
            w.idZahl = s.int64(1);
            w.system = s.int64(2);
            w.instanz = static_cast<int>(s.int64(3));
            w.ereignis = static_cast<int>(s.int64(4));
            w.satz = static_cast<int>(s.int64(5));
            if (!s.isNull(6)) {
                w.ergebnis = static_cast<int>(s.int64(6));
            }
            wetten.push_back(w);
        }
        Durchlauf lauf = durchlauf(strecke, u.tag);
        lauf.nurLetzterCoup = true;
        lauf.tagAbschliessen = false;
        for (auto _ : state) {
            state.PauseTiming();
            std::vector<System> kopie = systeme;
            std::vector<Wette> gespeichert = wetten;
            state.ResumeTiming();
            const Durchlaufergebnis e = Systeme_Durchlaufen(lauf, kopie, std::move(gespeichert), {},
                                                            u.katalog, nachCoup(u));
            benchmark::DoNotOptimize(e.coups);
        }
        state.counters["stored_bets"] = static_cast<double>(wetten.size());
    });
}

// Online play as the window plays it, on the day after D (400 generated coups, 99 appended with
// numbers, so that with the coup about to be played the day holds 500): online play is opened as
// the menu opens it (the 7 marked systems of kind 1 and chance class 1 in mode "A", days
// overlapping), then each iteration is one number typed into the bound field and entered,
// online::BitBtn_Permanenz_ZahlClick: the number stored, the next coup appended, the day row and
// the totals recomputed, the step of the systems on the last coup. Only the entry is timed. After
// a round of kRunde numbers online play is closed, the entered coups are removed and it is opened
// again, so the day never grows beyond 500 + kRunde - 1 coups. Counters: the median, 90th
// percentile and largest time per number in ms, the active systems, the coups of the day at the
// opening, and the signals (bets on the coup about to be played) per number.
void BM_OnlineEingabe(benchmark::State& state) {
    constexpr int kRunde = 10;
    constexpr int kCoupsAmTag = 500;
    guarded(state, [&] {
        Umgebung& u = umgebung();
        auto& dm = u.dm();
        auto& verbindung = dm.TdbDatabase_Roulette.connection();
        const Date tag = u.tag.addDays(1);
        const auto tageswert = [&](const std::string& sql) {
            store::Statement s(verbindung, sql);
            s.bind(1, std::int64_t{kCasino});
            s.bind(2, std::string_view(kTisch));
            s.bind(3, Value(tag));
            return s.step() ? s.int64(0) : std::int64_t{0};
        };
        const char* const bedingung =
            " FROM Permanenz WHERE ID_Casino = ? AND Tisch = ? AND "
            "Datum = ?";
        // The day is filled up to 499 coups with numbers; the opening appends the 500th.
        bench::Zufall zufall(20241211u);
        {
            const std::int64_t vorhanden = tageswert(std::string("SELECT COUNT(*)") + bedingung);
            store::Transaction tx(verbindung);
            store::Statement neu(verbindung,
                                 "INSERT INTO Permanenz (ID_Casino, Tisch, Datum, Zahl) "
                                 "VALUES (?, ?, ?, ?)");
            for (std::int64_t i = vorhanden; i < kCoupsAmTag - 1; ++i) {
                neu.bind(1, std::int64_t{kCasino});
                neu.bind(2, std::string_view(kTisch));
                neu.bind(3, Value(tag));
                neu.bind(4, std::int64_t{zufall.below(37)});
                neu.run();
            }
            tx.commit();
        }
        const std::int64_t letzter = tageswert(std::string("SELECT MAX(ID_Zahl)") + bedingung);
        store::Statement entfernen(verbindung,
                                   "DELETE FROM Permanenz WHERE ID_Casino = ? AND Tisch = ? AND "
                                   "Datum = ? AND ID_Zahl > ?");
        store::Statement signale(verbindung,
                                 "SELECT COUNT(*) FROM Systeme_Abarbeitung b JOIN Permanenz p ON "
                                 "p.ID_Zahl = b.Permanenz_ID_Zahl WHERE p.Zahl IS NULL");

        // The main window: the cursors' hooks, the day chosen, the kind and chance class of the
        // systems shown and the first of them selected.
        kern::Kontext& k = u.k;
        systems::Systemhaken_Installieren(k);
        k.sitzung.gewaehlter_tag = tag;
        capture::Casino_Tisch_DatumChange(k, capture::Ausloeser::Hauptfenster);
        System_Art_Chancen_Waehlen(k, 1, 1);
        dm.TdbTable_Systeme.locate("ID_System_AutoInc", {Value(u.systeme[0].front())});
        DataSource_Tdb_SystemeDataChange(k);
        // The check boxes of online play: all marked systems, days overlapping.
        auto& w = dm.TdbTable_Wahl;
        if (!w.isEditing()) {
            w.edit();
        }
        w.setText("System_Online_Alle", "t");
        w.setText("System_Online_Tage_uebergreifend", "t");
        w.post();
        online::Onlinespiel spiel;
        int eingegeben = kRunde;
        const auto schliessen = [&] {
            if (!spiel.geoeffnet) {
                return;
            }
            online::Online_Spiel_Schliessen(k, spiel);
            spiel.geoeffnet = false;
            entfernen.reset();
            entfernen.bind(1, std::int64_t{kCasino});
            entfernen.bind(2, std::string_view(kTisch));
            entfernen.bind(3, Value(tag));
            entfernen.bind(4, letzter);
            entfernen.run();
            dm.TdbTable_Permanenz.refresh();
        };
        std::vector<double> millis;
        std::int64_t signalsumme = 0;
        std::int64_t tagesCoups = 0;  // at the opening, the coup about to be played included
        for (auto _ : state) {
            if (eingegeben == kRunde) {
                schliessen();
                spiel = online::MenuItem_Online_SpielClick(k, u.katalog);
                if (!spiel.geoeffnet || spiel.aktiveSysteme != kSysteme) {
                    const std::string text =
                        "online play opened: " + std::to_string(spiel.geoeffnet) + ", " +
                        std::to_string(spiel.aktiveSysteme) + " active systems, not 7";
                    state.SkipWithError(text.c_str());
                    break;
                }
                eingegeben = 0;
                tagesCoups = tageswert(std::string("SELECT COUNT(*)") + bedingung);
            }
            // As the window's number field writes what was typed.
            w.setValue("Permanenz_Zahl", Value(std::int64_t{zufall.below(37)}));
            const auto start = bench::Clock::now();
            const bool gespeichert = online::BitBtn_Permanenz_ZahlClick(k, u.katalog, spiel);
            const double sekunden = bench::secondsSince(start);
            state.SetIterationTime(sekunden);
            if (!gespeichert) {
                state.SkipWithError("the number was not stored");
                break;
            }
            ++eingegeben;
            millis.push_back(sekunden * 1000.0);
            signale.reset();
            signalsumme += signale.step() ? signale.int64(0) : 0;
            signale.reset();
        }
        schliessen();
        // The day of the other benchmarks again.
        k.sitzung.gewaehlter_tag = u.tag;
        capture::Casino_Tisch_DatumChange(k, capture::Ausloeser::Hauptfenster);
        if (millis.empty()) {
            return;
        }
        const double anzahl = static_cast<double>(millis.size());
        std::sort(millis.begin(), millis.end());
        const auto bei = [&](double q) {
            return millis[static_cast<std::size_t>(q * (anzahl - 1.0))];
        };
        state.counters["median_ms"] = bei(0.5);
        state.counters["p90_ms"] = bei(0.9);
        state.counters["max_ms"] = millis.back();
        state.counters["active"] = kSysteme;
        state.counters["day_coups"] = static_cast<double>(tagesCoups);
        state.counters["signals"] = static_cast<double>(signalsumme) / anzahl;
    });
}

// Argument: the Satzart (0 the 7 systems of the run, 1 on dozens, 2 with wide windows).
BENCHMARK(BM_Durchlauf)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
// A few iterations: each takes a good part of a second or more.
BENCHMARK(BM_Referenz)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_Lauf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OnlineSchritt)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OnlineSchrittDurchlauf)->Unit(benchmark::kMillisecond)->UseRealTime();
// Last: it installs the cursors' hooks and works on another day.
BENCHMARK(BM_OnlineEingabe)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
}  // namespace spinalyst::systems

int main(int argc, char** argv) {
    return spinalyst::bench::Benchmarks_Ausfuehren(argc, argv, "spinalyst_systems_bench");
}
