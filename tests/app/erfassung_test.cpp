// Capture through the real controls of the main window and the casino window: a casino is
// created, renamed and marked for the list in place, and chosen; numbers are typed with Enter,
// the number-entry mode ends.
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/anwendung.h"
#include "app/binding/cursor_grid.h"
#include "store/sqlite.h"
#include "tests/app/app_fixture.h"

class ErfassungTest : public QObject, protected spinalyst::testing::AppFixture {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void newCasinoTakesTypedNumbersAndDropsTheOpenCoup();
    void ctrlDeleteAsksAndDeletesTheCoup();
    void aNumberWithoutCasinoIsRefused();
    void enterOnTheDeleteQuestionKeepsTheCoup();
    void casinoIsRenamedAndMarkedInPlaceAndEscapeKeepsIt();
    void ctrlDeleteInEntryModeGivesTheNextNumberToTheNumberField();
    void aNumberOutsideTheWheelIsDroppedWithAHint();
    void theNumberFieldIsLargeEnoughToTypeInAtTheTable();
    void aTypedDayIsTakenOnceItIsComplete();

  private:
    // Starts the program and gives its main window the activation, as typing needs.
    void starten();
    QAction* menue(const char* name) { return finde<QAction>(name); }
    // Opens the casino window by its menu entry, creates a casino with "Neu" and takes it with OK.
    void casinoAnlegen();
    void zahlEingeben(const QString& zahl);
    // Opens the casino window by its menu entry, runs the steps in it and closes it with OK.
    void imCasinofenster(
        const std::function<void(QDialog*, spinalyst::binding::CursorGrid*)>& schritte);
    // The casinos the selection bar offers.
    QStringList casinoliste();
    // Starts the program with a new casino and types the coups 5 and 6 in entry mode.
    void zweiCoupsGetippt();
    int zeilen() { return finde<QTableView>("DBGrid_Permanenz")->model()->rowCount(); }
    int tagesCoups() {
        return fenster().dataModule().TdbTable_Permanenz_Tag_Zusammenfassung.integer(
            "Coups_Anzahl");
    }
};

void ErfassungTest::init() {
    programmverzeichnisAnlegen();
    antwort = true;
}

void ErfassungTest::cleanup() {
    programmBeenden();
}

void ErfassungTest::zweiCoupsGetippt() {
    starten();
    casinoAnlegen();
    menue("MenuItem_Permanenzen_Eingabe")->trigger();
    for (const char* z : {"5", "6"}) {
        zahlEingeben(QString::fromLatin1(z));
    }
}

void ErfassungTest::starten() {
    AppFixture::starten();
    if (QTest::currentTestFailed()) {
        return;
    }
    fenster().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&fenster()));
    QVERIFY(meldungen.isEmpty());
}

void ErfassungTest::casinoAnlegen() {
    bool gesehen = false;
    // The window is modal: act in it once its event loop runs.
    QTimer::singleShot(0, this, [this, &gesehen] {
        auto* casinos = fenster().findChild<QDialog*>(QStringLiteral("Form_Casino"));
        QVERIFY(casinos != nullptr && casinos->isVisible());
        gesehen = true;
        QCOMPARE(casinos->windowTitle(), QStringLiteral("  Casinos"));
        QTest::mouseClick(casinos->findChild<QPushButton*>(QStringLiteral("BitBtn_Neu")),
                          Qt::LeftButton);
        QTest::mouseClick(casinos->findChild<QPushButton*>(QStringLiteral("BitBtn_OK")),
                          Qt::LeftButton);
    });
    QWidget* vorher = QApplication::focusWidget();
    QVERIFY(vorher != nullptr && vorher->window() == &fenster());
    menue("MenuItem_Casinos")->trigger();
    QVERIFY(gesehen);
    QVERIFY(!fenster().findChild<QDialog*>(QStringLiteral("Form_Casino"))->isVisible());
    // The casino window gives the activation back to the main window and the keyboard to the
    // control that had it (the offscreen platform, like some window managers, would leave both
    // with the hidden window).
    QVERIFY(QApplication::activeWindow() == &fenster());
    QVERIFY(QApplication::focusWidget() == vorher);
}

