// The CSV menus of the main window as a player uses them: the number-list import through its small
// window, typed and confirmed with the keyboard; the exports through the menu "Export" and the save
// dialog (scripted here).
#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "app/anwendung.h"
#include "app/form_anwendung_roulette.h"
#include "store/sqlite.h"
#include "tests/app/app_fixture.h"

using spinalyst::store::Date;
using spinalyst::store::Value;

class CsvTest : public QObject, protected spinalyst::testing::AppFixture {
    Q_OBJECT
  private slots:
    void init() { programmverzeichnisAnlegen(); }
    void cleanup() { programmBeenden(); }
    void theImportWindowIsFilledWithTheKeyboard();
    void theExportMenuWritesTheChosenFile();
    void theMenusFollowTheLanguage();

  private:
    void starten() {
        AppFixture::starten();
        if (QTest::currentTestFailed()) {
            return;
        }
        fenster().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&fenster()));
    }
    // The coups of the selected casino and table: "2012-03-01:1,2 2012-03-02:3".
    QString permanenz() {
        auto& w = dm().TdbTable_Wahl;
        spinalyst::store::Statement q(dm().TdbDatabase_Roulette.connection(),
                                      "SELECT Datum, Zahl FROM Permanenz WHERE ID_Casino = ? AND "
                                      "Tisch = ? AND Zahl IS NOT NULL ORDER BY Datum, ID_Zahl");
        q.bind(1, w.value("ID_Casino"));
        q.bind(2, w.value("Tisch"));
        std::string s;
        std::string tag;
        while (q.step()) {
            const std::string d(q.textView(0));
            s += d != tag ? (s.empty() ? "" : " ") + d + ":" : ",";
            tag = d;
            s += std::to_string(q.int64(1));
        }
        return QString::fromStdString(s);
    }
    // Triggers the action and runs `schritte` in the modal window `name` once it is shown and
    // active; a window the steps leave open is closed. Returns whether the steps closed it.
    bool imFenster(const char* aktion, const char* name,
                   const std::function<void(QDialog*)>& schritte) {
        bool gesehen = false;
        bool geschlossen = false;
        QTimer::singleShot(0, this, [&] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (d == nullptr || d->objectName() != QString::fromLatin1(name)) {
                if (d != nullptr) {
                    d->reject();
                }
                return;
            }
            gesehen = true;
            // The offscreen platform leaves the activation where it was; give it to the window.
            QApplication::setActiveWindow(d);
            schritte(d);
            geschlossen = !d->isVisible();
            if (!geschlossen) {
                d->reject();
            }
        });
        finde<QAction>(aktion)->trigger();
        QApplication::setActiveWindow(&fenster());
        [&] { QVERIFY2(gesehen, name); }();
        return geschlossen;
    }
};

void CsvTest::theImportWindowIsFilledWithTheKeyboard() {
    starten();
    tageAnlegen({});
    const QString liste = dir->filePath(QStringLiteral("liste.txt"));
    { std::ofstream(liste.toStdString()) << "17 0 36\n5\n---\n9, 8\n"; }
    QStringList gewaehlt;
    programm->ui.setFileChooser([&](const QString&) -> std::optional<QString> {
        gewaehlt << liste;
        return liste;
    });

    // Escape closes the window: no file is asked for, nothing stored.
    QVERIFY(imFenster("MenuItem_Permanenzen_Zahlenliste", "Form_Zahlenliste", [](QDialog*) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    }));
    QVERIFY(gewaehlt.isEmpty());
    QVERIFY(meldungen.isEmpty());

    QVERIFY(imFenster("MenuItem_Permanenzen_Zahlenliste", "Form_Zahlenliste", [](QDialog* d) {
        auto* tag = d->findChild<QDateEdit*>(QStringLiteral("DateEdit_Erster_Tag"));
        QCOMPARE(QApplication::focusWidget(), tag);
        // The field opens on the day: the digits of the date typed in a row fill it.
        for (const char* t = "01032012"; *t != 0; ++t) {
            QTest::keyClick(QApplication::focusWidget(), *t);
        }
        QCOMPARE(tag->date(), QDate(2012, 3, 1));
        QTest::keyClick(tag, Qt::Key_Tab);
        auto* coups = d->findChild<QSpinBox*>(QStringLiteral("SpinBox_Coups_Pro_Tag"));
        QCOMPARE(QApplication::focusWidget(), coups);
        QTest::keyClicks(coups, QStringLiteral("2"));
        QTest::keyClick(coups, Qt::Key_Return);
    }));
    QCOMPARE(gewaehlt.size(), 1);
    QCOMPARE(meldungen, QStringList{QStringLiteral("Zahlenliste: 3 Tag(e), 6 Coups aufgenommen!")});
    // Days of two coups; the line of dashes after the second day's two closes no empty day.
    QCOMPARE(permanenz(), QStringLiteral("2012-03-01:17,0 2012-03-02:36,5 2012-03-03:9,8"));
    QVERIFY(QApplication::activeWindow() == &fenster());
}

