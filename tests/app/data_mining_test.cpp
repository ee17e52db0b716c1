// The data-mining window's parameters, opened from the menu bar as a player does: the refusal
// without a data-mining system, the option rows closed for filters the system lacks, the options
// changed with the mouse and the keyboard and the count of patterns following them, the sequence
// boxes, what is stored on OK, and the captions in both languages.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

#include "app/anwendung.h"
#include "store/sqlite.h"
#include "systems/system.h"
#include "tests/app/app_fixture.h"

using spinalyst::store::Date;

class DataMiningTest : public QObject, protected spinalyst::testing::AppFixture {
    Q_OBJECT

  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void init() { programmverzeichnisAnlegen(); }
    void cleanup() { programmBeenden(); }

    void menuRefusesWithoutADataMiningSystemInInstance1();
    void optionsChangedByMouseAndKeyboardChangeTheCount();
    void captionsInEnglish();
    void runFromTheWindowAfterTheQuestion();
    void escapeDuringARunCancelsWithPartialResults();

  private:
    template <typename T>
    static T* in(QDialog* d, const char* name) {
        T* w = d->findChild<T*>(QString::fromLatin1(name));
        if (w == nullptr) {
            qFatal("missing control %s", name);
        }
        return w;
    }
    // Clicks "Data Mining" in the menu bar.
    void menueKlicken() {
        QMenuBar* leiste = fenster().menuBar();
        QAction* punkt = muss<QAction>("MenuItem_DataMining");
        const QRect ort = leiste->actionGeometry(punkt);
        QVERIFY(ort.isValid());
        QTest::mouseClick(leiste, Qt::LeftButton, {}, ort.center());
    }
    // Runs the steps inside the window once the menu opened it; fails when it did not show.
    void imFenster(const std::function<void(QDialog*)>& schritte) {
        bool gesehen = false;
        QTimer::singleShot(0, this, [&] {
            auto* d = fenster().findChild<QDialog*>(QStringLiteral("Form_Data_Mining"));
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
        menueKlicken();
        QVERIFY(gesehen);
        QApplication::setActiveWindow(&fenster());
    }
    // A data-mining system of chance class 1 made current; its instance 1 watches event 3 (text
    // "Rot") with a complete frequency filter, series and absence incomplete. Every option off
    // except the series row, a 2:1 flag and the range of days.
    void dataMiningSystem() {
        auto& k = fenster().kontext();
        spinalyst::systems::System_Art_Chancen_Waehlen(k, spinalyst::systems::kArtDataMining, 1);
        spinalyst::systems::MenuItem_Systeme_AufnahmeClick(k);
        // The event texts are not typed: written past the cursors, as choosing the event would.
        spinalyst::store::execute(
            dm().TdbDatabase_Roulette.connection(),
            "UPDATE System_Daten SET Haeufigkeit_Anzahl_von = 2, Haeufigkeit_Anzahl_bis = 2, "
            "Haeufigkeit_Coups_zurueck_von = 2, Haeufigkeit_Coups_zurueck_bis = 2, "
            "ID_Ereignis_Haeufigkeit = 3, Ereignis_Haeufigkeit_Info = 'Rot', "
            "Serien_Anzahl_von = 2, Rueckstaendigkeit_Anzahl_von = 2 "
            "WHERE ID_System = ? AND ID_Instanz = 1",
            {dm().TdbTable_Systeme.value("ID_System_AutoInc")});
        spinalyst::systems::Systemcursoren_Auffrischen(dm());
        auto& w = dm().TdbTable_Wahl;
        for (const char* f :
             {"DM_Tage_uebergreifend", "DM_Chancen_1", "DM_Chancen_2", "DM_Chancen_5",
              "DM_Chancen_8", "DM_Chancen_11", "DM_Chancen_17", "DM_Chancen_35",
              "DM_Haeufigkeit_aktiv", "DM_Haeufigkeit_Ereignisse_alle", "DM_Serien_Ereignisse_alle",
              "DM_Rueckstaendigkeit_aktiv", "DM_Rueckstaendigkeit_Ereignisse_alle",
              "DM_Ereignisfolge_11", "DM_Ereignisfolge_51", "DM_Ereignisfolge_ungleich"}) {
            w.setText(f, "f");
        }
        w.setText("DM_Serien_aktiv", "t");
        w.setText("DM_Ereignisfolge_21", "t");
        w.setInteger("DM_Ereignisfolge_Anzahl", 0);
        w.setDate("DM_Datum_von", Date::fromYmd(2026, 3, 1));
        w.setDate("DM_Datum_bis", Date::fromYmd(2026, 3, 31));
        w.post();
    }
    // `tage` days from 2026-03-01 of `coups` random numbers each; a data-mining system whose
    // options attack the chance classes `klassen` (indices into the classes 1 .. 35) after the
    // sequences of one "1:1" event, no filter varied.
    void miningVorbereiten(int tage, int coups, std::vector<const char*> klassen) {
        std::vector<std::pair<Date, std::vector<int>>> permanenz;
        zahlen_.clear();  // the test object lives through every test function
        unsigned zufall = 20260301;
        for (int t = 0; t < tage; ++t) {
            std::vector<int> zahlen;
            for (int i = 0; i < coups; ++i) {
                zufall = zufall * 1103515245u + 12345u;
                zahlen.push_back(static_cast<int>((zufall >> 16) % 37));
                zahlen_.push_back(zahlen.back());
            }
            permanenz.emplace_back(Date::fromYmd(2026, 3, 1).addDays(t), zahlen);
        }
        tageAnlegen(permanenz);
        dataMiningSystem();
        auto& w = dm().TdbTable_Wahl;
        w.setText("DM_Serien_aktiv", "f");
        w.setText("DM_Ereignisfolge_11", "t");
        w.setText("DM_Ereignisfolge_21", "f");
        w.setInteger("DM_Ereignisfolge_Anzahl", 1);
        for (const char* k : klassen) {
            w.setText(k, "t");
        }
        w.post();
    }
    // The coups among the first `k` (from the second on) that three of the six "1:1" sequences
    // precede: those after a number other than 0 (0 belongs to none of the six events).
    std::int64_t vorangegangen(std::size_t k) const {
        std::int64_t n = 0;
        for (std::size_t t = 1; t < k && t < zahlen_.size(); ++t) {
            n += zahlen_[t - 1] != 0 ? 3 : 0;
        }
        return n;
    }
    std::vector<int> zahlen_;  // the numbers of miningVorbereiten, in order
    std::int64_t dmZahl(const std::string& sql) {
        spinalyst::store::Statement s(dm().TdbDatabase_DM_Modul.connection(), sql);
        return s.step() ? s.int64(0) : -1;
    }
    std::string gespeichert(const char* feld) {
        spinalyst::store::Statement s(dm().TdbDatabase_Roulette.connection(),
                                      std::string("SELECT ") + feld + " FROM Wahl");
        return s.step() && !s.isNull(0) ? s.text(0) : std::string("~");
    }
    static QStringList angehakt(QDialog* d) {
        QStringList namen;
        for (const char* name : {"DBCheckBox_Ereignisfolge_11", "DBCheckBox_Ereignisfolge_21",
                                 "DBCheckBox_Ereignisfolge_51"}) {
            if (in<QCheckBox>(d, name)->isChecked()) {
                namen << QString::fromLatin1(name).right(2);
            }
        }
        return namen;
    }
};

void DataMiningTest::menuRefusesWithoutADataMiningSystemInInstance1() {
    starten();
    // A standard system is current.
    auto& k = fenster().kontext();
    spinalyst::systems::System_Art_Chancen_Waehlen(k, spinalyst::systems::kArtStandard, 1);
    spinalyst::systems::MenuItem_Systeme_AufnahmeClick(k);
    menueKlicken();
    QCOMPARE(meldungen,
             (QStringList{QStringLiteral(
                 "Systemgruppe Data Mining / System (Instanz = 1) wählen oder anlegen!")}));
    auto* d = fenster().findChild<QDialog*>(QStringLiteral("Form_Data_Mining"));
    QVERIFY(d == nullptr || !d->isVisible());

    // A data-mining system shown in instance 2, in English.
    dataMiningSystem();
    spinalyst::systems::Instanz_Waehlen(k, 2);
    fenster().MenuItem_Sprache_EnglischClick(nullptr);
    meldungen.clear();
    menueKlicken();
    QCOMPARE(meldungen, (QStringList{QStringLiteral(
                            "System Group Data Mining / System (Instance = 1) selected!?")}));
    d = fenster().findChild<QDialog*>(QStringLiteral("Form_Data_Mining"));
    QVERIFY(d == nullptr || !d->isVisible());
}

void DataMiningTest::optionsChangedByMouseAndKeyboardChangeTheCount() {
    starten();
    dataMiningSystem();
    imFenster([this](QDialog* d) {
        auto* anzahl = in<QLabel>(d, "Label_Kombinationen");
        QCOMPARE(anzahl->text(), QStringLiteral("1 Kombinationen"));
        QCOMPARE(in<QDateEdit>(d, "DateTimePicker_Datum_von")->date(), QDate(2026, 3, 1));
        QCOMPARE(in<QDateEdit>(d, "DateTimePicker_Datum_bis")->date(), QDate(2026, 3, 31));
        QCOMPARE(in<QLabel>(d, "Label_Haeufigkeit")->text(), QStringLiteral("Rot ..."));
        QCOMPARE(in<QLabel>(d, "Label_Serien")->text(), QStringLiteral(" ..."));
        QCOMPARE(in<QCheckBox>(d, "DBCheckBox_Tage_uebergreifend")->text(), QStringLiteral("üb"));
        QCOMPARE(in<QLabel>(d, "Label_Chancen")->text(), QStringLiteral("Chancen"));
        QCOMPARE(in<QLabel>(d, "Label_Ereignisfolge")->text(), QStringLiteral("Ereignisfolge"));

        // The series row is closed: its stored flag "t" shows unchecked and cannot be changed.
        auto* serien = in<QCheckBox>(d, "DBCheckBox_Serien_aktiv");
        QVERIFY(!serien->isEnabled());
        QVERIFY(!serien->isChecked());
        QVERIFY(!in<QCheckBox>(d, "DBCheckBox_Rueckstaendigkeit_aktiv")->isEnabled());
        // The series filter is still varied, but its event is null: one state.
        QCOMPARE(anzahl->text(), QStringLiteral("1 Kombinationen"));
        for (const char* name : {"CheckBox_Haeufigkeit_ungleich", "CheckBox_Haeufigkeit_A"}) {
            QVERIFY(!in<QCheckBox>(d, name)->isChecked());
            QVERIFY(!in<QCheckBox>(d, name)->isEnabled());
        }

        // Frequency varied on its event with the mouse: plain, negated, off.
        auto* aktiv = in<QCheckBox>(d, "DBCheckBox_Haeufigkeit_aktiv");
        QVERIFY(aktiv->isEnabled());
        QTest::mouseClick(aktiv, Qt::LeftButton);
        QVERIFY(aktiv->isChecked());
        QCOMPARE(anzahl->text(), QStringLiteral("3 Kombinationen"));
        // Over the class of event 3 with the keyboard.
        auto* alle = in<QCheckBox>(d, "DBCheckBox_Haeufigkeit_Ereignisse_alle");
        alle->setFocus();
        QTest::keyClick(alle, Qt::Key_Space);
        QVERIFY(alle->isChecked());
        QCOMPARE(anzahl->text(), QStringLiteral("13 Kombinationen"));

        // Sequences of one event: the stored 2:1 flag gives 12 events.
        auto* laenge = in<QComboBox>(d, "DBComboBox_Ereignisfolge_Anzahl");
        QCOMPARE(laenge->currentText(), QStringLiteral("0"));
        laenge->setFocus();
        QTest::keyClick(laenge, Qt::Key_Down);
        QCOMPARE(laenge->currentText(), QStringLiteral("1"));
        QCOMPARE(anzahl->text(), QStringLiteral("156 Kombinationen"));
        QCOMPARE(angehakt(d), (QStringList{"21"}));
        QVERIFY(!in<QCheckBox>(d, "DBCheckBox_Ereignisfolge_11")->isEnabled());

        // "5:1" shows the smaller classes checked too; the count takes 23 events.
        auto* k51 = in<QCheckBox>(d, "DBCheckBox_Ereignisfolge_51");
        QTest::mouseClick(k51, Qt::LeftButton);
        QCOMPARE(angehakt(d), (QStringList{"11", "21", "51"}));
        QCOMPARE(anzahl->text(), QStringLiteral("299 Kombinationen"));
        QTest::mouseClick(in<QCheckBox>(d, "DBCheckBox_Ereignisfolge_ungleich"), Qt::LeftButton);
        QCOMPARE(anzahl->text(), QStringLiteral("598 Kombinationen"));
        // Five positions: beyond 32 bits.
        QTest::keyClick(laenge, Qt::Key_End);
        QCOMPARE(laenge->currentText(), QStringLiteral("5"));
        QCOMPARE(anzahl->text(), QStringLiteral("2677518688 Kombinationen"));
        // Unchecking "5:1" leaves the others as they are shown; the 2:1 flag still counts.
        QTest::mouseClick(k51, Qt::LeftButton);
        QCOMPARE(angehakt(d), (QStringList{"11", "21"}));
        QCOMPARE(anzahl->text(), QStringLiteral("103514112 Kombinationen"));  // 13 * 24^5

        QVERIFY(in<QPushButton>(d, "BitBtn_Data_Mining")->isEnabled());
        in<QDateEdit>(d, "DateTimePicker_Datum_bis")->setDate(QDate(2026, 3, 20));
        QTest::mouseClick(in<QPushButton>(d, "BitBtn_OK"), Qt::LeftButton);
    });
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join('|')));
    QCOMPARE(gespeichert("DM_Haeufigkeit_aktiv"), std::string("t"));
    QCOMPARE(gespeichert("DM_Haeufigkeit_Ereignisse_alle"), std::string("t"));
    QCOMPARE(gespeichert("DM_Serien_aktiv"), std::string("t"));
    QCOMPARE(gespeichert("DM_Ereignisfolge_Anzahl"), std::string("5"));
    QCOMPARE(gespeichert("DM_Ereignisfolge_11"), std::string("f"));
    QCOMPARE(gespeichert("DM_Ereignisfolge_21"), std::string("t"));
    QCOMPARE(gespeichert("DM_Ereignisfolge_51"), std::string("f"));
    QCOMPARE(gespeichert("DM_Ereignisfolge_ungleich"), std::string("t"));
    QCOMPARE(gespeichert("DM_Datum_von"), std::string("2026-03-01"));
    QCOMPARE(gespeichert("DM_Datum_bis"), std::string("2026-03-20"));

