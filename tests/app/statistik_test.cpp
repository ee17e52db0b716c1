// What a fair wheel gives beside the counts of the permanence evaluation, in the main window:
// the figures beside each event's hits, the expected counts beside the series and absences, and
// the chi-square line under the lists, in German and in English, with the locale's decimal
// separator. Driven through the controls on the offscreen platform.
#include <QBrush>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <vector>

#include "app/binding/bound_controls.h"
#include "app/binding/cursor_grid.h"
#include "tests/app/app_fixture.h"

using spinalyst::binding::CursorGrid;
using spinalyst::store::Value;

class StatistikTest : public QObject, protected spinalyst::testing::AppFixture {
    Q_OBJECT

  private slots:
    // The decimal comma of a German desktop, whatever the language of the program.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void init() { programmverzeichnisAnlegen(); }
    void cleanup() { programmBeenden(); }

    void figuresBesideTheCountsInBothLanguages();

  private:
    template <typename T>
    T* finde(const char* name) {
        T* w = AppFixture::finde<T>(name);
        if (w == nullptr) {
            qFatal("missing control %s", name);
        }
        return w;
    }
    CursorGrid* grid(const char* name) { return finde<CursorGrid>(name); }
    QString zelle(const char* gridName, int zeile, int spalte, int rolle = Qt::DisplayRole) {
        CursorGrid* g = grid(gridName);
        return g->model()->data(g->model()->index(zeile, spalte), rolle).toString();
    }
    QString kopf(const char* gridName, int spalte, int rolle = Qt::DisplayRole) {
        return grid(gridName)->model()->headerData(spalte, Qt::Horizontal, rolle).toString();
    }
    static void waehle(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    void anzeige(const char* modus) {
        auto* liste = finde<QComboBox>("DBComboBox_Haufigkeit_Serien_Rueckstaendigkeit");
        waehle(liste, liste->findText(QString::fromLatin1(modus)));
    }
    void rechnen() { finde<QPushButton>("BitBtn_Berechnung_Permanenz_Auswertung")->click(); }
    QString chiZeile() { return finde<QLabel>("Label_Chi_Quadrat")->text(); }
};

namespace {
constexpr const char* kHaeufigkeit = "DBGrid_Ereignisse_Auswertung";
constexpr const char* kSerien = "DBGrid_Ereignisse_Serien_Auswertung";
constexpr const char* kRueck = "DBGrid_Ereignisse_Rueckstaendigkeit_Auswertung";
// Columns of the frequency list: name, numbers, gap, hits, %, then the figures.
constexpr int kErwartet = 5, kZ = 6, kP = 7, kQ = 8;

QString komma(double wert, int nachkomma) {
    return QLocale(QLocale::German).toString(wert, 'f', nachkomma);
}
}  // namespace

void StatistikTest::figuresBesideTheCountsInBothLanguages() {
    starten();
    auto& k = fenster().kontext();
    spinalyst::capture::BitBtn_NeuClick(k);
    spinalyst::capture::BitBtn_OKClick(k);
    // Every number once, then 5 twenty times more: 57 coups, 5 (red) runs hot.
    std::vector<int> zahlen;
    for (int z = 0; z <= 36; ++z) {
        zahlen.push_back(z);
    }
    zahlen.insert(zahlen.end(), 20, 5);
    {
        auto& wahl = dm().TdbTable_Wahl;
        spinalyst::store::TableCursor p("Testpermanenz", dm().TdbDatabase_Roulette, "Permanenz");
        p.open();
        spinalyst::store::Transaction tx(dm().TdbDatabase_Roulette.connection());
        for (int z : zahlen) {
            p.appendRecord({wahl.value("ID_Casino"), wahl.value("Tisch"),
                            fenster().sitzung().gewaehlter_tag, Value(), z});
        }
        tx.commit();
        dm().TdbTable_Permanenz.refresh();
    }
    const double q = 57;

    // Before a run: the columns are there, empty, and no test line.
    QCOMPARE(kopf(kHaeufigkeit, kErwartet), QStringLiteral("Erw."));
    QCOMPARE(kopf(kHaeufigkeit, kZ), QStringLiteral("z"));
    QCOMPARE(kopf(kHaeufigkeit, kP), QStringLiteral("p"));
    QCOMPARE(kopf(kHaeufigkeit, kQ), QStringLiteral("q"));
    for (int c : {kErwartet, kZ, kP, kQ}) {
        QVERIFY(!kopf(kHaeufigkeit, c, Qt::ToolTipRole).isEmpty());
    }
    QVERIFY(kopf(kHaeufigkeit, kQ, Qt::ToolTipRole).contains(QStringLiteral("Benjamini")));
    QCOMPARE(zelle(kHaeufigkeit, 0, kErwartet), QString());
    QCOMPARE(chiZeile(), QString());

    anzeige("A");
    rechnen();
    QVERIFY(meldungen.isEmpty());

    // Chance class 1: red (event 1) hit 18 + 20 = 38 times in 57 coups.
    QCOMPARE(zelle(kHaeufigkeit, 0, 3), QStringLiteral("38"));
    const double p = 18.0 / 37;
    QCOMPARE(zelle(kHaeufigkeit, 0, kErwartet), komma(q * p, 1));  // 27,7
    QCOMPARE(zelle(kHaeufigkeit, 0, kZ), komma((38 - q * p) / std::sqrt(q * p * (1 - p)), 1));
    QVERIFY(zelle(kHaeufigkeit, 0, kP).startsWith(QStringLiteral("0,0")));
    QVERIFY(!zelle(kHaeufigkeit, 0, kQ).isEmpty());

    // The chi-square line: 36 numbers once, 5 twenty-one times.
    const double e = q / 37;
    const double chi = 36 * (1 - e) * (1 - e) / e + (21 - e) * (21 - e) / e;
    QCOMPARE(chiZeile(), QStringLiteral("Chi-Quadrat-Test der 37 Zahlen: χ² = %1; 36 FG; p < 0,001")
                             .arg(komma(chi, 2)));

    // The numbers: 5 is marked (adjusted value below 0.05: its name and that value in red), 0
    // is not.
    auto* chance =
        finde<spinalyst::binding::BoundLookupComboBox>("DBLookupComboBox_Chancen_Permanenz");
    QVERIFY(chance->findText(QStringLiteral("35 : 1")) >= 0);
    waehle(chance, chance->findText(QStringLiteral("35 : 1")));
    QCOMPARE(grid(kHaeufigkeit)->model()->rowCount(), 37);
    QCOMPARE(zelle(kHaeufigkeit, 5, 3), QStringLiteral("21"));
    QCOMPARE(zelle(kHaeufigkeit, 5, kQ), QStringLiteral("<0,001"));
    for (int spalte : {0, kQ}) {
        const auto farbe =
            grid(kHaeufigkeit)
                ->model()
                ->data(grid(kHaeufigkeit)->model()->index(5, spalte), Qt::ForegroundRole);
        QVERIFY(farbe.canConvert<QBrush>());
        QCOMPARE(farbe.value<QBrush>().color(), QColor(200, 0, 0));
        QVERIFY(!grid(kHaeufigkeit)
                     ->model()
                     ->data(grid(kHaeufigkeit)->model()->index(0, spalte), Qt::ForegroundRole)
                     .isValid());
    }
    QVERIFY(!zelle(kHaeufigkeit, 0, kQ).isEmpty());
    QCOMPARE(zelle(kHaeufigkeit, 5, kErwartet), komma(q / 37, 1));  // 1,5

    // Series of the shown event (number 0: one series of 1 in a day of 57 coups) with the
    // expected count p·[(n−2)(1−p)² + 2(1−p)] for p = 1/37.
    grid(kHaeufigkeit)->setCurrentIndex(grid(kHaeufigkeit)->model()->index(0, 0));
    anzeige("S");
    QVERIFY(grid(kSerien)->isVisibleTo(&fenster()));
    QCOMPARE(kopf(kSerien, 5), QStringLiteral("Erw."));
    QVERIFY(!kopf(kSerien, 5, Qt::ToolTipRole).isEmpty());
    QCOMPARE(grid(kSerien)->model()->rowCount(), 1);
    const double p0 = 1.0 / 37;
    QCOMPARE(zelle(kSerien, 0, 5),
             komma(p0 * ((q - 2) * (1 - p0) * (1 - p0) + 2 * (1 - p0)), 2));  // 1,46
    // The class totals: the sum over the 37 numbers, each with its own probability 1/37.
    emit grid(kSerien)->doubleClicked(grid(kSerien)->model()->index(0, 0));
    QCOMPARE(zelle(kSerien, 0, 0), QStringLiteral("Chance gesamt"));
    QCOMPARE(zelle(kSerien, 0, 2), QStringLiteral("1"));
    QCOMPARE(zelle(kSerien, 0, 5),
             komma(37 * p0 * ((q - 2) * (1 - p0) * (1 - p0) + 2 * (1 - p0)), 2));  // 54,01

    anzeige("R");
    QVERIFY(grid(kRueck)->isVisibleTo(&fenster()));
    QCOMPARE(kopf(kRueck, 5), QStringLiteral("Erw."));
    QVERIFY(chiZeile().startsWith(QStringLiteral("Chi-Quadrat-Test")));

    // English: the language switch clears the results; after a new run the headings, the line
    // and the tool tips are English, the separator still the locale's comma.
    fenster().MenuItem_Sprache_EnglischClick(nullptr);
    QCOMPARE(chiZeile(), QString());
    QCOMPARE(kopf(kHaeufigkeit, kErwartet), QStringLiteral("Exp."));
    QVERIFY(kopf(kHaeufigkeit, kErwartet, Qt::ToolTipRole).startsWith(QStringLiteral("Expected")));
    QCOMPARE(zelle(kHaeufigkeit, 0, kErwartet), QString());
    rechnen();
    QVERIFY(meldungen.isEmpty());
    QCOMPARE(zelle(kHaeufigkeit, 0, kErwartet), komma(q * p, 1));
    QCOMPARE(chiZeile(),
             QStringLiteral("Chi-square test of the 37 numbers: χ² = %1; 36 df; p < 0,001")
                 .arg(komma(chi, 2)));
    QVERIFY(finde<QLabel>("Label_Chi_Quadrat")->toolTip().startsWith(QStringLiteral("Chi-square")));
    anzeige("S");
    QCOMPARE(kopf(kSerien, 5), QStringLiteral("Exp."));
}

QTEST_MAIN(StatistikTest)
#include "statistik_test.moc"
