// The system windows of their own, opened from the main window as a player does: the evaluations
// overview after an evaluation (rows, share of positive days, average, the change warning and
// "Zurücksetzen"), and the parameter windows of the two individual rules (the menu check, values
// typed into the edits, Enter and OK, what was stored).
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "app/anwendung.h"
#include "app/binding/cursor_grid.h"
#include "capture/auswahl.h"
#include "events/ereigniswahl.h"
#include "store/sqlite.h"
#include "systems/system.h"
#include "tests/app/app_fixture.h"

using spinalyst::binding::CursorGrid;
using spinalyst::store::Date;
using spinalyst::store::Value;

class SystemfensterTest : public QObject, protected spinalyst::testing::AppFixture {
    Q_OBJECT

  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void init() { programmverzeichnisAnlegen(); }
    void cleanup() { programmBeenden(); }

    void overviewShowsTheEvaluationsOfTheSystemAndResetEmptiesThem();
    void individualParametersAreTypedIntoTheirWindows();

  private:
    template <typename T>
    T* finde(const char* name) {
        return muss<T>(name);
    }
    template <typename T>
    static T* in(QDialog* d, const char* name) {
        T* w = d->findChild<T*>(QString::fromLatin1(name));
        if (w == nullptr) {
            qFatal("missing control %s", name);
        }
        return w;
    }
    // Runs the steps inside the modal window once its event loop runs, after `oeffnen` opened
    // it; fails when the window did not show.
    void imFenster(const char* name, const std::function<void()>& oeffnen,
                   const std::function<void(QDialog*)>& schritte);
    // A casino with three result days and a system betting black after red, evaluated by
    // "(System)" over those days.
    void bewerteterTag();
    QString zelle(QDialog* d, int zeile, int spalte) {
        auto* g = in<CursorGrid>(d, "DBGrid_System_Auswertung_Gesamt");
        return g->model()->data(g->model()->index(zeile, spalte)).toString();
    }
    int gespeichert(const char* sql) {
        spinalyst::store::Statement s(dm().TdbDatabase_Roulette.connection(), sql);
        return s.step() ? static_cast<int>(s.int64(0)) : -1;
    }
};

void SystemfensterTest::imFenster(const char* name, const std::function<void()>& oeffnen,
                                  const std::function<void(QDialog*)>& schritte) {
    bool gesehen = false;
    QTimer::singleShot(0, this, [&] {
        auto* d = fenster().findChild<QDialog*>(QString::fromLatin1(name));
        if (d == nullptr || !d->isVisible()) {
            return;
        }
        gesehen = true;
        // Typing goes where the focus is, as for a player.
        // (The offscreen platform leaves the activation where it was; give it to the window.)
        QApplication::setActiveWindow(d);
        QCOMPARE(QApplication::activeWindow(), d);
        schritte(d);
        if (d->isVisible()) {
            d->reject();
        }
    });
    oeffnen();
    QVERIFY2(gesehen, name);
    QVERIFY(!fenster().findChild<QDialog*>(QString::fromLatin1(name))->isVisible());
    // The platform gives the activation back to the main window.
    QApplication::setActiveWindow(&fenster());
}

void SystemfensterTest::bewerteterTag() {
    const Date d = fenster().sitzung().gewaehlter_tag;
    // Red 1 3 5 7, black 2 4; the day results are +2, 0 and -2.
    tageAnlegen({{d.addDays(-3), {1, 2}},
                 {d.addDays(-2), {1, 2, 3, 4}},
                 {d.addDays(-1), {1, 3, 2}},
                 {d, {3, 5, 7}}});
    schwarzNachRotImPanel();
    auto& systeme = dm().TdbTable_Systeme;
    systeme.setText("System_Name", "Schwarz nach Rot");
    systeme.post();

    auto* tageFeld = finde<QLineEdit>("DBEdit_Tage_System");
    tageFeld->setFocus();
    tageFeld->selectAll();
    QTest::keyClicks(tageFeld, QStringLiteral("3"));
    QTest::keyClick(tageFeld, Qt::Key_Return);
    finde<QPushButton>("BitBtn_Berechnung_System_Auswertung")->click();
    QVERIFY2(fragen.isEmpty(), qPrintable(fragen.join('|')));
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join('|')));
}

