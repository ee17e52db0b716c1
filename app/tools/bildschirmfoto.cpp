// Development tool: starts the main window on a fresh program directory with a little sample
// data (one casino, a day of coups, day results, one system with bets) and saves screenshots
// of every window in German and in English: the main window (also in details mode and in
// information mode), the casino window, the events overview, the event choice, a question and
// the file dialog.
// Usage: spinalyst_bildschirmfoto <output directory> [program directory]
// Run under a real display (e.g. xvfb-run -s "-screen 0 1366x768x24") to see the real layout.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "app/anwendung.h"
#include "app/core/texte.h"
#include "store/referenzdaten.h"

using spinalyst::store::Date;
using spinalyst::store::makeRow;
using spinalyst::store::TableCursor;
using spinalyst::store::Value;

namespace {

void beispieldaten(spinalyst::store::DataModule_Roulette& dm) {
    TableCursor& casino = dm.TdbTable_Casino;
    casino.appendRecord(makeRow(casino.table(), {{"ID_Casino", 1},
                                                 {"Casino_Name", "Casino Nord"},
                                                 {"Casino_In_Liste", "x"},
                                                 {"Zufallsgenerator_Coups", 0},
                                                 {"Zufallsgenerator", "f"}}));
    const int idCasino = static_cast<int>(casino.rowid());
    const Date tag = dm.TdbTable_Wahl.date("Datum");

    TableCursor& wahl = dm.TdbTable_Wahl;
    if (!wahl.isEditing()) {
        wahl.edit();
    }
    wahl.setInteger("ID_Casino", idCasino);
    wahl.setText("Tisch", "T 01");
    wahl.post();

    const int zahlen[] = {17, 32, 0, 5, 5, 21, 12, 34, 9, 26, 3, 36, 14, 8, 19, 23, 1, 30};
    const int saetze[] = {0, 1, 2, 1, 1, 2, 4, 1, 0, 0, 1, 2, 1, 2, 4, 8, 1, 1};
    int gv = 0;
    int i = 0;
    TableCursor& permanenz = dm.TdbTable_Permanenz;
    for (int zahl : zahlen) {
        const int satz = saetze[i++];
        const bool treffer = zahl != 0 && (zahl % 2 == 0);
        if (satz > 0) {
            gv += treffer ? satz : -satz;
        }
        permanenz.appendRecord(
            makeRow(permanenz.table(), {{"ID_Casino", idCasino},
                                        {"Tisch", "T 01"},
                                        {"Datum", tag},
                                        {"Zahl", zahl},
                                        {"Angriff_Satz", satz > 0 ? Value(satz) : Value()},
                                        {"Gewinn_Verlust", satz > 0 ? Value(gv) : Value()}}));
    }
    permanenz.appendRecord(
        makeRow(permanenz.table(),
                {{"ID_Casino", idCasino}, {"Tisch", "T 01"}, {"Datum", tag}, {"Angriff_Satz", 2}}));
    const int letzterCoup = static_cast<int>(permanenz.rowid());

    TableCursor& tage = dm.TdbTable_Permanenz_Tag_Zusammenfassung;
    const int tagGv[] = {12, -7, 4, 0, 9, -15, 6, 3, -2, gv};
    int summe = 0;
    int coups = 0;
    for (int t = 0; t < 10; ++t) {
        summe += tagGv[t];
        coups += 60 + t;
        tage.appendRecord(
            makeRow(tage.table(), {{"ID_Casino", idCasino},
                                   {"Tisch", "T 01"},
                                   {"Datum", tag.addDays(t - 9)},
                                   {"ID_System_aktuell", 1},
                                   {"Gewinn_Verlust", tagGv[t]},
                                   {"Gewinn_Maximal", tagGv[t] > 0 ? tagGv[t] + 3 : 2},
                                   {"Verlust_Maximal", tagGv[t] < 0 ? tagGv[t] - 4 : -3},
                                   {"Coups_Anzahl", 60 + t},
                                   {"Angriffe", 5 + t % 4}}));
    }
    TableCursor& gesamt = dm.TdbTable_Permanenz_Tag_Zusammenfassung_G;
    gesamt.appendRecord(makeRow(gesamt.table(), {{"ID_Casino", idCasino},
                                                 {"Tisch", "T 01"},
                                                 {"Tage", 10},
                                                 {"ID_System_aktuell", 1},
                                                 {"Gewinn_Verlust", summe},
                                                 {"Gewinn_Maximal", 15},
                                                 {"Verlust_Maximal", -19},
                                                 {"Coups_Anzahl", coups},
                                                 {"Angriffe", 62}}));

    TableCursor& systeme = dm.TdbTable_Systeme;
    const char* namen[] = {"Rot nach zweimal Schwarz", "Dutzend-Rückstand", "Serie Pair"};
    int idSystem = 0;
    for (int n = 0; n < 3; ++n) {
        systeme.appendRecord(makeRow(systeme.table(), {{"ID_Instanz", 1},
                                                       {"ID_System_Nummer", n + 1},
                                                       {"ID_System_Art", 1},
                                                       {"ID_System_Chancen", 1},
                                                       {"System_Name", namen[n]},
                                                       {"System_Online_Aktiv", n == 0 ? "x" : ""},
                                                       {"Systemaenderung_erfolgt", "f"},
                                                       {"Systemangriff_Beendung_Einzeln_Alle", "t"},
                                                       {"Systemangriff", 0}}));
        if (n == 0) {
            idSystem = static_cast<int>(systeme.rowid());
        }
    }
    systeme.first();

    TableCursor& daten = dm.TdbTable_System_Daten;
    daten.appendRecord(makeRow(daten.table(), {{"ID_System", idSystem},
                                               {"ID_Instanz", 1},
                                               {"ID_Ereignis_Haeufigkeit", 2},
                                               {"Haeufigkeit_Anzahl_von", 2},
                                               {"Haeufigkeit_Anzahl_bis", 6},
                                               {"Haeufigkeit_ungleich", "f"},
                                               {"Haeufigkeit_Coups_zurueck_von", 1},
                                               {"Haeufigkeit_Coups_zurueck_bis", 12},
                                               {"Haeufigkeit_vor_Ereignisfolge", "t"},
                                               {"Haeufigkeit_Filterung_aktiv", "t"},
                                               {"Serien_ungleich", "f"},
                                               {"Serien_vor_Ereignisfolge", "f"},
                                               {"Serien_Filterung_aktiv", "f"},
                                               {"Rueckstaendigkeit_ungleich", "f"},
                                               {"Rueckstaendigkeit_vor_Ereignisfolge", "f"},
                                               {"Rueckstaendigkeit_Filterung_aktiv", "f"},
                                               {"Ereignisfolge_ungleich", "f"},
                                               {"Ereignisfolge_Filterung_aktiv", "f"},
                                               {"Setzart", "E"}}));
    TableCursor& folge = dm.TdbTable_System_Ereignisse;
    for (const auto& [ereignis, angriff] :
         {std::pair{2, ""}, std::pair{2, ""}, std::pair{1, "x"}}) {
        folge.appendRecord(makeRow(folge.table(), {{"ID_System", idSystem},
                                                   {"ID_Instanz", 1},
                                                   {"ID_Ereignis", ereignis},
                                                   {"Angriff", angriff}}));
    }
    TableCursor& angriffe = dm.TdbTable_System_Angriffe;
    const int stufen[] = {1, 2, 4, 8, 16};
    for (int s = 0; s < 5; ++s) {
        angriffe.appendRecord(makeRow(angriffe.table(), {{"ID_System", idSystem},
                                                         {"ID_Instanz", 1},
                                                         {"ID_Angriff", std::to_string(s + 1)},
                                                         {"Satz", stufen[s]}}));
    }
    angriffe.first();

    TableCursor& wetten = dm.TdbTable_Systeme_Abarbeitung;
    wetten.appendRecord(makeRow(wetten.table(), {{"Permanenz_ID_Zahl", letzterCoup},
                                                 {"ID_System", idSystem},
                                                 {"ID_Instanz", 1},
                                                 {"ID_Ereignis", 1},
                                                 {"Satz", 2}}));

    // A frequency list as an evaluation of the corners (8 : 1, the longest event names) leaves
    // it; the windows of the events show that chance too.
    wahl.edit();
    wahl.setInteger("ID_Chancen_Auswertung", 8);
    wahl.post();
    TableCursor& ereignisse = dm.TdbTable_Ereignisse;
    ereignisse.refresh();
    std::vector<std::pair<Value, int>> zaehlung;
    for (ereignisse.first(); !ereignisse.isEmpty() && !ereignisse.eof(); ereignisse.next()) {
        zaehlung.emplace_back(ereignisse.value("ID_Ereignis"),
                              1 + static_cast<int>(ereignisse.integer("ID_Ereignis") % 5));
    }
    for (const auto& [id, n] : zaehlung) {
        if (ereignisse.locate("ID_Ereignis", {id})) {
            ereignisse.edit();
            ereignisse.setInteger("Zahlen_Anzahl", n);
            ereignisse.setText("Zahlen_Prozent",
                               QLocale().toString(n * 100.0 / 18, 'f', 1).toStdString() + "%");
            ereignisse.post();
        }
    }
    dm.TdbQuery_Ereignisse_Haeufigkeit.setSql(
        "SELECT * FROM Ereignisse WHERE ID_Gruppe_Ereignis = 8 ORDER BY ID_Ereignis");
    dm.TdbQuery_Ereignisse_Haeufigkeit.open();
}

// Saves the modal window `oeffnen` shows (once it has settled) and closes it.
void modalFotografieren(const QString& datei, const std::function<void()>& oeffnen) {
    QTimer::singleShot(400, [datei] {
        QWidget* fenster = QApplication::activeModalWidget();
        if (fenster == nullptr) {
            std::fprintf(stderr, "no window for %s\n", qPrintable(datei));
            return;
        }
        fenster->grab().save(datei);
        if (auto* box = qobject_cast<QMessageBox*>(fenster)) {
            box->button(QMessageBox::No) != nullptr ? box->button(QMessageBox::No)->click()
                                                    : box->accept();
        } else if (auto* dialog = qobject_cast<QDialog*>(fenster)) {
            dialog->reject();
        } else {
            fenster->close();
        }
    });
    oeffnen();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output directory> [program directory]\n", argv[0]);
        return 2;
    }
    const QString ausgabe = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(ausgabe);
    QTemporaryDir temp;
    const QString verzeichnis = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temp.path();
    auto datei = [&ausgabe](const QString& name) { return QDir(ausgabe).filePath(name); };

