// Capture through the real controls of the main window and the casino window: a casino is
// created and chosen, numbers are typed with Enter, the number-entry mode ends.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/anwendung.h"
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

  private:
    // Starts the program and gives its main window the activation, as typing needs.
    void starten();
    QAction* menue(const char* name) { return finde<QAction>(name); }
    // Opens the casino window by its menu entry, creates a casino with "Neu" and takes it with OK.
    void casinoAnlegen();
    void zahlEingeben(const QString& zahl);
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
    menue("MenuItem_Casinos")->trigger();
    QVERIFY(gesehen);
    QVERIFY(!fenster().findChild<QDialog*>(QStringLiteral("Form_Casino"))->isVisible());
    // The platform gives the activation back to the main window.
    fenster().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&fenster()));
}

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
    starten();
    casinoAnlegen();
    menue("MenuItem_Permanenzen_Eingabe")->trigger();
    for (const char* z : {"5", "6"}) {
        zahlEingeben(QString::fromLatin1(z));
    }
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
    starten();
    casinoAnlegen();
    menue("MenuItem_Permanenzen_Eingabe")->trigger();
    for (const char* z : {"5", "6"}) {
        zahlEingeben(QString::fromLatin1(z));
    }
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

QTEST_MAIN(ErfassungTest)
#include "erfassung_test.moc"