void SystemfensterTest::overviewShowsTheEvaluationsOfTheSystemAndResetEmptiesThem() {
    starten();
    bewerteterTag();
    // A second system with an evaluation of its own keeps it through the reset of the first.
    const int erstes = dm().TdbTable_Systeme.integer("ID_System_AutoInc");
    spinalyst::store::execute(dm().TdbDatabase_Roulette.connection(),
                              "INSERT INTO Systeme_Auswertungen_Ueberblick (ID_System, ID_Casino, "
                              "Tisch, Datum_von, Datum_bis, Tage, Tage_positiv, Gewinn_Verlust) "
                              "VALUES (?, 1, 'T 01', '2026-01-01', '2026-01-05', 5, 5, 50)",
                              {Value(erstes + 100)});
    dm().TdbTable_Systeme_Auswertungen_Ueberblick.refresh();

    // The details mode was on while the system was built: the warning shows.
    imFenster(
        "Form_Systeme_Auswertung_Ueberblick",
        [this] { finde<QPushButton>("BitBtn_Gesamtauswertungen")->click(); },
        [this](QDialog* d) {
            QCOMPARE(d->windowTitle(),
                     QStringLiteral("   Systeme - Auswertungen Überblick  /  Schwarz nach Rot"));
            auto* grid = in<CursorGrid>(d, "DBGrid_System_Auswertung_Gesamt");
            QCOMPARE(grid->model()->rowCount(), 1);
            QStringList kopf;
            for (int s = 0; s < grid->model()->columnCount(); ++s) {
                kopf << grid->model()->headerData(s, Qt::Horizontal).toString();
            }
            QCOMPARE(kopf, (QStringList{"Casino", "T", "Datum von", "Datum bis", "Tage", "(+)",
                                        "G/V", "Max +", "Max -", "Coups", "Angriffe"}));
            // 3 days, one positive, 0 in all, best day +2, worst -2, 10 coups, 6 bets.
            QStringList zeile;
            for (int s = 4; s < 11; ++s) {
                zeile << zelle(d, 0, s);
            }
            QCOMPARE(zeile, (QStringList{"3", "1", "0", "2", "-2", "10", "6"}));
            QCOMPARE(zelle(d, 0, 0),
                     QString::fromStdString(dm().TdbTable_Casino.text("Casino_Name")));
            QCOMPARE(in<QLabel>(d, "Label_Bisherige_Auswertungen")->text(),
                     QStringLiteral("Bisher erfolgte Auswertungen des Systems:"));
            auto* hinweis = in<QLabel>(d, "Label_Hinweis_Systemaenderung");
            QVERIFY(hinweis->isVisible());
            QCOMPARE(hinweis->text(), QStringLiteral("Möglicherweise Systemänderung erfolgt!"));
            QCOMPARE(in<QLabel>(d, "Label_Gesamtinfo")->text(),
                     QStringLiteral("33% der Tage positiv (+) - Durchschnitt 0,0 Stücke Gewinn "
                                    "(Verlust) / Tag"));

            auto* zuruecksetzen = in<QPushButton>(d, "BitBtn_Loeschen");
            QCOMPARE(zuruecksetzen->text(), QStringLiteral("Zurücksetzen"));
            QTest::mouseClick(zuruecksetzen, Qt::LeftButton);
            QVERIFY(d->isVisible());
            QCOMPARE(grid->model()->rowCount(), 0);
            QVERIFY(!hinweis->isVisible());
            QCOMPARE(in<QLabel>(d, "Label_Gesamtinfo")->text(),
                     QStringLiteral("0% der Tage positiv (+) - Durchschnitt 0,0 Stücke Gewinn "
                                    "(Verlust) / Tag"));
            QTest::mouseClick(in<QPushButton>(d, "BitBtn_OK"), Qt::LeftButton);
        });
    QVERIFY(fragen.isEmpty());
    QCOMPARE(gespeichert("SELECT COUNT(*) FROM Systeme_Auswertungen_Ueberblick"), 1);
    QCOMPARE(gespeichert("SELECT COUNT(*) FROM Systeme WHERE Systemaenderung_erfolgt = 't'"), 0);

    // Evaluated again over the same days, in English, from the menu: one row, no warning. The
    // language switch changes the selection, which sets the days back to 10.
    fenster().MenuItem_Sprache_EnglischClick(nullptr);
    auto* tageFeld = finde<QLineEdit>("DBEdit_Tage_System");
    tageFeld->setFocus();
    tageFeld->selectAll();
    QTest::keyClicks(tageFeld, QStringLiteral("3"));
    QTest::keyClick(tageFeld, Qt::Key_Return);
    finde<QPushButton>("BitBtn_Berechnung_System_Auswertung")->click();
    imFenster(
        "Form_Systeme_Auswertung_Ueberblick",
        [this] { finde<QAction>("MenuItem_Systeme_Auswertungen_Ueberblick")->trigger(); },
        [this](QDialog* d) {
            QCOMPARE(d->windowTitle(),
                     QStringLiteral("   Systems - Evaluations Overview  /  Schwarz nach Rot"));
            auto* grid = in<CursorGrid>(d, "DBGrid_System_Auswertung_Gesamt");
            QCOMPARE(grid->model()->rowCount(), 1);
            QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(),
                     QStringLiteral("Date from"));
            QCOMPARE(grid->model()->headerData(6, Qt::Horizontal).toString(),
                     QStringLiteral("W/L"));
            QVERIFY(!in<QLabel>(d, "Label_Hinweis_Systemaenderung")->isVisible());
            QCOMPARE(
                in<QLabel>(d, "Label_Gesamtinfo")->text(),
                QStringLiteral("33% Days positive (+) - Average 0,0 Units profit (loss) / Day"));
            QCOMPARE(in<QPushButton>(d, "BitBtn_Loeschen")->text(), QStringLiteral("Reset"));
            QTest::keyClick(d, Qt::Key_Return);
        });
}

