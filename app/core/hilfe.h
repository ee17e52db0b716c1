#pragma once

#include <functional>
#include <string>

#include "kern/sitzung.h"
#include "kern/ui.h"

namespace spinalyst::app {

// The help command (menu "Hilfe" and F1): asks in the current language whether to open the help
// and, unless the answer is No, hands the help file of that language to `oeffnen`: the one in
// the program directory, or else the one in the installed share folder (Hilfe_Pfad). When `oeffnen`
// reports failure (no viewer for the file, or no file), a message in the current language names the
// help file and the directory it belongs in.
void Hilfe_Anzeigen(const kern::Sitzung& sitzung, kern::UserInterface& ui,
                    const std::function<bool(const std::string& pfad)>& oeffnen);

}  // namespace spinalyst::app
