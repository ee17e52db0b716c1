// The main window on the offscreen platform, each test with its own program directory.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <csignal>
#include <map>
#include <memory>
#include <optional>

#include "app/anwendung.h"
#include "app/binding/bound_controls.h"
#include "app/binding/cursor_grid.h"
#include "app/core/statuszeile.h"
#include "app/core/texte.h"
#include "tests/app/app_fixture.h"

using spinalyst::app::Form_Anwendung_Roulette;
using spinalyst::app::ohneKuerzel;
using spinalyst::binding::BoundLookupComboBox;
using spinalyst::binding::CursorGrid;
using spinalyst::store::Date;
using spinalyst::store::Sprache;
using spinalyst::store::Value;

namespace {

// Every text of the window a language switch may change, by object name (grid headings as
// name/column, menu items without mnemonic, lookup lists as their items).
using Texte = std::map<QString, QString>;

Texte texteVon(const Form_Anwendung_Roulette& w) {
    Texte t;
    t[QStringLiteral("(title)")] = w.windowTitle();
    for (const QAction* a : w.findChildren<QAction*>()) {
        if (!a->objectName().isEmpty()) {
            t[a->objectName()] = ohneKuerzel(a->text());
        }
    }
    for (const QLabel* l : w.findChildren<QLabel*>()) {
        if (!l->objectName().isEmpty() && !l->objectName().startsWith(QLatin1String("StatusBar"))) {
            t[l->objectName()] = l->text();
        }
    }
    for (const QAbstractButton* b : w.findChildren<QAbstractButton*>()) {
        if (!b->objectName().isEmpty()) {
            t[b->objectName()] = b->text();
        }
    }
    for (const CursorGrid* g : w.findChildren<CursorGrid*>()) {
        for (int c = 0; c < g->model()->columnCount(); ++c) {
            t[g->objectName() + QLatin1Char('/') + QString::number(c)] =
                g->model()->headerData(c, Qt::Horizontal).toString();
        }
    }
    for (const BoundLookupComboBox* l : w.findChildren<BoundLookupComboBox*>()) {
        QStringList items;
        for (int i = 0; i < l->count(); ++i) {
            items << l->itemText(i);
        }
        t[l->objectName()] = items.join(QLatin1Char('|'));
    }
    return t;
}

}  // namespace

