#include "app/binding/value_format.h"

#include <QLocale>
#include <variant>

namespace spinalyst::binding {

QString formatValue(const store::Value& value) {
    return std::visit(
        [](const auto& v) -> QString {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return {};
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return QString::number(v);
            } else if constexpr (std::is_same_v<T, double>) {
                return QLocale().toString(v);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return QString::fromStdString(v);
            } else {
                return QString::fromStdString(v.german());
            }
        },
        value.storage());
}

std::optional<store::FieldType> fieldType(const store::Cursor& cursor, const std::string& field) {
    const auto* table = dynamic_cast<const store::TableCursor*>(&cursor);
    if (table == nullptr) {
        return std::nullopt;
    }
    const store::FieldDef* def = table->table().field(field);
    if (def == nullptr) {
        return std::nullopt;
    }
    return def->type;
}

std::optional<store::Value> valueFromText(const QString& text,
                                          std::optional<store::FieldType> type) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return store::Value();
    }
    using store::FieldType;
    switch (type.value_or(FieldType::Text)) {
        case FieldType::Integer:
        case FieldType::AutoInc: {
            bool ok = false;
            const qlonglong n = trimmed.toLongLong(&ok);
            if (!ok) {
                return std::nullopt;
            }
            return store::Value(static_cast<std::int64_t>(n));
        }
        case FieldType::Float: {
            bool ok = false;
            double d = QLocale().toDouble(trimmed, &ok);
            if (!ok) {
                d = trimmed.toDouble(&ok);
            }
            if (!ok) {
                return std::nullopt;
            }
            return store::Value(d);
        }
        case FieldType::Date: {
            const auto day = store::Date::parse(trimmed.toStdString());
            if (!day) {
                return std::nullopt;
            }
            return store::Value(*day);
        }
        case FieldType::Text:
        case FieldType::Memo:
        case FieldType::Calculated:
            break;
    }
    return store::Value(text.toStdString());
}

std::optional<store::Value> markFromText(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return store::Value();
    }
    if (trimmed.compare(QLatin1String("x"), Qt::CaseInsensitive) == 0) {
        return store::Value(std::string("x"));
    }
    return std::nullopt;
}

int textFieldSize(const store::Cursor& cursor, const std::string& field) {
    const auto* table = dynamic_cast<const store::TableCursor*>(&cursor);
    const store::FieldDef* def = table != nullptr ? table->table().field(field) : nullptr;
    if (def == nullptr || def->type != store::FieldType::Text) {
        return 0;
    }
    return def->size;
}

}  // namespace spinalyst::binding
