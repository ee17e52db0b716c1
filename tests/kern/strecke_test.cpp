#include "kern/strecke.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/kontext_fixture.h"

namespace spinalyst::kern {
namespace {

using store::Date;
using store::Statement;
using store::Value;

const Date kTag1 = Date::fromYmd(2012, 3, 1);
const Date kTag2 = Date::fromYmd(2012, 3, 2);
const Date kTag3 = Date::fromYmd(2012, 3, 3);

class StreckeTest : public spinalyst::testing::KontextTest {
  protected:
    // Writes coups straight into `Permanenz` in the order given; a null number is a coup about to
    // be played.
    void schreiben(std::int64_t casino, const char* tisch, Date tag,
                   const std::vector<Value>& zahlen) {
        Statement s(dm.TdbDatabase_Roulette.connection(),
                    "INSERT INTO Permanenz (ID_Casino, Tisch, Datum, Zahl) VALUES (?, ?, ?, ?)");
        for (const Value& z : zahlen) {
            s.bind(1, casino);
            s.bind(2, std::string_view(tisch));
            s.bind(3, Value(tag));
            s.bind(4, z);
            s.run();
        }
    }

    // The coups as "day:number" ("-" for none), in the order loaded.
    static std::string zeigen(const std::vector<Coup>& coups) {
        std::string s;
        for (const Coup& c : coups) {
            s += (s.empty() ? "" : " ") + std::to_string(c.tag.day()) + ":" +
                 (c.hatZahl() ? std::to_string(c.zahl) : std::string("-"));
        }
        return s;
    }

    std::vector<Coup> laden(Date von, Date bis, bool nurMitZahl, bool neuesteZuerst,
                            std::int64_t casino = 1, const char* tisch = "T 01") {
        Streckenauswahl a;
        a.casino = casino;
        a.tisch = tisch;
        a.von = von;
        a.bis = bis;
        a.nurMitZahl = nurMitZahl;
        a.neuesteZuerst = neuesteZuerst;
        return Strecke_Laden(dm.TdbDatabase_Roulette, a);
    }
};

TEST_F(StreckeTest, CoupsOfTheStretchInDayThenEntryOrder) {
    // Day 2 is written before day 1, and other casinos, tables and days lie around the stretch.
    schreiben(1, "T 01", kTag2, {Value(7), Value(0), Value()});
    schreiben(1, "T 01", kTag1, {Value(36), Value(5)});
    schreiben(2, "T 01", kTag1, {Value(11)});
    schreiben(1, "T 02", kTag2, {Value(12)});
    schreiben(1, "T 01", kTag3, {Value(9)});
    schreiben(1, "T 01", kTag1.addDays(-1), {Value(8)});

    struct Fall {
        bool nurMitZahl;
        bool neuesteZuerst;
        const char* erwartet;
    };
    for (const Fall& f :
         {Fall{false, false, "1:36 1:5 2:7 2:0 2:-"}, Fall{true, false, "1:36 1:5 2:7 2:0"},
          Fall{false, true, "2:- 2:0 2:7 1:5 1:36"}, Fall{true, true, "2:0 2:7 1:5 1:36"}}) {
        SCOPED_TRACE(std::string("nurMitZahl ") + (f.nurMitZahl ? "t" : "f") + ", neuesteZuerst " +
                     (f.neuesteZuerst ? "t" : "f"));
        EXPECT_EQ(zeigen(laden(kTag1, kTag2, f.nurMitZahl, f.neuesteZuerst)), f.erwartet);
    }
    // The running numbers ascend within the day in the order of entry.
    const auto coups = laden(kTag2, kTag2, false, false);
    ASSERT_EQ(coups.size(), 3u);
    EXPECT_LT(coups[0].idZahl, coups[1].idZahl);
    EXPECT_LT(coups[1].idZahl, coups[2].idZahl);
    EXPECT_EQ(coups[2].zahlOderNull(), 0);
}

TEST_F(StreckeTest, EmptyStretchesAndAReaderUsedAgain) {
    schreiben(1, "T 01", kTag2, {Value(1), Value(2)});
    EXPECT_TRUE(laden(kTag3, kTag3, false, false).empty());
    EXPECT_TRUE(laden(kTag2, kTag1, false, false).empty());  // range the wrong way round
    EXPECT_TRUE(laden(kTag1, kTag3, false, false, 1, "T 25").empty());

    // One reader serves several loads into one array; each load replaces what was there.
    Streckenleser leser(dm.TdbDatabase_Roulette.connection());
    std::vector<Coup> coups;
    Streckenauswahl a;
    a.casino = 1;
    a.tisch = "T 01";
    a.von = kTag1;
    a.bis = kTag3;
    leser.laden(a, coups);
    EXPECT_EQ(zeigen(coups), "2:1 2:2");
    a.neuesteZuerst = true;
    leser.laden(a, coups);
    EXPECT_EQ(zeigen(coups), "2:2 2:1");
    a.von = kTag3;
    leser.laden(a, coups);
    EXPECT_TRUE(coups.empty());
}

TEST_F(StreckeTest, ANumberOutsideTheWheelIsRefused) {
    schreiben(1, "T 01", kTag1, {Value(3), Value(37)});
    EXPECT_THROW(laden(kTag1, kTag1, false, false), store::StoreError);
    // The reader is usable again after the refusal.
    Statement(dm.TdbDatabase_Roulette.connection(), "DELETE FROM Permanenz WHERE Zahl = 37").run();
    EXPECT_EQ(zeigen(laden(kTag1, kTag1, false, false)), "1:3");
}

}  // namespace
}  // namespace spinalyst::kern
