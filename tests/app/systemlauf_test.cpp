// The system evaluation of the main window, driven through its controls on the offscreen
// platform: a system built in the panel, the days typed, the "(System)" button, and what the day
// list, the totals row, the permanence list and the bets list then show.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "app/anwendung.h"
#include "app/binding/bound_controls.h"
#include "app/binding/cursor_grid.h"
#include "capture/auswahl.h"
#include "events/ereigniswahl.h"
#include "store/sqlite.h"
#include "tests/app/app_fixture.h"

using spinalyst::binding::BoundCheckBox;
using spinalyst::binding::CursorGrid;
using spinalyst::store::Date;
using spinalyst::store::Value;

class SystemlaufTest : public QObject, protected spinalyst::testing::AppFixture {
    Q_OBJECT

  private slots:
    void init() { programmverzeichnisAnlegen(); }
    void cleanup() { programmBeenden(); }

    void twoEventSystemOverThreeDaysShowsDaysTotalsAndTheBetsOfACoup();
    void theOptionsAreMirroredBetweenTheSystemAndTheOnlinePanel();

  private:
    template <typename T>
    T* finde(const char* name) {
        return muss<T>(name);
    }
    QString zelle(const char* gridName, int zeile, int spalte) {
        auto* g = finde<CursorGrid>(gridName);
        return g->model()->data(g->model()->index(zeile, spalte)).toString();
    }
    QColor farbe(const char* gridName, int zeile, int spalte) {
        auto* g = finde<CursorGrid>(gridName);
        return g->model()
            ->data(g->model()->index(zeile, spalte), Qt::ForegroundRole)
            .value<QColor>();
    }
};