    // Opened again: the options as stored, the sequence boxes as their flags.
    imFenster([](QDialog* d) {
        QCOMPARE(in<QLabel>(d, "Label_Kombinationen")->text(),
                 QStringLiteral("103514112 Kombinationen"));
        QCOMPARE(angehakt(d), (QStringList{"21"}));
        QCOMPARE(in<QDateEdit>(d, "DateTimePicker_Datum_bis")->date(), QDate(2026, 3, 20));
    });
}

void DataMiningTest::captionsInEnglish() {
    starten();
    dataMiningSystem();
    fenster().MenuItem_Sprache_EnglischClick(nullptr);
    imFenster([](QDialog* d) {
        QCOMPARE(in<QCheckBox>(d, "DBCheckBox_Tage_uebergreifend")->text(), QStringLiteral("ac"));
        QCOMPARE(in<QLabel>(d, "Label_Chancen")->text(), QStringLiteral("Chance"));
        QCOMPARE(in<QLabel>(d, "Label_Ereignisfolge")->text(),
                 QStringLiteral("Sequence of events"));
        QCOMPARE(in<QLabel>(d, "Label_Kombinationen")->text(), QStringLiteral("1 Combinations"));
        QStringList chancen;
        for (QCheckBox* b : d->findChildren<QCheckBox*>()) {
            if (b->objectName().startsWith(QStringLiteral("DBCheckBox_Chancen_"))) {
                chancen << b->text();
            }
        }
        QCOMPARE(chancen, (QStringList{"1", "2", "5", "8", "11", "17", "35"}));
    });
}

