#pragma once

#include "store/datamodule.h"
#include "store/sitzung.h"
#include "store/ui.h"

// What every operation works on: the data module with its cursors, the main window's session
// state, the message link to the user, and the view hooks of the main window. Operations are
// Qt-free functions over a Kontext; the main window, the command-line tool and the tests each
// build one from their own parts.
namespace spinalyst::store {

// The steps of an operation that only change what the main window shows. The main window
// implements them; the command-line tool and core tests use the defaults, which do nothing.
class Ansicht {
  public:
    virtual ~Ansicht() = default;
    // Details mode of the system panel off: clear `CheckBox_Systemdetails` without running its
    // handler (the operation that asks for it runs details mode off itself).
    virtual void systemdetailsAus() {}
    // Enable or disable the controls of details mode. `filterUndFolge`: the filter rows H, S, R
    // and "Ef" (buttons, range and window edits, the "<>", "vEf" and "A" boxes), the instance
    // list, the "<>" box and the list of the event sequence and the menu "Erstellung".
    // `einsaetze`: the settlement list, the "A" box and the stakes list. The three filter-event
    // texts stay disabled in either case.
    virtual void systemdetailsFreigeben(bool /*filterUndFolge*/, bool /*einsaetze*/) {}
    // Enable or disable the "Systemdetails" box and the label "(Satzsignale)".
    virtual void systemdetailsKastenFreigeben(bool /*an*/) {}
    // Show the "<>" box of the event sequence ticked or not, without running its handler.
    virtual void ungleichEreignisZeigen(bool /*angehakt*/) {}
    // The store button of the number entry was enabled or disabled (Sitzung::eingabemodus).
    virtual void eingabemodusGeaendert() {}
    // Clear the number field and give it the focus (main window, or the online window when the
    // main window is hidden).
    virtual void zahlfeldLeeren() {}
    // Detach the permanence grid and the day-row grid from their cursors (bulk writes), and
    // attach them again.
    virtual void permanenzGridsTrennen() {}
    virtual void permanenzGridsVerbinden() {}
    // Show the permanence-evaluation results for the display mode of `Wahl`.
    virtual void auswertungAnzeigen() {}
    // Redraw the main window (also: let it repaint during a long operation).
    virtual void neuZeichnen() {}
};

struct Kontext {
    DataModule_Roulette& dm;
    Sitzung& sitzung;
    UserInterface& ui;
    Ansicht& ansicht;

    // The text of the current language.
    const char* text(const char* deutsch, const char* english) const {
        return sitzung.text(deutsch, english);
    }
};

}  // namespace spinalyst::store
