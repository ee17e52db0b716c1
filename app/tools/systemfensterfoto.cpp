// Development tool: screenshots of the evaluations overview, of the parameter windows of the two
// individual rules and of the data-mining window, in German and in English, over sample rows.
// Usage: spinalyst_systemfensterfoto <output directory>
// Run under a real display (e.g. xvfb-run -s "-screen 0 1366x768x24") to see the real layout.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/anwendung.h"
#include "capture/auswahl.h"
#include "store/sqlite.h"
#include "systems/system.h"

using spinalyst::store::Date;
using spinalyst::store::Value;

namespace {

// A casino with its name, a system with four evaluations and the details mode used since, and
// the two individual systems of chance class 1 with their parameters.
void beispiele(spinalyst::kern::Kontext& k) {
    auto& dm = k.dm;
    spinalyst::capture::BitBtn_NeuClick(k);
    auto& casino = dm.TdbTable_Casino;
    casino.setText("Casino_Name", "Casino Nord");
    casino.post();
    spinalyst::capture::BitBtn_OKClick(k);

    spinalyst::systems::System_Art_Chancen_Waehlen(k, spinalyst::systems::kArtStandard, 1);
    const int system = spinalyst::systems::MenuItem_Systeme_AufnahmeClick(k);
    auto& systeme = dm.TdbTable_Systeme;
    systeme.setText("System_Name", "Rot nach 2x Schwarz");
    systeme.post();
    const Date bis = k.sitzung.gewaehlter_tag;
    const struct {
        const char* casino;
        const char* tisch;
        int ende, tage, positiv, gv, max, min, coups, angriffe;
    } zeilen[] = {
        {"Casino Nord", "T 01", 0, 10, 7, 48, 21, -12, 4012, 611},
        {"Casino Nord", "T 01", -10, 20, 11, 17, 25, -31, 8125, 1243},
        {"Casino Nord", "T 02", 0, 31, 19, 102, 33, -28, 12388, 1874},
        {"Spielbank am See", "T 1", -3, 5, 2, -23, 9, -18, 1977, 305},
    };
    for (const auto& z : zeilen) {
        spinalyst::store::execute(
            dm.TdbDatabase_Roulette.connection(),
            "INSERT INTO Systeme_Auswertungen_Ueberblick (ID_System, ID_Casino, Tisch, Datum_von, "
            "Datum_bis, Casino_Name, Tage, Tage_positiv, Gewinn_Verlust, Gewinn_Maximal, "
            "Verlust_Maximal, Coups_Anzahl, Angriffe) VALUES (?, 1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?)",
            {Value(system), Value(z.tisch), Value(bis.addDays(z.ende + 1 - z.tage)),
             Value(bis.addDays(z.ende)), Value(z.casino), Value(z.tage), Value(z.positiv),
             Value(z.gv), Value(z.max), Value(z.min), Value(z.coups), Value(z.angriffe)});
    }
    dm.TdbTable_Systeme_Auswertungen_Ueberblick.refresh();
    spinalyst::systems::CheckBox_SystemdetailsClick(k, true);
    spinalyst::systems::Systemdetails_Aus(k);

    spinalyst::systems::System_Art_Chancen_Waehlen(k, spinalyst::systems::kArtIndividuell, 1);
    for (int regel = 1; regel <= 2; ++regel) {
        spinalyst::systems::MenuItem_Systeme_AufnahmeClick(k);
        auto& daten =
            regel == 1 ? dm.TdbTable_Individuell_Daten_1 : dm.TdbTable_Individuell_Daten_2;
        daten.append();
        daten.setInteger("Anzahl_Ereignisse", regel == 1 ? 2 : 3);
        daten.setInteger("Chance", 1);
        if (regel == 1) {
            daten.setInteger("Anzahl_Coups_zurueck", 10);
            daten.setInteger("Anzahl_Coups_rueckstaendig", 2);
        }
        daten.post();
    }

    // A data-mining system: frequency and series complete, absence without its window; the
    // options of a search over the frequency event's class with sequences of two events.
    spinalyst::systems::System_Art_Chancen_Waehlen(k, spinalyst::systems::kArtDataMining, 1);
    spinalyst::systems::MenuItem_Systeme_AufnahmeClick(k);
    const auto info = [&dm](int ereignis) {
        spinalyst::store::Statement s(dm.TdbDatabase_Roulette.connection(),
                                      "SELECT Ereignis_Info FROM Ereignisse WHERE ID_Ereignis = ?");
        s.bind(1, Value(ereignis));
        return s.step() ? s.text(0) : std::string();
    };
    // The event texts are written past the cursors, as choosing the events would.
    spinalyst::store::execute(
        dm.TdbDatabase_Roulette.connection(),
        "UPDATE System_Daten SET Haeufigkeit_Anzahl_von = 1, Haeufigkeit_Anzahl_bis = 3, "
        "Haeufigkeit_Coups_zurueck_von = 1, Haeufigkeit_Coups_zurueck_bis = 12, "
        "ID_Ereignis_Haeufigkeit = 3, Ereignis_Haeufigkeit_Info = ?, Serien_Anzahl_von = 1, "
        "Serien_Anzahl_bis = 3, Serien_von = 1, Serien_bis = 3, Serien_Coups_zurueck_von = 1, "
        "Serien_Coups_zurueck_bis = 20, ID_Ereignis_Serien = 1, Ereignis_Serien_Info = ?, "
        "Rueckstaendigkeit_Anzahl_von = 1, ID_Ereignis_Rueckstaendigkeit = 14, "
        "Ereignis_Rueckstaendigkeit_Info = ? WHERE ID_System = ? AND ID_Instanz = 1",
        {Value(info(3)), Value(info(1)), Value(info(14)),
         dm.TdbTable_Systeme.value("ID_System_AutoInc")});
    spinalyst::systems::Systemcursoren_Auffrischen(dm);
    auto& wahl = dm.TdbTable_Wahl;
    for (const char* f :
         {"DM_Chancen_1", "DM_Chancen_2", "DM_Haeufigkeit_aktiv", "DM_Haeufigkeit_Ereignisse_alle",
          "DM_Serien_aktiv", "DM_Ereignisfolge_51", "DM_Ereignisfolge_ungleich"}) {
        wahl.setText(f, "t");
    }
    for (const char* f : {"DM_Tage_uebergreifend", "DM_Chancen_5", "DM_Chancen_8", "DM_Chancen_11",
                          "DM_Chancen_17", "DM_Chancen_35", "DM_Serien_Ereignisse_alle",
                          "DM_Rueckstaendigkeit_aktiv", "DM_Rueckstaendigkeit_Ereignisse_alle"}) {
        wahl.setText(f, "f");
    }
    wahl.setInteger("DM_Ereignisfolge_Anzahl", 2);
    wahl.setDate("DM_Datum_von", bis.addDays(-29));
    wahl.setDate("DM_Datum_bis", bis);
    wahl.post();
}

// Opens a modal window through `oeffnen`, saves a picture of it and closes it.
void foto(spinalyst::app::Form_Anwendung_Roulette& haupt, const char* name,
          const std::function<void()>& oeffnen, const QString& datei) {
    QTimer::singleShot(300, [&haupt, name, datei] {
        auto* d = haupt.findChild<QDialog*>(QString::fromLatin1(name));
        if (d == nullptr || !d->isVisible()) {
            std::fprintf(stderr, "%s not shown\n", name);
            return;
        }
        // The picture of the window has no frame: its caption is drawn above it as a title bar.
        const QPixmap inhalt = d->grab();
        const int hoehe = d->fontMetrics().height() + 12;
        QPixmap bild(inhalt.width(), inhalt.height() + hoehe);
        bild.fill(QColor(60, 60, 70));
        QPainter maler(&bild);
        maler.setPen(Qt::white);
        maler.setFont(d->font());
        maler.drawText(QRect(4, 0, inhalt.width() - 8, hoehe), Qt::AlignVCenter | Qt::AlignLeft,
                       d->windowTitle());
        maler.drawPixmap(0, hoehe, inhalt);
        maler.end();
        bild.save(datei);
        d->accept();
    });
    oeffnen();
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
    programm.ui.setConfirmHandler([](const QString&) { return true; });
    auto& haupt = programm.hauptfenster;
    haupt.show();
    if (!QTest::qWaitForWindowExposed(&haupt)) {
        std::fprintf(stderr, "window not exposed\n");
        return 1;
    }
    auto& k = haupt.kontext();
    try {
        beispiele(k);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sample data: %s\n", e.what());
        return 1;
    }
    for (const char* sprache : {"de", "en"}) {
        // As on a machine set up for the language: the decimal separator follows the locale.
        if (QLatin1String(sprache) == QLatin1String("en")) {
            QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
            haupt.MenuItem_Sprache_EnglischClick(nullptr);
        } else {
            QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        }
        spinalyst::systems::System_Art_Chancen_Waehlen(k, spinalyst::systems::kArtStandard, 1);
        foto(
            haupt, "Form_Systeme_Auswertung_Ueberblick",
            [&] {
                haupt.findChild<QPushButton*>(QStringLiteral("BitBtn_Gesamtauswertungen"))->click();
            },
            ausgabe.filePath(QStringLiteral("screenshot-ueberblick-%1.png").arg(sprache)));
        spinalyst::systems::System_Art_Chancen_Waehlen(k, spinalyst::systems::kArtIndividuell, 1);
        for (int regel = 1; regel <= 2; ++regel) {
            k.dm.TdbTable_Systeme.locate("ID_System_Nummer", {Value(regel)});
            const QString name = QStringLiteral("Form_Individuell_Satzsignale_%1").arg(regel);
            foto(
                haupt, qPrintable(name),
                [&] {
                    haupt
                        .findChild<QAction*>(
                            QStringLiteral("MenuItem_Individuell_Satzsignale_%1").arg(regel))
                        ->trigger();
                },
                ausgabe.filePath(
                    QStringLiteral("screenshot-individuell-%1-%2.png").arg(regel).arg(sprache)));
        }
        spinalyst::systems::System_Art_Chancen_Waehlen(k, spinalyst::systems::kArtDataMining, 1);
        foto(
            haupt, "Form_Data_Mining",
            [&] { haupt.findChild<QAction*>(QStringLiteral("MenuItem_DataMining"))->trigger(); },
            ausgabe.filePath(QStringLiteral("screenshot-datamining-%1.png").arg(sprache)));
    }
    return 0;
}