void DataMiningTest::runFromTheWindowAfterTheQuestion() {
    starten();
    // Two days of 15 coups; chance 1 attacked after the six "1:1" sequences.
    miningVorbereiten(2, 15, {"DM_Chancen_1"});
    imFenster([this](QDialog* d) {
        auto* start = in<QPushButton>(d, "BitBtn_Data_Mining");
        auto* panel = in<QGroupBox>(d, "Panel_Auswertung");
        QCOMPARE(panel->title(), QStringLiteral("Auswertung"));
        QVERIFY(!in<QPushButton>(d, "BitBtn_Abbrechen")->isVisible());
        const QString titel = d->windowTitle();

        // Answered no: the question with the count and the estimate, nothing written.
        antwort = false;
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(loeschfragen.size(), 1);
        QVERIFY2(loeschfragen[0].startsWith(
                     QStringLiteral("6 Kombinationen!\nBerechnung Starten?\n(Geschätzt höchstens "
                                    "1.440 Ergebniszeilen, ")),
                 qPrintable(loeschfragen[0]));
        QCOMPARE(dmZahl("SELECT COUNT(*) FROM DM_Folge"), 0);
        QCOMPARE(dmZahl("SELECT COUNT(*) FROM DM_Gewinn_Verlust"), 0);
        QCOMPARE(d->windowTitle(), titel);

        // Answered yes: the run scores the 30 coups and writes its rows.
        antwort = true;
        QTest::mouseClick(start, Qt::LeftButton);
        QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join('|')));
        QCOMPARE(dmZahl("SELECT COUNT(*) FROM DM_Folge"), 6);
        QVERIFY(dmZahl("SELECT COUNT(*) FROM DM_Gewinn_Verlust") > 0);
        QCOMPARE(dmZahl("SELECT MAX(ID_Ereignis) FROM DM_Gewinn_Verlust"), 6);
        // Kind "1" of length 1 is played at every coup with a coup before it, once for each of
        // the sequences that precede it.
        QCOMPARE(dmZahl("SELECT SUM(Anzahl) FROM DM_Gewinn_Verlust WHERE Art = '1' AND "
                        "ID_Ereignis = 1 AND ID_Angriff = 1"),
                 vorangegangen(30));
        QCOMPARE(dmZahl("SELECT SUM(Anzahl) FROM DM_Folge"), vorangegangen(30));
        QCOMPARE(gespeichert("DM_Coups_letztes_DM"), std::string("31"));
        QCOMPARE(gespeichert("DM_Tage_letztes_DM"), std::string("2"));
        QVERIFY2(
            d->windowTitle().startsWith(QStringLiteral("  Data Mining (letzte Mustererkennung: ")),
            qPrintable(d->windowTitle()));
        QVERIFY2(
            d->windowTitle().endsWith(QStringLiteral(", 01.03.26 - 31.03.26, 2 Tage, 30 Coups)")),
            qPrintable(d->windowTitle()));
        // Everything usable again, the closed rows still closed; the panel's own caption back.
        QCOMPARE(panel->title(), QStringLiteral("Auswertung"));
        QVERIFY(start->isEnabled());
        QVERIFY(in<QPushButton>(d, "BitBtn_OK")->isEnabled());
        QVERIFY(in<QDateEdit>(d, "DateTimePicker_Datum_von")->isEnabled());
        QVERIFY(in<QCheckBox>(d, "DBCheckBox_Haeufigkeit_aktiv")->isEnabled());
        QVERIFY(!in<QCheckBox>(d, "DBCheckBox_Serien_aktiv")->isEnabled());
        QVERIFY(!in<QCheckBox>(d, "DBCheckBox_Ereignisfolge_11")->isEnabled());
        QVERIFY(!in<QPushButton>(d, "BitBtn_Abbrechen")->isVisible());
        QVERIFY(d->isVisible());
    });
}

