// The charts of the main window, driven as a player does: a system evaluation through the
// "(System)" button and a permanence evaluation through its button, then what the chart dock
// shows, in both languages, and the chart saved as PNG and SVG.
#include <QAbstractBarSeries>
#include <QAction>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QXYSeries>
#include <numeric>

#include "app/binding/cursor_grid.h"
#include "app/diagramm_permanenz.h"
#include "app/diagramm_system.h"
#include "app/diagrammbereich.h"
#include "tests/app/app_fixture.h"

using spinalyst::binding::CursorGrid;
using spinalyst::store::Date;

class DiagrammTest : public QObject, protected spinalyst::testing::AppFixture {
    Q_OBJECT

  private slots:
    void init() { programmverzeichnisAnlegen(); }
    void cleanup() { programmBeenden(); }

    void aSystemEvaluationDrawsOnePointPerCoup();
    void thePermanenceChartFollowsEveryNewEvaluation();
    void theChartIsSavedAsPngAndSvg();

  private:
    // Red 1 3 5 7, black 2 4; the system of the panel bets black on the coup after a red one.
    void dreiErgebnistage() {
        const Date d = fenster().sitzung().gewaehlter_tag;
        tageAnlegen({{d.addDays(-3), {1, 2}},
                     {d.addDays(-2), {1, 2, 3, 4}},
                     {d.addDays(-1), {1, 3, 2}},
                     {d, {3, 5, 7}}});
    }
    void tippen(const char* feld, const QString& text) {
        auto* f = muss<QLineEdit>(feld);
        f->setFocus();
        f->selectAll();
        QTest::keyClicks(f, text);
        QTest::keyClick(f, Qt::Key_Return);
    }
    QAbstractSeries* serie(const char* ansicht, const QString& name) {
        auto* v = muss<QChartView>(ansicht);
        for (QAbstractSeries* s : v->chart()->series()) {
            if (s->objectName() == name) {
                return s;
            }
        }
        return nullptr;
    }
    static QList<qreal> werte(QAbstractBarSeries* b, int set) {
        QList<qreal> w;
        for (int i = 0; i < b->barSets().at(set)->count(); ++i) {
            w << b->barSets().at(set)->at(i);
        }
        return w;
    }
};

