#include "kern/katalog.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "tests/events/permanenz_fixture.h"

namespace spinalyst::kern {
namespace {

using events::testing::PermanenzTest;
using store::Sprache;
using store::Value;

class KatalogTest : public PermanenzTest {
  protected:
    // The pairs of `Ereignis_Zahl` as the table holds them.
    std::set<std::pair<int, int>> paare() {
        store::TableCursor t("Testpaare", dm.TdbDatabase_Roulette, "Ereignis_Zahl");
        t.open();
        std::set<std::pair<int, int>> p;
        for (t.first(); !t.eof(); t.next()) {
            p.emplace(t.integer("ID_Ereignis"), t.integer("Zahl"));
        }
        return p;
    }
};

TEST_F(KatalogTest, MembershipIsExactlyThePairsOfTheTable) {
    const auto p = paare();
    ASSERT_EQ(katalog.size(), 153u);
    int treffer = 0;
    for (const Ereignis& e : katalog.ereignisse()) {
        for (int z = -1; z <= 37; ++z) {
            const bool erwartet = p.count({e.id, z}) > 0;
            EXPECT_EQ(katalog.enthaelt(e.id, z), erwartet) << "event " << e.id << ", number " << z;
            treffer += erwartet ? 1 : 0;
        }
    }
    EXPECT_EQ(static_cast<std::size_t>(treffer), p.size());
    // The events a number belongs to, in table order, are the same relation seen from the number.
    for (int z = 0; z <= kHoechsteZahl; ++z) {
        std::vector<int> erwartet;
        for (std::size_t i = 0; i < katalog.size(); ++i) {
            if (p.count({katalog.ereignisse()[i].id, z}) > 0) {
                erwartet.push_back(static_cast<int>(i));
            }
        }
        EXPECT_EQ(katalog.ereignisseMit(z), erwartet) << z;
    }
}

TEST_F(KatalogTest, ZeroAndMissingNumbers) {
    // 0 belongs to the first four, the split 0/2 and the single 0, and to nothing else.
    std::vector<int> mitNull;
    for (int i : katalog.ereignisseMit(0)) {
        mitNull.push_back(katalog.ereignisse()[static_cast<std::size_t>(i)].id);
    }
    EXPECT_EQ(mitNull, (std::vector<int>{24, 59, events::testing::plein(0)}));
    const struct {
        Value zahl;
        int ereignis;
        bool drin;
    } faelle[] = {
        {Value(), events::testing::plein(0), true},  // a missing number counts as 0
        {Value(), events::testing::kRot, false},
        {Value(0), 24, true},
        {Value(3), events::testing::kRot, true},
        {Value(2), events::testing::kRot, false},
        {Value(37), events::testing::plein(36), false},
        {Value(-1), events::testing::plein(0), false},
        {Value(5), 9999, false},  // unknown event
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(katalog.enthaelt(f.ereignis, f.zahl), f.drin)
            << f.zahl.toText() << " in " << f.ereignis;
    }
    EXPECT_TRUE(katalog.ereignisseMit(37).empty());
    EXPECT_TRUE(katalog.ereignisseMit(-1).empty());
}

TEST_F(KatalogTest, EventsByIdentifierWithTextsInBothLanguages) {
    const Ereignis* rot = katalog.finden(events::testing::kRot);
    ASSERT_NE(rot, nullptr);
    EXPECT_EQ(rot->gruppe, 1);
    EXPECT_EQ(rot->einsatz, 1);
    EXPECT_EQ(rot->gewinn, 1);
    EXPECT_EQ(katalog.name(events::testing::kRot, Sprache::Deutsch), "Rot");
    EXPECT_EQ(katalog.name(events::testing::kRot, Sprache::Englisch), "Red");
    EXPECT_EQ(katalog.info(events::testing::kRot, Sprache::Deutsch), "18 rote Zahlen");
    EXPECT_EQ(katalog.info(events::testing::kRot, Sprache::Englisch), "18 red numbers");
    EXPECT_EQ(katalog.finden(0), nullptr);
    EXPECT_EQ(katalog.finden(154), nullptr);
    EXPECT_EQ(katalog.name(154, Sprache::Englisch), "");

    // The fixed identifier ranges of the chance classes.
    const struct {
        int gruppe, von, bis;
    } klassen[] = {{1, 1, 6},    {2, 7, 12},    {5, 13, 23},   {8, 24, 46},
                   {11, 47, 58}, {17, 59, 116}, {35, 117, 153}};
    std::vector<int> alle;
    for (const auto& kl : klassen) {
        alle.push_back(kl.gruppe);
        const auto ev = katalog.klasse(kl.gruppe);
        ASSERT_EQ(static_cast<int>(ev.size()), kl.bis - kl.von + 1) << kl.gruppe;
        for (std::size_t i = 0; i < ev.size(); ++i) {
            EXPECT_EQ(ev[i]->id, kl.von + static_cast<int>(i));
            EXPECT_EQ(ev[i]->gewinn, kl.gruppe);
        }
    }
    EXPECT_EQ(katalog.klassen(), alle);
}

TEST(Ereigniskatalog, BuiltFromEventsFindsTheFirstOfAnIdentifier) {
    Ereignis a;
    a.id = 7;
    a.name = "a";
    a.zahlen = 1u << 3;
    Ereignis b = a;
    b.name = "b";
    b.zahlen = 1u << 4;
    Ereignis weit;
    weit.id = 100000;  // beyond the table of small identifiers
    weit.zahlen = 1u << 0;
    const Ereigniskatalog katalog({a, b, weit});
    EXPECT_EQ(katalog.name(7, Sprache::Deutsch), "a");
    EXPECT_TRUE(katalog.enthaelt(7, 3));
    EXPECT_FALSE(katalog.enthaelt(7, 4));
    EXPECT_TRUE(katalog.enthaelt(100000, Value()));
    EXPECT_EQ(katalog.position(100000), 2);
    EXPECT_EQ(katalog.ereignisseMit(4), std::vector<int>{1});
    const Ereigniskatalog leer;
    EXPECT_EQ(leer.finden(1), nullptr);
    EXPECT_FALSE(leer.enthaelt(1, 1));
}

}  // namespace
}  // namespace spinalyst::kern