void ErfassungTest::imCasinofenster(
    const std::function<void(QDialog*, spinalyst::binding::CursorGrid*)>& schritte) {
    bool gesehen = false;
    QTimer::singleShot(0, this, [this, &gesehen, &schritte] {
        auto* casinos = fenster().findChild<QDialog*>(QStringLiteral("Form_Casino"));
        QVERIFY(casinos != nullptr && casinos->isVisible());
        gesehen = true;
        schritte(casinos, casinos->findChild<spinalyst::binding::CursorGrid*>(
                              QStringLiteral("DBGrid_Casino_Name")));
        QVERIFY2(casinos->isVisible(), "the window closed during the steps");
        QTest::mouseClick(casinos->findChild<QPushButton*>(QStringLiteral("BitBtn_OK")),
                          Qt::LeftButton);
    });
    menue("MenuItem_Casinos")->trigger();
    QVERIFY(gesehen);
    QVERIFY(QApplication::activeWindow() == &fenster());
}

QStringList ErfassungTest::casinoliste() {
    auto* liste = finde<QComboBox>("DBLookupComboBox_Casino");
    QStringList namen;
    for (int i = 0; i < liste->count(); ++i) {
        namen << liste->itemText(i);
    }
    return namen;
}

namespace {

// The open editor of the grid, nullptr when none (closed editors are hidden until deleted).
QLineEdit* offenerEditor(QTableView* grid) {
    for (auto* editor : grid->viewport()->findChildren<QLineEdit*>()) {
        if (editor->isVisible()) {
            return editor;
        }
    }
    return nullptr;
}

QPoint mitte(QTableView* grid, int zeile, int spalte) {
    return grid->visualRect(grid->model()->index(zeile, spalte)).center();
}

// Double-clicks the cell as the player does; the editor it opened, nullptr when none.
QLineEdit* doppelklick(QTableView* grid, int zeile, int spalte) {
    // Press and release, then the second press and its release.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, mitte(grid, zeile, spalte));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, mitte(grid, zeile, spalte));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, mitte(grid, zeile, spalte));
    return offenerEditor(grid);
}

// Clicks the cell and opens its editor with F2; nullptr when none opened.
QLineEdit* f2(QTableView* grid, int zeile, int spalte) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, mitte(grid, zeile, spalte));
    QTest::keyClick(grid, Qt::Key_F2);
    return offenerEditor(grid);
}

QString zelle(QTableView* grid, int zeile, int spalte) {
    return grid->model()->data(grid->model()->index(zeile, spalte)).toString();
}

}  // namespace

void ErfassungTest::zahlEingeben(const QString& zahl) {
    auto* feld = finde<QLineEdit>("DBEdit_Permanenz_Zahl");
    QTest::keyClicks(feld, zahl);
    QTest::keyClick(feld, Qt::Key_Return);
    QVERIFY2(feld->text().isEmpty(), qPrintable(zahl));
}

void ErfassungTest::newCasinoTakesTypedNumbersAndDropsTheOpenCoup() {
    starten();
    casinoAnlegen();
    auto* casino = finde<QComboBox>("DBLookupComboBox_Casino");
    QCOMPARE(casino->currentText(), QStringLiteral("Casino"));
    QVERIFY(meldungen.isEmpty());

    auto* knopf = finde<QPushButton>("BitBtn_Permanenz_Zahl");
    QVERIFY(!knopf->isEnabled());
    menue("MenuItem_Permanenzen_Eingabe")->trigger();
    QVERIFY(knopf->isEnabled());

    // 37 and -1 are no numbers of the wheel: nothing is stored, the field is cleared.
    for (const char* z : {"0", "17", "36", "37", "-1"}) {
        zahlEingeben(QString::fromLatin1(z));
    }
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join(QLatin1Char('\n'))));
    // Three numbers and the coup about to be played.
    QCOMPARE(zeilen(), 4);
    QCOMPARE(tagesCoups(), 3);

    // Entering the casino list ends the mode: the open coup goes.
    casino->setFocus();
    QTRY_VERIFY(!knopf->isEnabled());
    QCOMPARE(zeilen(), 3);
    QCOMPARE(tagesCoups(), 3);
}

void ErfassungTest::ctrlDeleteAsksAndDeletesTheCoup() {
    zweiCoupsGetippt();
    // The date picker ends the mode, which drops the open coup.
    finde<QWidget>("DateTimePicker")->setFocus();
    QTRY_COMPARE(zeilen(), 2);
    auto* grid = finde<QTableView>("DBGrid_Permanenz");
    grid->setFocus();

    // Cancel keeps the coup, OK deletes it and the day row follows.
    antwort = false;
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(fragen, QStringList{QStringLiteral("Datensatz löschen?")});
    QCOMPARE(loeschfragen, fragen);
    QCOMPARE(zeilen(), 2);
    antwort = true;
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(zeilen(), 1);
    QCOMPARE(tagesCoups(), 1);
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join(QLatin1Char('\n'))));
}

