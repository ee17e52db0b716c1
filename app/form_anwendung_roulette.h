#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/binding/binding_context.h"
#include "capture/zufall.h"
#include "events/auswertung.h"
#include "kern/katalog.h"
#include "kern/kontext.h"
#include "kern/sitzung.h"
#include "store/datamodule.h"

class QAction;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QLocale;
class QMenu;
class QTime;
class QToolButton;

namespace spinalyst::binding {
class CursorTableModel;
}

namespace spinalyst::app {

class Datumswahl;
class Diagrammbereich;
class Form_Casino;
class Form_Ereignisse;
class Form_Online_Spiel;
class Form_Permanenz_Export;
class Form_Zahlenliste;
class Form_Wahl_Ereignis;
class QtUebersetzung;
class QtUserInterface;

// The main window `Form_Anwendung_Roulette`: selection bar, permanence column, evaluation
// panel, system panel, online panel, status bar, the main menu `HauptMenue` and the pop-up menu
// of the event sequence. Every control carries its name as the Qt object name. The window holds
// the session state (by reference), shows the data of the data module's cursors through bound
// controls and grids, and calls operations; it sends no SQL. Created once at start, before the
// data module is opened; its creation touches no database. The first show opens the data
// module; closing the window posts pending edits and closes it. The window is the view of the
// operations' Kontext (kern::Ansicht): the steps of an operation that only change what it
// shows.
class Form_Anwendung_Roulette : public QMainWindow, public kern::Ansicht {
    Q_OBJECT
  public:
    // Opens a document and tells whether that worked.
    using DokumentOeffner = std::function<bool(const QString& pfad)>;

    Form_Anwendung_Roulette(kern::Sitzung& sitzung, store::DataModule_Roulette& dataModule,
                            QtUserInterface& ui, QWidget* parent = nullptr);
    ~Form_Anwendung_Roulette() override;

    kern::Sitzung& sitzung() const { return sitzung_; }
    store::DataModule_Roulette& dataModule() const { return dm_; }
    binding::BindingContext& bindung() const { return *bindung_; }
    // What the operations run on: the data module, the session, the message link and this view.
    kern::Kontext& kontext() { return kontext_; }

    // The directory of the executable, where the help files are looked for; unset, the data
    // module's directory stands for it.
    void setProgrammverzeichnis(std::filesystem::path verzeichnis) {
        programmverzeichnis_ = std::move(verzeichnis);
    }
    // How a help file is opened; the desktop's default viewer unless replaced (tests).
    void setDokumentOeffner(DokumentOeffner oeffner) { oeffner_ = std::move(oeffner); }

    // Re-labels the window, its menus and grids in the session's language and rewrites the
    // language-dependent texts stored with the current system instance.
    void Sprache_Anwenden();
    // Language choice (menu "Sprache" and the flag buttons): set, apply, selection change.
    void MenuItem_Sprache_DeutschClick(QObject* sender);
    void MenuItem_Sprache_EnglischClick(QObject* sender);
    // Help command (menu "Hilfe", F1 anywhere in the window).
    void MenuItem_HilfeClick();
    // The idle handler: the three panels of the status bar.
    void Statusleiste_Aktualisieren();

    // The operations the show sequence and the language switch run: the selection change, the
    // change of system kind and chance class, and the system details switch.
    void Casino_Tisch_DatumChange(QObject* sender);
    void DBLookupComboBox_System_Art_ChancenCloseUp();
    void CheckBox_SystemdetailsClick();

    // Capture: the number button (and Enter in the number field), the casino window.
    void BitBtn_Permanenz_ZahlClick();
    void MenuItem_CasinosClick();

    // Evaluation panel (form_auswertung_system.cpp): the run, its four menu modes, the display
    // list. The catalogue is loaded when the data module opens.
    void BitBtn_Berechnung_Permanenz_AuswertungClick();
    void Permanenz_Auswertung_Modus(char modus);
    void DBComboBox_Haufigkeit_Serien_RueckstaendigkeitChange();
    // System panel: the system evaluation ("(System)" and Systeme / "Auswertung"). While it
    // runs, the actions that would start it again are disabled and ignored.
    void BitBtn_Berechnung_System_AuswertungClick();
    bool rechnet() const { return rechnet_; }
    // "Online Spiel": opens online play in its own window while the main window is hidden.
    void MenuItem_Online_SpielClick();
    Form_Online_Spiel* onlineFenster() const { return onlineFenster_; }
    // The charts of the last evaluations (a dock under the grids).
    Diagrammbereich* diagramme() const { return diagramme_; }
    // Colour of a coup's number: event 1 red, event 2 black (wins when both), 0 green.
    std::optional<QColor> Zahl_Farbe(const store::RowView& coup) const {
        return Permanenz_Zahl_Farbe(coup);
    }
    const kern::Ereigniskatalog& katalog() const { return katalog_; }
    // How the event choice is shown for a mode ('H', 'S', 'R', 'E'); set by the window that
    // owns the event choice (tests replace it).
    using EreigniswahlOeffner = std::function<void(char modus)>;
    void setEreigniswahlOeffner(EreigniswahlOeffner oeffner) {
        ereigniswahlOeffner_ = std::move(oeffner);
    }