void SystemlaufTest::twoEventSystemOverThreeDaysShowsDaysTotalsAndTheBetsOfACoup() {
    starten();
    const Date d = fenster().sitzung().gewaehlter_tag;
    // Red 1 3 5 7, black 2 4. The system bets black (event 2) on the coup after a red one, one
    // step of 1 piece; no attack starts on the first coup of a day.
    tageAnlegen({{d.addDays(-3), {1, 2}},        // evaluated as history, no result of its own
                 {d.addDays(-2), {1, 2, 3, 4}},  // +1 +1
                 {d.addDays(-1), {1, 3, 2}},     // -1 +1
                 {d, {3, 5, 7}}});               // -1 -1

    schwarzNachRotImPanel();

    // Three result days, typed as the player does.
    auto* tageFeld = finde<QLineEdit>("DBEdit_Tage_System");
    tageFeld->setFocus();
    tageFeld->selectAll();
    QTest::keyClicks(tageFeld, QStringLiteral("3"));
    QTest::keyClick(tageFeld, Qt::Key_Return);
    QCOMPARE(dm().TdbTable_Wahl.integer("System_Tage_Anzahl"), 3);

    finde<QPushButton>("BitBtn_Berechnung_System_Auswertung")->click();
    QVERIFY2(fragen.isEmpty(), qPrintable(fragen.join('|')));
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join('|')));
    QVERIFY(!finde<QCheckBox>("CheckBox_Systemdetails")->isChecked());
    QVERIFY(finde<QPushButton>("BitBtn_Berechnung_System_Auswertung")->isEnabled());

    // The day list: the three result days with their results (G/V, Max +, Max -, Coups,
    // Angriffe).
    const char* tagesliste = "DBGrid_System_Auswertung";
    QCOMPARE(finde<CursorGrid>(tagesliste)->model()->rowCount(), 3);
    const std::vector<QStringList> erwartet = {
        {"2", "2", "0", "4", "2"}, {"0", "0", "-1", "3", "2"}, {"-2", "0", "-2", "3", "2"}};
    for (int z = 0; z < 3; ++z) {
        QStringList zeile;
        for (int s = 1; s <= 5; ++s) {
            zeile << zelle(tagesliste, z, s);
        }
        QCOMPARE(zeile, erwartet[static_cast<std::size_t>(z)]);
    }
    // The totals row: 3 days, 0 in all, best +2, worst -2, 10 coups, 6 bets.
    QStringList gesamt;
    for (int s = 0; s <= 5; ++s) {
        gesamt << zelle("DBGrid_System_Auswertung_Gesamt", 0, s);
    }
    QCOMPARE(gesamt, (QStringList{"3", "0", "2", "-2", "10", "6"}));

    // The chosen day's coups with stake and running result; 7 is red.
    const char* permanenz = "DBGrid_Permanenz";
    QCOMPARE(zelle(permanenz, 0, 1), QString());
    QCOMPARE(zelle(permanenz, 1, 1), QStringLiteral("1"));
    QCOMPARE(zelle(permanenz, 1, 2), QStringLiteral("-1"));
    QCOMPARE(zelle(permanenz, 2, 2), QStringLiteral("-2"));

    // Selecting the second coup shows its bet: black, 1 piece, lost (red text).
    auto* grid = finde<CursorGrid>(permanenz);
    grid->setFocus();
    grid->selectRow(1);
    QTest::qWait(0);
    QCOMPARE(dm().TdbTable_Permanenz.integer("Zahl"), 5);
    const char* wetten = "DBGrid_Online_Angriffe_Satz";
    QCOMPARE(finde<CursorGrid>(wetten)->model()->rowCount(), 1);
    QCOMPARE(zelle(wetten, 0, 0), QString::fromStdString(fenster().katalog().name(
                                      2, spinalyst::store::Sprache::Deutsch)));
    QCOMPARE(zelle(wetten, 0, 2), QStringLiteral("1"));
    QCOMPARE(farbe(wetten, 0, 0), QColor(200, 0, 0));

    // The summary of this evaluation is stored once, and again in the same row.
    auto zeilen = [this] {
        spinalyst::store::Statement s(dm().TdbDatabase_Roulette.connection(),
                                      "SELECT COUNT(*), SUM(Tage), SUM(Tage_positiv) FROM "
                                      "Systeme_Auswertungen_Ueberblick");
        s.step();
        return QStringList{QString::number(s.int64(0)), QString::number(s.int64(1)),
                           QString::number(s.int64(2))};
    };
    QCOMPARE(zeilen(), (QStringList{"1", "3", "1"}));
    finde<QAction>("MenuItem_Systeme_Auswertung")->trigger();
    QCOMPARE(zeilen(), (QStringList{"1", "3", "1"}));
    QCOMPARE(finde<CursorGrid>(tagesliste)->model()->rowCount(), 3);

    // Another number of days clears the results at once.
    tageFeld->setFocus();
    tageFeld->selectAll();
    QTest::keyClicks(tageFeld, QStringLiteral("2"));
    QTest::keyClick(tageFeld, Qt::Key_Return);
    QCOMPARE(zelle(tagesliste, 0, 1), QString());
    QCOMPARE(zelle(permanenz, 1, 1), QString());
}

void SystemlaufTest::theOptionsAreMirroredBetweenTheSystemAndTheOnlinePanel() {
    starten();
    const std::pair<const char*, const char*> paare[] = {
        {"DBCheckBox_Tage_System_uebergreifend", "DBCheckBox_Online_Tage_System_uebergreifend"},
        {"DBCheckBox_Auswertung_Alle_Systeme", "DBCheckBox_Online_Alle_Systeme"}};
    for (const auto& [system, online] : paare) {
        auto* a = finde<BoundCheckBox>(system);
        auto* b = finde<BoundCheckBox>(online);
        QVERIFY(!a->isChecked() && !b->isChecked());
        a->click();
        QVERIFY(b->isChecked());
        b->click();
        QVERIFY(!a->isChecked());
        b->click();
        QVERIFY(a->isChecked());
    }
}

QTEST_MAIN(SystemlaufTest)
#include "systemlauf_test.moc"