void ErfassungTest::aNumberWithoutCasinoIsRefused() {
    starten();
    QCOMPARE(finde<QComboBox>("DBLookupComboBox_Casino")->count(), 0);
    menue("MenuItem_Permanenzen_Eingabe")->trigger();
    zahlEingeben(QStringLiteral("7"));
    QCOMPARE(meldungen, QStringList{QStringLiteral("Keine Zahl gespeichert: das gewählte Casino "
                                                   "gibt es nicht.\nBitte zuerst ein Casino "
                                                   "anlegen und wählen!")});
    QCOMPARE(zeilen(), 0);
    QVERIFY(QApplication::focusWidget() == finde<QLineEdit>("DBEdit_Permanenz_Zahl"));

    // The casino created afterwards starts without a day.
    casinoAnlegen();
    QCOMPARE(zeilen(), 0);
    spinalyst::store::Statement s(dm().TdbDatabase_Roulette.connection(),
                                  "SELECT (SELECT count(*) FROM Permanenz) + (SELECT count(*) "
                                  "FROM Permanenz_Tag_Zusammenfassung)");
    QVERIFY(s.step());
    QCOMPARE(s.int64(0), 0);
}

// The question before a coup is deleted is the real box: Enter answers No and keeps the coup,
// Yes deletes it.
void ErfassungTest::enterOnTheDeleteQuestionKeepsTheCoup() {
    zweiCoupsGetippt();
    finde<QWidget>("DateTimePicker")->setFocus();
    QTRY_COMPARE(zeilen(), 2);
    auto* grid = finde<QTableView>("DBGrid_Permanenz");
    grid->setFocus();
    programm->ui.setConfirmHandler({});
    programm->ui.setDeletionConfirmHandler({});

    const struct {
        bool enter;  // Enter, else a click on Yes
        int zeilen;
    } antworten[] = {{true, 2}, {false, 1}};
    for (const auto& a : antworten) {
        QString frage;
        bool vorgabeNein = false;
        // The box is modal: answer it once its event loop runs.
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            frage = box->text();
            vorgabeNein = box->defaultButton() == box->button(QMessageBox::No);
            if (a.enter) {
                // The key goes where the player's would: to the control with the focus.
                QWidget* ziel = box->focusWidget();
                QTest::keyClick(ziel != nullptr ? ziel : box, Qt::Key_Return);
            } else {
                QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
            }
        });
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(frage, QStringLiteral("Datensatz löschen?"));
        QCOMPARE(zeilen(), a.zeilen);
        QCOMPARE(tagesCoups(), a.zeilen);
        QVERIFY(vorgabeNein);
    }
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join(QLatin1Char('\n'))));
}

