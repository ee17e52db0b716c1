#include "store/field_value.h"

#include "store/sqlite.h"

namespace spinalyst::store {

std::string cutToChars(std::string s, int n) {
    int chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (chars == n) {
                s.resize(i);
                return s;
            }
            ++chars;
        }
    }
    return s;
}

Value toFieldType(const FieldDef& f, const Value& v) {
    if (v.isNull()) {
        return v;
    }
    switch (f.type) {
        case FieldType::Integer:
        case FieldType::AutoInc: {
            if (v.isInteger()) {
                return v;
            }
            if (v.isDouble()) {
                return Value(static_cast<std::int64_t>(v.toDouble()));
            }
            if (v.isDate()) {
                return Value(static_cast<std::int64_t>(v.toDate().days()));
            }
            const std::string t = v.toText();
            if (t.empty()) {
                return Value();
            }
            const std::int64_t n = v.toInt64();
            if (n == 0 && t != "0" && t != "-0" && t != "+0") {
                throw StoreError("'" + t + "' is not a valid integer for field " + f.name);
            }
            return Value(n);
        }
        case FieldType::Float:
            return Value(v.toDouble());
        case FieldType::Date: {
            if (v.isDate()) {
                return v;
            }
            const std::string t = v.toText();
            if (t.empty()) {
                return Value();
            }
            if (auto d = Date::parse(t)) {
                return Value(*d);
            }
            throw StoreError("'" + t + "' is not a valid date for field " + f.name);
        }
        case FieldType::Text:
        case FieldType::Calculated: {
            std::string t = cutToChars(v.toText(), f.size);
            return t.empty() ? Value() : Value(std::move(t));
        }
        case FieldType::Memo: {
            std::string t = v.toText();
            return t.empty() ? Value() : Value(std::move(t));
        }
    }
    return v;
}

Value toSearchValue(const FieldDef& f, const Value& v) {
    if (f.type == FieldType::Text || f.type == FieldType::Memo || f.type == FieldType::Calculated) {
        std::string t = v.toText();
        return v.isNull() ? Value() : Value(std::move(t));
    }
    try {
        return toFieldType(f, v);
    } catch (const StoreError&) {
        return v;
    }
}

Value readColumn(const FieldDef& f, const Statement& s, int column) {
    if (s.isNull(column)) {
        return {};
    }
    switch (f.type) {
        case FieldType::Integer:
        case FieldType::AutoInc:
            return Value(s.int64(column));
        case FieldType::Float:
            return Value(s.real(column));
        case FieldType::Date: {
            const auto d = Date::parseIso(s.text(column));
            return d ? Value(*d) : Value();
        }
        default:
            return Value(s.text(column));
    }
}

}  // namespace spinalyst::store
