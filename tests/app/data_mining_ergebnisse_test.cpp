// The results side of the data-mining window as a player uses it, after a small mining run: the
// selection chosen with the keyboard, the list shown, a row's single-coup profile and back by
// double clicks, the pattern shown, the row taken over with Enter and the taken-over system then
// evaluated in the main window; and the window "Ereignisfolgen" walked with the keyboard and
// closed with Escape.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "app/anwendung.h"
#include "app/binding/cursor_grid.h"
#include "mining/lauf.h"
#include "store/sqlite.h"
#include "systems/system.h"
#include "tests/app/app_fixture.h"

using spinalyst::binding::CursorGrid;
using spinalyst::store::Date;

class DataMiningErgebnisseTest : public QObject, protected spinalyst::testing::AppFixture {
    Q_OBJECT

  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void init() { programmverzeichnisAnlegen(); }
    void cleanup() { programmBeenden(); }

    void showProfileAndTakeOverThenEvaluateTheSystem();
    void sequencesWindowWalkedWithTheKeyboard();

  private:
    template <typename T>
    static T* in(QWidget* d, const char* name) {
        T* w = d->findChild<T*>(QString::fromLatin1(name));
        if (w == nullptr) {
            qFatal("missing control %s", name);
        }
        return w;
    }
    // Runs the steps inside the modal window `name` once something opened it; fails when it did
    // not show.
    void imFenster(const char* name, const std::function<void()>& oeffnen,
                   const std::function<void(QDialog*)>& schritte) {
        bool gesehen = false;
        QWidget* vorher = QApplication::activeWindow();
        QTimer::singleShot(0, this, [&] {
            QDialog* d = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() == QLatin1String(name) && w->isVisible()) {
                    d = qobject_cast<QDialog*>(w);
                }
            }
            if (d == nullptr) {
                d = fenster().findChild<QDialog*>(QString::fromLatin1(name));
            }
            if (d == nullptr || !d->isVisible()) {
                return;
            }
            gesehen = true;
            QApplication::setActiveWindow(d);
            schritte(d);
            if (d->isVisible()) {
                d->reject();
            }
        });
        oeffnen();
        QVERIFY(gesehen);
        QApplication::setActiveWindow(vorher);
    }
    void menueKlicken() {
        QMenuBar* leiste = fenster().menuBar();
        QAction* punkt = muss<QAction>("MenuItem_DataMining");
        QTest::mouseClick(leiste, Qt::LeftButton, {}, leiste->actionGeometry(punkt).center());
    }
    static QString zelle(CursorGrid* g, int zeile, int spalte) {
        return g->model()->data(g->model()->index(zeile, spalte)).toString();
    }
    static void doppelklick(CursorGrid* g, int zeile) {
        const QRect ort = g->visualRect(g->model()->index(zeile, 1));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, ort.center());
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, ort.center());
    }
    std::string dmText(const std::string& sql) {
        spinalyst::store::Statement s(dm().TdbDatabase_DM_Modul.connection(), sql);
        std::string text;
        while (s.step()) {
            text += (s.isNull(0) ? std::string("~") : s.text(0)) + " ";
        }
        return text;
    }
    std::string rouletteText(const std::string& sql) {
        spinalyst::store::Statement s(dm().TdbDatabase_Roulette.connection(), sql);
        std::string text;
        while (s.step()) {
            for (int c = 0; c < s.columnCount(); ++c) {
                text += (c == 0 ? "" : "|") + (s.isNull(c) ? std::string("~") : s.text(c));
            }
            text += " ";
        }
        return text;
    }

    // Three days of 60 coups, a data-mining system of chance class 1 whose frequency filter
    // watches red, and a mining run over the three days: frequency varied, attacks on class 1,
    // sequences of `folgeLaenge` events of "1:1" (negated too with `ungleich`).
    void gemint(int folgeLaenge, bool ungleich) {
        const Date d = fenster().sitzung().gewaehlter_tag;
        std::vector<std::pair<Date, std::vector<int>>> tage;
        unsigned zufall = 12345;
        for (int t = 2; t >= 0; --t) {
            std::vector<int> zahlen;
            for (int i = 0; i < 60; ++i) {
                zufall = zufall * 1103515245u + 12345u;
                zahlen.push_back(static_cast<int>((zufall >> 16) % 37));
            }
            tage.emplace_back(d.addDays(-t), zahlen);
        }
        tageAnlegen(tage);
        auto& k = fenster().kontext();
        spinalyst::systems::System_Art_Chancen_Waehlen(k, spinalyst::systems::kArtDataMining, 1);
        system = spinalyst::systems::MenuItem_Systeme_AufnahmeClick(k);
        spinalyst::store::execute(
            dm().TdbDatabase_Roulette.connection(),
            "UPDATE System_Daten SET Haeufigkeit_Anzahl_von = 1, Haeufigkeit_Anzahl_bis = 3, "
            "Haeufigkeit_Coups_zurueck_von = 1, Haeufigkeit_Coups_zurueck_bis = 5, "
            "ID_Ereignis_Haeufigkeit = 3, Ereignis_Haeufigkeit_Info = 'Rot' "
            "WHERE ID_System = ? AND ID_Instanz = 1",
            {spinalyst::store::Value(system)});
        spinalyst::systems::Systemcursoren_Auffrischen(dm());
        auto& w = dm().TdbTable_Wahl;
        spinalyst::mining::Laufauftrag a;
        a.casino = w.value("ID_Casino").toInt64();
        a.tisch = w.text("Tisch");
        a.von = d.addDays(-2);
        a.bis = d;
        a.system = system;
        a.anpassen = [folgeLaenge, ungleich](spinalyst::mining::Parameter& p) {
            p.chancen = {true, false, false, false, false, false, false};
            p.filter[0] = {true, false};
            p.filter[1] = {false, false};
            p.filter[2] = {false, false};
            p.folgeAnzahl = folgeLaenge;
            p.folge11 = true;
            p.folge21 = false;
            p.folge51 = false;
            p.folgeUngleich = ungleich;
        };
        const auto e = spinalyst::mining::Data_Mining_Lauf(dm(), a);
        QVERIFY(e.zeilen > 0);
        w.refresh();
        w.setInteger("DM_Chance", 1);
        w.setInteger("DM_Anzahl_Angriffe", 1);
        w.setText("DM_Art_Angriff", "E");
        w.setText("DM_Sortierung", "W");
        w.setInteger("DM_Sortierung_G_V_Minimum", 0);
        w.post();
    }

    std::int64_t system = 0;
};