void ErfassungTest::casinoIsRenamedAndMarkedInPlaceAndEscapeKeepsIt() {
    starten();
    casinoAnlegen();
    QCOMPARE(casinoliste(), QStringList{QStringLiteral("Casino")});

    imCasinofenster([this](QDialog*, spinalyst::binding::CursorGrid* grid) {
        QVERIFY(grid != nullptr);
        QVERIFY(!grid->editing());
        // The first double click edits the cell at once; the new name replaces the old one.
        QLineEdit* editor = doppelklick(grid, 0, 1);
        QVERIFY(grid->editing());
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->text(), QStringLiteral("Casino"));
        QTest::keyClicks(editor, QStringLiteral("Monte Carlo"));
        QCOMPARE(editor->text(), QStringLiteral("Monte Carlo"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!grid->cellEditorOpen());
        QCOMPARE(zelle(grid, 0, 1), QStringLiteral("Monte Carlo"));
        QVERIFY(!dm().TdbTable_Casino.isEditing());

        // While editing, a click and F2 open the list mark; other letters than x are not taken.
        editor = f2(grid, 0, 2);
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->text(), QStringLiteral("x"));
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, QStringLiteral("j"));
        QCOMPARE(editor->text(), QString());
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(zelle(grid, 0, 2), QString());

        // Another double click returns to browsing the rows: no editor opens.
        QVERIFY(doppelklick(grid, 0, 1) == nullptr);
        QVERIFY(!grid->editing());
        QVERIFY(grid->selectionModel()->isRowSelected(0, {}));
    });
    QVERIFY(meldungen.isEmpty());
    QVERIFY(!casinoliste().contains(QStringLiteral("Monte Carlo")));

    // Stored: read from the files with the program ended, and shown after a new start.
    programm.reset();
    vorbereiten([](spinalyst::store::DataModule_Roulette& daten) {
        auto& c = daten.TdbTable_Casino;
        c.setFiltered(false);
        QCOMPARE(c.recordCount(), 1);
        QCOMPARE(c.text("Casino_Name"), std::string("Monte Carlo"));
        QVERIFY(c.isNull("Casino_In_Liste"));
    });
    starten();
    imCasinofenster([](QDialog*, spinalyst::binding::CursorGrid* grid) {
        QVERIFY(grid != nullptr);
        QCOMPARE(zelle(grid, 0, 1), QStringLiteral("Monte Carlo"));
        QLineEdit* editor = doppelklick(grid, 0, 2);
        QVERIFY(editor != nullptr);
        QTest::keyClicks(editor, QStringLiteral("x"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(zelle(grid, 0, 2), QStringLiteral("x"));

        // Escape drops what was typed.
        editor = f2(grid, 0, 1);
        QVERIFY(editor != nullptr);
        QTest::keyClicks(editor, QStringLiteral("Verworfen"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_VERIFY(!grid->cellEditorOpen());
        QCOMPARE(zelle(grid, 0, 1), QStringLiteral("Monte Carlo"));
    });
    QVERIFY(meldungen.isEmpty());
    QCOMPARE(casinoliste(), QStringList{QStringLiteral("Monte Carlo")});
    programm.reset();
    vorbereiten([](spinalyst::store::DataModule_Roulette& daten) {
        auto& c = daten.TdbTable_Casino;
        c.setFiltered(false);
        QCOMPARE(c.text("Casino_Name"), std::string("Monte Carlo"));
        QCOMPARE(c.text("Casino_In_Liste"), std::string("x"));
    });
}

// The player clicks a coup in the grid while typing numbers, deletes it with Ctrl+Delete and
// types on: the next number reaches the number field (keys go where the focus is).
void ErfassungTest::ctrlDeleteInEntryModeGivesTheNextNumberToTheNumberField() {
    zweiCoupsGetippt();
    auto* feld = finde<QLineEdit>("DBEdit_Permanenz_Zahl");
    QVERIFY(QApplication::focusWidget() == feld);
    auto* grid = finde<QTableView>("DBGrid_Permanenz");
    QCOMPARE(zeilen(), 3);

    for (const bool ja : {false, true}) {
        antwort = ja;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, mitte(grid, 0, 0));
        QVERIFY(QApplication::focusWidget() == grid);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(finde<QPushButton>("BitBtn_Permanenz_Zahl")->isEnabled());
        QVERIFY2(QApplication::focusWidget() == feld,
                 QApplication::focusWidget() != nullptr
                     ? qPrintable(QApplication::focusWidget()->objectName())
                     : "no focus");
    }
    QCOMPARE(zeilen(), 2);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("9"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(tagesCoups(), 2);
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join(QLatin1Char('\n'))));
}

// Nothing is stored for a number that is not one of the wheel; the status bar says why, in the
// language of the interface, and the hint goes with the next good number.
void ErfassungTest::aNumberOutsideTheWheelIsDroppedWithAHint() {
    starten();
    casinoAnlegen();
    menue("MenuItem_Permanenzen_Eingabe")->trigger();
    QStatusBar* leiste = fenster().statusBar();
    const struct {
        const char* sprache;
        const char* zahl;
        const char* hinweis;
    } faelle[] = {
        {"MenuItem_Sprache_Deutsch", "37", "Nicht gespeichert: eine Zahl ist 0 bis 36."},
        {"MenuItem_Sprache_Deutsch", "-1", "Nicht gespeichert: eine Zahl ist 0 bis 36."},
        {"MenuItem_Sprache_Englisch", "99", "Not stored: a number is 0 to 36."},
        {"MenuItem_Sprache_Deutsch", "8", ""},
    };
    for (const auto& f : faelle) {
        menue(f.sprache)->trigger();
        menue("MenuItem_Permanenzen_Eingabe")->trigger();
        finde<QLineEdit>("DBEdit_Permanenz_Zahl")->setFocus();
        zahlEingeben(QString::fromLatin1(f.zahl));
        QCOMPARE(leiste->currentMessage(), QString::fromUtf8(f.hinweis));
    }
    QCOMPARE(tagesCoups(), 1);
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join(QLatin1Char('\n'))));
}

