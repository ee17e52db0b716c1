#include "store/row_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace spinalyst::store {
namespace {

constexpr int kPage = RowWindow::kPageSize;

// The shown rows with rowids from..to; a row's rowid is its index among the shown rows plus one.
std::vector<Row> rows(std::int64_t from, std::int64_t to) {
    std::vector<Row> r;
    for (std::int64_t id = from; id <= to; ++id) {
        r.push_back(Row{id, {}});
    }
    return r;
}

// "start:[first..last] @current head tail", rowids standing for the rows, "?" for an unknown
// start.
std::string render(const RowWindow& w) {
    std::string s = w.start() ? std::to_string(*w.start()) : "?";
    s += ":[";
    if (!w.empty()) {
        s += std::to_string(w.front().rowid) + ".." + std::to_string(w.back().rowid);
    }
    s += "] @" + (w.current() < 0 ? std::string("-") : std::to_string(w.currentRow().rowid));
    s += w.reachesHead() ? " head" : "";
    s += w.reachesTail() ? " tail" : "";
    return s;
}

// A window grown page by page lets go of the rows far from its current row on the side away from
// the growth, and keeps its start and ends right while it does.
TEST(RowWindowTest, GrowingPastTheLimitLetsGoOfFarRows) {
    static_assert(RowWindow::kLimit == 4 * kPage);
    RowWindow w;
    EXPECT_EQ(render(w), "0:[] @- head tail");
    w.assignHead(rows(1, kPage), false);
    for (int p = 1; p < 5; ++p) {
        w.append(rows(p * kPage + 1, (p + 1) * kPage), false);
    }
    // The current row is the first: nothing can go without it.
    EXPECT_EQ(render(w), "0:[1..10240] @1 head");

    w.setCurrent(w.size() - 1);
    w.append(rows(10241, 12288), false);
    EXPECT_EQ(render(w), "8191:[8192..12288] @10240");
    EXPECT_TRUE(w.holds(8191));
    EXPECT_FALSE(w.holds(8190));
    EXPECT_EQ(w.at(12000).rowid, 12001);

    w.append(rows(12289, 12480), true);
    EXPECT_EQ(render(w), "8191:[8192..12480] @10240 tail");

    w.setCurrent(0);
    w.prepend(rows(6144, 8191), false);
    EXPECT_EQ(render(w), "6143:[6144..12480] @8192 tail");
    w.prepend(rows(4096, 6143), false);
    EXPECT_EQ(render(w), "4095:[4096..10240] @8192");  // a page kept behind the current row
    w.prepend(rows(1, 4095), true);
    EXPECT_EQ(render(w), "0:[1..10240] @8192 head");
}

TEST(RowWindowTest, ReplacingAndEditingKeepTheCurrentRowInside) {
    RowWindow w;
    w.assignTail(rows(19001, 20000), false);
    EXPECT_EQ(render(w), "?:[19001..20000] @20000 tail");
    EXPECT_FALSE(w.holds(19500));  // no index is known before the start is
    w.setStart(19000);
    EXPECT_EQ(w.at(19010).rowid, 19011);
    w.eraseCurrent();
    EXPECT_EQ(render(w), "19000:[19001..19999] @19999 tail");
    w.setCurrent(0);
    w.eraseCurrent();
    EXPECT_EQ(render(w), "19000:[19002..19999] @19002 tail");
    w.appendCurrent(Row{20001, {}});
    EXPECT_EQ(render(w), "19000:[19002..20001] @20001 tail");
    EXPECT_EQ(w.find(19500), 498);
    EXPECT_EQ(w.find(19001), -1);

    w.assignFrom(rows(500, 600), false);
    EXPECT_EQ(render(w), "?:[500..600] @500");
    w.assignOne(Row{1, {}}, 0, false);
    EXPECT_EQ(render(w), "0:[1..1] @1 head");
    w.assignHead({}, true);
    EXPECT_EQ(render(w), "0:[] @- head tail");
}

}  // namespace
}  // namespace spinalyst::store