// Runs the whole program as main() does; a program that has not ended after 20 s is ended with
// the code 99, so that a hang fails the test instead of stopping the suite.
int ausfuehrenMitWaechter(const spinalyst::app::Startumgebung& umgebung) {
    QTimer waechter;
    waechter.setSingleShot(true);
    QObject::connect(&waechter, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    waechter.start(20000);
    auto* app = static_cast<QApplication*>(QCoreApplication::instance());
    return spinalyst::app::Programm_Ausfuehren(*app, umgebung);
}

class HauptfensterTest : public QObject, protected spinalyst::testing::AppFixture {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void everyNamedControlAndMenuItemExists();
    void theMenuIsShippedInGermanWithItsStructure();
    void startUpRestoresTheSelectionWithSystemOneAndTheStoredDay();
    void theDatePickerOffersTheYears1900To2100();
    void aFreshDatabaseStartsOnToday();
    void englishShowsTheTableCaptionsAndBackGivesTheFirstShowExactly();
    void viewHooksSwitchTheControlsTheyName();
    void f1AsksTheHelpQuestionInTheCurrentLanguageAndNoOpensNothing();
    void statusBarShowsCompanyDateAndCutTime();
    void longTimeHasNoTimeZone_data();
    void longTimeHasNoTimeZone();
    void closingPostsAPendingWahlEditAndClosesEveryCursor_data();
    void closingPostsAPendingWahlEditAndClosesEveryCursor();
    void onlyNamesMarksAndStakesAreEditableInTheGrids();
    void sigtermClosesTheWindowAndKeepsTheEdit();
    void sigtermDuringAQuestionAnswersNoAndEnds();
};

void HauptfensterTest::init() {
    programmverzeichnisAnlegen();
}

void HauptfensterTest::cleanup() {
    programmBeenden();
}

void HauptfensterTest::everyNamedControlAndMenuItemExists() {
    starten();
    const char* widgets[] = {
        "Panel_Casino_Tisch_Datum",
        "DBLookupComboBox_Casino",
        "DBComboBox_Tisch",
        "DateTimePicker",
        "SpeedButton_Deutsch",
        "SpeedButton_Englisch",
        "Panel_Permanenzen",
        "Label_Permanenz",
        "DBGrid_Permanenz",
        "DBEdit_Permanenz_Zahl",
        "BitBtn_Permanenz_Zahl",
        "Panel_Permanenzen_System_Auswertung",
        "DBComboBox_Haufigkeit_Serien_Rueckstaendigkeit",
        "Label_Coups_Permanenz",
        "DBEdit_Coups_Permanenz",
        "Label_Tage_Permenenz",
        "DBEdit_Tage_Permanenz",
        "DBCheckBox_Tage_Permanenz_uebergreifend",
        "DBLookupComboBox_Chancen_Permanenz",
        "BitBtn_Berechnung_Permanenz_Auswertung",
        "DBGrid_Ereignisse_Auswertung",
        "DBGrid_Ereignisse_Serien_Auswertung",
        "DBGrid_Ereignisse_Rueckstaendigkeit_Auswertung",
        "DBGrid_System_Auswertung",
        "DBGrid_System_Auswertung_Gesamt",
        "Label_Tage_System",
        "DBEdit_Tage_System",
        "DBCheckBox_Tage_System_uebergreifend",
        "DBCheckBox_Auswertung_Alle_Systeme",
        "BitBtn_Berechnung_System_Auswertung",
        "BitBtn_Gesamtauswertungen",
        "Panel_System",
        "DBGrid_Systeme",
        "DBLookupComboBox_System_Art",
        "DBLookupComboBox_System_Chancen",
        "DBComboBox_Instanz_System_Daten",
        "BitBtn_System_Neu",
        "CheckBox_Systemdetails",
        "DBMemo_System_Informationen",
        "Label_Zahlen",
        "Label_von1",
        "Label_von2",
        "Label_bis1",
        "Label_bis2",
        "BitBtn_Ereignis_Haeufigkeit",
        "BitBtn_Ereignis_Serien",
        "BitBtn_Ereignis_Rueckstaendigkeit",
        "BitBtn_Ereignis_Ereignisfolge",
        "DBGrid_System_Ereignisfolge",
        "CheckBox_ungleich_Ereignis",
        "DBGrid_System_Angriffe",
        "DBComboBox_Setzart",
        "Panel_Online",
        "Label_Satzsignale",
        "DBGrid_Online_Angriffe_Satz",
        "DBCheckBox_Online_Tage_System_uebergreifend",
        "DBCheckBox_Online_Vordergrund",
        "DBCheckBox_Online_Alle_Systeme",
        "StatusBar",
        "HauptMenue",
        "PopupMenu_Ereignisfolge",
    };
    for (const char* name : widgets) {
        QVERIFY2(finde<QWidget>(name) != nullptr, name);
    }
    for (const auto& p : spinalyst::app::Menuepunkte()) {
        if (QString::fromLatin1(p.name) != QLatin1String(spinalyst::app::kTrenner)) {
            QVERIFY2(finde<QAction>(p.name) != nullptr, p.name);
        }
    }
    QCOMPARE(fenster().menuBar()->objectName(), QStringLiteral("HauptMenue"));
    // The three panels and, beside panel 0, the directory of the databases.
    QCOMPARE(fenster().statusBar()->findChildren<QLabel*>().size(), 4);
    for (const char* feld : {"StatusBar_Panel_0", "StatusBar_Panel_1", "StatusBar_Panel_2",
                             "StatusBar_Datenverzeichnis"}) {
        QVERIFY2(fenster().statusBar()->findChild<QLabel*>(QString::fromLatin1(feld)), feld);
    }
    // Both flags and the two copies of the shared check boxes.
    QCOMPARE(finde<QCheckBox>("DBCheckBox_Online_Alle_Systeme")->text(), QStringLiteral("x (A)"));
    QCOMPARE(finde<QCheckBox>("DBCheckBox_Auswertung_Alle_Systeme")->text(),
             QStringLiteral("x (A)"));
}

void HauptfensterTest::theMenuIsShippedInGermanWithItsStructure() {
    starten();
    auto titles = [](const QList<QAction*>& actions) {
        QStringList t;
        for (const QAction* a : actions) {
            t << (a->isSeparator() ? QStringLiteral("-") : ohneKuerzel(a->text()));
        }
        return t;
    };
    QCOMPARE(titles(fenster().menuBar()->actions()),
             QStringList({"Casinos", "Permanenzen", "Ereignisse", "Systeme", "Individuell",
                          "Data Mining", "Online Spiel", "Export", "Hilfe", "Sprache"}));
    QCOMPARE(titles(finde<QMenu>("MenuItem_Permanenzen")->actions()),
             QStringList({"Aufnahme", "Zahlenliste importieren ...", "Eingabe", "Löschen"}));
    QCOMPARE(titles(finde<QMenu>("MenuItem_Export")->actions()),
             QStringList({"Permanenz ...", "Ereignisse (Permanenzauswertung) ...",
                          "Systemauswertung: Tage ...", "Systemauswertung: Gesamt ...",
                          "Systemauswertung: Sätze ...", "Data-Mining-Ergebnisse ..."}));
    QCOMPARE(titles(finde<QMenu>("MenuItem_Systeme")->actions()),
             QStringList({"Wahl / Information", "Aufnahme", "Erstellung", "Auswertung",
                          "Auswertung Blick", "-", "Löschen"}));
    QCOMPARE(titles(finde<QMenu>("MenuItem_Systeme_Erstellung")->actions()),
             QStringList({"Häufigkeit", "Serien", "Rückständigkeit", "Ereignisfolge"}));
    QCOMPARE(titles(finde<QMenu>("MenuItem_Permanenzen_Loeschen")->actions()),
             QStringList({"Tag", "Monat"}));
    QCOMPARE(titles(finde<QMenu>("MenuItem_Ereignisse_Auswertung")->actions()),
             QStringList({"Häufigkeit", "Häufigkeit / Serien", "Häufigkeit / Rückständigkeit",
                          "Komplett"}));
    QCOMPARE(titles(finde<QMenu>("MenuItem_Individuell")->actions()),
             QStringList({"Satzsignale (1)", "Satzsignale (2)", "Ihr System ..."}));
    QCOMPARE(titles(finde<QMenu>("PopupMenu_Ereignisfolge")->actions()),
             QStringList({"Aufnehmen", "Löschen"}));
    QVERIFY(!finde<QAction>("MenuItem_Individuell_Ihr_System")->isEnabled());
    // Every menu offers a distinct mnemonic per item.
    for (const QWidget* menu : fenster().findChildren<QWidget*>()) {
        if (!qobject_cast<const QMenu*>(menu) && !qobject_cast<const QMenuBar*>(menu)) {
            continue;
        }
        QSet<QChar> keys;
        for (const QAction* a : menu->actions()) {
            const int amp = a->text().indexOf(QLatin1Char('&'));
            if (!a->isSeparator() && amp >= 0) {
                const QChar key = a->text().at(amp + 1).toLower();
                QVERIFY2(!keys.contains(key), qPrintable(a->text()));
                keys.insert(key);
            }
        }
    }
}

void HauptfensterTest::startUpRestoresTheSelectionWithSystemOneAndTheStoredDay() {
    vorbereiten([](spinalyst::store::DataModule_Roulette& dm) {
        auto& wahl = dm.TdbTable_Wahl;
        wahl.edit();
        wahl.setInteger("ID_System_Art", 2);
        wahl.setInteger("ID_System_Chancen", 5);
        wahl.setInteger("ID_Instanz", 3);
        wahl.setText("Tisch", "T 07");
        wahl.setDate("Datum", Date::fromYmd(2021, 3, 14));
        wahl.post();
    });
    starten();
    auto& wahl = programm->dataModule.TdbTable_Wahl;
    QVERIFY(programm->dataModule.isOpen());
    QCOMPARE(wahl.integer("ID_System_Art"), 1);
    QCOMPARE(wahl.integer("ID_System_Chancen"), 1);
    QCOMPARE(wahl.integer("ID_Instanz"), 1);
    QCOMPARE(wahl.text("Tisch"), std::string("T 07"));
    QCOMPARE(finde<QDateEdit>("DateTimePicker")->date(), QDate(2021, 3, 14));
    QVERIFY(programm->sitzung.gewaehlter_tag == Date::fromYmd(2021, 3, 14));
    QCOMPARE(finde<QComboBox>("DBComboBox_Tisch")->currentText(), QStringLiteral("T 07"));
    QCOMPARE(finde<QComboBox>("DBComboBox_Instanz_System_Daten")->currentText(),
             QStringLiteral("1"));
    QCOMPARE(finde<BoundLookupComboBox>("DBLookupComboBox_System_Art")->currentKey(),
             std::optional<std::int64_t>(1));
    QCOMPARE(finde<BoundLookupComboBox>("DBLookupComboBox_System_Chancen")->currentKey(),
             std::optional<std::int64_t>(1));
    // German, and the session state of a fresh start.
    QCOMPARE(programm->sitzung.sprache, Sprache::Deutsch);
    QCOMPARE(fenster().windowTitle(),
             QString::fromUtf8("Molvane's Spinalyst Q/XA     Professionelle Permanenzauswertung & "
                               "System-/Strategieentwicklung - Data Mining - Online Spiel"));
    QCOMPARE(finde<QLabel>("Label_Permanenz")->text(), QStringLiteral("Permanenz"));
    QVERIFY(finde<QToolButton>("SpeedButton_Deutsch")->isChecked());
    QVERIFY(!finde<QCheckBox>("CheckBox_Systemdetails")->isChecked());
    QVERIFY(!finde<QPushButton>("BitBtn_Permanenz_Zahl")->isEnabled());
    QVERIFY(programm->sitzung.loeschpflege);
    QVERIFY(!programm->sitzung.massenschreiben);
    QCOMPARE(programm->sitzung.programmverzeichnis, dir->path().toStdString() + "/");
    // The window lies in the middle of the screen.
    const QRect screen = fenster().screen()->geometry();
    const QRect frame = fenster().frameGeometry();
    // (A few pixels of slack: the layout may still settle once the data is shown.)
    QVERIFY(std::abs(frame.x() - (screen.x() + (screen.width() - frame.width()) / 2)) <= 8);
    QVERIFY(std::abs(frame.y() - (screen.y() + (screen.height() - frame.height()) / 2)) <= 8);
}

void HauptfensterTest::theDatePickerOffersTheYears1900To2100() {
    starten();
    auto* tag = finde<QDateEdit>("DateTimePicker");
    QCOMPARE(tag->minimumDate(), QDate(1900, 1, 1));
    QCOMPARE(tag->maximumDate(), QDate(2100, 12, 31));
    // A day beyond the range is held at its end.
    tag->setDate(QDate(9999, 12, 1));
    QCOMPARE(tag->date(), QDate(2100, 12, 31));
    tag->setDate(QDate(1, 1, 1));
    QCOMPARE(tag->date(), QDate(1900, 1, 1));
}

void HauptfensterTest::aFreshDatabaseStartsOnToday() {
    // (Around midnight the day may change while the program starts.)
    const QDate vorher = QDate::currentDate();
    starten();
    const QDate nachher = QDate::currentDate();
    const QDate gezeigt = finde<QDateEdit>("DateTimePicker")->date();
    QVERIFY2(gezeigt == vorher || gezeigt == nachher, qPrintable(gezeigt.toString(Qt::ISODate)));
    const Date tag = Date::fromYmd(gezeigt.year(), gezeigt.month(), gezeigt.day());
    QVERIFY(programm->sitzung.gewaehlter_tag == tag);
    auto& wahl = programm->dataModule.TdbTable_Wahl;
    QVERIFY(wahl.date("Datum") == tag);
    // The data-mining period starts on that day too.
    QVERIFY(wahl.date("DM_Datum_von") == tag);
    QVERIFY(wahl.date("DM_Datum_bis") == tag);
}

void HauptfensterTest::englishShowsTheTableCaptionsAndBackGivesTheFirstShowExactly() {
    starten();
    const Texte ersteAnzeige = texteVon(fenster());

    finde<QAction>("MenuItem_Sprache_Englisch")->trigger();
    QCOMPARE(programm->sitzung.sprache, Sprache::Englisch);
    const Texte englisch = texteVon(fenster());
    QCOMPARE(englisch.at("(title)"),
             QStringLiteral("Molvane's Spinalyst Q/XA     Professional evaluation and "
                            "system-/strategy development - Data Mining - Online Game"));
    // Menu items: the English caption of their row; "Data Mining" has none and keeps its own.
    auto& captions = programm->dataModule.TdbTable_Deutsch_Englisch;
    for (const char* name : spinalyst::app::Sprachabhaengige_Menuepunkte()) {
        QVERIFY2(captions.locate("Object", {Value(name)}), name);
        QCOMPARE(englisch.at(QString::fromLatin1(name)),
                 QString::fromStdString(captions.text("Englisch_Caption")));
    }
    QCOMPARE(englisch.at("MenuItem_DataMining"), QStringLiteral("Data Mining"));
    const std::pair<const char*, const char*> fest[] = {
        {"Label_Permanenz", "Permanence"},
        {"BitBtn_Permanenz_Zahl", "No."},
        {"Label_Coups_Permanenz", "No."},
        {"DBCheckBox_Tage_System_uebergreifend", "across"},
        {"CheckBox_Systemdetails", "System details"},
        {"Label_Satzsignale", "(Signals)"},
        {"Label_von2", "from"},
        {"Label_bis1", "to"},
        {"Label_Serie", "Series"},
        {"DBGrid_Ereignisse_Serien_Auswertung/2", "Series"},
        {"DBCheckBox_Online_Tage_System_uebergreifend", "ac"},
        {"DBCheckBox_Online_Vordergrund", "F"},
        {"DBGrid_Permanenz/0", "N"},
        {"DBGrid_Permanenz/2", "W/L"},
        {"DBGrid_Ereignisse_Auswertung/0", "Events"},
        {"DBGrid_Ereignisse_Auswertung/3", "Number"},
        {"DBGrid_Ereignisse_Rueckstaendigkeit_Auswertung/2", "Abs"},
        {"DBGrid_System_Auswertung/4", "No."},
        {"DBGrid_System_Auswertung_Gesamt/0", "Days"},
        {"DBGrid_Systeme/0", "No."},
        {"DBGrid_System_Ereignisfolge/0", "Sequence"},
        {"DBGrid_System_Angriffe/1", "Bet"},
        {"DBGrid_Online_Angriffe_Satz/0", "Event"},
        // The same in both languages.
        {"DBGrid_System_Auswertung/2", "Max +"},
        {"BitBtn_Berechnung_System_Auswertung", "(System)"},
    };
    for (const auto& [name, text] : fest) {
        QCOMPARE(englisch.at(QString::fromLatin1(name)), QString::fromUtf8(text));
    }
    // The kinds list shows the English names.
    auto& art = programm->dataModule.TdbTable_System_Art;
    QVERIFY(englisch.at("DBLookupComboBox_System_Art")
                .startsWith(QString::fromStdString(
                    art.rowAt(0)->values[art.fieldIndex("System_Art_Name_Englisch")].toText())));
    QVERIFY(finde<QToolButton>("SpeedButton_Englisch")->isChecked());

    finde<QToolButton>("SpeedButton_Deutsch")->click();
    QCOMPARE(programm->sitzung.sprache, Sprache::Deutsch);
    const Texte zurueck = texteVon(fenster());
    for (const auto& [name, text] : ersteAnzeige) {
        QCOMPARE(name + QStringLiteral(": ") + zurueck.at(name),
                 name + QStringLiteral(": ") + text);
    }
    QCOMPARE(zurueck.size(), ersteAnzeige.size());
}

void HauptfensterTest::viewHooksSwitchTheControlsTheyName() {
    starten();
    const char* filter[] = {"BitBtn_Ereignis_Haeufigkeit",
                            "DBEdit_Serien_von",
                            "DBEdit_Rueckstaendigkeit_Coups_zurueck_bis",
                            "DBCheckBox_Haeufigkeit_vor_Ereignisfolge",
                            "DBCheckBox_Ereignisfolge_Filterung_aktiv",
                            "DBComboBox_Instanz_System_Daten",
                            "CheckBox_ungleich_Ereignis",
                            "DBGrid_System_Ereignisfolge"};
    const char* einsaetze[] = {"DBComboBox_Setzart", "DBGrid_System_Angriffe",
                               "DBCheckBox_Systemangriff_Beendung_Einzeln_Alle"};
    const char* infoTexte[] = {"DBEdit_Ereignis_Haeufigkeit_Info", "DBEdit_Ereignis_Serien_Info",
                               "DBEdit_Ereignis_Rueckstaendigkeit_Info"};
    auto pruefen = [&](bool f, bool e) {
        for (const char* n : filter) {
            QVERIFY2(finde<QWidget>(n)->isEnabled() == f, n);
        }
        for (const char* n : einsaetze) {
            QVERIFY2(finde<QWidget>(n)->isEnabled() == e, n);
        }
        for (const char* n : infoTexte) {
            QVERIFY2(!finde<QWidget>(n)->isEnabled(), n);
        }
        QCOMPARE(finde<QAction>("MenuItem_Systeme_Erstellung")->isEnabled(), f);
    };
    // Details mode is off after the start.
    pruefen(false, false);
    fenster().systemdetailsFreigeben(false, true);
    pruefen(false, true);
    fenster().systemdetailsFreigeben(true, true);
    pruefen(true, true);
    fenster().systemdetailsFreigeben(false, false);
    pruefen(false, false);

    auto* details = finde<QCheckBox>("CheckBox_Systemdetails");
    details->setChecked(true);
    fenster().systemdetailsAus();
    QVERIFY(!details->isChecked());
    fenster().systemdetailsKastenFreigeben(false);
    QVERIFY(!details->isEnabled());
    QVERIFY(!finde<QLabel>("Label_Satzsignale")->isEnabled());
    fenster().systemdetailsKastenFreigeben(true);
    QVERIFY(details->isEnabled());

    fenster().ungleichEreignisZeigen(true);
    QVERIFY(finde<QCheckBox>("CheckBox_ungleich_Ereignis")->isChecked());

    programm->sitzung.eingabemodus = true;
    fenster().eingabemodusGeaendert();
    QVERIFY(finde<QPushButton>("BitBtn_Permanenz_Zahl")->isEnabled());
    finde<QLineEdit>("DBEdit_Permanenz_Zahl")->setText(QStringLiteral("17"));
    fenster().zahlfeldLeeren();
    QCOMPARE(finde<QLineEdit>("DBEdit_Permanenz_Zahl")->text(), QString());
}

void HauptfensterTest::f1AsksTheHelpQuestionInTheCurrentLanguageAndNoOpensNothing() {
    starten();
    const QString deutsch = QString::fromUtf8(
        "Die vollständige Hilfe liegt als pdf-Datei im Installationsverzeichnis vor!\nStarten?");
    const QString englisch = QStringLiteral(
        "The help is available as a pdf-file from the installation directory!\nStart?");

    antwort = false;
    QTest::keyClick(finde<QLineEdit>("DBEdit_Tage_System"), Qt::Key_F1);
    QCOMPARE(fragen, QStringList{deutsch});
    QVERIFY(geoeffnet.isEmpty());

    finde<QAction>("MenuItem_Sprache_Englisch")->trigger();
    QTest::keyClick(finde<QWidget>("DBGrid_Permanenz"), Qt::Key_F1);
    QCOMPARE(fragen, QStringList({deutsch, englisch}));
    QVERIFY(geoeffnet.isEmpty());

    // Yes opens the help of the language in the program directory; so does the menu.
    antwort = true;
    QTest::keyClick(finde<QWidget>("DateTimePicker"), Qt::Key_F1);
    finde<QAction>("MenuItem_Sprache_Deutsch")->trigger();
    finde<QAction>("MenuItem_Hilfe")->trigger();
    QCOMPARE(fragen.size(), 4);
    QCOMPARE(fragen.at(3), deutsch);
    QCOMPARE(geoeffnet, QStringList({dir->filePath("Help_Roulette.pdf"),
                                     dir->filePath("Hilfe_Roulette.pdf")}));

    // F1 with a modifier is no help key.
    QTest::keyClick(finde<QWidget>("DBGrid_Permanenz"), Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(fragen.size(), 4);
    QVERIFY(meldungen.isEmpty());

    // No viewer on the machine: a message names the help file and the program directory.
    oeffnenGelingt = false;
    QTest::keyClick(finde<QWidget>("DBGrid_Permanenz"), Qt::Key_F1);
    QCOMPARE(meldungen.size(), 1);
    QVERIFY2(meldungen.at(0).contains(QStringLiteral("\"Hilfe_Roulette.pdf\"")),
             qPrintable(meldungen.at(0)));
    QVERIFY(meldungen.at(0).endsWith(dir->path() + QLatin1Char('/')));
    finde<QAction>("MenuItem_Sprache_Englisch")->trigger();
    finde<QAction>("MenuItem_Hilfe")->trigger();
    QCOMPARE(meldungen.size(), 2);
    QVERIFY(meldungen.at(1).startsWith(QStringLiteral("The help could not be opened")));
    QVERIFY(meldungen.at(1).contains(QStringLiteral("\"Help_Roulette.pdf\"")));
}

void HauptfensterTest::statusBarShowsCompanyDateAndCutTime() {
    starten();
    fenster().Statusleiste_Aktualisieren();
    const auto panels = fenster().statusBar()->findChildren<QLabel*>();
    QMap<QString, QString> text;
    for (const QLabel* l : panels) {
        text[l->objectName()] = l->text();
    }
    QCOMPARE(text.value("StatusBar_Panel_0"), QString::fromUtf8("Molvane´s Software"));
    const QLocale locale = QLocale::system();
    QCOMPARE(text.value("StatusBar_Panel_1"),
             locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    // The long time text without its last three characters (the seconds, in 24-hour formats).
    const QString lang = spinalyst::app::Lange_Zeit(locale, QTime::currentTime());
    QCOMPARE(text.value("StatusBar_Panel_2").size(), lang.size() - 3);
    QVERIFY(lang.startsWith(text.value("StatusBar_Panel_2").left(2)));
}

void HauptfensterTest::longTimeHasNoTimeZone_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("status");
    QTest::newRow("German") << "de_DE"
                            << "09:05:07"
                            << "09:05";
    QTest::newRow("C") << "C"
                       << "09:05:07"
                       << "09:05";
    QTest::newRow("US (12 hours)") << "en_US"
                                   << "9:05:07 AM"
                                   << "9:05:07";
}

void HauptfensterTest::longTimeHasNoTimeZone() {
    QFETCH(QString, locale);
    QFETCH(QString, lang);
    QFETCH(QString, status);
    const QString text = spinalyst::app::Lange_Zeit(QLocale(locale), QTime(9, 5, 7));
    // Qt's en_US format may use a narrow no-break space before AM.
    QCOMPARE(QString(text).replace(QChar(0x202F), QLatin1Char(' ')), lang);
    QCOMPARE(QString::fromStdString(spinalyst::app::Zeit_Kuerzen(text.toStdString()))
                 .replace(QChar(0x202F), QLatin1Char(' ')),
             status);
}

void HauptfensterTest::closingPostsAPendingWahlEditAndClosesEveryCursor_data() {
    QTest::addColumn<bool>("enter");
    QTest::newRow("after Enter") << true;
    QTest::newRow("still typing") << false;
}

void HauptfensterTest::closingPostsAPendingWahlEditAndClosesEveryCursor() {
    QFETCH(bool, enter);
    starten();
    auto* tage = finde<QLineEdit>("DBEdit_Tage_System");
    fenster().activateWindow();
    tage->setFocus();
    tage->selectAll();
    QTest::keyClicks(tage, QStringLiteral("7"));
    if (enter) {
        QTest::keyClick(tage, Qt::Key_Return);
        QVERIFY(programm->dataModule.TdbTable_Wahl.isEditing());
    }
    QSignalSpy geschlossen(&fenster(), &Form_Anwendung_Roulette::geschlossen);
    QVERIFY(fenster().close());
    QCOMPARE(geschlossen.count(), 1);
    QVERIFY(!programm->dataModule.isOpen());
    for (const auto* c : programm->dataModule.closeOrder()) {
        QVERIFY2(!c->isOpen(), c->name().c_str());
    }
    QVERIFY(meldungen.isEmpty());

    vorbereiten([](spinalyst::store::DataModule_Roulette& dm) {
        QCOMPARE(dm.TdbTable_Wahl.integer("System_Tage_Anzahl"), 7);
    });
}

void HauptfensterTest::sigtermClosesTheWindowAndKeepsTheEdit() {
    spinalyst::app::Startumgebung umgebung;
    umgebung.programmverzeichnis = dir->path().toStdString();
    umgebung.meldung = [this](const QString& t) { meldungen << t; };
    // Once the window is up: type into an edit, then the session ends.
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* f = qobject_cast<Form_Anwendung_Roulette*>(w)) {
                auto* edit = f->findChild<QLineEdit*>(QStringLiteral("DBEdit_Coups_Permanenz"));
                edit->setText(QStringLiteral("55"));
                edit->setModified(true);
                std::raise(SIGTERM);
            }
        }
    });
    const int code = ausfuehrenMitWaechter(umgebung);
    QCOMPARE(code, 0);
    QVERIFY(meldungen.isEmpty());
    vorbereiten([](spinalyst::store::DataModule_Roulette& dm) {
        QCOMPARE(dm.TdbTable_Wahl.integer("Auswertung_Coups_Anzahl"), 55);
    });
}

