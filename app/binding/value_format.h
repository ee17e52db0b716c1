#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <optional>

#include "store/cursor.h"
#include "store/schema.h"
#include "store/value.h"

Q_DECLARE_METATYPE(spinalyst::store::Value)

// Conversions between the store's field values and what Qt controls show and edit.
namespace spinalyst::binding {

// The text a grid or an edit shows: nothing for null, integers in plain digits, days as
// dd.mm.yyyy, floating point in the user's locale, texts as they are.
QString formatValue(const store::Value& value);

// The type of a field of a table cursor; nullopt for query cursors and unknown fields.
std::optional<store::FieldType> fieldType(const store::Cursor& cursor, const std::string& field);

// The value a user's text stands for in a field of the given type. An empty text is null. An
// integer, a number or a day (dd.mm.yyyy or yyyy-mm-dd) that cannot be read gives nullopt, so
// the caller keeps the old value.
std::optional<store::Value> valueFromText(const QString& text,
                                          std::optional<store::FieldType> type);

// The value of a mark field for a user's text: "x" for x or X, null for an empty text (spaces
// aside), nullopt for anything else.
std::optional<store::Value> markFromText(const QString& text);

// The number of characters a text field holds (longer texts are cut by the store); 0 when the
// field is no text field of a table cursor or has no limit.
int textFieldSize(const store::Cursor& cursor, const std::string& field);

}  // namespace spinalyst::binding
