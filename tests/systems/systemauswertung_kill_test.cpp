#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "capture/auswahl.h"
#include "kern/katalog.h"
#include "store/sqlite.h"
#include "systems/austausch.h"
#include "systems/system.h"
#include "systems/systemauswertung.h"
#include "systems/systemlauf.h"
#include "tests/support/kontext_fixture.h"
#include "tests/support/systemdaten.h"

// A system evaluation killed with SIGKILL at any moment of a long run leaves an intact file that
// holds either the results from before the run or those of the whole run, never a part of them.
namespace spinalyst::systems {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using spinalyst::testing::Tag_Schreiben;
using spinalyst::testing::Zwei_Ereignis_System;
using store::Date;
using store::Value;

constexpr int kTage = 31;
constexpr int kCoupsProTag = 400;

Date D() {
    return Date::fromYmd(2024, 3, 31);
}

// Builds the program directory: a month of random coups with their day rows, four marked systems
// and an unmarked one, which has been evaluated alone (the results before the run). Returns the
// unmarked system.
int aufbauen(const fs::path& dir) {
    kern::Sitzung sitzung;
    store::DataModule_Roulette dm(dir, sitzung);
    spinalyst::testing::ScriptedUi ui;
    kern::Ansicht ansicht;
    kern::Kontext k{dm, sitzung, ui, ansicht};
    Systemhaken_Installieren(k);
    dm.open();
    const int casino = capture::BitBtn_NeuClick(k);
    capture::BitBtn_OKClick(k);
    std::mt19937 zufall(20240331);
    std::uniform_int_distribution<int> zahl(0, 36);
    for (int t = kTage - 1; t >= 0; --t) {
        std::vector<Value> zahlen;
        for (int i = 0; i < kCoupsProTag; ++i) {
            zahlen.emplace_back(zahl(zufall));
        }
        Tag_Schreiben(dm.TdbDatabase_Roulette, casino, "T 01", D().addDays(-t), zahlen);
    }
    System_Importieren(dm, Zwei_Ereignis_System(1, 2, {1, 2, 4, 8}, "E", "x"));
    System_Importieren(dm, Zwei_Ereignis_System(2, 1, {1, 1, 1}, "K", "x"));
    System_Importieren(dm, Zwei_Ereignis_System(3, 4, {1, 2, 4}, "P", "x"));
    System_Importieren(dm, Zwei_Ereignis_System(5, 6, {2, 2, 3, 5}, "K", "x"));
    const int einzeln = System_Importieren(dm, Zwei_Ereignis_System(1, 1, {1, 3}, "E"));
    System_Art_Chancen_Waehlen(k, 1, 1);
    sitzung.gewaehlter_tag = D();
    capture::Casino_Tisch_DatumChange(k, capture::Ausloeser::Datumsauswahl);
    auto& w = dm.TdbTable_Wahl;
    w.setInteger("System_Tage_Anzahl", kTage - 1);
    w.post();
    dm.TdbTable_Systeme.locate("ID_System_AutoInc", {Value(einzeln)});
    const kern::Ereigniskatalog katalog = kern::Ereigniskatalog::laden(dm);
    if (!BitBtn_Berechnung_System_AuswertungClick(k, katalog).gelaufen) {
        ADD_FAILURE() << "the evaluation before the run did not run";
    }
    dm.close();
    return einzeln;
}

// In the child: the engine over the month with every marked system. Writes a byte to `bereit`
// just before the run starts; exits 0 after it, 2 when it failed.
[[noreturn]] void kind(const fs::path& dir, int system, int bereit) {
    int code = 2;
    try {
        kern::Sitzung sitzung;
        store::DataModule_Roulette dm(dir, sitzung);
        kern::UnattendedUserInterface ui;
        kern::Ansicht ansicht;
        kern::Kontext k{dm, sitzung, ui, ansicht};
        dm.open();
        sitzung.gewaehlter_tag = D();
        const kern::Ereigniskatalog katalog = kern::Ereigniskatalog::laden(dm);
        Laufparameter p;
        p.modus = 'A';
        p.system = system;
        const char b = 'x';
        if (::write(bereit, &b, 1) != 1) {
            ::_exit(3);
        }
        const Systemauswertung a = Systemauswertung_Berechnen(k, katalog, p);
        code = a.fehler ? 2 : 0;
        dm.close();
    } catch (...) {
        code = 2;
    }
    ::_exit(code);
}

struct Prozess {
    pid_t pid;
    Clock::time_point gestartet;  // when the child began the run
};

Prozess starten(const fs::path& dir, int system) {
    int rohr[2];
    if (::pipe(rohr) != 0) {
        throw std::runtime_error("no pipe");
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(rohr[0]);
        kind(dir, system, rohr[1]);
    }
    ::close(rohr[1]);
    char b = 0;
    const auto gelesen = ::read(rohr[0], &b, 1);
    ::close(rohr[0]);
    if (pid < 0 || gelesen != 1) {
        throw std::runtime_error("the child did not start");
    }
    return {pid, Clock::now()};
}

int warten(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

// What the run writes in its one transaction: the bets, the coup bookings, the day results, the
// run state of the systems and the day totals. Empty when the file is damaged.
std::string stand(const fs::path& dir) {
    store::Connection c((dir / store::Database::fileName(store::DatabaseFile::Roulette)).string(),
                        store::Connection::Mode::OpenExisting);
    {
        store::Statement pruefung(c, "PRAGMA integrity_check");
        if (!pruefung.step() || pruefung.text(0) != "ok") {
            return "";
        }
    }
    std::string s;
    for (const char* sql :
         {"SELECT * FROM Systeme_Abarbeitung ORDER BY rowid",
          "SELECT ID_Zahl, Angriff_Satz, Gewinn_Verlust FROM Permanenz ORDER BY ID_Zahl",
          "SELECT Datum, Gewinn_Verlust, Gewinn_Maximal, Verlust_Maximal, Angriffe FROM "
          "Permanenz_Tag_Zusammenfassung ORDER BY Datum",
          "SELECT ID_System_AutoInc, Systemangriff, Systemangriff_Instanz_1, "
          "Systemangriff_Instanz_2, Systemangriff_Instanz_3, Systemangriff_Beendung_Einzeln "
          "FROM Systeme ORDER BY 1",
          "SELECT Tag_Gewinn_Verlust, Tag_Gewinn_Maximal, Tag_Verlust_Maximal, Tag_Angriffe FROM "
          "Wahl"}) {
        store::Statement st(c, sql);
        while (st.step()) {
            for (int i = 0; i < st.columnCount(); ++i) {
                s += st.isNull(i) ? "-" : st.text(i);
                s += ',';
            }
            s += ';';
        }
        s += '\n';
    }
    return s;
}

void kopieren(const fs::path& von, const fs::path& nach) {
    fs::remove_all(nach);
    fs::copy(von, nach, fs::copy_options::recursive);
}

TEST(SystemauswertungAbbruchTest, AKilledRunLeavesTheOldOrTheNewResults) {
    store::testing::TempDir tmp;
    const fs::path vorlage = tmp.path() / "vorlage";
    fs::create_directories(vorlage);
    const int system = aufbauen(vorlage);
    const std::string alt = stand(vorlage);
    ASSERT_FALSE(alt.empty());

    // The whole run, uninterrupted: the new results and how long the run takes.
    const fs::path ganz = tmp.path() / "ganz";
    kopieren(vorlage, ganz);
    const Prozess p = starten(ganz, system);
    const int status = warten(p.pid);
    const auto dauer = Clock::now() - p.gestartet;
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const std::string neu = stand(ganz);
    ASSERT_FALSE(neu.empty());
    ASSERT_NE(alt, neu);

    // Killed at moments spread over the run, most of them near its end, where it writes.
    int alte = 0;
    int neue = 0;
    for (const double anteil : {0.02, 0.3, 0.6, 0.75, 0.85, 0.9, 0.93, 0.96, 0.98, 1.0}) {
        SCOPED_TRACE(anteil);
        const fs::path dir = tmp.path() / ("abbruch-" + std::to_string(int(anteil * 100)));
        kopieren(vorlage, dir);
        const Prozess q = starten(dir, system);
        std::this_thread::sleep_until(q.gestartet +
                                      std::chrono::duration_cast<Clock::duration>(dauer * anteil));
        ::kill(q.pid, SIGKILL);
        warten(q.pid);
        const std::string jetzt = stand(dir);
        ASSERT_FALSE(jetzt.empty()) << "the file is damaged";
        EXPECT_TRUE(jetzt == alt || jetzt == neu) << "a part of the run was stored";
        (jetzt == alt ? alte : neue) += 1;
        fs::remove_all(dir);
    }
    ::testing::Test::RecordProperty("killed_before_commit", alte);
    ::testing::Test::RecordProperty("killed_after_commit", neue);
}

}  // namespace
}  // namespace spinalyst::systems
