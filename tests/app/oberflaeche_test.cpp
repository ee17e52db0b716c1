// What the player reads: Qt's own texts in the interface language, message boxes wide enough
// for their title, tool tips of the terse controls in both languages, and a main window that
// fits a 1366x768 screen with nothing cut.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/anwendung.h"
#include "app/binding/cursor_grid.h"
#include "app/qt_user_interface.h"
#include "tests/app/app_fixture.h"

using spinalyst::binding::CursorGrid;

class OberflaecheTest : public QObject, protected spinalyst::testing::AppFixture {
    Q_OBJECT
  private slots:
    void init() { programmverzeichnisAnlegen(); }
    void cleanup() { programmBeenden(); }
    void qtsOwnTextsFollowTheLanguageBothWays();
    void messageBoxesShowTheirWholeTitle();
    void terseControlsExplainThemselvesInBothLanguages();
    void theMainWindowFitsASmallScreen();

  private:
    QAction* menue(const char* name) { return finde<QAction>(name); }
    // Asks a real question (the box of the program, not the test's script) and returns what the
    // box showed: its buttons' texts, its title and its width.
    struct Box {
        QString ja;
        QString nein;
        QString titel;
        int breite = 0;
        QFont schrift;
    };
    Box frageZeigen();
};

OberflaecheTest::Box OberflaecheTest::frageZeigen() {
    programm->ui.setConfirmHandler({});
    Box gesehen;
    QTimer::singleShot(0, this, [&gesehen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        gesehen.ja = box->button(QMessageBox::Yes)->text();
        gesehen.nein = box->button(QMessageBox::No)->text();
        gesehen.titel = box->windowTitle();
        gesehen.breite = box->width();
        gesehen.schrift = box->font();
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    programm->ui.confirm("?");
    return gesehen;
}

// The program starts in German: the buttons say "Ja"/"Nein"; English gives "Yes"/"No" and
// German brings the German texts back. The file dialog's texts come from the same place.
void OberflaecheTest::qtsOwnTextsFollowTheLanguageBothWays() {
    starten();
    const struct {
        const char* sprache;  // menu item, nullptr: as started
        const char* ja;
        const char* nein;
        const char* oeffnen;  // the file dialog's "Open"
    } faelle[] = {
        {nullptr, "&Ja", "&Nein", "Öffnen"},
        {"MenuItem_Sprache_Englisch", "&Yes", "&No", "Open"},
        {"MenuItem_Sprache_Deutsch", "&Ja", "&Nein", "Öffnen"},
        {"MenuItem_Sprache_Englisch", "&Yes", "&No", "Open"},
    };
    for (const auto& f : faelle) {
        if (f.sprache != nullptr) {
            menue(f.sprache)->trigger();
        }
        const Box box = frageZeigen();
        QCOMPARE(box.ja, QString::fromUtf8(f.ja));
        QCOMPARE(box.nein, QString::fromUtf8(f.nein));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Open"), QString::fromUtf8(f.oeffnen));
    }
    QVERIFY(meldungen.isEmpty());
}

void OberflaecheTest::messageBoxesShowTheirWholeTitle() {
    starten();
    // The title the program start gives every box.
    QApplication::setApplicationName(QStringLiteral("Molvane's Spinalyst Q/XA"));
    const Box box = frageZeigen();
    QCOMPARE(box.titel, QStringLiteral("Molvane's Spinalyst Q/XA"));
    QFont fett = box.schrift;
    fett.setBold(true);
    QVERIFY2(box.breite >= QFontMetrics(fett).horizontalAdvance(box.titel) +
                               spinalyst::app::kTitelleistenRand,
             qPrintable(QString::number(box.breite)));
}

void OberflaecheTest::terseControlsExplainThemselvesInBothLanguages() {
    starten();
    const struct {
        const char* objekt;
        const char* deutsch;  // the tip starts with this
        const char* englisch;
    } faelle[] = {
        {"DBCheckBox_Haeufigkeit_vor_Ereignisfolge", "vEf: vor Ereignisfolge", "vEf: before the"},
        {"DBCheckBox_Rueckstaendigkeit_vor_Ereignisfolge", "vEf: vor", "vEf: before"},
        {"DBCheckBox_Serien_Filterung_aktiv", "A: Filter aktiv", "A: filter active"},
        {"DBCheckBox_Ereignisfolge_Filterung_aktiv", "A: Filter aktiv", "A: filter active"},
        {"DBCheckBox_Systemangriff_Beendung_Einzeln_Alle", "A: alle Instanzen", "A: all instances"},
        {"DBCheckBox_Haeufigkeit_ungleich", "<>: ungleich", "<>: unequal"},
        {"CheckBox_ungleich_Ereignis", "<>: ungleich", "<>: unequal"},
        {"Label_Instanz", "I: Instanz", "I: instance"},
        {"DBComboBox_Instanz_System_Daten", "I: Instanz", "I: instance"},
        {"BitBtn_Gesamtauswertungen", "Σ: Überblick", "Σ: overview"},
        {"DBCheckBox_Auswertung_Alle_Systeme", "x (A): alle", "x (A): all"},
        {"DBCheckBox_Online_Alle_Systeme", "x (A): alle", "x (A): all"},
        {"Label_von2", "Coups zurück", "Coups back"},
        {"Label_bis2", "Coups zurück", "Coups back"},
        {"DBEdit_Serien_Coups_zurueck_von", "Coups zurück", "Coups back"},
        {"DBEdit_Haeufigkeit_Coups_zurueck_bis", "Coups zurück", "Coups back"},
        {"DBEdit_Ereignisfolgen_zurueck_von", "Frühere Auftreten", "Earlier occurrences"},
    };
    // The "A" headings of the grids.
    const struct {
        const char* grid;
        int spalte;
        const char* deutsch;
        const char* englisch;
    } koepfe[] = {
        {"DBGrid_Systeme", 2, "A: mit \"x\" markiert", "A: marked \"x\""},
        {"DBGrid_System_Ereignisfolge", 2, "A: \"x\" angegriffenes", "A: \"x\" attacked"},
        {"DBGrid_System_Angriffe", 0, "A: Angriffsstufe", "A: attack step"},
    };
    for (const char* sprache :
         {"MenuItem_Sprache_Englisch", "MenuItem_Sprache_Deutsch", "MenuItem_Sprache_Englisch"}) {
        menue(sprache)->trigger();
        const bool englisch = QByteArray(sprache).endsWith("Englisch");
        for (const auto& k : koepfe) {
            const QString tipp = finde<CursorGrid>(k.grid)
                                     ->model()
                                     ->headerData(k.spalte, Qt::Horizontal, Qt::ToolTipRole)
                                     .toString();
            QVERIFY2(tipp.startsWith(QString::fromUtf8(englisch ? k.englisch : k.deutsch)),
                     qPrintable(tipp));
        }
        for (const auto& f : faelle) {
            auto* w = finde<QWidget>(f.objekt);
            QVERIFY2(w != nullptr, f.objekt);
            const QString erwartet = QString::fromUtf8(englisch ? f.englisch : f.deutsch);
            QVERIFY2(
                w->toolTip().startsWith(erwartet),
                qPrintable(QString::fromLatin1(f.objekt) + QStringLiteral(": ") + w->toolTip()));
        }
    }
}

// At 1366x768 less the title bar and a task bar the window shows every label, button and box
// whole, the day list its rows, the frequency list its event names and the sequence's "A"
// column room for "<>".
void OberflaecheTest::theMainWindowFitsASmallScreen() {
    starten();
    QVERIFY(fenster().minimumSizeHint().width() <= 1366);
    QVERIFY(fenster().minimumSizeHint().height() <= 768 - 70);
    for (const char* sprache : {"MenuItem_Sprache_Deutsch", "MenuItem_Sprache_Englisch"}) {
        menue(sprache)->trigger();
        fenster().resize(1366, 768 - 70);
        QTest::qWait(50);
        QStringList abgeschnitten;
        for (QWidget* w : fenster().findChildren<QWidget*>()) {
            if (!w->isVisible() || w->objectName().isEmpty()) {
                continue;
            }
            // Labels and check boxes need their minimum size; a push button its text (its
            // style asks for more room than a one-letter button needs).
            bool passt = true;
            if (qobject_cast<QLabel*>(w) != nullptr || qobject_cast<QCheckBox*>(w) != nullptr) {
                passt = w->width() >= w->minimumSizeHint().width() &&
                        w->height() >= w->minimumSizeHint().height();
            } else if (auto* knopf = qobject_cast<QPushButton*>(w)) {
                passt = knopf->width() >= knopf->fontMetrics().horizontalAdvance(
                                              knopf->text().remove(QLatin1Char('&'))) +
                                              8;
            }
            if (!passt) {
                abgeschnitten << w->objectName();
            }
        }
        QVERIFY2(abgeschnitten.isEmpty(), qPrintable(abgeschnitten.join(QLatin1Char(' '))));

        auto* folge = finde<CursorGrid>("DBGrid_System_Ereignisfolge");
        QVERIFY(folge->columnWidth(2) >=
                folge->fontMetrics().horizontalAdvance(QStringLiteral("<>")) + 8);
        // The day list of the system evaluation shows the ten days of a default evaluation
        // whole.
        auto* tage = finde<CursorGrid>("DBGrid_System_Auswertung");
        QVERIFY2(tage->viewport()->height() >= 10 * tage->verticalHeader()->defaultSectionSize(),
                 qPrintable(QString::number(tage->viewport()->height())));
        // The filter rows show the usual event texts whole.
        auto* info = finde<QLineEdit>("DBEdit_Ereignis_Haeufigkeit_Info");
        QVERIFY(info->width() >=
                info->fontMetrics().horizontalAdvance(QStringLiteral("18 schwarze Zahlen")) + 8);
    }
}

QTEST_MAIN(OberflaecheTest)
#include "oberflaeche_test.moc"