void HauptfensterTest::sigtermDuringAQuestionAnswersNoAndEnds() {
    spinalyst::app::Startumgebung umgebung;
    umgebung.programmverzeichnis = dir->path().toStdString();
    umgebung.meldung = [this](const QString& t) { meldungen << t; };
    // Once the window is up it asks a destructive question; the session ends while it is open.
    std::optional<bool> bestaetigt;
    bool danachSichtbar = true;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* f = qobject_cast<Form_Anwendung_Roulette*>(w)) {
                QTimer::singleShot(0, [] { std::raise(SIGTERM); });
                bestaetigt = f->kontext().ui.confirm("Datensatz löschen?");
                danachSichtbar = f->isVisible();
            }
        }
    });
    const int code = ausfuehrenMitWaechter(umgebung);
    QCOMPARE(code, 0);
    QCOMPARE(bestaetigt, std::optional<bool>(false));
    QVERIFY(!danachSichtbar);
}

// What the player types in place: the names and marks of casinos and systems and the stakes.
// Coups, evaluations and the event sequence come from their own controls and stay read-only.
void HauptfensterTest::onlyNamesMarksAndStakesAreEditableInTheGrids() {
    starten();
    // The casino window is built when it is first shown.
    QTimer::singleShot(0, this, [this] {
        auto* casinos = fenster().findChild<QDialog*>(QStringLiteral("Form_Casino"));
        QVERIFY(casinos != nullptr);
        casinos->reject();
    });
    finde<QAction>("MenuItem_Casinos")->trigger();

    QStringList editierbar;
    for (const CursorGrid* grid : fenster().findChildren<CursorGrid*>()) {
        for (int c = 0; c < grid->cursorModel()->columnCount(); ++c) {
            if (grid->cursorModel()->column(c).editable) {
                editierbar << grid->objectName() + QLatin1Char('/') + QString::number(c);
            }
        }
    }
    editierbar.sort();
    QCOMPARE(
        editierbar,
        (QStringList{QStringLiteral("DBGrid_Casino_Name/1"), QStringLiteral("DBGrid_Casino_Name/2"),
                     QStringLiteral("DBGrid_System_Angriffe/1"), QStringLiteral("DBGrid_Systeme/1"),
                     QStringLiteral("DBGrid_Systeme/2")}));
}

QTEST_MAIN(HauptfensterTest)
#include "hauptfenster_test.moc"