void ErfassungTest::theNumberFieldIsLargeEnoughToTypeInAtTheTable() {
    starten();
    auto* feld = finde<QLineEdit>("DBEdit_Permanenz_Zahl");
    const QFont normal = fenster().font();
    QVERIFY(feld->font().pointSizeF() >= normal.pointSizeF() * 1.5);
    // Room for "-36" in the large digits, far more than the old 35 pixels.
    QVERIFY(feld->width() >= feld->fontMetrics().horizontalAdvance(QStringLiteral("-36")) + 10);
    QVERIFY(feld->width() >= 60);
}

// Typing a day changes the selection once, when the day is complete: not while the player types
// (which would reset the evaluation settings under his fingers), but on Enter, on leaving the
// field and on a pick in the calendar. 31 typed while April is shown becomes the 31st of May
// when May is typed next.
void ErfassungTest::aTypedDayIsTakenOnceItIsComplete() {
    starten();
    auto* tag = finde<QDateEdit>("DateTimePicker");
    auto& wahl = dm().TdbTable_Wahl;
    auto gewaehlt = [&] {
        const auto d = wahl.date("Datum");
        return QDate(d.year(), d.month(), d.day());
    };
    auto tippen = [&](const char* tasten) {
        tag->setFocus();
        tag->setSelectedSection(QDateTimeEdit::DaySection);
        for (const char* t = tasten; *t != 0; ++t) {
            QTest::keyClick(QApplication::focusWidget(), *t);
        }
    };

    tippen("15042026");
    QCOMPARE(tag->date(), QDate(2026, 4, 15));
    QVERIFY(gewaehlt() != QDate(2026, 4, 15));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(gewaehlt(), QDate(2026, 4, 15));
    // The evaluation settings are reset by a change of day only.
    auto* coups = finde<QLineEdit>("DBEdit_Coups_Permanenz");
    coups->setFocus();
    coups->selectAll();
    QTest::keyClicks(coups, QStringLiteral("77"));
    QTest::keyClick(coups, Qt::Key_Return);
    QCOMPARE(wahl.integer("Auswertung_Coups_Anzahl"), 77);

    tippen("31");
    QCOMPARE(tag->date(), QDate(2026, 4, 30));
    QCOMPARE(gewaehlt(), QDate(2026, 4, 15));
    QCOMPARE(wahl.integer("Auswertung_Coups_Anzahl"), 77);
    for (const char t : {'0', '5'}) {
        QTest::keyClick(QApplication::focusWidget(), t);
    }
    QCOMPARE(tag->date(), QDate(2026, 5, 31));
    QCOMPARE(gewaehlt(), QDate(2026, 4, 15));
    QCOMPARE(wahl.integer("Auswertung_Coups_Anzahl"), 77);
    // Leaving the field takes the day.
    coups->setFocus();
    QCOMPARE(gewaehlt(), QDate(2026, 5, 31));
    QVERIFY(programm->sitzung.gewaehlter_tag == spinalyst::store::Date::fromYmd(2026, 5, 31));
    QVERIFY(wahl.integer("Auswertung_Coups_Anzahl") != 77);

    // A pick in the calendar: opened with a click on the arrow, the next day chosen with the
    // arrow key and Enter.
    QTest::mouseClick(tag, Qt::LeftButton, {}, QPoint(tag->width() - 5, tag->height() / 2));
    QCalendarWidget* kalender = tag->calendarWidget();
    QTRY_VERIFY(kalender->isVisible());
    QWidget* ziel = QApplication::focusWidget();
    QVERIFY(ziel != nullptr && kalender->isAncestorOf(ziel));
    QTest::keyClick(ziel, Qt::Key_Right);
    QTest::keyClick(ziel, Qt::Key_Return);
    QTRY_COMPARE(gewaehlt(), QDate(2026, 6, 1));
    QCOMPARE(tag->date(), QDate(2026, 6, 1));
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join(QLatin1Char('\n'))));
}

QTEST_MAIN(ErfassungTest)
#include "erfassung_test.moc"
