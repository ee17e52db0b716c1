// Development tool: a month of permanence (31 days of 400 coups) from a wheel on which 17 falls
// a little too often, a permanence evaluation of the whole month in mode "A", and screenshots of
// the main window in German and in English: the numbers with what a fair wheel gives beside
// their hits, the series and the absences of red with their expected counts.
// Usage: spinalyst_statistikfoto <output directory>
// Run under a real display (e.g. xvfb-run -s "-screen 0 1366x768x24") to see the real layout.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <string>

#include "app/anwendung.h"
#include "capture/auswahl.h"
#include "capture/zufall.h"
#include "events/ereignisse.h"
#include "store/bulk_writer.h"
#include "store/referenzdaten.h"

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
    spinalyst::capture::Zufallsgenerator schief(17);
    {
        spinalyst::store::BulkWriter w(dm.TdbDatabase_Roulette);
        auto& coup = w.insert("Permanenz", {"ID_Casino", "Tisch", "Datum", "Zahl"});
        auto& tag = w.insert("Permanenz_Tag_Zusammenfassung",
                             {"ID_Casino", "Tisch", "Datum", "Coups_Anzahl"});
        for (int t = kTage - 1; t >= 0; --t) {
            const Date d = bis.addDays(-t);
            for (int c = 0; c < kCoups; ++c) {
                // About one coup in 74 the wheel drops into 17 whatever the ball did.
                const int zahl = schief.naechsteZahl() == 0 && schief.naechsteZahl() % 2 == 0
                                     ? 17
                                     : zufall.naechsteZahl();
                coup.write({idCasino, Value("T 01"), Value(d), Value(zahl)});
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
}

// The evaluation settings as the player types them: the whole month, mode "A".
void einstellen(spinalyst::kern::Kontext& k) {
    TableCursor& wahl = k.dm.TdbTable_Wahl;
    if (!wahl.isEditing()) {
        wahl.edit();
    }
    wahl.setInteger("Auswertung_Tage_Anzahl", kTage);
    wahl.setText("Auswertung_H_S_R", "A");
    wahl.post();
}

void chance(spinalyst::app::Form_Anwendung_Roulette& fenster, int klasse) {
    auto& k = fenster.kontext();
    TableCursor& wahl = k.dm.TdbTable_Wahl;
    if (!wahl.isEditing()) {
        wahl.edit();
    }
    wahl.setInteger("ID_Chancen_Auswertung", klasse);
    wahl.post();
    spinalyst::events::DBLookupComboBox_Chancen_PermanenzCloseUp(k);
}

void anzeige(spinalyst::app::Form_Anwendung_Roulette& fenster, const char* modus) {
    auto* liste = fenster.findChild<QComboBox*>(
        QStringLiteral("DBComboBox_Haufigkeit_Serien_Rueckstaendigkeit"));
    const int i = liste->findText(QString::fromLatin1(modus));
    liste->setCurrentIndex(i);
    emit liste->activated(i);
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
    fenster.resize(1366, 740);
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
    auto* rechnen =
        fenster.findChild<QPushButton*>(QStringLiteral("BitBtn_Berechnung_Permanenz_Auswertung"));
    auto foto = [&](const QString& name) {
        QTest::qWait(300);
        fenster.grab().save(QDir(ausgabe).filePath(name));
    };
    for (const QString& sprache : {QStringLiteral("de"), QStringLiteral("en")}) {
        if (sprache == QStringLiteral("en")) {
            // The language switch runs the selection change, which clears the results.
            fenster.MenuItem_Sprache_EnglischClick(nullptr);
        }
        einstellen(fenster.kontext());
        QTest::qWait(200);
        QElapsedTimer uhr;
        uhr.start();
        rechnen->click();
        std::fprintf(stderr, "evaluation of %d days (%d coups each): %lld ms\n", kTage, kCoups,
                     static_cast<long long>(uhr.elapsed()));
        chance(fenster, 35);
        // The hot number in view.
        if (auto* liste =
                fenster.findChild<QTableView*>(QStringLiteral("DBGrid_Ereignisse_Auswertung"))) {
            liste->scrollTo(liste->model()->index(17 + 4, 0), QAbstractItemView::PositionAtBottom);
        }
        foto(QStringLiteral("permanenz-zahlen-%1.png").arg(sprache));
        chance(fenster, 1);
        foto(QStringLiteral("permanenz-einfache-chancen-%1.png").arg(sprache));
        anzeige(fenster, "S");
        foto(QStringLiteral("permanenz-serien-%1.png").arg(sprache));
        anzeige(fenster, "R");
        foto(QStringLiteral("permanenz-rueckstaende-%1.png").arg(sprache));
    }
    return 0;
}
