// Development tool: a month of random permanence (31 days of 400 coups), a betting system on it,
// a system evaluation of the last 10 days through the "(System)" button, and screenshots of the
// main window afterwards in German and in English. Prints how long the evaluation took.
// Usage: spinalyst_systemfoto <output directory>
// Run under a real display (e.g. xvfb-run -s "-screen 0 1366x768x24") to see the real layout.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <string>

#include "app/anwendung.h"
#include "app/form_online_spiel.h"
#include "capture/auswahl.h"
#include "capture/zufall.h"
#include "store/bulk_writer.h"
#include "store/referenzdaten.h"
#include "systems/system.h"

using spinalyst::store::Date;
using spinalyst::store::makeRow;
using spinalyst::store::TableCursor;
using spinalyst::store::Value;

namespace {

constexpr int kTage = 31;
constexpr int kCoups = 400;

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

    // "Rot nach 2x Schwarz": after two black coups, red with a three-step progression 1, 2, 4,
    // only when black came at least 4 times in the 12 coups before the trigger.
    spinalyst::systems::MenuItem_Systeme_AufnahmeClick(k);
    TableCursor& systeme = dm.TdbTable_Systeme;
    systeme.edit();
    systeme.setText("System_Name", "Rot nach 2x Schwarz");
    systeme.post();
    TableCursor& daten = dm.TdbTable_System_Daten;
    daten.edit();
    daten.setInteger("ID_Ereignis_Haeufigkeit", 2);
    daten.setInteger("Haeufigkeit_Anzahl_von", 4);
    daten.setInteger("Haeufigkeit_Anzahl_bis", 12);
    daten.setInteger("Haeufigkeit_Coups_zurueck_von", 1);
    daten.setInteger("Haeufigkeit_Coups_zurueck_bis", 12);
    daten.setText("Haeufigkeit_vor_Ereignisfolge", "t");
    daten.setText("Haeufigkeit_Filterung_aktiv", "t");
    daten.post();
    const Value system = systeme.value("ID_System_AutoInc");
    TableCursor& folge = dm.TdbTable_System_Ereignisse;
    for (const auto& [ereignis, angriff] :
         {std::pair{2, ""}, std::pair{2, ""}, std::pair{1, "x"}}) {
        folge.appendRecord(makeRow(folge.table(), {{"ID_System", system},
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
    wahl.edit();
    wahl.setInteger("System_Tage_Anzahl", 10);
    wahl.post();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    const QString ausgabe = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(ausgabe);
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
    QElapsedTimer uhr;
    uhr.start();
    fenster.findChild<QPushButton*>(QStringLiteral("BitBtn_Berechnung_System_Auswertung"))->click();
    std::fprintf(stderr, "evaluation of 10 days (%d coups each): %lld ms\n", kCoups,
                 static_cast<long long>(uhr.elapsed()));
    QTest::qWait(300);
    fenster.grab().save(QDir(ausgabe).filePath(QStringLiteral("systemauswertung-de.png")));
    fenster.MenuItem_Sprache_EnglischClick(nullptr);
    QTest::qWait(300);
    // The language switch runs the selection change, which clears the results: evaluate again.
    fenster.findChild<QPushButton*>(QStringLiteral("BitBtn_Berechnung_System_Auswertung"))->click();
    QTest::qWait(300);
    fenster.grab().save(QDir(ausgabe).filePath(QStringLiteral("systemauswertung-en.png")));

    // Online play after a few numbers: black, black brings the signal, which then runs on.
    for (const QString& sprache : {QStringLiteral("en"), QStringLiteral("de")}) {
        if (sprache == QStringLiteral("de")) {
            fenster.MenuItem_Sprache_DeutschClick(nullptr);
            QTest::qWait(200);
        }
        fenster.MenuItem_Online_SpielClick();
        QWidget* online = fenster.onlineFenster();
        if (online == nullptr) {
            std::fprintf(stderr, "online play did not open\n");
            return 1;
        }
        auto* zahl = online->findChild<QLineEdit*>(QStringLiteral("DBEdit_Permanenz_Zahl"));
        QElapsedTimer schritt;
        for (const char* z : {"2", "4", "6", "11"}) {
            QTest::keyClicks(zahl, QString::fromLatin1(z));
            schritt.start();
            QTest::keyClick(zahl, Qt::Key_Return);
            std::fprintf(stderr, "online step %s: %lld ms\n", z,
                         static_cast<long long>(schritt.elapsed()));
        }
        QTest::qWait(300);
        online->grab().save(QDir(ausgabe).filePath(QStringLiteral("online-%1.png").arg(sprache)));
        online->close();
        QTest::qWait(100);
    }
    return 0;
}
