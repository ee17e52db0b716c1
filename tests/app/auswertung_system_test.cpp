// The evaluation panel and the system panel of the main window, driven through their controls
// on the offscreen platform, each test with its own program directory.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/anwendung.h"
#include "app/binding/bound_controls.h"
#include "app/binding/cursor_grid.h"
#include "capture/auswahl.h"
#include "events/ereigniswahl.h"
#include "store/sqlite.h"
#include "tests/app/app_fixture.h"

using spinalyst::binding::BoundComboBox;
using spinalyst::binding::BoundLookupComboBox;
using spinalyst::binding::CursorGrid;
using spinalyst::store::Value;

class AuswertungSystemTest : public QObject, protected spinalyst::testing::AppFixture {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void runThenDisplayListChanceClassAndClassTotalsWithoutANewRun();
    void twoEventSystemWithNegationSurvivesAnInstanceSwitchAndIsDeleted();
    void filterButtonOpensTheEventChoiceWhichTakesOrRemovesTheEvent();
    void systemNameAndModeMarkAreEditedInPlaceInTheInformation();

  private:
    // A control that must exist: the test ends at once without it.
    template <typename T>
    T* finde(const char* name) {
        T* w = AppFixture::finde<T>(name);
        if (w == nullptr) {
            qFatal("missing control %s", name);
        }
        return w;
    }
    CursorGrid* grid(const char* name) { return finde<CursorGrid>(name); }
    QString zelle(const char* gridName, int zeile, int spalte) {
        CursorGrid* g = grid(gridName);
        return g->model()->data(g->model()->index(zeile, spalte)).toString();
    }
    // Chooses an item of a bound list as the user does.
    static void waehle(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    // A casino selected and coups of the selected day, oldest first.
    void coupsDesTages(const std::vector<int>& zahlen);
};

void AuswertungSystemTest::init() {
    programmverzeichnisAnlegen();
}

void AuswertungSystemTest::cleanup() {
    programmBeenden();
}

void AuswertungSystemTest::coupsDesTages(const std::vector<int>& zahlen) {
    auto& k = fenster().kontext();
    spinalyst::capture::BitBtn_NeuClick(k);
    spinalyst::capture::BitBtn_OKClick(k);
    auto& wahl = dm().TdbTable_Wahl;
    const Value casino = wahl.value("ID_Casino");
    const Value tisch = wahl.value("Tisch");
    spinalyst::store::TableCursor p("Testpermanenz", dm().TdbDatabase_Roulette, "Permanenz");
    p.open();
    spinalyst::store::Transaction tx(dm().TdbDatabase_Roulette.connection());
    for (int z : zahlen) {
        p.appendRecord({casino, tisch, fenster().sitzung().gewaehlter_tag, Value(), z});
    }
    tx.commit();
    dm().TdbTable_Permanenz.refresh();
}

void AuswertungSystemTest::runThenDisplayListChanceClassAndClassTotalsWithoutANewRun() {
    starten();
    // 1 and 3 are red and odd, 2 is black and even: "Rouge" is hit by coups 1, 2, 4.
    coupsDesTages({1, 3, 2, 1, 2, 2});
    auto* knopf = finde<QPushButton>("BitBtn_Berechnung_Permanenz_Auswertung");
    auto* liste = finde<BoundComboBox>("DBComboBox_Haufigkeit_Serien_Rueckstaendigkeit");
    waehle(liste, liste->findText(QStringLiteral("A")));
    knopf->click();
    QVERIFY(knopf->isEnabled());
    QVERIFY(meldungen.isEmpty());

    // Mode "A" shows the frequency list of the chosen chance class with counts and percentages.
    auto* haeufigkeit = grid("DBGrid_Ereignisse_Auswertung");
    QVERIFY(haeufigkeit->isVisibleTo(&fenster()));
    const int ereignisse = haeufigkeit->model()->rowCount();
    QVERIFY(ereignisse > 0);
    bool mitProzent = false;
    for (int r = 0; r < ereignisse; ++r) {
        mitProzent = mitProzent || zelle("DBGrid_Ereignisse_Auswertung", r, 4).endsWith('%');
    }
    QVERIFY(mitProzent);
    const QString ersterName = zelle("DBGrid_Ereignisse_Auswertung", 0, 0);

    // Display "S": only the series list, the rows of the frequency list's current event.
    waehle(liste, liste->findText(QStringLiteral("S")));
    auto* serien = grid("DBGrid_Ereignisse_Serien_Auswertung");
    QVERIFY(serien->isVisibleTo(&fenster()));
    QVERIFY(!haeufigkeit->isVisibleTo(&fenster()));
    const int ereignisZeilen = serien->model()->rowCount();
    QVERIFY(ereignisZeilen > 0);
    const QString ereignisText = zelle("DBGrid_Ereignisse_Serien_Auswertung", 0, 0);
    QVERIFY(ereignisText != QStringLiteral("Chance gesamt"));

    // Double click: the class totals; again: the event's rows.
    emit serien->doubleClicked(serien->model()->index(0, 0));
    QVERIFY(serien->model()->rowCount() > 0);
    QCOMPARE(zelle("DBGrid_Ereignisse_Serien_Auswertung", 0, 0), QStringLiteral("Chance gesamt"));
    emit serien->doubleClicked(serien->model()->index(0, 0));
    QCOMPARE(serien->model()->rowCount(), ereignisZeilen);
    QCOMPARE(zelle("DBGrid_Ereignisse_Serien_Auswertung", 0, 0), ereignisText);

    // Display "R" shows the absence list.
    waehle(liste, liste->findText(QStringLiteral("R")));
    QVERIFY(grid("DBGrid_Ereignisse_Rueckstaendigkeit_Auswertung")->isVisibleTo(&fenster()));
    QVERIFY(!serien->isVisibleTo(&fenster()));

    // Another chance class: back to the frequency list, its events, the counts still there.
    auto* chance = finde<BoundLookupComboBox>("DBLookupComboBox_Chancen_Permanenz");
    QVERIFY(chance->count() > 1);
    waehle(chance, chance->currentIndex() == 0 ? 1 : 0);
    QCOMPARE(liste->currentText(), QStringLiteral("H"));
    QVERIFY(haeufigkeit->isVisibleTo(&fenster()));
    QVERIFY(haeufigkeit->model()->rowCount() > 0);
    QVERIFY(zelle("DBGrid_Ereignisse_Auswertung", 0, 0) != ersterName);
    int gezaehlt = 0;
    for (int r = 0; r < haeufigkeit->model()->rowCount(); ++r) {
        gezaehlt += zelle("DBGrid_Ereignisse_Auswertung", r, 3).isEmpty() ? 0 : 1;
    }
    QVERIFY(gezaehlt > 0);

    // A changed coup count resets the results.
    auto* coups = finde<spinalyst::binding::BoundLineEdit>("DBEdit_Coups_Permanenz");
    coups->setText(QStringLiteral("50"));
    coups->setModified(true);
    coups->commit();
    for (int r = 0; r < haeufigkeit->model()->rowCount(); ++r) {
        QCOMPARE(zelle("DBGrid_Ereignisse_Auswertung", r, 3), QString());
    }
    QVERIFY(meldungen.isEmpty());
}

void AuswertungSystemTest::twoEventSystemWithNegationSurvivesAnInstanceSwitchAndIsDeleted() {
    starten();
    auto& k = fenster().kontext();
    // The event choice takes the first and then the second event of the catalogue.
    int gewaehlt = 0;
    fenster().setEreigniswahlOeffner([&](char modus) {
        QCOMPARE(modus, 'E');
        auto& ereignisse = dm().TdbTable_Ereignisse;
        ereignisse.first();
        ereignisse.moveBy(gewaehlt++);
        spinalyst::events::BitBtn_Aufnahme_EreignisClick(k, true);
    });

    finde<QPushButton>("BitBtn_System_Neu")->click();
    auto* systeme = grid("DBGrid_Systeme");
    QCOMPARE(systeme->model()->rowCount(), 1);
    auto* details = finde<QCheckBox>("CheckBox_Systemdetails");
    QVERIFY(details->isEnabled());
    details->click();
    auto* ef = finde<QPushButton>("BitBtn_Ereignis_Ereignisfolge");
    QVERIFY(ef->isEnabled());
    ef->click();
    ef->click();
    QVERIFY(meldungen.isEmpty());

    const char* folge = "DBGrid_System_Ereignisfolge";
    QCOMPARE(grid(folge)->model()->rowCount(), 2);
    QCOMPARE(zelle(folge, 0, 2), QString());
    QCOMPARE(zelle(folge, 1, 2), QStringLiteral("x"));

    // "<>" on the first event; the attacked (last) event never takes it.
    auto* ungleich = finde<QCheckBox>("CheckBox_ungleich_Ereignis");
    auto& reihe = dm().TdbTable_System_Ereignisse;
    reihe.last();
    ungleich->click();
    QVERIFY(!ungleich->isChecked());
    QCOMPARE(zelle(folge, 1, 2), QStringLiteral("x"));
    reihe.first();
    ungleich->click();
    QVERIFY(ungleich->isChecked());
    QCOMPARE(zelle(folge, 0, 2), QStringLiteral("<>"));

    // Instance 2 has its own (empty) sequence; instance 1 keeps its own.
    auto* instanz = finde<BoundComboBox>("DBComboBox_Instanz_System_Daten");
    waehle(instanz, 1);
    QCOMPARE(grid(folge)->model()->rowCount(), 0);
    waehle(instanz, 0);
    QCOMPARE(grid(folge)->model()->rowCount(), 2);
    QCOMPARE(zelle(folge, 0, 2), QStringLiteral("<>"));
    QCOMPARE(zelle(folge, 1, 2), QStringLiteral("x"));

    // Delete, asked first.
    antwort = true;
    finde<QAction>("MenuItem_Systeme_Loeschen")->trigger();
    QCOMPARE(fragen, QStringList{QStringLiteral("System wirklich löschen?")});
    QCOMPARE(loeschfragen, fragen);  // asked with No as the default
    QCOMPARE(systeme->model()->rowCount(), 0);
    QVERIFY(meldungen.isEmpty());
}

void AuswertungSystemTest::filterButtonOpensTheEventChoiceWhichTakesOrRemovesTheEvent() {
    starten();
    finde<QPushButton>("BitBtn_System_Neu")->click();
    finde<QCheckBox>("CheckBox_Systemdetails")->click();
    auto* info = finde<QLineEdit>("DBEdit_Ereignis_Haeufigkeit_Info");
    QVERIFY(info->text().isEmpty());

    // Answers the modal window once it is up: the box as given, then "Aufnahme".
    QString titel;
    bool angehakt = false;
    auto antworten = [&](bool aufnehmen) {
        QTimer::singleShot(0, this, [&, aufnehmen] {
            auto* wahl = fenster().findChild<QDialog*>(QStringLiteral("Form_Wahl_Ereignis"));
            QVERIFY(wahl != nullptr && wahl->isVisible());
            titel = wahl->windowTitle();
            auto* box = wahl->findChild<QCheckBox*>(QStringLiteral("CheckBox_Aufnahme_Ausgang"));
            angehakt = box->isChecked();
            box->setChecked(aufnehmen);
            wahl->findChild<QPushButton*>(QStringLiteral("BitBtn_Aufnahme_Ereignis"))->click();
        });
    };
    antworten(true);
    finde<QPushButton>("BitBtn_Ereignis_Haeufigkeit")->click();
    QCOMPARE(titel, QStringLiteral("  Wahl Ereignis (Häufigkeit)"));
    QVERIFY(angehakt);
    QVERIFY(!info->text().isEmpty());

    // Unticked: the whole filter removed; the box is ticked again on the next show.
    antworten(false);
    finde<QPushButton>("BitBtn_Ereignis_Haeufigkeit")->click();
    QVERIFY(angehakt);
    QVERIFY(info->text().isEmpty());
    QVERIFY(meldungen.isEmpty());
}

namespace {

// Double-clicks the cell as the player does; the editor it opened, nullptr when none.
QLineEdit* doppelklick(QTableView* grid, int zeile, int spalte) {
    const QRect zelle = grid->visualRect(grid->model()->index(zeile, spalte));
    // A player's double click: press and release, then the second press and its release.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, zelle.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, zelle.center());
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, zelle.center());
    // Closed editors are hidden until they are deleted.
    for (auto* editor : grid->viewport()->findChildren<QLineEdit*>()) {
        if (editor->isVisible()) {
            return editor;
        }
    }
    return nullptr;
}

}  // namespace