    QApplication::setApplicationName(QString::fromUtf8(spinalyst::app::kAnwendungstitel));
    spinalyst::app::Anwendung programm(verzeichnis.toStdString());
    programm.ui.setInformHandler(
        [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });
    auto& fenster = programm.hauptfenster;
    fenster.show();
    if (!QTest::qWaitForWindowExposed(&fenster)) {
        std::fprintf(stderr, "window not exposed\n");
        return 1;
    }
    try {
        beispieldaten(programm.dataModule);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sample data: %s\n", e.what());
    }
    QTest::qWait(300);
    auto* details = fenster.findChild<QCheckBox*>(QStringLiteral("CheckBox_Systemdetails"));
    auto* information = fenster.findChild<QAction*>(QStringLiteral("MenuItem_Systeme_Information"));
    auto aktion = [&fenster](const char* name) {
        return fenster.findChild<QAction*>(QString::fromLatin1(name));
    };

    for (const bool englisch : {false, true}) {
        const QString sprache = englisch ? QStringLiteral("en") : QStringLiteral("de");
        // The language alone: the selection change of the switch would reset the sample's
        // results.
        programm.sitzung.sprache =
            englisch ? spinalyst::store::Sprache::Englisch : spinalyst::store::Sprache::Deutsch;
        fenster.Sprache_Anwenden();
        // The bet signals belong to the last coup.
        programm.dataModule.TdbTable_Permanenz.last();
        QTest::qWait(300);
        // A number being typed, to show the size of the digits.
        auto* zahl = fenster.findChild<QLineEdit*>(QStringLiteral("DBEdit_Permanenz_Zahl"));
        zahl->setText(QStringLiteral("17"));
        fenster.grab().save(datei("screenshot-" + sprache + ".png"));
        zahl->clear();

        // The system panel in details mode and in information mode.
        if (details && information) {
            if (!details->isChecked()) {
                details->click();
            }
            QTest::qWait(200);
            fenster.grab().save(datei("screenshot-details-" + sprache + ".png"));
            // The event choice, opened by the "H" of the filter rows.
            modalFotografieren(datei("screenshot-wahl-ereignis-" + sprache + ".png"),
                               [&] { aktion("MenuItem_Systeme_Haeufigkeit")->trigger(); });
            details->click();
            information->trigger();
            QTest::qWait(200);
            fenster.grab().save(datei("screenshot-information-" + sprache + ".png"));
            information->trigger();
            QTest::qWait(200);
        }
    }
    // The file dialog opens in the program directory, beside a month to import.
    QDir::setCurrent(verzeichnis);
    QFile monat(QDir(verzeichnis).filePath(QStringLiteral("Casino_Nord_2026-12.txt")));
    if (monat.open(QIODevice::WriteOnly)) {
        monat.write("01.12.2026\n17\n32\n0\n-\n-\n");
        monat.close();
    }
    // The other windows and a question of the program. (The casino window ends number entry,
    // which drops the sample's open coup: these come last.)
    for (const bool englisch : {false, true}) {
        const QString sprache = englisch ? QStringLiteral("en") : QStringLiteral("de");
        programm.sitzung.sprache =
            englisch ? spinalyst::store::Sprache::Englisch : spinalyst::store::Sprache::Deutsch;
        fenster.Sprache_Anwenden();
        modalFotografieren(datei("screenshot-casino-" + sprache + ".png"),
                           [&] { aktion("MenuItem_Casinos")->trigger(); });
        modalFotografieren(datei("screenshot-ereignisse-" + sprache + ".png"),
                           [&] { aktion("MenuItem_Ereignisse_Ueberblick")->trigger(); });
        modalFotografieren(datei("screenshot-frage-" + sprache + ".png"), [&] {
            programm.ui.confirmDeletion(englisch ? "Delete record?" : "Datensatz löschen?");
        });
        modalFotografieren(datei("screenshot-datei-" + sprache + ".png"),
                           [&] { programm.ui.chooseFile("Text (*.txt)"); });
    }
    std::printf("%dx%d\n", fenster.width(), fenster.height());
    fenster.close();
    return 0;
}
