// Development tool: the data-mining window with the results of a search over a random month
// (31 days of 400 coups) shown and a pattern chosen, and the window "Ereignisfolgen", in German
// and in English.
// Usage: spinalyst_dataminingfoto <output directory>
// Run under a real display (e.g. xvfb-run -s "-screen 0 1366x768x24") to see the real layout.
#include <QAbstractItemView>
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
#include "capture/zufall.h"
#include "mining/lauf.h"
#include "store/bulk_writer.h"
#include "store/referenzdaten.h"
#include "store/sqlite.h"
#include "systems/system.h"

using spinalyst::store::Date;
using spinalyst::store::makeRow;
using spinalyst::store::TableCursor;
using spinalyst::store::Value;

namespace {

constexpr int kTage = 31;
constexpr int kCoups = 400;

// The month, a data-mining system of chance class 1 watching red with a complete frequency filter
// and black with a complete series filter, and a search over the month: both filters varied over
// their class, sequences of two "1:1" events with negation, attacks on classes 1 and 2.
void gemint(spinalyst::kern::Kontext& k) {
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
    wahl.setValue("ID_Casino", idCasino);
    wahl.setText("Tisch", "T 01");
    wahl.post();
    spinalyst::capture::Casino_Tisch_DatumChange(k, spinalyst::capture::Ausloeser::Datumsauswahl);

    spinalyst::systems::System_Art_Chancen_Waehlen(k, spinalyst::systems::kArtDataMining, 1);
    const std::int64_t system = spinalyst::systems::MenuItem_Systeme_AufnahmeClick(k);
    const auto info = [&dm](int ereignis) {
        spinalyst::store::Statement s(dm.TdbDatabase_Roulette.connection(),
                                      "SELECT Ereignis_Info FROM Ereignisse WHERE ID_Ereignis = ?");
        s.bind(1, Value(ereignis));
        return s.step() ? s.text(0) : std::string();
    };
    spinalyst::store::execute(
        dm.TdbDatabase_Roulette.connection(),
        "UPDATE System_Daten SET Haeufigkeit_Anzahl_von = 4, Haeufigkeit_Anzahl_bis = 8, "
        "Haeufigkeit_Coups_zurueck_von = 1, Haeufigkeit_Coups_zurueck_bis = 12, "
        "ID_Ereignis_Haeufigkeit = 3, Ereignis_Haeufigkeit_Info = ?, Serien_Anzahl_von = 1, "
        "Serien_Anzahl_bis = 2, Serien_von = 2, Serien_bis = 4, Serien_Coups_zurueck_von = 1, "
        "Serien_Coups_zurueck_bis = 20, ID_Ereignis_Serien = 4, Ereignis_Serien_Info = ? "
        "WHERE ID_System = ? AND ID_Instanz = 1",
        {Value(info(3)), Value(info(4)), Value(system)});
    spinalyst::systems::Systemcursoren_Auffrischen(dm);
    spinalyst::mining::Laufauftrag a;
    a.casino = idCasino.toInt64();
    a.tisch = "T 01";
    a.von = bis.addDays(-(kTage - 1));
    a.bis = bis;
    a.system = system;
    a.dezimaltrenner = ',';
    a.anpassen = [](spinalyst::mining::Parameter& p) {
        p.chancen = {true, true, false, false, false, false, false};
        p.filter[0] = {true, true};
        p.filter[1] = {true, false};
        p.filter[2] = {false, false};
        p.folgeAnzahl = 2;
        p.folge11 = true;
        p.folge21 = false;
        p.folge51 = false;
        p.folgeUngleich = true;
    };
    const auto e = spinalyst::mining::Data_Mining_Lauf(dm, a);
    std::fprintf(stderr, "mined: %lld rows\n", static_cast<long long>(e.zeilen));
    wahl.refresh();
    wahl.setInteger("DM_Chance", 1);
    wahl.setInteger("DM_Anzahl_Angriffe", 3);
    wahl.setText("DM_Art_Angriff", "E");
    wahl.setText("DM_Sortierung", "W");
    wahl.setInteger("DM_Sortierung_G_V_Minimum", 0);
    wahl.setDate("DM_Datum_von", a.von);
    wahl.setDate("DM_Datum_bis", a.bis);
    wahl.post();
}

// A picture of a window with its caption drawn above it as a title bar.
void speichern(QWidget* d, const QString& datei) {
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
}

QDialog* sichtbar(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name) && w->isVisible()) {
            return qobject_cast<QDialog*>(w);
        }
    }
    return nullptr;
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
        gemint(k);
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
        QTimer::singleShot(300, [&] {
            QDialog* d = sichtbar("Form_Data_Mining");
            if (d == nullptr) {
                d = haupt.findChild<QDialog*>(QStringLiteral("Form_Data_Mining"));
            }
            if (d == nullptr || !d->isVisible()) {
                std::fprintf(stderr, "Form_Data_Mining not shown\n");
                return;
            }
            d->findChild<QPushButton*>(QStringLiteral("BitBtn_Anzeige_Ergebnisse"))->click();
            auto* liste = d->findChild<QAbstractItemView*>(QStringLiteral("DBGrid_Auswertung"));
            liste->setFocus();
            QTest::keyClick(liste, Qt::Key_Down);
            QTest::keyClick(liste, Qt::Key_Down);
            QTest::qWait(100);
            speichern(
                d, ausgabe.filePath(QStringLiteral("datamining-ergebnisse-%1.png").arg(sprache)));
            QTimer::singleShot(300, [&] {
                QDialog* ef = sichtbar("Form_Data_Mining_Ereignisfolgen");
                if (ef == nullptr) {
                    std::fprintf(stderr, "Form_Data_Mining_Ereignisfolgen not shown\n");
                    return;
                }
                auto* arten =
                    ef->findChild<QAbstractItemView*>(QStringLiteral("DBGrid_Gleiche_Art"));
                arten->setFocus();
                QTest::keyClick(arten, Qt::Key_Down);
                auto* folgen = ef->findChild<QAbstractItemView*>(QStringLiteral("DBGrid_Folgen"));
                folgen->setFocus();
                QTest::keyClick(folgen, Qt::Key_Down);
                QTest::qWait(100);
                speichern(ef, ausgabe.filePath(
                                  QStringLiteral("datamining-ereignisfolgen-%1.png").arg(sprache)));
                ef->accept();
            });
            d->findChild<QPushButton*>(QStringLiteral("BitBtn_Anzeige_Ereignisfolgen"))->click();
            d->reject();
        });
        haupt.findChild<QAction*>(QStringLiteral("MenuItem_DataMining"))->trigger();
    }
    return 0;
}