void AuswertungSystemTest::systemNameAndModeMarkAreEditedInPlaceInTheInformation() {
    starten();
    finde<QPushButton>("BitBtn_System_Neu")->click();
    const char* liste = "DBGrid_Systeme";
    auto* systeme = grid(liste);
    QCOMPARE(systeme->model()->rowCount(), 1);
    QCOMPARE(zelle(liste, 0, 1), QStringLiteral("(Neues System)"));
    QVERIFY(!systeme->editing());
    auto* information = finde<QAction>("MenuItem_Systeme_Information");

    // The double click opens the information and the name's editor.
    QLineEdit* editor = doppelklick(systeme, 0, 1);
    QVERIFY(information->isChecked());
    QVERIFY(systeme->editing());
    QVERIFY(editor != nullptr);
    QTest::keyClicks(editor, QStringLiteral("Dutzend 2/3"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(zelle(liste, 0, 1), QStringLiteral("Dutzend 2/3"));

    // The mark for mode "A": x or nothing.
    editor = doppelklick(systeme, 0, 2);
    QVERIFY(editor != nullptr);
    QTest::keyClicks(editor, QStringLiteral("qx"));
    QCOMPARE(editor->text(), QStringLiteral("x"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(zelle(liste, 0, 2), QStringLiteral("x"));

    // Escape drops what was typed.
    editor = doppelklick(systeme, 0, 1);
    QVERIFY(editor != nullptr);
    QTest::keyClicks(editor, QStringLiteral("Verworfen"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(!systeme->cellEditorOpen());
    QCOMPARE(zelle(liste, 0, 1), QStringLiteral("Dutzend 2/3"));

    // Leaving the information keeps a name being typed and ends editing.
    editor = doppelklick(systeme, 0, 1);
    QVERIFY(editor != nullptr);
    QTest::keyClicks(editor, QStringLiteral("Dutzend 1/2"));
    information->trigger();
    QVERIFY(!information->isChecked());
    QVERIFY(!systeme->editing());
    QVERIFY(!systeme->cellEditorOpen());
    QCOMPARE(zelle(liste, 0, 1), QStringLiteral("Dutzend 1/2"));
    QVERIFY(!dm().TdbTable_Systeme.isEditing());
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join(QLatin1Char('\n'))));

    // Stored, and shown after a new start.
    programm.reset();
    vorbereiten([](spinalyst::store::DataModule_Roulette& daten) {
        auto& s = daten.TdbTable_Systeme;
        s.setFiltered(false);
        QCOMPARE(s.recordCount(), 1);
        QCOMPARE(s.text("System_Name"), std::string("Dutzend 1/2"));
        QCOMPARE(s.text("System_Online_Aktiv"), std::string("x"));
    });
    starten();
    QCOMPARE(zelle(liste, 0, 1), QStringLiteral("Dutzend 1/2"));
    QCOMPARE(zelle(liste, 0, 2), QStringLiteral("x"));
}

QTEST_MAIN(AuswertungSystemTest)
#include "auswertung_system_test.moc"