    // kern::Ansicht
    void systemdetailsAus() override;
    void systemdetailsFreigeben(bool filterUndFolge, bool einsaetze) override;
    void systemdetailsKastenFreigeben(bool an) override;
    void ungleichEreignisZeigen(bool angehakt) override;
    void eingabemodusGeaendert() override;
    void zahlfeldLeeren() override;
    void permanenzGridsTrennen() override;
    void permanenzGridsVerbinden() override;
    void auswertungAnzeigen() override;
    void neuZeichnen() override;

  signals:
    // The window has closed and the data module is closed: the program ends.
    void geschlossen();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Anzeigen();
    void Texte_Setzen();
    void Menue_Bauen();
    QWidget* Auswahlleiste_Bauen();
    QWidget* Permanenzspalte_Bauen();
    QWidget* Auswertung_Bauen();
    QWidget* Systemteil_Bauen();
    QWidget* Onlineteil_Bauen();
    void Statusleiste_Bauen();
    void Kuerzel_Vergeben();
    void Sprachwahl_Anzeigen();
    void Datum_Uebernehmen(const QDate& tag);

    // Capture (form_anwendung_roulette_erfassung.cpp): connects the selection bar, number entry,
    // the casino window and the import and deletion menus; after the data module has opened,
    // installs the delete upkeep and reads the number colours.
    void Erfassung_Verbinden();
    void Erfassung_Nach_Oeffnen();
    std::optional<QColor> Permanenz_Zahl_Farbe(const store::RowView& coup) const;
    void Eingabemodus_Beenden();
    void Coup_Loeschen();
    void Casinoliste_Neu_Laden();
    QWidget* widgetNamed(const char* name) const;
    // Runs a step of an operation; an error is shown as a message.
    void Bedienen(const std::function<void()>& schritt);
    // CSV (form_anwendung_roulette_csv.cpp): the number-list import and the menu "Export";
    // their captions in the session's language.
    void Csv_Verbinden();
    void Csv_Beschriften();
    // form_auswertung_system.cpp
    void Auswertung_System_Verbinden();
    void Auswertung_System_Oeffnen();
    void Auswertungsliste_Zeigen(events::Auswertungsliste liste);
    void Ereigniswahl_Oeffnen(char modus);
    // Runs a step of a handler; a store error is shown to the user.
    void Geschuetzt(const std::function<void()>& schritt);

    kern::Sitzung& sitzung_;
    store::DataModule_Roulette& dm_;
    QtUserInterface& ui_;
    binding::BindingContext* bindung_;
    QtUebersetzung* qtTexte_;
    kern::Kontext kontext_;
    DokumentOeffner oeffner_;
    bool geschlossen_ = false;
    capture::Zufallsgenerator zufall_ = capture::Zufallsgenerator::ausDerUhr();
    enum class Zahlfarbe : char { Keine, Rot, Schwarz, Gruen };
    std::array<Zahlfarbe, 37> zahlFarben_{};
    Form_Casino* formCasino_ = nullptr;

    Datumswahl* DateTimePicker = nullptr;
    QLineEdit* DBEdit_Permanenz_Zahl = nullptr;
    QPushButton* BitBtn_Permanenz_Zahl = nullptr;
    binding::CursorTableModel* permanenzModell_ = nullptr;
    binding::CursorTableModel* tageModell_ = nullptr;
    QCheckBox* CheckBox_Systemdetails = nullptr;
    QCheckBox* CheckBox_ungleich_Ereignis = nullptr;
    QToolButton* SpeedButton_Deutsch = nullptr;
    QToolButton* SpeedButton_Englisch = nullptr;
    QMenu* PopupMenu_Ereignisfolge = nullptr;
    QLabel* statusPanels_[3] = {nullptr, nullptr, nullptr};
    QLabel* statusDatenverzeichnis_ = nullptr;  // where the databases are, beside panel 0
    std::filesystem::path programmverzeichnis_;
    QElapsedTimer statusUhr_;
    // The controls details mode enables: filter rows and event sequence; stakes and settlement.
    std::vector<QWidget*> detailsFilter_;
    std::vector<QWidget*> detailsEinsaetze_;
    kern::Ereigniskatalog katalog_;
    std::unique_ptr<events::Permanenzauswertung> auswertung_;
    QElapsedTimer zeichenUhr_;
    // A system evaluation is in progress (the engine is not entered twice).
    bool rechnet_ = false;
    Form_Online_Spiel* onlineFenster_ = nullptr;
    EreigniswahlOeffner ereigniswahlOeffner_;
    Form_Ereignisse* formEreignisse_ = nullptr;
    Form_Wahl_Ereignis* formWahlEreignis_ = nullptr;
    Form_Zahlenliste* formZahlenliste_ = nullptr;
    Form_Permanenz_Export* formPermanenzExport_ = nullptr;
    Diagrammbereich* diagramme_ = nullptr;
};

// Text colour of a bet or a result: green above 0, red below 0, black at 0 or while unsettled
// (the field `Gewinn_Verlust` of the row).
std::optional<QColor> Einsatz_Farbe(const store::RowView& row);

// A menu caption without its mnemonic marker ("&Casinos" gives "Casinos", "A && B" gives
// "A & B").
QString ohneKuerzel(const QString& text);

// The current time in the locale's long time format, without a time zone.
QString Lange_Zeit(const QLocale& locale, const QTime& zeit);

}  // namespace spinalyst::app
