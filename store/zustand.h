#pragma once

#include "store/value.h"

namespace spinalyst::store {

// The language of the bilingual fields (German, and English in the `_Englisch` fields).
enum class Sprache { Deutsch, Englisch };

// What the data module's own hooks read of the program's in-memory state: the selected day (the
// day-window filter of the day rows), the bulk-write flag (calculated fields of the bets suspended)
// and the language (calculated names). The program's session state extends it; the data module
// holds a reference for its whole life and never writes it.
struct Modulzustand {
    Sprache sprache = Sprache::Deutsch;
    bool massenschreiben = false;  // bulk-write flag: calculated fields of bets suspended
    Date gewaehlter_tag;           // the selected day of the date picker

    bool englisch() const { return sprache == Sprache::Englisch; }
};

}  // namespace spinalyst::store