void DataMiningErgebnisseTest::showProfileAndTakeOverThenEvaluateTheSystem() {
    starten();
    gemint(1, false);
    std::string angegriffen;
    imFenster(
        "Form_Data_Mining", [this] { menueKlicken(); },
        [&](QDialog* d) {
            QVERIFY(d->windowTitle().contains(QStringLiteral("180 Coups")));
            auto* liste = in<CursorGrid>(d, "DBGrid_Auswertung");
            auto* muster = in<CursorGrid>(d, "DBGrid_Folge_Anzeige");
            QCOMPARE(liste->model()->rowCount(), 0);
            QCOMPARE(in<QPushButton>(d, "BitBtn_Uebernahme")->text(), QStringLiteral("Übernahme"));

            // Length 02 and kind K with the keyboard, any win/loss above -1000.
            auto* laenge = in<QComboBox>(d, "DBComboBox_DM_Anzahl_Angriffe");
            laenge->setFocus();
            QTest::keyClick(laenge, Qt::Key_Down);
            QCOMPARE(laenge->currentText(), QStringLiteral("02"));
            auto* art = in<QComboBox>(d, "DBComboBox_DM_Art_Angriff");
            art->setFocus();
            QTest::keyClick(art, Qt::Key_Down);
            QCOMPARE(art->currentText(), QStringLiteral("K"));
            auto* minimum = in<QLineEdit>(d, "DBEdit_DM_Sortierung_G_V_Minimum");
            minimum->setFocus();
            minimum->selectAll();
            QTest::keyClicks(minimum, QStringLiteral("-1000"));
            QTest::keyClick(minimum, Qt::Key_Tab);
            QCOMPARE(dm().TdbTable_Wahl.integer("DM_Anzahl_Angriffe"), 2);
            QCOMPARE(dm().TdbTable_Wahl.text("DM_Art_Angriff"), std::string("K"));

            QTest::mouseClick(in<QPushButton>(d, "BitBtn_Anzeige_Ergebnisse"), Qt::LeftButton);
            const int zeilen = liste->model()->rowCount();
            QVERIFY(zeilen > 1);
            auto& q = dm().TdbQuery_DM_Ergebnisse;
            QCOMPARE(q.text("Art"), std::string("K"));
            QCOMPARE(q.integer("ID_Angriff"), 2);
            QCOMPARE(zelle(liste, 0, 0), QStringLiteral("2"));
            // Ordered by win/loss.
            QVERIFY(zelle(liste, 0, 4).toInt() >= zelle(liste, zeilen - 1, 4).toInt());
            // The pattern: one sequence event, then the attacked one.
            QCOMPARE(muster->model()->rowCount(), 2);
            QCOMPARE(zelle(muster, 1, 2), QStringLiteral("x"));
            const int hsr = q.integer("ID_HSR");
            const auto filter = dmText("SELECT Haeufigkeit_aktiv FROM DM_HSR WHERE ID_HSR = " +
                                       std::to_string(hsr));
            QCOMPARE(in<QCheckBox>(d, "CheckBox_Haeufigkeit_A")->isChecked(), filter == "t ");

            // The profile of the second row and back.
            liste->setFocus();
            doppelklick(liste, 1);
            QCOMPARE(q.text("Art"), std::string("1"));
            QVERIFY(liste->model()->rowCount() <= 10);
            QCOMPARE(zelle(liste, 0, 0), QStringLiteral("1"));
            doppelklick(liste, 0);
            QCOMPARE(q.text("Art"), std::string("K"));
            QCOMPARE(liste->model()->rowCount(), zeilen);

            // The second row chosen with the keyboard and taken over with Enter.
            liste->setFocus();
            QTest::keyClick(liste, Qt::Key_Down);
            QCOMPARE(q.recordIndex(), 1);
            angegriffen = std::to_string(q.integer("ID_Ereignis"));
            QTest::keyClick(liste, Qt::Key_Return);
            QVERIFY(!d->isVisible());
        });
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join('|')));
    const std::string id = std::to_string(system);
    QCOMPARE(
        rouletteText("SELECT Setzart FROM System_Daten WHERE ID_Instanz = 1 AND ID_System = " + id),
        std::string("K "));
    const std::string ereignisse = rouletteText(
        "SELECT ID_Ereignis, Angriff FROM System_Ereignisse WHERE ID_Instanz = 1 AND ID_System = " +
        id + " ORDER BY Nr_Ereignis");
    QVERIFY2(ereignisse.ends_with(angegriffen + "|x "), ereignisse.c_str());
    QCOMPARE(rouletteText("SELECT count(*) FROM System_Angriffe WHERE ID_Instanz = 1 AND "
                          "ID_System = " +
                          id + " AND Satz IS NOT NULL AND ID_Angriff NOT IN ('G', 'V')"),
             std::string("2 "));

    // The taken-over system evaluated over the three days as a player does.
    auto* tageFeld = muss<QLineEdit>("DBEdit_Tage_System");
    tageFeld->setFocus();
    tageFeld->selectAll();
    QTest::keyClicks(tageFeld, QStringLiteral("3"));
    QTest::keyClick(tageFeld, Qt::Key_Return);
    antwort = true;
    muss<QPushButton>("BitBtn_Berechnung_System_Auswertung")->click();
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join('|')));
    auto* gesamt = muss<CursorGrid>("DBGrid_System_Auswertung_Gesamt");
    QCOMPARE(zelle(gesamt, 0, 0), QStringLiteral("3"));                          // days
    QCOMPARE(zelle(gesamt, 0, 4), QStringLiteral("180"));                        // coups
    QVERIFY2(zelle(gesamt, 0, 5).toInt() > 0, qPrintable(zelle(gesamt, 0, 5)));  // attacks
}

