#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

#include "app/binding/binding_context.h"
#include "kern/katalog.h"
#include "kern/kontext.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace spinalyst::binding {
class BoundComboBox;
class BoundLineEdit;
class BoundLookupComboBox;
class CursorGrid;
class CursorWatch;
}  // namespace spinalyst::binding

namespace spinalyst::app {

class Form_Data_Mining_Ereignisfolgen;

// The results side of the data-mining window, a panel inside it: the five controls of the result
// selection bound to `Wahl` (chance class, attack length "01" to "10", kind, order, minimum
// win/loss), the show button, the result list over `TdbQuery_DM_Ergebnisse`, the events of the
// chosen pattern over `DM_Folge_Anzeige`, the button "Ef" that opens the window
// "Ereignisfolgen" and the take-over button, which is the window's default button (Enter). The
// pattern's filters go to the H, S, R labels and display boxes of the window, handed over with
// Anzeigefelder. Owned by the data-mining window; the operations are those of
// mining/ergebnisse.h and mining/uebernahme.h.
class Form_Data_Mining_Auswertung : public QWidget {
    Q_OBJECT
  public:
    Form_Data_Mining_Auswertung(kern::Kontext& kontext, binding::BindingContext* bindung,
                                QWidget* parent = nullptr);
    ~Form_Data_Mining_Auswertung() override;

    // The window's H, S, R labels and their "<>" and "A" boxes, which show the chosen pattern.
    void Anzeigefelder(std::array<QLabel*, 3> beschriftung, std::array<QCheckBox*, 3> ungleich,
                       std::array<QCheckBox*, 3> aktiv);

    // The window opens on the data-mining system `system`: captions, the list closed, the
    // display empty.
    void Oeffnen(std::int64_t system);
    // The window closes: the list closed, the display emptied.
    void Schliessen();
    // The list closed and the display emptied while the window stays open (before a run
    // rewrites the tables the list shows).
    void Liste_Schliessen();
    // Captions and headings in the session's language.
    void Beschriften();

  signals:
    // A result was taken over into the system; the window closes.
    void uebernommen();

  protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

  private:
    char Dezimaltrenner() const;
    void Musteranzeigen();
    void Anzahl_Angriffe_Zeigen();
    void BitBtn_Anzeige_ErgebnisseClick();
    void DBGrid_AuswertungDblClick();
    void BitBtn_Anzeige_EreignisfolgenClick();
    void BitBtn_UebernahmeClick();
    // Runs an operation; a store error is shown to the user.
    template <typename F>
    void Ausfuehren(F&& f);

    kern::Kontext& kontext_;
    binding::BindingContext* bindung_;
    kern::Ereigniskatalog katalog_;
    std::int64_t system_ = 0;
    bool offen_ = false;

    QLabel* Label_Chance = nullptr;
    binding::BoundLookupComboBox* DBLookupComboBox_DM_Chance = nullptr;
    QLabel* Label_Angriff = nullptr;
    QComboBox* DBComboBox_DM_Anzahl_Angriffe = nullptr;  // "01" to "10" for the integer field
    QLabel* Label_Art = nullptr;
    binding::BoundComboBox* DBComboBox_DM_Art_Angriff = nullptr;
    QLabel* Label_Sortierung = nullptr;
    binding::BoundComboBox* DBComboBox_DM_Sortierung = nullptr;
    binding::BoundLineEdit* DBEdit_DM_Sortierung_G_V_Minimum = nullptr;
    QPushButton* BitBtn_Anzeige_Ergebnisse = nullptr;
    QPushButton* BitBtn_Anzeige_Ereignisfolgen = nullptr;
    binding::CursorGrid* DBGrid_Auswertung = nullptr;
    binding::CursorGrid* DBGrid_Folge_Anzeige = nullptr;
    QPushButton* BitBtn_Uebernahme = nullptr;
    std::array<QLabel*, 3> Label_Filter{};
    std::array<QCheckBox*, 3> CheckBox_ungleich{};
    std::array<QCheckBox*, 3> CheckBox_aktiv{};
    Form_Data_Mining_Ereignisfolgen* ereignisfolgen_ = nullptr;
    std::unique_ptr<binding::CursorWatch> wahlWatch_;
    std::unique_ptr<binding::CursorWatch> ergebnisWatch_;
};

}  // namespace spinalyst::app
