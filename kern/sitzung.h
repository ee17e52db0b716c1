#pragma once

#include <string>

#include "store/zustand.h"

namespace spinalyst::kern {

// The state the main window holds in memory only (never stored): language, the modes and guards
// that operations consult, and the day of the date picker. Owned by the main window (or a test)
// and passed by reference to the data module and the operations; there is no global instance.
struct Sitzung : store::Modulzustand {
    // Directory of the running executable; the databases and help files live there.
    std::string programmverzeichnis;
    bool eingabemodus = false;     // number-entry mode (store button enabled)
    bool loeschpflege = true;      // delete upkeep armed
    bool negationssperre = false;  // negation-edit guard
    char ereigniswahl_modus = 0;   // event-choice mode 'H', 'S', 'R', 'E' or 0

    // Picks the text of the current language.
    const char* text(const char* deutsch, const char* english) const {
        return englisch() ? english : deutsch;
    }
};

}  // namespace spinalyst::kern