void DataMiningErgebnisseTest::sequencesWindowWalkedWithTheKeyboard() {
    starten();
    gemint(2, true);
    imFenster(
        "Form_Data_Mining", [this] { menueKlicken(); },
        [&](QDialog* d) {
            // A list shown first: the sequences window closes it.
            QTest::mouseClick(in<QPushButton>(d, "BitBtn_Anzeige_Ergebnisse"), Qt::LeftButton);
            QVERIFY(dm().TdbQuery_DM_Ergebnisse.isOpen());
            imFenster(
                "Form_Data_Mining_Ereignisfolgen",
                [&] {
                    QTest::mouseClick(in<QPushButton>(d, "BitBtn_Anzeige_Ereignisfolgen"),
                                      Qt::LeftButton);
                },
                [&](QDialog* ef) {
                    QCOMPARE(ef->windowTitle(), QStringLiteral("  Ereignisfolgen"));
                    QVERIFY(!dm().TdbQuery_DM_Ergebnisse.isOpen());
                    auto* arten = in<CursorGrid>(ef, "DBGrid_Gleiche_Art");
                    auto* folgen = in<CursorGrid>(ef, "DBGrid_Folgen");
                    auto* ereignisse = in<CursorGrid>(ef, "DBGrid_Folge_Anzeige");
                    // Two positions of 1-1, plain or negated: the kinds 2, 11 and 20.
                    QCOMPARE(arten->model()->rowCount(), 3);
                    QCOMPARE(zelle(arten, 0, 0), QStringLiteral("1-1 , 1-1 "));
                    QCOMPARE(folgen->model()->rowCount(), 36);
                    QCOMPARE(ereignisse->model()->rowCount(), 2);
                    // The most frequent first.
                    QVERIFY(zelle(folgen, 0, 1).toInt() >= zelle(folgen, 35, 1).toInt());
                    arten->setFocus();
                    QTest::keyClick(arten, Qt::Key_Down);
                    QCOMPARE(dm().TdbTable_DM_Gleiche_Art.integer("ID_Gleiche_Art"), 11);
                    QCOMPARE(folgen->model()->rowCount(), 72);
                    QCOMPARE(dm().TdbQuery_Gleiche_Art.integer("Gleiche_Art"), 11);
                    QCOMPARE(zelle(folgen, 0, 0), QStringLiteral("1-1 , <> 1-1 "));
                    // The chosen sequence's events: one of them negated.
                    QStringList marken{zelle(ereignisse, 0, 2), zelle(ereignisse, 1, 2)};
                    marken.sort();
                    QCOMPARE(marken, (QStringList{QString(), QStringLiteral("<>")}));
                    folgen->setFocus();
                    QTest::keyClick(folgen, Qt::Key_Down);
                    QCOMPARE(dm().TdbQuery_Gleiche_Art.recordIndex(), 1);
                    QCOMPARE(ereignisse->model()->rowCount(), 2);
                    arten->setFocus();
                    QTest::keyClick(arten, Qt::Key_End, Qt::ControlModifier);
                    QCOMPARE(dm().TdbTable_DM_Gleiche_Art.integer("ID_Gleiche_Art"), 20);
                    QCOMPARE(folgen->model()->rowCount(), 36);
                    QTest::keyClick(ef, Qt::Key_Escape);
                    QVERIFY(!ef->isVisible());
                });
            // Closed: the display is empty, the list stays closed.
            QVERIFY(dm().TdbTable_DM_Folge_Anzeige.isEmpty());
            QCOMPARE(in<CursorGrid>(d, "DBGrid_Auswertung")->model()->rowCount(), 0);
            QVERIFY(!dm().TdbQuery_Gleiche_Art.isOpen());
        });
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join('|')));
}

QTEST_MAIN(DataMiningErgebnisseTest)
#include "data_mining_ergebnisse_test.moc"
