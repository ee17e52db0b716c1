// Development tool: screenshots of the data-mining window before, during and after a run (the
// progress on the panel "Auswertung", the title with the run's summary), in German and English,
// over a generated permanence.
// Usage: spinalyst_dataminingfoto <output directory>
// Run under a real display (e.g. xvfb-run -s "-screen 0 1366x768x24") to see the real layout.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <vector>

#include "app/anwendung.h"
#include "capture/auswahl.h"
#include "store/sqlite.h"
#include "systems/system.h"

using spinalyst::store::Date;
using spinalyst::store::Value;

namespace {

constexpr int kTage = 10;
constexpr int kCoups = 400;

// A casino of kTage days of kCoups random coups up to the chosen day, and a data-mining system
// with a complete frequency filter on red; the options of a search over the frequency event's
// class with sequences of one "5:1" event and "<>", every chance class attacked.
void beispiele(spinalyst::kern::Kontext& k) {
    auto& dm = k.dm;
    spinalyst::capture::BitBtn_NeuClick(k);
    auto& casino = dm.TdbTable_Casino;
    casino.setText("Casino_Name", "Casino Nord");
    casino.post();
    spinalyst::capture::BitBtn_OKClick(k);
    auto& wahl = dm.TdbTable_Wahl;
    const Value idCasino = wahl.value("ID_Casino");
    const Value tisch = wahl.value("Tisch");
    const Date bis = k.sitzung.gewaehlter_tag;
    unsigned zufall = 1366;
    {
        spinalyst::store::TableCursor p("Fotopermanenz", dm.TdbDatabase_Roulette, "Permanenz");
        spinalyst::store::TableCursor t("Fototage", dm.TdbDatabase_Roulette,
                                        "Permanenz_Tag_Zusammenfassung");
        p.open();
        t.open();
        spinalyst::store::Transaction tx(dm.TdbDatabase_Roulette.connection());
        for (int d = kTage - 1; d >= 0; --d) {
            const Date tag = bis.addDays(-d);
            for (int i = 0; i < kCoups; ++i) {
                zufall = zufall * 1103515245u + 12345u;
                p.appendRecord({idCasino, tisch, tag, Value(),
                                Value(static_cast<std::int64_t>((zufall >> 16) % 37))});
            }
            t.append();
            t.setValue("ID_Casino", idCasino);
            t.setValue("Tisch", tisch);
            t.setDate("Datum", tag);
            t.setInteger("Coups_Anzahl", kCoups);
            t.post();
        }
        tx.commit();
    }
    spinalyst::capture::Casino_Tisch_DatumChange(k, spinalyst::capture::Ausloeser::Datumsauswahl);

    spinalyst::systems::System_Art_Chancen_Waehlen(k, spinalyst::systems::kArtDataMining, 1);
    spinalyst::systems::MenuItem_Systeme_AufnahmeClick(k);
    spinalyst::store::Statement info(dm.TdbDatabase_Roulette.connection(),
                                     "SELECT Ereignis_Info FROM Ereignisse WHERE ID_Ereignis = 3");
    const std::string rot = info.step() ? info.text(0) : std::string();
    spinalyst::store::execute(
        dm.TdbDatabase_Roulette.connection(),
        "UPDATE System_Daten SET Haeufigkeit_Anzahl_von = 2, Haeufigkeit_Anzahl_bis = 5, "
        "Haeufigkeit_Coups_zurueck_von = 1, Haeufigkeit_Coups_zurueck_bis = 8, "
        "ID_Ereignis_Haeufigkeit = 3, Ereignis_Haeufigkeit_Info = ? "
        "WHERE ID_System = ? AND ID_Instanz = 1",
        {Value(rot), dm.TdbTable_Systeme.value("ID_System_AutoInc")});
    spinalyst::systems::Systemcursoren_Auffrischen(dm);
    for (const char* f :
         {"DM_Chancen_1", "DM_Chancen_2", "DM_Chancen_5", "DM_Chancen_8", "DM_Chancen_11",
          "DM_Chancen_17", "DM_Chancen_35", "DM_Haeufigkeit_aktiv",
          "DM_Haeufigkeit_Ereignisse_alle", "DM_Ereignisfolge_51", "DM_Ereignisfolge_ungleich"}) {
        wahl.setText(f, "t");
    }
    for (const char* f : {"DM_Tage_uebergreifend", "DM_Serien_aktiv", "DM_Serien_Ereignisse_alle",
                          "DM_Rueckstaendigkeit_aktiv", "DM_Rueckstaendigkeit_Ereignisse_alle",
                          "DM_Ereignisfolge_11", "DM_Ereignisfolge_21"}) {
        wahl.setText(f, "f");
    }
    wahl.setInteger("DM_Ereignisfolge_Anzahl", 1);
    wahl.setDate("DM_Datum_von", bis.addDays(-(kTage - 1)));
    wahl.setDate("DM_Datum_bis", bis);
    wahl.post();
}

// The picture of a window without its frame, its caption drawn above it as a title bar.
void speichern(QDialog* d, const QString& datei) {
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
    std::fprintf(stderr, "%s\n", qPrintable(datei));
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
        if (QLatin1String(sprache) == QLatin1String("en")) {
            QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
            haupt.MenuItem_Sprache_EnglischClick(nullptr);
        } else {
            QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        }
        const auto datei = [&](const char* wann) {
            return ausgabe.filePath(QStringLiteral("datamining-%1-%2.png").arg(wann, sprache));
        };
        QTimer::singleShot(300, [&] {
            auto* d = haupt.findChild<QDialog*>(QStringLiteral("Form_Data_Mining"));
            if (d == nullptr || !d->isVisible()) {
                std::fprintf(stderr, "Form_Data_Mining not shown\n");
                return;
            }
            d->resize(d->width(), 460);
            speichern(d, datei("vorher"));
            auto* panel = d->findChild<QGroupBox*>(QStringLiteral("Panel_Auswertung"));
            QTimer blick;
            blick.setInterval(50);
            int gesehen = 0;
            QObject::connect(&blick, &QTimer::timeout, [&] {
                // The second caption: the estimate has settled a little.
                if (panel->title().contains(QStringLiteral("Coups")) && ++gesehen == 3) {
                    speichern(d, datei("waehrend"));
                    blick.stop();
                }
            });
            blick.start();
            d->findChild<QPushButton*>(QStringLiteral("BitBtn_Data_Mining"))->click();
            blick.stop();
            speichern(d, datei("nachher"));
            d->accept();
        });
        haupt.findChild<QAction*>(QStringLiteral("MenuItem_DataMining"))->trigger();
    }
    return 0;
}
