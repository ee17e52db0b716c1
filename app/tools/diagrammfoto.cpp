// Development tool: a month of random permanence (31 days of 400 coups), two betting systems on
// it evaluated together (mode "A") over 30 result days, a complete permanence evaluation of the
// month, and screenshots of the chart dock (both tabs) and of the main window, in German and in
// English.
// Usage: spinalyst_diagrammfoto <output directory>
// Run under a real display (e.g. xvfb-run -s "-screen 0 1366x768x24") to see the real layout.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <string>

#include "app/anwendung.h"
#include "app/binding/cursor_grid.h"
#include "app/diagrammbereich.h"
#include "capture/auswahl.h"
#include "store/referenzdaten.h"
#include "capture/zufall.h"
#include "store/bulk_writer.h"
#include "systems/system.h"

using spinalyst::store::Date;
using spinalyst::store::makeRow;
using spinalyst::store::TableCursor;
using spinalyst::store::Value;

namespace {

constexpr int kTage = 31;
constexpr int kCoups = 400;

// A system that bets `ziel` after two coups of `ausloeser`, with the stakes 1, 2, 4, marked for
// mode "A".
void system(spinalyst::kern::Kontext& k, const char* name, int ausloeser, int ziel) {
    auto& dm = k.dm;
    spinalyst::systems::MenuItem_Systeme_AufnahmeClick(k);
    TableCursor& systeme = dm.TdbTable_Systeme;
    systeme.edit();
    systeme.setText("System_Name", name);
    systeme.setText("System_Online_Aktiv", "x");
    systeme.post();
    const Value id = systeme.value("ID_System_AutoInc");
    TableCursor& folge = dm.TdbTable_System_Ereignisse;
    for (const auto& [ereignis, angriff] :
         {std::pair{ausloeser, ""}, std::pair{ausloeser, ""}, std::pair{ziel, "x"}}) {
        folge.appendRecord(makeRow(folge.table(), {{"ID_System", id},
                                                   {"ID_Instanz", 1},
                                                   {"ID_Ereignis", ereignis},
                                                   {"Angriff", angriff}}));
    }
    TableCursor& angriffe = dm.TdbTable_System_Angriffe;
    const int stufen[] = {1, 2, 4};
    for (int s = 0; s < 3; ++s) {
        if (angriffe.locate("ID_Angriff", {Value(std::to_string(s + 1))})) {
            angriffe.edit();
            angriffe.setInteger("Satz", stufen[s]);
            angriffe.post();
        }
    }
}

void monat(spinalyst::kern::Kontext& k) {
    auto& dm = k.dm;
    TableCursor& casino = dm.TdbTable_Casino;
    casino.appendRecord(makeRow(casino.table(), {{"ID_Casino", 1},
                                                 {"Casino_Name", "Casino Nord"},
                                                 {"Casino_In_Liste", "x"},
                                                 {"Zufallsgenerator_Coups", 0},
                                                 {"Zufallsgenerator", "f"}}));
    const Value idCasino(casino.rowid());
    const Date bis = k.sitzung.gewaehlter_tag;
    spinalyst::capture::Zufallsgenerator zufall(20261211);
    {
        spinalyst::store::BulkWriter w(dm.TdbDatabase_Roulette);
        auto& coup = w.insert("Permanenz", {"ID_Casino", "Tisch", "Datum", "Zahl"});
        auto& tag = w.insert("Permanenz_Tag_Zusammenfassung",
                             {"ID_Casino", "Tisch", "Datum", "Coups_Anzahl"});
        for (int t = kTage - 1; t >= 0; --t) {
            const Date d = bis.addDays(-t);
            for (int c = 0; c < kCoups; ++c) {
                coup.write({idCasino, Value("T 01"), Value(d), Value(zufall.naechsteZahl())});
            }
            tag.write({idCasino, Value("T 01"), Value(d), Value(kCoups)});
        }
        w.commit();
    }
    TableCursor& wahl = dm.TdbTable_Wahl;
    if (!wahl.isEditing()) {
        wahl.edit();
    }
    wahl.setValue("ID_Casino", idCasino);
    wahl.setText("Tisch", "T 01");
    wahl.post();
    spinalyst::capture::Casino_Tisch_DatumChange(k, spinalyst::capture::Ausloeser::Datumsauswahl);

    system(k, "Rot nach 2x Schwarz", 2, 1);
    system(k, "Schwarz nach 2x Rot", 1, 2);
}

// The settings of both evaluations (the selection change resets some of them).
void einstellen(spinalyst::kern::Kontext& k) {
    TableCursor& wahl = k.dm.TdbTable_Wahl;
    if (!wahl.isEditing()) {
        wahl.edit();
    }
    wahl.setInteger("System_Tage_Anzahl", kTage - 1);
    wahl.setText("System_Online_Alle", "t");
    wahl.setInteger("Auswertung_Tage_Anzahl", kTage);
    wahl.setText("Auswertung_H_S_R", "A");
    wahl.post();
    wahl.edit();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    const QDir ausgabe(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(ausgabe.path());
    QTemporaryDir temp;
    spinalyst::app::Anwendung programm(temp.path().toStdString());
    programm.ui.setInformHandler(
        [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });
    programm.ui.setConfirmHandler([](const QString& text) {
        std::fprintf(stderr, "question: %s\n", qPrintable(text));
        return true;
    });
    auto& fenster = programm.hauptfenster;
    fenster.show();
    if (!QTest::qWaitForWindowExposed(&fenster)) {
        std::fprintf(stderr, "window not exposed\n");
        return 1;
    }
    try {
        monat(fenster.kontext());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sample data: %s\n", e.what());
        return 1;
    }
    QTest::qWait(200);
    auto* bereich = fenster.diagramme();
    const auto auswerten = [&] {
        einstellen(fenster.kontext());
        fenster.findChild<QPushButton*>(QStringLiteral("BitBtn_Berechnung_Permanenz_Auswertung"))
            ->click();
        QTest::qWait(100);
        // The first event of the list (red), whose series and absences the chart shows.
        auto* liste = fenster.findChild<spinalyst::binding::CursorGrid*>(
            QStringLiteral("DBGrid_Ereignisse_Auswertung"));
        liste->selectRow(0);
        QTest::qWait(100);
        fenster.findChild<QPushButton*>(QStringLiteral("BitBtn_Berechnung_System_Auswertung"))
            ->click();
        QTest::qWait(300);
    };
    const auto fotos = [&](const QString& sprache) {
        // The whole screen: the main window with the charts as the player sees them.
        QTest::qWait(300);
        QGuiApplication::primaryScreen()->grabWindow(0).save(
            ausgabe.filePath(QStringLiteral("bildschirm-%1.png").arg(sprache)));
        bereich->setFloating(true);
        bereich->resize(1100, 640);
        QTest::qWait(300);
        bereich->reiter()->setCurrentIndex(0);
        QTest::qWait(200);
        bereich->grab().save(
            ausgabe.filePath(QStringLiteral("diagramm-system-%1.png").arg(sprache)));
        bereich->reiter()->setCurrentIndex(1);
        QTest::qWait(200);
        bereich->grab().save(
            ausgabe.filePath(QStringLiteral("diagramm-permanenz-%1.png").arg(sprache)));
        bereich->setFloating(false);
        QTest::qWait(200);
    };
    auswerten();
    fotos(QStringLiteral("de"));
    fenster.MenuItem_Sprache_EnglischClick(nullptr);
    QTest::qWait(200);
    // The language switch runs the selection change, which clears the results: evaluate again.
    auswerten();
    fotos(QStringLiteral("en"));
    return 0;
}
