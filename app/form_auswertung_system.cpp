// The evaluation panel and the system panel of the main window: the permanence evaluation with
// its display lists, and the systems list with kind, chance, instance, details mode and the
// event sequence. The operations are in events/ and systems/; this file only connects controls
// to them and shows what they return.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <exception>

#include "app/binding/bound_controls.h"
#include "app/binding/cursor_grid.h"
#include "app/diagrammbereich.h"
#include "app/form_anwendung_roulette.h"
#include "app/form_ereignisse.h"
#include "app/form_wahl_ereignis.h"
#include "app/qt_user_interface.h"
#include "events/auswertung.h"
#include "events/ereignisse.h"
#include "events/ereigniswahl.h"
#include "systems/ereignisfolge.h"
#include "systems/system.h"
#include "systems/systemlauf.h"

namespace spinalyst::app {

namespace {

// Runs a handler whenever its widget receives the focus (the "enter" of a list).
class FokusFilter : public QObject {
  public:
    FokusFilter(QObject* parent, std::function<void()> handler)
        : QObject(parent), handler_(std::move(handler)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            handler_();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> handler_;
};

// The control of the window with this object name.
template <typename T>
T* steuerelement(const QObject* fenster, const char* name) {
    return fenster->findChild<T*>(QString::fromLatin1(name));
}

}  // namespace

void Form_Anwendung_Roulette::Geschuetzt(const std::function<void()>& schritt) {
    try {
        schritt();
    } catch (const std::exception& e) {
        ui_.inform(e.what());
    }
}

void Form_Anwendung_Roulette::Auswertung_System_Verbinden() {
    using binding::BoundCheckBox;
    using binding::BoundComboBox;
    using binding::BoundLineEdit;
    using binding::BoundLookupComboBox;
    using binding::CursorGrid;

    // --- Permanence evaluation ---
    // --- System evaluation ---
    connect(steuerelement<QPushButton>(this, "BitBtn_Berechnung_System_Auswertung"),
            &QPushButton::clicked, this, [this] { BitBtn_Berechnung_System_AuswertungClick(); });
    connect(steuerelement<QAction>(this, "MenuItem_Systeme_Auswertung"), &QAction::triggered, this,
            [this] { BitBtn_Berechnung_System_AuswertungClick(); });
    connect(steuerelement<QAction>(this, "MenuItem_Online_Spiel"), &QAction::triggered, this,
            [this] { MenuItem_Online_SpielClick(); });
    connect(steuerelement<BoundLineEdit>(this, "DBEdit_Tage_System"),
            &BoundLineEdit::valueCommitted, this,
            [this] { Geschuetzt([this] { systems::DBEdit_Tage_SystemChange(kontext_); }); });

    connect(steuerelement<QPushButton>(this, "BitBtn_Berechnung_Permanenz_Auswertung"),
            &QPushButton::clicked, this, [this] { BitBtn_Berechnung_Permanenz_AuswertungClick(); });
    const std::pair<const char*, char> modi[] = {
        {"MenuItem_Ereignisse_Haeufigkeit", 'H'},
        {"MenuItem_Ereignisse_Haeufigkeit_Serien", 'S'},
        {"MenuItem_Ereignisse_Haeufigkeit_Rueckstandigkeit", 'R'},
        {"MenuItem_Ereignisse_komplett", 'A'},
    };
    for (const auto& [name, modus] : modi) {
        const char m = modus;
        connect(steuerelement<QAction>(this, name), &QAction::triggered, this,
                [this, m] { Permanenz_Auswertung_Modus(m); });
    }
    connect(steuerelement<BoundComboBox>(this, "DBComboBox_Haufigkeit_Serien_Rueckstaendigkeit"),
            &BoundComboBox::valueCommitted, this,
            [this] { DBComboBox_Haufigkeit_Serien_RueckstaendigkeitChange(); });
    auto zuruecksetzen = [this] {
        Geschuetzt([this] {
            if (auswertung_ == nullptr) {
                return;
            }
            events::Auswertung_Zuruecksetzen(kontext_, true);
            Auswertungsliste_Zeigen(events::DBComboBox_Haufigkeit_Serien_RueckstaendigkeitChange(
                kontext_, *auswertung_));
        });
    };
    for (const char* name : {"DBEdit_Coups_Permanenz", "DBEdit_Tage_Permanenz"}) {
        connect(steuerelement<BoundLineEdit>(this, name), &BoundLineEdit::valueCommitted, this,
                zuruecksetzen);
    }
    connect(steuerelement<BoundCheckBox>(this, "DBCheckBox_Tage_Permanenz_uebergreifend"),
            &BoundCheckBox::valueCommitted, this, zuruecksetzen);
    connect(steuerelement<BoundLookupComboBox>(this, "DBLookupComboBox_Chancen_Permanenz"),
            &BoundLookupComboBox::valueCommitted, this, [this] {
                Geschuetzt([this] { events::DBLookupComboBox_Chancen_PermanenzCloseUp(kontext_); });
            });
    // The chart of the selected event follows the current row of the frequency list (after the
    // grid has moved its cursor there).
    connect(
        steuerelement<CursorGrid>(this, "DBGrid_Ereignisse_Auswertung")->selectionModel(),
        &QItemSelectionModel::currentRowChanged, this, [this] { diagramme_->Ereignis_Zeigen(); },
        Qt::QueuedConnection);
    auto* serien = steuerelement<CursorGrid>(this, "DBGrid_Ereignisse_Serien_Auswertung");
    auto* rueck = steuerelement<CursorGrid>(this, "DBGrid_Ereignisse_Rueckstaendigkeit_Auswertung");
    connect(serien, &QAbstractItemView::doubleClicked, this, [this] {
        Geschuetzt([this] {
            if (auswertung_ != nullptr) {
                Auswertungsliste_Zeigen(
                    events::DBGrid_Ereignisse_Serien_AuswertungDblClick(kontext_, *auswertung_));
            }
        });
    });
    connect(rueck, &QAbstractItemView::doubleClicked, this, [this] {
        Geschuetzt([this] {
            if (auswertung_ != nullptr) {
                Auswertungsliste_Zeigen(
                    events::DBGrid_Ereignisse_Rueckstaendigkeit_AuswertungDblClick(kontext_,
                                                                                   *auswertung_));
            }
        });
    });
    // The absence list shares the popup of the event sequence.
    rueck->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(rueck, &QWidget::customContextMenuRequested, this, [this, rueck](QPoint p) {
        PopupMenu_Ereignisfolge->popup(rueck->viewport()->mapToGlobal(p));
    });
    connect(steuerelement<QAction>(this, "MenuItem_Ereignis_Aufnehmen"), &QAction::triggered, this,
            [this] { Geschuetzt([this] { events::MenuItem_Ereignis_AufnehmenClick(kontext_); }); });
    connect(steuerelement<QAction>(this, "MenuItem_Ereignis_Loeschen"), &QAction::triggered, this,
            [this] { Geschuetzt([this] { systems::MenuItem_Ereignis_LoeschenClick(kontext_); }); });

    connect(steuerelement<QAction>(this, "MenuItem_Ereignisse_Ueberblick"), &QAction::triggered,
            this, [this] {
                if (!dm_.TdbTable_Ereignisse.isOpen()) {
                    return;
                }
                if (formEreignisse_ == nullptr) {
                    formEreignisse_ = new Form_Ereignisse(*this);
                }
                formEreignisse_->Zeigen();
            });

    // --- System panel ---
    auto* systeme = steuerelement<CursorGrid>(this, "DBGrid_Systeme");
    systeme->installEventFilter(new FokusFilter(this, [this] {
        Geschuetzt([this] {
            if (dm_.TdbTable_Systeme.isOpen()) {
                systems::DBGrid_SystemeEnter(kontext_);
            }
        });
    }));
    // A double click on a system opens its information, where its name and its mark for mode
    // "A" are edited in place (the same double click opens the cell's editor).
    connect(systeme, &QAbstractItemView::doubleClicked, this, [this] {
        QAction* info = steuerelement<QAction>(this, "MenuItem_Systeme_Information");
        if (!info->isChecked()) {
            info->trigger();
        }
    });
    for (const char* name : {"DBLookupComboBox_System_Art", "DBLookupComboBox_System_Chancen"}) {
        connect(steuerelement<BoundLookupComboBox>(this, name),
                &BoundLookupComboBox::valueCommitted, this,
                [this] { DBLookupComboBox_System_Art_ChancenCloseUp(); });
    }
    connect(steuerelement<BoundComboBox>(this, "DBComboBox_Instanz_System_Daten"),
            &BoundComboBox::valueCommitted, this, [this] {
                Geschuetzt([this] { systems::DBComboBox_Instanz_System_DatenChange(kontext_); });
            });
    auto neu = [this] {
        Geschuetzt([this] { systems::MenuItem_Systeme_AufnahmeClick(kontext_); });
    };
    connect(steuerelement<QPushButton>(this, "BitBtn_System_Neu"), &QPushButton::clicked, this,
            neu);
    connect(steuerelement<QAction>(this, "MenuItem_Systeme_Aufnahme"), &QAction::triggered, this,
            neu);
    connect(CheckBox_Systemdetails, &QCheckBox::clicked, this,
            [this] { CheckBox_SystemdetailsClick(); });
    connect(CheckBox_ungleich_Ereignis, &QCheckBox::clicked, this, [this](bool angehakt) {
        Geschuetzt([this, angehakt] {
            const bool zeigen = systems::CheckBox_ungleich_EreignisClick(kontext_, angehakt);
            const QSignalBlocker block(CheckBox_ungleich_Ereignis);
            CheckBox_ungleich_Ereignis->setChecked(zeigen);
        });
    });
    QAction* information = steuerelement<QAction>(this, "MenuItem_Systeme_Information");
    information->setCheckable(true);
    connect(information, &QAction::toggled, this, [this, systeme](bool an) {
        // Leaving the information keeps a name being typed, before the system is posted.
        systeme->setEditing(an);
        steuerelement<QFrame>(this, "Panel_System_Informationen")->setVisible(an);
        Geschuetzt([this, an] { systems::MenuItem_Systeme_InformationClick(kontext_, an); });
    });
    connect(steuerelement<QAction>(this, "MenuItem_Systeme_Loeschen"), &QAction::triggered, this,
            [this] { Geschuetzt([this] { systems::MenuItem_Systeme_LoeschenClick(kontext_); }); });
    // The filter-event buttons and their menu entries choose an event for the filter (H, S, R)
    // or the sequence (E).
    const std::pair<const char*, char> wahl[] = {
        {"BitBtn_Ereignis_Haeufigkeit", 'H'},
        {"BitBtn_Ereignis_Serien", 'S'},
        {"BitBtn_Ereignis_Rueckstaendigkeit", 'R'},
        {"BitBtn_Ereignis_Ereignisfolge", 'E'},
    };
    for (const auto& [name, modus] : wahl) {
        const char m = modus;
        connect(steuerelement<QPushButton>(this, name), &QPushButton::clicked, this,
                [this, m] { Ereigniswahl_Oeffnen(m); });
    }
    const std::pair<const char*, char> wahlMenue[] = {
        {"MenuItem_Systeme_Haeufigkeit", 'H'},
        {"MenuItem_Systeme_Serien", 'S'},
        {"MenuItem_Systeme_Rueckstaendigkeit", 'R'},
        {"MenuItem_Systeme_Ereignisfolge", 'E'},
    };
    for (const auto& [name, modus] : wahlMenue) {
        const char m = modus;
        connect(steuerelement<QAction>(this, name), &QAction::triggered, this,
                [this, m] { Ereigniswahl_Oeffnen(m); });
    }
    ereigniswahlOeffner_ = [this](char modus) {
        if (!dm_.TdbTable_Ereignisse.isOpen()) {
            return;
        }
        if (formWahlEreignis_ == nullptr) {
            formWahlEreignis_ = new Form_Wahl_Ereignis(*this);
        }
        formWahlEreignis_->Zeigen(modus);
    };
}

void Form_Anwendung_Roulette::Auswertung_System_Oeffnen() {
    if (!dm_.TdbTable_Wahl.isOpen()) {
        return;
    }
    katalog_ = kern::Ereigniskatalog::laden(dm_);
    auswertung_.reset();
    auswertung_ =
        std::make_unique<events::Permanenzauswertung>(dm_, QLocale().decimalPoint().toStdString());
    systems::Systemhaken_Installieren(kontext_);
}

void Form_Anwendung_Roulette::Ereigniswahl_Oeffnen(char modus) {
    sitzung_.ereigniswahl_modus = modus;
    if (ereigniswahlOeffner_) {
        ereigniswahlOeffner_(modus);
    }
}

void Form_Anwendung_Roulette::Auswertungsliste_Zeigen(events::Auswertungsliste liste) {
    using events::Auswertungsliste;
    steuerelement<QWidget>(this, "DBGrid_Ereignisse_Auswertung")
        ->setVisible(liste == Auswertungsliste::Haeufigkeit);
    steuerelement<QWidget>(this, "DBGrid_Ereignisse_Serien_Auswertung")
        ->setVisible(liste == Auswertungsliste::Serien);
    steuerelement<QWidget>(this, "DBGrid_Ereignisse_Rueckstaendigkeit_Auswertung")
        ->setVisible(liste == Auswertungsliste::Rueckstaendigkeit);
    auto* chiQuadrat = steuerelement<QLabel>(this, "Label_Chi_Quadrat");
    chiQuadrat->setText(
        auswertung_ != nullptr
            ? QString::fromStdString(auswertung_->Chi_Quadrat_Text(sitzung_.sprache))
            : QString());
    chiQuadrat->setToolTip(QString::fromUtf8(sitzung_.text(
        "Chi-Quadrat-Test eines fairen Kessels über die Treffer der 37 Zahlen der ausgewerteten "
        "Strecke (36 Freiheitsgrade); ein kleiner p-Wert spricht gegen einen fairen Kessel",
        "Chi-square test of a fair wheel over the hits of the 37 numbers of the evaluated stretch "
        "(36 degrees of freedom); a small p-value speaks against a fair wheel")));
}

void Form_Anwendung_Roulette::BitBtn_Berechnung_Permanenz_AuswertungClick() {
    if (auswertung_ == nullptr || rechnet_) {
        return;
    }
    auto* knopf = steuerelement<QPushButton>(this, "BitBtn_Berechnung_Permanenz_Auswertung");
    // The focus on the button ends a manual number entry first.
    knopf->setFocus();
    bindung().commitAll();
    knopf->setEnabled(false);
    Geschuetzt([this] {
        events::BitBtn_Berechnung_Permanenz_AuswertungClick(kontext_, *auswertung_, katalog_);
    });
    knopf->setEnabled(true);
    diagramme_->Permanenzauswertung_Zeigen();
}

void Form_Anwendung_Roulette::BitBtn_Berechnung_System_AuswertungClick() {
    if (rechnet_ || !dm_.TdbTable_Wahl.isOpen()) {
        return;
    }
    auto* knopf = steuerelement<QPushButton>(this, "BitBtn_Berechnung_System_Auswertung");
    auto* menue = steuerelement<QAction>(this, "MenuItem_Systeme_Auswertung");
    // The focus on the button ends a manual entry (days, a stake) first.
    knopf->setFocus();
    bindung().commitAll();
    rechnet_ = true;
    knopf->setEnabled(false);
    menue->setEnabled(false);
    systems::Systemlauf lauf;
    Geschuetzt([this, &lauf] {
        lauf = systems::BitBtn_Berechnung_System_AuswertungClick(kontext_, katalog_);
    });
    rechnet_ = false;
    knopf->setEnabled(true);
    menue->setEnabled(true);
    diagramme_->Systemauswertung_Zeigen(lauf);
}

void Form_Anwendung_Roulette::Permanenz_Auswertung_Modus(char modus) {
    if (auswertung_ == nullptr || rechnet_) {
        return;
    }
    auto* knopf = steuerelement<QPushButton>(this, "BitBtn_Berechnung_Permanenz_Auswertung");
    bindung().commitAll();
    knopf->setEnabled(false);
    Geschuetzt([this, modus] {
        events::Permanenz_Auswertung_Modus(kontext_, *auswertung_, katalog_, modus);
    });
    knopf->setEnabled(true);
    diagramme_->Permanenzauswertung_Zeigen();
}

void Form_Anwendung_Roulette::DBComboBox_Haufigkeit_Serien_RueckstaendigkeitChange() {
    if (auswertung_ == nullptr) {
        return;
    }
    Geschuetzt([this] {
        Auswertungsliste_Zeigen(
            events::DBComboBox_Haufigkeit_Serien_RueckstaendigkeitChange(kontext_, *auswertung_));
    });
}

void Form_Anwendung_Roulette::DBLookupComboBox_System_Art_ChancenCloseUp() {
    Geschuetzt([this] { systems::DBLookupComboBox_System_Art_ChancenCloseUp(kontext_); });
}

void Form_Anwendung_Roulette::CheckBox_SystemdetailsClick() {
    Geschuetzt([this] {
        systems::CheckBox_SystemdetailsClick(kontext_, CheckBox_Systemdetails->isChecked());
    });
}

void Form_Anwendung_Roulette::auswertungAnzeigen() {
    // Called inside operations: their errors are theirs to handle.
    if (auswertung_ != nullptr) {
        Auswertungsliste_Zeigen(
            events::DBComboBox_Haufigkeit_Serien_RueckstaendigkeitChange(kontext_, *auswertung_));
    }
}

void Form_Anwendung_Roulette::neuZeichnen() {
    // A long run asks often; repainting at most every 100 ms keeps it fast.
    if (zeichenUhr_.isValid() && zeichenUhr_.elapsed() < 100) {
        return;
    }
    zeichenUhr_.start();
    repaint();
}

}  // namespace spinalyst::app
