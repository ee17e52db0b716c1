#include "store/query_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "store/schema.h"
#include "tests/store/store_fixture.h"

namespace spinalyst::store {
namespace {

const Date kDay = Date::fromYmd(2012, 3, 1);

// The bound parameters as one line: numbers as they are, texts in quotes, days in ISO form.
std::string render(const std::vector<Value>& params) {
    std::string s;
    for (const auto& v : params) {
        s += s.empty() ? "" : " ";
        if (v.isNull()) {
            s += "NULL";
        } else if (v.isText()) {
            s += "'" + v.toText() + "'";
        } else if (v.isDate()) {
            s += v.toDate().iso();
        } else {
            s += v.toText();
        }
    }
    return s;
}

const std::string kPermanenzColumns =
    "SELECT rowid, \"ID_Casino\", \"Tisch\", \"Datum\", \"ID_Zahl\", \"Zahl\", \"Angriff_Satz\", "
    "\"Gewinn_Verlust\" FROM \"Permanenz\"";
const std::string kTageColumns =
    "SELECT rowid, \"ID_Casino\", \"Tisch\", \"Datum\", \"ID_System_aktuell\", "
    "\"Gewinn_Verlust\", \"Gewinn_Maximal\", \"Verlust_Maximal\", \"Coups_Anzahl\", \"Angriffe\" "
    "FROM \"Permanenz_Tag_Zusammenfassung\"";

// The SELECTs of the table cursors: a detail of the selection in stored order (the coups of one
// day), the same without a link, a detail whose master shows no row, and the day rows in day
// order narrowed by the filter range.
TEST(QueryTextTest, TableCursorReadingsGiveTheirTextAndParameters) {
    const TableDef& permanenz = *findTable("Permanenz");
    const TableDef& tage = *findTable("Permanenz_Tag_Zusammenfassung");
    const TableSelect linked(
        permanenz, nullptr,
        {Condition::equal("ID_Casino", Value(1)), Condition::equal("Tisch", Value("T 01")),
         Condition::equal("Datum", Value(kDay))});
    const TableSelect all(permanenz, nullptr, {});
    const TableSelect noMaster(permanenz, nullptr, {Condition::never()});
    const TableSelect days(
        tage, tage.index("Index_Datum"),
        {Condition::equal("ID_Casino", Value(1)), Condition::equal("Tisch", Value("T 01")),
         Condition::atLeast("Datum", Value(kDay.addDays(-6))),
         Condition::atMost("Datum", Value(kDay))});
    const std::string link = " WHERE \"ID_Casino\" = ? AND \"Tisch\" = ? AND \"Datum\" = ?";
    const std::string linkParams = "1 'T 01' 2012-03-01";
    const auto first = std::numeric_limits<std::int64_t>::min();

    struct Case {
        const char* what;
        SelectQuery query;
        std::string text;
        std::string params;
    } cases[] = {
        {"first page of a day", linked.pageAfter(first, 2048),
         kPermanenzColumns + link + " AND rowid > ? ORDER BY rowid LIMIT ?",
         linkParams + " " + std::to_string(first) + " 2048"},
        {"next page", linked.pageAfter(4711, 2048),
         kPermanenzColumns + link + " AND rowid > ? ORDER BY rowid LIMIT ?",
         linkParams + " 4711 2048"},
        {"page backwards", linked.pageBefore(4711, 2048),
         kPermanenzColumns + link + " AND rowid < ? ORDER BY rowid DESC LIMIT ?",
         linkParams + " 4711 2048"},
        {"page from a located row", linked.pageFrom(4711, 2048),
         kPermanenzColumns + link + " AND rowid >= ? ORDER BY rowid LIMIT ?",
         linkParams + " 4711 2048"},
        {"unlinked page", all.pageAfter(9, 100),
         kPermanenzColumns + " WHERE rowid > ? ORDER BY rowid LIMIT ?", "9 100"},
        {"unlinked rows", all.rows(), kPermanenzColumns + " ORDER BY rowid", ""},
        {"master without a row", noMaster.pageAfter(9, 100),
         kPermanenzColumns + " WHERE 0 AND rowid > ? ORDER BY rowid LIMIT ?", "9 100"},
        {"count", linked.count(), "SELECT COUNT(*) FROM \"Permanenz\"" + link, linkParams},
        {"count before a window", linked.countBefore(4711),
         "SELECT COUNT(*) FROM \"Permanenz\"" + link + " AND rowid < ?", linkParams + " 4711"},
        {"unlinked count", all.count(), "SELECT COUNT(*) FROM \"Permanenz\"", ""},
        {"count through a filter", linked.unordered(), kPermanenzColumns + link, linkParams},
        {"locate", linked.matching({{"Zahl", Value(17)}, {"Angriff_Satz", Value()}}),
         kPermanenzColumns + link + " AND \"Zahl\" IS ? AND \"Angriff_Satz\" IS ? ORDER BY rowid",
         linkParams + " 17 NULL"},
        {"days in day order within the range", days.rows(),
         kTageColumns +
             " WHERE \"ID_Casino\" = ? AND \"Tisch\" = ? AND \"Datum\" >= ? AND \"Datum\" <= ? "
             "ORDER BY \"Datum\", rowid",
         "1 'T 01' 2012-02-24 2012-03-01"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.query.text(), c.text) << c.what;
        EXPECT_EQ(render(c.query.params()), c.params) << c.what;
    }
}

TEST(QueryTextTest, WritingStatements) {
    const std::vector<std::string> columns = {"ID_Casino", "Tisch", "Zahl"};
    EXPECT_EQ(insertText("Permanenz", columns),
              "INSERT INTO \"Permanenz\" (\"ID_Casino\", \"Tisch\", \"Zahl\") VALUES (?, ?, ?)");
    EXPECT_EQ(updateText("Permanenz", columns),
              "UPDATE \"Permanenz\" SET \"ID_Casino\" = ?, \"Tisch\" = ?, \"Zahl\" = ? WHERE "
              "rowid = ?");
    EXPECT_EQ(deleteRowText("Permanenz"), "DELETE FROM \"Permanenz\" WHERE rowid = ?");
    EXPECT_EQ(deleteAllText("Permanenz"), "DELETE FROM \"Permanenz\"");
}

class QueryTextDatabaseTest : public testing::StoreTest {};

// The text and the parameters agree with SQLite: every placeholder is bound, in order.
TEST_F(QueryTextDatabaseTest, BindsEveryPlaceholderInOrder) {
    db.connection().exec(
        "INSERT INTO Permanenz (ID_Casino, Tisch, Datum, Zahl) VALUES "
        "(1, 'T 01', '2012-03-01', 5), (1, 'T 01', '2012-03-01', 6), "
        "(1, 'T 02', '2012-03-01', 7), (2, 'T 01', '2012-03-01', 8)");
    const TableSelect linked(
        *findTable("Permanenz"), nullptr,
        {Condition::equal("ID_Casino", Value(1)), Condition::equal("Tisch", Value("T 01"))});
    const SelectQuery q = linked.pageBefore(std::numeric_limits<std::int64_t>::max(), 1);
    Statement s(db.connection(), q.text());
    EXPECT_EQ(q.bind(s), sqlite3_bind_parameter_count(s.handle()));
    ASSERT_TRUE(s.step());
    EXPECT_EQ(s.int64(5), 6);  // the last coup of casino 1, table "T 01"
    EXPECT_FALSE(s.step());
}

}  // namespace
}  // namespace spinalyst::store