void DiagrammTest::aSystemEvaluationDrawsOnePointPerCoup() {
    starten();
    dreiErgebnistage();
    schwarzNachRotImPanel();
    tippen("DBEdit_Tage_System", QStringLiteral("3"));
    auto* bereich = fenster().diagramme();
    QVERIFY(bereich != nullptr);
    QVERIFY(!bereich->isVisible());

    muss<QPushButton>("BitBtn_Berechnung_System_Auswertung")->click();
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join('|')));
    QVERIFY(bereich->isVisible());
    QCOMPARE(bereich->reiter()->currentWidget(), bereich->systemDiagramm());

    // The three result days have 4 + 3 + 3 coups: one point per coup with the running total.
    auto* gesamt = qobject_cast<QLineSeries*>(serie("ChartView_Systemverlauf", "Serie_Gesamt"));
    QVERIFY(gesamt != nullptr);
    QCOMPARE(gesamt->count(), 10);
    QList<qreal> stand;
    for (const QPointF& p : gesamt->points()) {
        stand << p.y();
    }
    QCOMPARE(stand, (QList<qreal>{0, 1, 1, 2, 2, 1, 2, 2, 1, 0}));
    QCOMPARE(gesamt->at(0).x(), 1.0);
    QCOMPARE(gesamt->name(), QStringLiteral("Gesamt"));
    // The largest drawdown, from 2 after coup 4 to 0 at the end, is shaded.
    QVERIFY(serie("ChartView_Systemverlauf", "Serie_Einbruch") != nullptr);
    const auto& einbruch = bereich->systemDiagramm()->verlauf().einbruch;
    QVERIFY(einbruch.has_value());
    QCOMPARE(einbruch->von, std::size_t{4});
    QCOMPARE(einbruch->bis, std::size_t{10});
    // The day results as bars: +2 won, 0, -2 lost.
    auto* tage = qobject_cast<QAbstractBarSeries*>(
        serie("ChartView_Tagesergebnisse", "Serie_Tagesergebnisse"));
    QVERIFY(tage != nullptr);
    QCOMPARE(werte(tage, 0), (QList<qreal>{2, 0, 0}));
    QCOMPARE(werte(tage, 1), (QList<qreal>{0, 0, -2}));
    // The tool tip of the second coup of the first result day: its number 2, stake 1, won 1.
    const QString tipp = bereich->systemDiagramm()->Punkt_Text(1);
    QVERIFY2(tipp.contains(QStringLiteral("Coup 2")) && tipp.contains(QStringLiteral("Zahl 2")) &&
                 tipp.contains(QStringLiteral("Satz 1, Ergebnis +1")),
             qPrintable(tipp));
    QVERIFY(serie("ChartView_Systemverlauf", "Serie_System_1") == nullptr);

    // Mode "A": one line per system besides the total.
    muss<QCheckBox>("DBCheckBox_Auswertung_Alle_Systeme")->click();
    muss<QPushButton>("BitBtn_Berechnung_System_Auswertung")->click();
    const auto& verlauf = bereich->systemDiagramm()->verlauf();
    QCOMPARE(verlauf.systeme.size(), std::size_t{1});
    auto* linie = qobject_cast<QLineSeries*>(
        serie("ChartView_Systemverlauf",
              QStringLiteral("Serie_System_%1").arg(verlauf.systeme[0].system)));
    QVERIFY(linie != nullptr);
    QCOMPARE(linie->count(), 10);

    // English: the same course, labelled anew.
    fenster().MenuItem_Sprache_EnglischClick(nullptr);
    QCOMPARE(bereich->windowTitle(), QStringLiteral("Charts"));
    QCOMPARE(bereich->reiter()->tabText(0), QStringLiteral("System evaluation"));
    gesamt = qobject_cast<QLineSeries*>(serie("ChartView_Systemverlauf", "Serie_Gesamt"));
    QVERIFY(gesamt != nullptr);
    QCOMPARE(gesamt->name(), QStringLiteral("Total"));
    QCOMPARE(gesamt->count(), 10);
    QVERIFY(bereich->systemDiagramm()->Punkt_Text(1).contains(QStringLiteral("Number 2")));
}

void DiagrammTest::thePermanenceChartFollowsEveryNewEvaluation() {
    starten();
    dreiErgebnistage();
    auto* bereich = fenster().diagramme();
    auto summe = [&] {
        auto* b = qobject_cast<QAbstractBarSeries*>(serie("ChartView_Zahlen", "Serie_Zahlen"));
        qreal s = 0;
        for (int set = 0; set < 3; ++set) {
            const QList<qreal> w = werte(b, set);
            s = std::accumulate(w.begin(), w.end(), s);
        }
        return s;
    };

    tippen("DBEdit_Tage_Permanenz", QStringLiteral("3"));
    muss<QPushButton>("BitBtn_Berechnung_Permanenz_Auswertung")->click();
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join('|')));
    QCOMPARE(bereich->reiter()->currentWidget(), bereich->permanenzDiagramm());
    QCOMPARE(summe(), 10.0);
    // Every bar in the colour of its number: 2 in the black set, 3 in the red one.
    auto* b = qobject_cast<QAbstractBarSeries*>(serie("ChartView_Zahlen", "Serie_Zahlen"));
    QCOMPARE(b->barSets().at(0)->color(), QColor(200, 0, 0));
    QCOMPARE(b->barSets().at(0)->at(3), 3.0);
    QCOMPARE(b->barSets().at(1)->at(2), 2.0);
    QCOMPARE(b->barSets().at(0)->at(2), 0.0);
    QVERIFY(serie("ChartView_Zahlen", "Serie_Erwartet") != nullptr);
    QVERIFY(serie("ChartView_Zahlen", "Serie_Band") != nullptr);

    // A new evaluation over the chosen day alone: the chart follows.
    tippen("DBEdit_Tage_Permanenz", QStringLiteral("1"));
    muss<QPushButton>("BitBtn_Berechnung_Permanenz_Auswertung")->click();
    QCOMPARE(summe(), 3.0);
    QCOMPARE(bereich->permanenzDiagramm()->bild().zahlen.coups, 3);

    // The menu's complete evaluation counts the series too: the chart shows those of the
    // current row's event, red, whose only series on the chosen day (3 5 7) has length 3.
    muss<QAction>("MenuItem_Ereignisse_komplett")->trigger();
    QCOMPARE(summe(), 3.0);
    QCOMPARE(bereich->permanenzDiagramm()->ereignis(),
             dm().TdbQuery_Ereignisse_Haeufigkeit.integer("ID_Ereignis"));
    QCOMPARE(bereich->permanenzDiagramm()->ereignis(), 1);
    auto* beobachtet =
        qobject_cast<QXYSeries*>(serie("ChartView_Serien", QStringLiteral("Serie_Beobachtet")));
    QVERIFY(beobachtet != nullptr);
    QCOMPARE(beobachtet->points(), (QList<QPointF>{QPointF(3, 1)}));

    // The series chart follows the frequency list's current row.
    auto* liste = muss<CursorGrid>("DBGrid_Ereignisse_Auswertung");
    liste->setFocus();
    liste->selectRow(1);
    QTest::qWait(0);
    const int ereignis = dm().TdbQuery_Ereignisse_Haeufigkeit.integer("ID_Ereignis");
    QCOMPARE(bereich->permanenzDiagramm()->ereignis(), ereignis);
    const QString name = QString::fromStdString(
        fenster().katalog().name(ereignis, spinalyst::store::Sprache::Deutsch));
    const QString titel = muss<QChartView>("ChartView_Serien")->chart()->title();
    QVERIFY2(titel.startsWith(QStringLiteral("Serien: %1").arg(name)), qPrintable(titel));
}