void DataMiningTest::escapeDuringARunCancelsWithPartialResults() {
    starten();
    // 8 days of 400 coups, every chance class attacked: a run of some seconds.
    miningVorbereiten(8, 400,
                      {"DM_Chancen_1", "DM_Chancen_2", "DM_Chancen_5", "DM_Chancen_8",
                       "DM_Chancen_11", "DM_Chancen_17", "DM_Chancen_35"});
    fenster().MenuItem_Sprache_EnglischClick(nullptr);
    antwort = true;
    imFenster([this](QDialog* d) {
        auto* panel = in<QGroupBox>(d, "Panel_Auswertung");
        auto* abbrechen = in<QPushButton>(d, "BitBtn_Abbrechen");
        bool waehrend = false;
        QStringList aus;  // controls found enabled during the run
        QString fortschritt;
        QString laufTitel;
        QTimer blick;
        blick.setInterval(10);
        connect(&blick, &QTimer::timeout, this, [&] {
            if (!panel->title().contains(QStringLiteral(" of 3200 Coups (ca. more "))) {
                return;
            }
            blick.stop();
            waehrend = true;
            fortschritt = panel->title();
            laufTitel = d->windowTitle();
            for (QWidget* w : d->findChildren<QWidget*>()) {
                if (w != abbrechen && w != panel && w->isEnabled() && !w->isWindow()) {
                    aus << w->objectName() + QStringLiteral(":") +
                               QString::fromLatin1(w->metaObject()->className());
                }
            }
            QVERIFY(abbrechen->isVisible());
            QVERIFY(abbrechen->isEnabled());
            // Escape cancels the run; it does not close the window.
            QTest::keyClick(d, Qt::Key_Escape);
        });
        blick.start();
        QTest::mouseClick(in<QPushButton>(d, "BitBtn_Data_Mining"), Qt::LeftButton);
        blick.stop();
        QVERIFY2(waehrend, "the run ended before its progress was shown");
        QCOMPARE(laufTitel, QStringLiteral("  Pattern recognition is run!"));
        QVERIFY2(aus.isEmpty(), qPrintable(aus.join(' ')));
        QVERIFY(d->isVisible());
        QCOMPARE(meldungen, QStringList{QStringLiteral("Calculation is canceled!")});
        // The completed coups are counted and their rows written.
        const int coups = std::stoi(gespeichert("DM_Coups_letztes_DM")) - 1;
        QVERIFY2(coups >= 1 && coups < 3200, qPrintable(QString::number(coups)));
        QVERIFY(dmZahl("SELECT COUNT(*) FROM DM_Gewinn_Verlust") > 0);
        QCOMPARE(dmZahl("SELECT SUM(Anzahl) FROM DM_Folge"),
                 vorangegangen(static_cast<std::size_t>(coups)));
        QCOMPARE(dmZahl("SELECT SUM(Anzahl) FROM DM_Gewinn_Verlust WHERE Art = '1' AND "
                        "ID_Ereignis = 1 AND ID_Angriff = 1"),
                 vorangegangen(static_cast<std::size_t>(coups)));
        QVERIFY2(d->windowTitle().endsWith(QStringLiteral(" Coups)")),
                 qPrintable(d->windowTitle()));
        QVERIFY(d->windowTitle().contains(QStringLiteral(", ") + QString::number(coups) +
                                          QStringLiteral(" Coups)")));
        QCOMPARE(panel->title(), QStringLiteral("Evaluation"));
        QVERIFY(!abbrechen->isVisible());
        QVERIFY(in<QPushButton>(d, "BitBtn_OK")->isEnabled());
        QVERIFY2(fortschritt.contains(QRegularExpression(
                     QStringLiteral("^[0-9]+ of 3200 Coups \\(ca\\. more [0-9]+ min\\)$"))),
                 qPrintable(fortschritt));
    });
}

QTEST_MAIN(DataMiningTest)
#include "data_mining_test.moc"
