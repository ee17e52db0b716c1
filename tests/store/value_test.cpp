#include "store/value.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace spinalyst::store {
namespace {

enum class Form { Iso, German, Either };

struct ParseCase {
    Form form;
    const char* text;
    int year = 0;  // 0: the text is rejected
    int month = 0;
    int day = 0;
};

std::optional<Date> parseAs(Form form, std::string_view text) {
    switch (form) {
        case Form::Iso:
            return Date::parseIso(text);
        case Form::German:
            return Date::parseGerman(text);
        case Form::Either:
            return Date::parse(text);
    }
    return std::nullopt;
}

TEST(DateTest, Parsing) {
    const ParseCase cases[] = {
        {Form::Iso, "2012-03-01", 2012, 3, 1},
        {Form::Iso, "2012-02-29", 2012, 2, 29},
        {Form::Iso, "2000-02-29", 2000, 2, 29},
        {Form::Iso, "0001-01-01", 1, 1, 1},
        {Form::Iso, "9999-12-31", 9999, 12, 31},
        {Form::Iso, "2011-02-29"},
        {Form::Iso, "1900-02-29"},
        {Form::Iso, "2012-04-31"},
        {Form::Iso, "2012-13-01"},
        {Form::Iso, "2012-00-10"},
        {Form::Iso, "2012-01-00"},
        {Form::Iso, "0000-01-01"},
        {Form::Iso, "2012-3-01"},
        {Form::Iso, "2012-03-011"},
        {Form::Iso, "2012/03/01"},
        {Form::Iso, "2012-03-0a"},
        {Form::Iso, "+012-03-01"},
        {Form::Iso, " 2012-03-1"},
        {Form::Iso, ""},
        {Form::Iso, "01.03.2012"},
        {Form::German, "01.03.2012", 2012, 3, 1},
        {Form::German, "29.02.2012", 2012, 2, 29},
        {Form::German, "31.12.1999", 1999, 12, 31},
        {Form::German, "31.02.2012"},
        {Form::German, "29.02.2011"},
        {Form::German, "31.04.2012"},
        {Form::German, "32.01.2012"},
        {Form::German, "01.13.2012"},
        {Form::German, "1.3.2012"},
        {Form::German, "01.03.12"},
        {Form::German, "01.03.20121"},
        {Form::German, "01-03-2012"},
        {Form::German, "-1.03.2012"},
        {Form::German, "2012-03-01"},
        {Form::Either, "2012-03-01", 2012, 3, 1},
        {Form::Either, "01.03.2012", 2012, 3, 1},
        {Form::Either, "2012-03-01 14:05:09", 2012, 3, 1},
        {Form::Either, "01.03.2012 14:05:09", 2012, 3, 1},
        {Form::Either, "2012-03-01T14:05:09", 2012, 3, 1},
        {Form::Either, "2012-03-0114:05:09"},
        {Form::Either, "31.02.2012 10:00:00"},
        {Form::Either, "2012-03-1"},
        {Form::Either, ""},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<Date> d = parseAs(c.form, c.text);
        if (c.year == 0) {
            EXPECT_FALSE(d.has_value());
            continue;
        }
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(*d, Date::fromYmd(c.year, c.month, c.day));
        EXPECT_EQ(d->year(), c.year);
        EXPECT_EQ(d->month(), c.month);
        EXPECT_EQ(d->day(), c.day);
    }
}

TEST(DateTest, IsValidRejectsOutOfRangeParts) {
    EXPECT_TRUE(Date::isValid(2012, 2, 29));
    EXPECT_FALSE(Date::isValid(2011, 2, 29));
    // Months and days beyond a byte must not wrap round into range.
    const int bad[][3] = {{2012, 13, 1},   {2012, 0, 1}, {2012, 257, 1},
                          {2012, -255, 1}, {2012, 1, 0}, {2012, 1, 257},
                          {2012, 1, -1},   {0, 1, 1},    {10000, 1, 1}};
    for (const auto& ymd : bad) {
        EXPECT_FALSE(Date::isValid(ymd[0], ymd[1], ymd[2]))
            << ymd[0] << "-" << ymd[1] << "-" << ymd[2];
    }
}

TEST(DateTest, DayNumbersAnchoredAtEpoch) {
    EXPECT_EQ(Date::fromYmd(1970, 1, 1).days(), 0);
    EXPECT_EQ(Date::fromYmd(2012, 3, 1).days(), 15400);
    EXPECT_EQ(Date::fromYmd(1, 1, 1).days(), -719162);
    EXPECT_EQ(Date().iso(), "1970-01-01");
}

// Every day of two centuries: the texts have fixed width, read back to the same day, and
// consecutive days differ by one.
TEST(DateTest, TextsRoundTripOverEveryDay) {
    const Date from = Date::fromYmd(1899, 12, 25);
    const Date to = Date::fromYmd(2101, 1, 5);
    for (Date d = from; d <= to; d = d.addDays(1)) {
        const std::string iso = d.iso();
        const std::string german = d.german();
        ASSERT_EQ(Date::parseIso(iso), d) << iso;
        ASSERT_EQ(Date::parseGerman(german), d) << german;
        ASSERT_EQ(Date::fromYmd(d.year(), d.month(), d.day()), d) << iso;
        ASSERT_EQ(german.substr(0, 2) + german.substr(3, 2) + german.substr(6, 4),
                  iso.substr(8, 2) + iso.substr(5, 2) + iso.substr(0, 4));
    }
    EXPECT_EQ(Date::fromYmd(5, 1, 2).iso(), "0005-01-02");
    EXPECT_EQ(Date::fromYmd(5, 1, 2).german(), "02.01.0005");
}

TEST(DateTest, AddDaysAcrossMonthAndYearEnds) {
    struct Case {
        const char* start;
        int n;
        const char* expected;
    };
    const Case cases[] = {
        {"2012-02-28", 1, "2012-02-29"},   {"2012-02-28", 2, "2012-03-01"},
        {"2011-02-28", 1, "2011-03-01"},   {"2012-01-31", 1, "2012-02-01"},
        {"2012-04-30", 1, "2012-05-01"},   {"2012-12-31", 1, "2013-01-01"},
        {"2013-01-01", -1, "2012-12-31"},  {"2012-03-01", -1, "2012-02-29"},
        {"2012-03-01", 365, "2013-03-01"}, {"2012-03-01", 0, "2012-03-01"},
        {"1970-01-01", -1, "1969-12-31"},  {"1999-12-31", 1, "2000-01-01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " + " + std::to_string(c.n));
        EXPECT_EQ(Date::parseIso(c.start)->addDays(c.n).iso(), c.expected);
    }
}

TEST(DateTest, FromTimePointKeepsTheDay) {
    using namespace std::chrono;
    const sys_seconds lateEvening = sys_days(year(2012) / 3 / 1) + hours(23) + minutes(59);
    EXPECT_EQ(Date::fromTimePoint(lateEvening), Date::fromYmd(2012, 3, 1));
    // Before the epoch the day is rounded down, not towards zero.
    const sys_seconds noonBeforeEpoch = sys_days(year(1969) / 12 / 31) + hours(12);
    EXPECT_EQ(Date::fromTimePoint(noonBeforeEpoch), Date::fromYmd(1969, 12, 31));
}

TEST(ValueTest, NullReadsAsZeroEmptyOrEpoch) {
    for (const Value& v : {Value(), Value(nullptr)}) {
        EXPECT_TRUE(v.isNull());
        EXPECT_EQ(v.toInt(), 0);
        EXPECT_EQ(v.toInt64(), 0);
        EXPECT_EQ(v.toDouble(), 0.0);
        EXPECT_EQ(v.toText(), "");
        EXPECT_EQ(v.toDate(), Date());
    }
    EXPECT_FALSE(Value(0).isNull());
    EXPECT_FALSE(Value("").isNull());
    EXPECT_NE(Value(), Value(0));
    EXPECT_NE(Value(), Value(""));
}

TEST(ValueTest, TextToNumber) {
    struct Case {
        const char* text;
        std::int64_t integer;
        double real;
    };
    const Case cases[] = {
        {"17", 17, 17.0},
        {"-5", -5, -5.0},
        {"0", 0, 0.0},
        {"36", 36, 36.0},
        {"2.5", 0, 2.5},
        {"", 0, 0.0},
        {"abc", 0, 0.0},
        {"17a", 0, 0.0},
        {"1 7", 0, 0.0},
        {" 17", 0, 0.0},
        {"99999999999999999999", 0, 1e20},
        {"9223372036854775807", std::numeric_limits<std::int64_t>::max(), 9223372036854775807.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Value(c.text).toInt64(), c.integer);
        EXPECT_DOUBLE_EQ(Value(c.text).toDouble(), c.real);
    }
}

TEST(ValueTest, ConversionsBetweenKinds) {
    EXPECT_EQ(Value(42).toText(), "42");
    EXPECT_EQ(Value(std::int64_t{-7}).toText(), "-7");
    EXPECT_EQ(Value(2.5).toText(), "2.5");
    EXPECT_EQ(Value(42).toDouble(), 42.0);
    EXPECT_EQ(Value(1), Value(std::int64_t{1}));
    EXPECT_EQ(Value("a"), Value(std::string("a")));

    const Date day = Date::fromYmd(2012, 3, 1);
    EXPECT_EQ(Value(day).toText(), "01.03.2012");
    EXPECT_EQ(Value(day).toInt64(), day.days());
    EXPECT_EQ(Value("2012-03-01").toDate(), day);
    EXPECT_EQ(Value("01.03.2012 14:05:09").toDate(), day);
    EXPECT_EQ(Value("kein Datum").toDate(), Date());
    EXPECT_EQ(Value(17).toDate(), Date());
}

TEST(ValueTest, OutOfRangeRealsSaturate) {
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    constexpr auto min = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(Value(1e300).toInt64(), max);
    EXPECT_EQ(Value(-1e300).toInt64(), min);
    EXPECT_EQ(Value(std::numeric_limits<double>::infinity()).toInt64(), max);
    EXPECT_EQ(Value(std::nan("")).toInt64(), 0);
    EXPECT_EQ(Value(-3.0).toInt64(), -3);
}

}  // namespace
}  // namespace spinalyst::store
