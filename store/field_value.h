#pragma once

#include <string>

#include "store/schema.h"
#include "store/value.h"

// Conversions between the values the cursors hand out and the type of a field of the layout.
namespace spinalyst::store {

class Statement;

// Cuts a UTF-8 text to at most n characters without splitting a character.
std::string cutToChars(std::string s, int n);

// The value converted to the field's type, as a cursor stores it: integer fields take integers,
// whole parts of numbers, days (as day numbers) and texts holding a number; date fields take days
// and texts of a day (a time of day is dropped); texts are cut to the field size; an empty text is
// null. Throws StoreError for a value the field cannot hold.
Value toFieldType(const FieldDef& field, const Value& v);

// The value converted for a search of the field: as toFieldType, but a text is never cut (an
// exact search must not find a longer value), and a value the field cannot hold comes back
// unchanged, so that it matches no stored value.
Value toSearchValue(const FieldDef& field, const Value& v);

// A result column read as the field's type; dates are stored as ISO text.
Value readColumn(const FieldDef& field, const Statement& statement, int column);

}  // namespace spinalyst::store