void SystemfensterTest::individualParametersAreTypedIntoTheirWindows() {
    starten();
    auto& k = fenster().kontext();
    spinalyst::systems::System_Art_Chancen_Waehlen(k, spinalyst::systems::kArtIndividuell, 1);
    auto* neu = finde<QPushButton>("BitBtn_System_Neu");
    neu->click();
    const int eins = dm().TdbTable_Systeme.integer("ID_System_AutoInc");
    neu->click();
    const int zwei = dm().TdbTable_Systeme.integer("ID_System_AutoInc");
    QCOMPARE(dm().TdbTable_Systeme.integer("ID_System_Nummer"), 2);

    // System 2 is current: window (1) is refused, nothing is created.
    finde<QAction>("MenuItem_Individuell_Satzsignale_1")->trigger();
    QCOMPARE(meldungen, QStringList{QStringLiteral("Richtiges System \"Individuell\" wählen!")});
    QVERIFY(fenster().findChild<QDialog*>(QStringLiteral("Form_Individuell_Satzsignale_1")) ==
                nullptr ||
            !fenster()
                 .findChild<QDialog*>(QStringLiteral("Form_Individuell_Satzsignale_1"))
                 ->isVisible());
    QCOMPARE(gespeichert("SELECT COUNT(*) FROM Individuell_1_Daten"), 0);
    meldungen.clear();

    // Window (2): the number of events typed, Enter takes it and closes the window.
    imFenster(
        "Form_Individuell_Satzsignale_2",
        [this] { finde<QAction>("MenuItem_Individuell_Satzsignale_2")->trigger(); },
        [this, zwei](QDialog* d) {
            QCOMPARE(d->windowTitle(),
                     QStringLiteral("  Indivdiuell / Satzsignale (2)  >> Rückständigkeit"));
            QCOMPARE(gespeichert("SELECT COUNT(*) FROM Individuell_2_Daten"), 1);
            Q_UNUSED(zwei);
            QVERIFY(!in<QLineEdit>(d, "DBEdit_Chance")->isEnabled());
            QCOMPARE(in<QLabel>(d, "Label_Anzahl_Ereignisse")->text(),
                     QStringLiteral("Anzahl Ereignisse"));
            QVERIFY(d->findChild<QLineEdit*>(QStringLiteral("DBEdit_Anzahl_Coups_zurueck")) ==
                    nullptr);
            auto* n = in<QLineEdit>(d, "DBEdit_Anzahl_Ereignisse");
            QCOMPARE(n->text(), QString());
            n->setFocus();
            QTest::keyClicks(n, QStringLiteral("3"));
            QTest::keyClick(n, Qt::Key_Return);
        });
    QVERIFY(meldungen.isEmpty());
    QCOMPARE(gespeichert("SELECT COUNT(*) FROM Individuell_2_Daten"), 1);
    QCOMPARE(gespeichert(qPrintable(QStringLiteral("SELECT Anzahl_Ereignisse FROM "
                                                   "Individuell_2_Daten WHERE ID_System = %1")
                                        .arg(zwei))),
             3);

    // System 1 chosen in the list; window (1) in English, three values typed, OK.
    QVERIFY(dm().TdbTable_Systeme.locate("ID_System_AutoInc", {Value(eins)}));
    fenster().MenuItem_Sprache_EnglischClick(nullptr);
    QVERIFY(dm().TdbTable_Systeme.locate("ID_System_AutoInc", {Value(eins)}));
    imFenster(
        "Form_Individuell_Satzsignale_1",
        [this] { finde<QAction>("MenuItem_Individuell_Satzsignale_1")->trigger(); },
        [&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("  Indivdual / Signals (1) - >> Frequency"));
            QCOMPARE(in<QLabel>(d, "Label_Anzahl_Ereignisse")->text(),
                     QStringLiteral("Number of events"));
            QCOMPARE(in<QLabel>(d, "Label_Coups")->text(), QStringLiteral("Coups"));
            QCOMPARE(in<QLabel>(d, "Label_Rueckstaendig")->text(), QStringLiteral(">= Absence"));
            QVERIFY(!in<QLineEdit>(d, "DBEdit_Chance")->isEnabled());
            // The window opens in the first edit; Tab passes the disabled chance.
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2"));
            QCOMPARE(QApplication::focusWidget()->objectName(),
                     QStringLiteral("DBEdit_Anzahl_Ereignisse"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("10"));
            QCOMPARE(QApplication::focusWidget()->objectName(),
                     QStringLiteral("DBEdit_Anzahl_Coups_zurueck"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x2"));
            QCOMPARE(QApplication::focusWidget()->objectName(),
                     QStringLiteral("DBEdit_Anzahl_Coups_rueckstaendig"));
            QTest::mouseClick(in<QPushButton>(d, "BitBtn_OK"), Qt::LeftButton);
        });
    QVERIFY(meldungen.isEmpty());
    const QString wo = QStringLiteral(" FROM Individuell_1_Daten WHERE ID_System = %1").arg(eins);
    QCOMPARE(gespeichert(qPrintable(QStringLiteral("SELECT COUNT(*)") + wo)), 1);
    QCOMPARE(gespeichert(qPrintable(QStringLiteral("SELECT Anzahl_Ereignisse") + wo)), 2);
    QCOMPARE(gespeichert(qPrintable(QStringLiteral("SELECT Anzahl_Coups_zurueck") + wo)), 10);
    // Only digits are taken.
    QCOMPARE(gespeichert(qPrintable(QStringLiteral("SELECT Anzahl_Coups_rueckstaendig") + wo)), 2);
    QCOMPARE(gespeichert(qPrintable(QStringLiteral("SELECT Chance IS NULL") + wo)), 1);

    // Opened again: the stored values, no second row.
    imFenster(
        "Form_Individuell_Satzsignale_1",
        [this] { finde<QAction>("MenuItem_Individuell_Satzsignale_1")->trigger(); },
        [&](QDialog* d) {
            QCOMPARE(in<QLineEdit>(d, "DBEdit_Anzahl_Coups_zurueck")->text(), QStringLiteral("10"));
            QTest::keyClick(in<QLineEdit>(d, "DBEdit_Anzahl_Ereignisse"), Qt::Key_Return);
        });
    QCOMPARE(gespeichert(qPrintable(QStringLiteral("SELECT COUNT(*)") + wo)), 1);
}

QTEST_MAIN(SystemfensterTest)
#include "systemfenster_test.moc"
