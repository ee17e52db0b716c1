#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace spinalyst::store {

// A calendar day without time of day. Stored as the number of days since 1970-01-01, so days
// compare, sort and step by plain integer arithmetic. Written to the database as ISO text
// (YYYY-MM-DD), which sorts the same way.
class Date {
  public:
    constexpr Date() = default;
    static constexpr Date fromDays(std::int32_t days) { return Date(days); }
    // Requires a valid calendar date (see isValid).
    static Date fromYmd(int year, int month, int day);
    static bool isValid(int year, int month, int day);

    // Parses "YYYY-MM-DD" (the stored form) and "dd.mm.yyyy" (the displayed form).
    static std::optional<Date> parseIso(std::string_view text);
    static std::optional<Date> parseGerman(std::string_view text);
    // Either form, optionally followed by a blank and a time of day, which is dropped: a value
    // with a time of day stores only its day.
    static std::optional<Date> parse(std::string_view text);
    static Date fromTimePoint(std::chrono::sys_seconds t);

    constexpr std::int32_t days() const { return days_; }
    int year() const;
    int month() const;
    int day() const;
    std::string iso() const;     // YYYY-MM-DD
    std::string german() const;  // dd.mm.yyyy

    constexpr Date addDays(std::int32_t n) const { return Date(days_ + n); }
    constexpr auto operator<=>(const Date&) const = default;

  private:
    constexpr explicit Date(std::int32_t days) : days_(days) {}
    std::int32_t days_ = 0;
};

// One field value as the cursors hand it out: null, integer, floating point, text or day.
// Texts are UTF-8.
class Value {
  public:
    using Storage = std::variant<std::monostate, std::int64_t, double, std::string, Date>;

    Value() = default;
    Value(std::nullptr_t) {}
    Value(int v) : v_(static_cast<std::int64_t>(v)) {}
    Value(std::int64_t v) : v_(v) {}
    Value(double v) : v_(v) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(std::string_view v) : v_(std::string(v)) {}
    Value(const char* v) : v_(std::string(v)) {}
    Value(Date v) : v_(v) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(v_); }
    bool isDouble() const { return std::holds_alternative<double>(v_); }
    bool isText() const { return std::holds_alternative<std::string>(v_); }
    bool isDate() const { return std::holds_alternative<Date>(v_); }

    // Conversions with the null rules of the cursors: a null reads as 0, an empty text or the
    // epoch day. A text that holds a number converts to it; anything else converts to 0.
    std::int64_t toInt64() const;
    int toInt() const { return static_cast<int>(toInt64()); }
    double toDouble() const;
    std::string toText() const;
    Date toDate() const;

    const Storage& storage() const { return v_; }
    bool operator==(const Value& other) const = default;

  private:
    Storage v_;
};

}  // namespace spinalyst::store
