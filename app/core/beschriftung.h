#pragma once

#include <string>
#include <string_view>

#include "kern/sitzung.h"
#include "store/cursor.h"

namespace spinalyst::app {

// The caption of a menu item in the given language, from the caption table `Deutsch_Englisch`
// (cursor `TdbTable_Deutsch_Englisch`): the row whose `Object` is the item's name gives
// `Deutsch_Caption` or `Englisch_Caption`. When the cursor is closed, no row has that name or
// the row has no caption in that language, the item keeps `bisher`, its current caption.
// Moves the cursor to the row found.
std::string Beschriftung_Holen(store::Cursor& deutschEnglisch, std::string_view objekt,
                               store::Sprache sprache, std::string_view bisher);

}  // namespace spinalyst::app
