#pragma once

#include <functional>
#include <string>

#include "kern/sitzung.h"
#include "kern/ui.h"

namespace spinalyst::app {

// The help command (menu "Hilfe" and F1): asks in the current language whether to open the help
// and, unless the answer is No, hands the help file of that language in the program directory
// to `oeffnen`. Whether the file exists is not checked; a missing file gives no message.
void Hilfe_Anzeigen(const kern::Sitzung& sitzung, kern::UserInterface& ui,
                    const std::function<void(const std::string& pfad)>& oeffnen);

}  // namespace spinalyst::app
