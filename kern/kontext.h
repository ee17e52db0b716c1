#pragma once

#include "kern/sitzung.h"
#include "kern/ui.h"
#include "store/datamodule.h"

// What every operation works on: the data module with its cursors, the session state, the
// message link to the user, and the view hooks. Operations are
// Qt-free functions over a Kontext; the main window, the command-line tool and the tests each
// build one from their own parts.
namespace spinalyst::kern {

// The steps of an operation that only change what the user sees. Whatever shows the data (the
// windows) implements them in its own terms; the command-line tool and core tests use the
// defaults, which do nothing. None of them reads or writes the data.
class Ansicht {
  public:
    virtual ~Ansicht() = default;
    // The system details mode is shown as off, without running the details-mode operation (the
    // operation that asks for it switches the mode off itself).
    virtual void systemdetailsAus() {}
    // The editing of the system details is allowed or not. `filterUndFolge`: the filters, the
    // instance choice and the event sequence; `einsaetze`: the settlement and the stakes.
    virtual void systemdetailsFreigeben(bool /*filterUndFolge*/, bool /*einsaetze*/) {}
    // The system details mode can be switched on (true) or not.
    virtual void systemdetailsKastenFreigeben(bool /*an*/) {}
    // The negation of the current event-sequence row is shown as set or not, without running the
    // negation operation.
    virtual void ungleichEreignisZeigen(bool /*angehakt*/) {}
    // Number entry was switched on or off (Sitzung::eingabemodus).
    virtual void eingabemodusGeaendert() {}
    // The typed number was consumed: the place where numbers are typed is empty and ready for
    // the next one.
    virtual void zahlfeldLeeren() {}
    // Views of the permanence and of the day rows let go of their cursors while an operation
    // writes many rows, and follow them again afterwards.
    virtual void permanenzGridsTrennen() {}
    virtual void permanenzGridsVerbinden() {}
    // The permanence-evaluation results are shown for the display mode of `Wahl`.
    virtual void auswertungAnzeigen() {}
    // Everything shown is brought up to date (also: repainted during a long operation).
    virtual void neuZeichnen() {}
};

struct Kontext {
    store::DataModule_Roulette& dm;
    Sitzung& sitzung;
    UserInterface& ui;
    Ansicht& ansicht;

    // The text of the current language.
    const char* text(const char* deutsch, const char* english) const {
        return sitzung.text(deutsch, english);
    }
};

}  // namespace spinalyst::kern
