#pragma once

#include <QDialog>

#include "app/binding/binding_context.h"
#include "kern/kontext.h"

class QLabel;
class QPushButton;

namespace spinalyst::binding {
class CursorGrid;
}

namespace spinalyst::app {

// The evaluations overview `Form_Systeme_Auswertung_Ueberblick`: the summary rows the
// evaluations of the selected system left (grid `DBGrid_System_Auswertung_Gesamt` over
// `TdbTable_Systeme_Auswertungen_Ueberblick`), the share of positive days and the average per
// day, the change warning, "Zurücksetzen" and OK. Opened modally by Systeme / "Auswertung Blick"
// and the main window's button "Σ"; created once, on the first opening, as a child of the main
// window. The figures and texts come from systems/ueberblick.h.
class Form_Systeme_Auswertung_Ueberblick : public QDialog {
    Q_OBJECT
  public:
    Form_Systeme_Auswertung_Ueberblick(kern::Kontext& kontext, binding::BindingContext* bindung,
                                       QWidget* parent = nullptr);

    // Shows the window modally and returns when it is closed.
    int Zeigen();

    // "Zurücksetzen": the system's overview emptied and its change warning cleared, then shown
    // again.
    void BitBtn_LoeschenClick();

  private:
    // Caption, labels, button and figures in the session's language.
    void Anzeigen();

    kern::Kontext& kontext_;
    binding::BindingContext* bindung_;
    binding::CursorGrid* DBGrid_System_Auswertung_Gesamt = nullptr;
    QLabel* Label_Bisherige_Auswertungen = nullptr;
    QLabel* Label_Hinweis_Systemaenderung = nullptr;
    QLabel* Label_Gesamtinfo = nullptr;
    QPushButton* BitBtn_Loeschen = nullptr;
    QPushButton* BitBtn_OK = nullptr;
};

}  // namespace spinalyst::app