void DiagrammTest::theChartIsSavedAsPngAndSvg() {
    starten();
    dreiErgebnistage();
    schwarzNachRotImPanel();
    tippen("DBEdit_Tage_System", QStringLiteral("3"));
    muss<QPushButton>("BitBtn_Berechnung_System_Auswertung")->click();
    QString gewaehlt;
    QStringList filter;
    QStringList vorschlag;
    programm->ui.setSaveFileChooser(
        [&](const QStringList& f,
            const QString& name) -> std::optional<spinalyst::kern::UserInterface::SaveChoice> {
            filter << f;
            vorschlag << name;
            return spinalyst::kern::UserInterface::SaveChoice{gewaehlt.toStdString(), 0};
        });

    gewaehlt = dir->filePath(QStringLiteral("verlauf.png"));
    muss<QToolButton>("Button_Diagramm_PNG")->click();
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join('|')));
    const QImage bild(gewaehlt);
    QVERIFY(!bild.isNull());
    QVERIFY(bild.width() > 100 && bild.height() > 100);

    gewaehlt = dir->filePath(QStringLiteral("verlauf.svg"));
    muss<QToolButton>("Button_Diagramm_SVG")->click();
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join('|')));
    QSvgRenderer svg(gewaehlt);
    QVERIFY(svg.isValid());
    QFile datei(gewaehlt);
    QVERIFY(datei.open(QIODevice::ReadOnly));
    QVERIFY(datei.readAll().contains("<svg"));
    QCOMPARE(filter, (QStringList{QStringLiteral("PNG-Bild (*.png)"),
                                  QStringLiteral("SVG-Zeichnung (*.svg)")}));
    QCOMPARE(vorschlag, (QStringList{QStringLiteral("Systemauswertung.png"),
                                     QStringLiteral("Systemauswertung.svg")}));

    // A name typed without a suffix gets the format's.
    gewaehlt = dir->filePath(QStringLiteral("ohne"));
    muss<QToolButton>("Button_Diagramm_SVG")->click();
    QVERIFY(QSvgRenderer(gewaehlt + QStringLiteral(".svg")).isValid());

    // A place that cannot be written is reported, not passed over.
    gewaehlt = dir->filePath(QStringLiteral("fehlt/verlauf.png"));
    muss<QToolButton>("Button_Diagramm_PNG")->click();
    QCOMPARE(meldungen.size(), 1);
    QVERIFY(meldungen.front().contains(QStringLiteral("nicht gespeichert")));
}

QTEST_MAIN(DiagrammTest)
#include "diagramm_test.moc"