void CsvTest::theExportMenuWritesTheChosenFile() {
    starten();
    const Date tag = programm->sitzung.gewaehlter_tag;
    tageAnlegen({{tag, {1, 2, 3, 36}}});
    const QString ziel = dir->filePath(QStringLiteral("permanenz"));
    QList<QStringList> angeboten;
    int filter = 1;  // German offers semicolons first; the second is commas
    programm->ui.setSaveFileChooser(
        [&](const QStringList& filters,
            const QString& name) -> std::optional<spinalyst::kern::UserInterface::SaveChoice> {
            angeboten << (QStringList{name} + filters);
            return spinalyst::kern::UserInterface::SaveChoice{ziel.toStdString(), filter};
        });

    QVERIFY(imFenster("MenuItem_Export_Permanenz", "Form_Permanenz_Export", [](QDialog* d) {
        auto* von = d->findChild<QDateEdit*>(QStringLiteral("DateEdit_Von"));
        QCOMPARE(QApplication::focusWidget(), von);
        QTest::keyClick(von, Qt::Key_Return);
    }));
    QCOMPARE(angeboten.size(), 1);
    QCOMPARE(angeboten[0].mid(1),
             (QStringList{QStringLiteral("CSV, Semikolon, Dezimalkomma (*.csv)"),
                          QStringLiteral("CSV, Komma, Dezimalpunkt (*.csv)")}));
    QVERIFY(angeboten[0][0].startsWith(QStringLiteral("Permanenz_")));
    QFile datei(ziel + QStringLiteral(".csv"));
    QVERIFY(datei.open(QIODevice::ReadOnly));
    const QString e = QString::fromStdString(tag.iso());
    QCOMPARE(QString::fromUtf8(datei.readAll()),
             QStringLiteral("Datum,Coup,Zahl\r\n") + e + QStringLiteral(",1,1\r\n") + e +
                 QStringLiteral(",2,2\r\n") + e + QStringLiteral(",3,3\r\n") + e +
                 QStringLiteral(",4,36\r\n"));
    QCOMPARE(meldungen, QStringList{QStringLiteral("4 Zeile(n) exportiert: ") + ziel +
                                    QStringLiteral(".csv")});

    // Without a permanence evaluation there is nothing to export, and no file is asked for.
    meldungen.clear();
    finde<QAction>("MenuItem_Export_Ereignisse")->trigger();
    QCOMPARE(meldungen, QStringList{QStringLiteral("Keine Permanenzauswertung zum Exportieren.")});
    QCOMPARE(angeboten.size(), 1);

    // After one, the event table in the first form offered: semicolons, decimal comma.
    finde<QAction>("MenuItem_Ereignisse_Haeufigkeit")->trigger();
    meldungen.clear();
    filter = 0;
    finde<QAction>("MenuItem_Export_Ereignisse")->trigger();
    QCOMPARE(angeboten.size(), 2);
    QCOMPARE(angeboten[1][0], QStringLiteral("Ereignisse.csv"));
    QFile ereignisse(ziel + QStringLiteral(".csv"));
    QVERIFY(ereignisse.open(QIODevice::ReadOnly));
    const QStringList zeilen =
        QString::fromUtf8(ereignisse.readAll()).split(QStringLiteral("\r\n"));
    QCOMPARE(zeilen[0],
             QStringLiteral("Ereignis;Chance;Name;Zahlen;Treffer;Prozent;Erwartet;z;p;q"));
    QVERIFY2(zeilen[1].startsWith(QStringLiteral("1;1;Rot;")), qPrintable(zeilen[1]));
}

void CsvTest::theMenusFollowTheLanguage() {
    starten();
    const auto beschriftung = [this](const char* name) {
        return spinalyst::app::ohneKuerzel(finde<QAction>(name)->text());
    };
    QCOMPARE(beschriftung("MenuItem_Permanenzen_Zahlenliste"),
             QStringLiteral("Zahlenliste importieren ..."));
    QCOMPARE(beschriftung("MenuItem_Export_System_Saetze"),
             QStringLiteral("Systemauswertung: Sätze ..."));
    // The entry sits after "Aufnahme" in the menu "Permanenzen"; "Export" before "Hilfe".
    auto* permanenzen = finde<QMenu>("MenuItem_Permanenzen");
    QCOMPARE(permanenzen->actions().at(1)->objectName(),
             QStringLiteral("MenuItem_Permanenzen_Zahlenliste"));
    const auto leiste = fenster().menuBar()->actions();
    for (int i = 0; i + 1 < leiste.size(); ++i) {
        if (leiste[i]->objectName() == QStringLiteral("MenuItem_Export")) {
            QCOMPARE(leiste[i + 1]->objectName(), QStringLiteral("MenuItem_Hilfe"));
        }
    }
    finde<QAction>("MenuItem_Sprache_Englisch")->trigger();
    QCOMPARE(beschriftung("MenuItem_Permanenzen_Zahlenliste"),
             QStringLiteral("Import number list ..."));
    QCOMPARE(beschriftung("MenuItem_Export_Data_Mining"),
             QStringLiteral("Data-mining results ..."));
    // Every entry of the menu has a mnemonic of its own.
    QSet<QChar> kuerzel;
    for (QAction* a : finde<QMenu>("MenuItem_Export")->actions()) {
        const int i = a->text().indexOf(QLatin1Char('&'));
        QVERIFY2(i >= 0, qPrintable(a->text()));
        QVERIFY(!kuerzel.contains(a->text().at(i + 1).toLower()));
        kuerzel << a->text().at(i + 1).toLower();
    }
}

QTEST_MAIN(CsvTest)
#include "csv_test.moc"
