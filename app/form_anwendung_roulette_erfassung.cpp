// The capture part of the main window: the selection bar, number entry, the colours of the
// permanence grid, the casino window and the import and deletion menus.

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

#include "app/binding/bound_controls.h"
#include "app/binding/cursor_grid.h"
#include "app/core/statuszeile.h"
#include "app/datumswahl.h"
#include "app/form_anwendung_roulette.h"
#include "app/form_casino.h"
#include "app/qt_user_interface.h"
#include "capture/aufnahme.h"
#include "capture/auswahl.h"
#include "capture/eingabe.h"
#include "capture/loeschen.h"
#include "kern/katalog.h"

namespace spinalyst::app {

namespace {

// Hands the events of the watched objects to a function; true from it swallows the event.
class Ereignisfilter : public QObject {
  public:
    using Behandlung = std::function<bool(QObject*, QEvent*)>;
    Ereignisfilter(QObject* parent, Behandlung behandlung)
        : QObject(parent), behandlung_(std::move(behandlung)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return behandlung_(watched, event);
    }

  private:
    Behandlung behandlung_;
};

}  // namespace

void Form_Anwendung_Roulette::Erfassung_Verbinden() {
    auto widget = [this](const char* name) {
        return findChild<QWidget*>(QString::fromLatin1(name));
    };
    auto action = [this](const char* name) {
        return findChild<QAction*>(QString::fromLatin1(name));
    };
    auto* casino = findChild<QComboBox*>(QStringLiteral("DBLookupComboBox_Casino"));
    auto* tisch = findChild<QComboBox*>(QStringLiteral("DBComboBox_Tisch"));

    // Choosing from a list (by the mouse or by keys) writes the field first, then the
    // selection follows it.
    connect(casino, &QComboBox::activated, this,
            [this, casino] { Casino_Tisch_DatumChange(casino); });
    connect(tisch, &QComboBox::activated, this, [this, tisch] { Casino_Tisch_DatumChange(tisch); });
    // A day is taken once it is complete (Enter, leaving the field, a pick in the calendar); a
    // menu opened while a day is half typed takes it first.
    connect(DateTimePicker, &Datumswahl::gewaehlt, this,
            [this] { Casino_Tisch_DatumChange(DateTimePicker); });
    for (QMenu* m : menuBar()->findChildren<QMenu*>()) {
        connect(m, &QMenu::aboutToShow, DateTimePicker, &Datumswahl::festlegen);
    }

    // Entering a selection control or an evaluation button ends the number-entry mode.
    auto* eingabeEnde = new Ereignisfilter(this, [this](QObject*, QEvent* event) {
        if (event->type() == QEvent::FocusIn && sitzung_.eingabemodus) {
            Eingabemodus_Beenden();
        }
        return false;
    });
    for (const char* name :
         {"DBLookupComboBox_Casino", "DBComboBox_Tisch", "DateTimePicker",
          "BitBtn_Berechnung_Permanenz_Auswertung", "BitBtn_Berechnung_System_Auswertung"}) {
        if (QWidget* w = widget(name)) {
            w->installEventFilter(eingabeEnde);
        }
    }
    for (QObject* kind : DateTimePicker->children()) {
        if (auto* feld = qobject_cast<QLineEdit*>(kind)) {
            feld->installEventFilter(eingabeEnde);
        }
    }

    // Number entry.
    connect(action("MenuItem_Permanenzen_Eingabe"), &QAction::triggered, this, [this] {
        Bedienen([this] { capture::MenuItem_Permanenzen_EingabeClick(kontext_); });
        if (sitzung_.eingabemodus) {
            zahlfeldLeeren();
        }
    });
    connect(BitBtn_Permanenz_Zahl, &QPushButton::clicked, this,
            &Form_Anwendung_Roulette::BitBtn_Permanenz_ZahlClick);
    connect(DBEdit_Permanenz_Zahl, &QLineEdit::returnPressed, this, [this] {
        if (sitzung_.eingabemodus) {
            BitBtn_Permanenz_ZahlClick();
        }
    });

    // Ctrl+Delete in the permanence grid deletes the coup the cursor stands on.
    auto* grid = widget("DBGrid_Permanenz");
    grid->installEventFilter(new Ereignisfilter(this, [this](QObject*, QEvent* event) {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* taste = static_cast<QKeyEvent*>(event);
        if (taste->key() != Qt::Key_Delete || taste->modifiers() != Qt::ControlModifier) {
            return false;
        }
        Coup_Loeschen();
        return true;
    }));

    // Casinos, import and deletion.
    connect(action("MenuItem_Casinos"), &QAction::triggered, this,
            &Form_Anwendung_Roulette::MenuItem_CasinosClick);
    connect(action("MenuItem_Permanenzen_Aufnahme"), &QAction::triggered, this, [this] {
        Eingabemodus_Beenden();
        Bedienen([this] { capture::MenuItem_Permanenzen_AufnahmeClick(kontext_, zufall_); });
        Casinoliste_Neu_Laden();
    });
    connect(action("MenuItem_Permanenzen_Loeschen_Tag"), &QAction::triggered, this, [this] {
        Eingabemodus_Beenden();
        Bedienen([this] { capture::MenuItem_Permanenzen_Loeschen_TagClick(kontext_); });
        Casinoliste_Neu_Laden();
    });
    connect(action("MenuItem_Permanenzen_Loeschen_Monat"), &QAction::triggered, this, [this] {
        Eingabemodus_Beenden();
        Bedienen([this] { capture::MenuItem_Permanenzen_Loeschen_MonatClick(kontext_); });
        Casinoliste_Neu_Laden();
    });
}

void Form_Anwendung_Roulette::Erfassung_Nach_Oeffnen() {
    capture::Permanenz_Hooks_Installieren(kontext_);
    // The colours of the numbers, read once from the catalogue: the members of event 1 are
    // red, those of event 2 black (black wins when both apply), 0 is green.
    zahlFarben_.fill(Zahlfarbe::Keine);
    try {
        const kern::Ereigniskatalog katalog = kern::Ereigniskatalog::laden(dm_);
        for (int zahl = 0; zahl <= 36; ++zahl) {
            if (katalog.enthaelt(2, zahl)) {
                zahlFarben_[zahl] = Zahlfarbe::Schwarz;
            } else if (katalog.enthaelt(1, zahl)) {
                zahlFarben_[zahl] = Zahlfarbe::Rot;
            }
        }
    } catch (const std::exception& e) {
        ui_.inform(e.what());
    }
    zahlFarben_[0] = Zahlfarbe::Gruen;
}

std::optional<QColor> Form_Anwendung_Roulette::Permanenz_Zahl_Farbe(
    const store::RowView& coup) const {
    // A coup without a number yet counts as 0.
    const int zahl = coup.isNull("Zahl") ? 0 : coup.integer("Zahl");
    if (zahl < 0 || zahl > 36) {
        return std::nullopt;
    }
    switch (zahlFarben_[zahl]) {
        case Zahlfarbe::Rot:
            return QColor(200, 0, 0);
        case Zahlfarbe::Schwarz:
            return QColor(Qt::black);
        case Zahlfarbe::Gruen:
            return QColor(0, 128, 0);
        case Zahlfarbe::Keine:
            break;
    }
    return std::nullopt;
}

void Form_Anwendung_Roulette::Casino_Tisch_DatumChange(QObject* sender) {
    if (!dm_.TdbTable_Wahl.isOpen() || dm_.TdbTable_Wahl.isEmpty()) {
        return;
    }
    using capture::Ausloeser;
    Ausloeser ausloeser = Ausloeser::Hauptfenster;
    if (sender == widgetNamed("DBLookupComboBox_Casino")) {
        ausloeser = Ausloeser::CasinoListe;
    } else if (sender == widgetNamed("DBComboBox_Tisch")) {
        ausloeser = Ausloeser::TischListe;
    } else if (sender == DateTimePicker) {
        ausloeser = Ausloeser::Datumsauswahl;
    }
    Datum_Uebernehmen(DateTimePicker->gewaehlterTag());
    Bedienen([this, ausloeser] {
        capture::Casino_Tisch_DatumChange(kontext_, ausloeser);
        // The casino cursor stands on the selected casino (its stretches, the import).
        dm_.TdbTable_Casino.locate("ID_Casino_AutoInc", {dm_.TdbTable_Wahl.value("ID_Casino")});
    });
}

void Form_Anwendung_Roulette::BitBtn_Permanenz_ZahlClick() {
    // A number that is not one of the wheel is dropped; the player sees why in the status bar.
    bool istZahl = false;
    const int getippt = DBEdit_Permanenz_Zahl->text().toInt(&istZahl);
    if (istZahl && (getippt < 0 || getippt > 36)) {
        statusBar()->showMessage(QString::fromUtf8(Hinweis_Zahl_Ausserhalb(sitzung_.sprache)),
                                 6000);
    } else {
        statusBar()->clearMessage();
    }
    // What is typed reaches the field before the operation reads it.
    static_cast<binding::BoundLineEdit*>(DBEdit_Permanenz_Zahl)->commit();
    Bedienen([this] { capture::BitBtn_Permanenz_ZahlClick(kontext_); });
    zahlfeldLeeren();
}

void Form_Anwendung_Roulette::Eingabemodus_Beenden() {
    if (!dm_.TdbTable_Permanenz.isOpen()) {
        return;
    }
    capture::Deaktiviere_manuellen_Eingabemodus(kontext_);
}

void Form_Anwendung_Roulette::Coup_Loeschen() {
    auto& p = dm_.TdbTable_Permanenz;
    if (!p.isOpen() || p.isEmpty()) {
        return;
    }
    const bool loeschen =
        ui_.confirmDeletion(sitzung_.englisch() ? "Delete record?" : "Datensatz löschen?");
    if (loeschen) {
        Bedienen([&p] { p.remove(); });
    }
    if (!sitzung_.eingabemodus) {
        return;
    }
    // In entry mode the player types on at once: the next number goes to the coup about to be
    // played (kept, or made anew when it was the one deleted), and the number field has the
    // focus again. Kept coups stay where the player left the cursor.
    if (loeschen) {
        Bedienen([this] {
            capture::Deaktiviere_manuellen_Eingabemodus(kontext_);
            capture::MenuItem_Permanenzen_EingabeClick(kontext_);
        });
    }
    zahlfeldLeeren();
}

void Form_Anwendung_Roulette::MenuItem_CasinosClick() {
    Eingabemodus_Beenden();
    if (!dm_.TdbTable_Casino.isOpen()) {
        return;
    }
    if (formCasino_ == nullptr) {
        formCasino_ = new Form_Casino(kontext_, bindung_, this);
    }
    formCasino_->Zeigen();
    Casinoliste_Neu_Laden();
}

void Form_Anwendung_Roulette::Casinoliste_Neu_Laden() {
    if (auto* liste =
            findChild<binding::BoundLookupComboBox*>(QStringLiteral("DBLookupComboBox_Casino"))) {
        liste->reload();
    }
}

QWidget* Form_Anwendung_Roulette::widgetNamed(const char* name) const {
    return findChild<QWidget*>(QString::fromLatin1(name));
}

void Form_Anwendung_Roulette::Bedienen(const std::function<void()>& schritt) {
    try {
        schritt();
    } catch (const std::exception& e) {
        ui_.inform(e.what());
    }
}

}  // namespace spinalyst::app
