#pragma once

#include <string>
#include <string_view>

#include "store/zustand.h"

namespace spinalyst::app {

// The time of the status bar: the time in the long time format with its last three characters
// cut off, whatever the format is ("14:05:09" shows "14:05", "9:05:07" shows "9:05"). Characters
// are counted as code points of the UTF-8 text; a text of three characters or fewer gives "".
std::string Zeit_Kuerzen(std::string_view langeZeit);

// The hint of the status bar when a typed number is not one of the wheel (nothing is stored).
const char* Hinweis_Zahl_Ausserhalb(store::Sprache sprache);

}  // namespace spinalyst::app
