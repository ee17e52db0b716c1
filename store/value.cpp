#include "store/value.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

namespace spinalyst::store {

namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

// Inside Date the names year, month and day are its members, so the chrono types are built here.
year_month_day ymd(int y, int m, int d) {
    return year_month_day(year(y), month(static_cast<unsigned>(m)), day(static_cast<unsigned>(d)));
}

year_month_day toYmd(std::int32_t days) {
    return year_month_day(sys_days(std::chrono::days(days)));
}

std::optional<int> digits(std::string_view s) {
    int v = 0;
    if (s.empty()) {
        return std::nullopt;
    }
    for (char c : s) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        v = v * 10 + (c - '0');
    }
    return v;
}

}  // namespace

bool Date::isValid(int y, int m, int d) {
    // The ranges are checked first: chrono's month and day keep only a byte, so month 257
    // would otherwise read as January.
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) {
        return false;
    }
    return ymd(y, m, d).ok();
}

Date Date::fromYmd(int y, int m, int d) {
    return Date(static_cast<std::int32_t>(sys_days(ymd(y, m, d)).time_since_epoch().count()));
}

std::optional<Date> Date::parseIso(std::string_view t) {
    if (t.size() != 10 || t[4] != '-' || t[7] != '-') {
        return std::nullopt;
    }
    auto y = digits(t.substr(0, 4));
    auto m = digits(t.substr(5, 2));
    auto d = digits(t.substr(8, 2));
    if (!y || !m || !d || !isValid(*y, *m, *d)) {
        return std::nullopt;
    }
    return fromYmd(*y, *m, *d);
}

std::optional<Date> Date::parseGerman(std::string_view t) {
    if (t.size() != 10 || t[2] != '.' || t[5] != '.') {
        return std::nullopt;
    }
    auto d = digits(t.substr(0, 2));
    auto m = digits(t.substr(3, 2));
    auto y = digits(t.substr(6, 4));
    if (!y || !m || !d || !isValid(*y, *m, *d)) {
        return std::nullopt;
    }
    return fromYmd(*y, *m, *d);
}

std::optional<Date> Date::parse(std::string_view t) {
    if (t.size() > 10 && t[10] != ' ' && t[10] != 'T') {
        return std::nullopt;
    }
    t = t.substr(0, std::min<std::size_t>(t.size(), 10));
    if (auto d = parseIso(t)) {
        return d;
    }
    return parseGerman(t);
}

Date Date::fromTimePoint(std::chrono::sys_seconds t) {
    return Date(static_cast<std::int32_t>(
        std::chrono::floor<std::chrono::days>(t).time_since_epoch().count()));
}

int Date::year() const {
    return static_cast<int>(toYmd(days_).year());
}
int Date::month() const {
    return static_cast<int>(static_cast<unsigned>(toYmd(days_).month()));
}
int Date::day() const {
    return static_cast<int>(static_cast<unsigned>(toYmd(days_).day()));
}

std::string Date::iso() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year(), month(), day());
    return buf;
}

std::string Date::german() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", day(), month(), year());
    return buf;
}

std::int64_t Value::toInt64() const {
    struct {
        std::int64_t operator()(std::monostate) const { return 0; }
        std::int64_t operator()(std::int64_t v) const { return v; }
        std::int64_t operator()(double v) const {
            // Out-of-range and NaN casts are undefined; saturate instead.
            if (std::isnan(v)) {
                return 0;
            }
            if (v >= 9223372036854775807.0) {
                return std::numeric_limits<std::int64_t>::max();
            }
            if (v <= -9223372036854775808.0) {
                return std::numeric_limits<std::int64_t>::min();
            }
            return static_cast<std::int64_t>(v);
        }
        std::int64_t operator()(const std::string& s) const {
            std::int64_t v = 0;
            auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
            return ec == std::errc() && p == s.data() + s.size() ? v : 0;
        }
        std::int64_t operator()(Date d) const { return d.days(); }
    } visitor;
    return std::visit(visitor, v_);
}

double Value::toDouble() const {
    if (const auto* d = std::get_if<double>(&v_)) {
        return *d;
    }
    if (const auto* s = std::get_if<std::string>(&v_)) {
        // from_chars, not stod: stod follows the C locale, which a German desktop sets to a
        // decimal comma, and it skips leading blanks that toInt64 does not accept.
        double v = 0.0;
        auto [p, ec] = std::from_chars(s->data(), s->data() + s->size(), v);
        return ec == std::errc() && p == s->data() + s->size() ? v : 0.0;
    }
    return static_cast<double>(toInt64());
}

std::string Value::toText() const {
    struct {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(std::int64_t v) const { return std::to_string(v); }
        std::string operator()(double v) const {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.15g", v);
            return buf;
        }
        std::string operator()(const std::string& s) const { return s; }
        std::string operator()(Date d) const { return d.german(); }
    } visitor;
    return std::visit(visitor, v_);
}

Date Value::toDate() const {
    if (const auto* d = std::get_if<Date>(&v_)) {
        return *d;
    }
    if (const auto* s = std::get_if<std::string>(&v_)) {
        if (auto d = Date::parse(*s)) {
            return *d;
        }
    }
    return Date();
}

}  // namespace spinalyst::store
