#include "store/schema.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace spinalyst::store {
namespace {

TEST(SchemaTest, NamesAreUniqueAndIndexesNameExistingFields) {
    std::set<std::string> tables;
    for (const auto& t : schemaTables()) {
        EXPECT_TRUE(tables.insert(t.name).second) << t.name;
        std::set<std::string> fields;
        int autoIncs = 0;
        for (const auto& f : t.fields) {
            EXPECT_TRUE(fields.insert(f.name).second) << t.name << "." << f.name;
            autoIncs += f.type == FieldType::AutoInc ? 1 : 0;
            if (f.type == FieldType::Text || f.type == FieldType::Calculated) {
                EXPECT_GT(f.size, 0) << t.name << "." << f.name;
            }
        }
        EXPECT_LE(autoIncs, 1) << t.name;
        for (const auto& ix : t.indexes) {
            for (const char* f : ix.fields) {
                EXPECT_NE(t.field(f), nullptr) << t.name << " index " << ix.name << ": " << f;
            }
        }
    }
    EXPECT_EQ(tables.size(), 29u);
}

TEST(SchemaTest, NamedOrdersExistWhereTheProgramSelectsThem) {
    const struct {
        const char* table;
        const char* index;
        const char* firstField;
    } cases[] = {{"Casino", "Index_ID_Casino", "ID_Casino"},
                 {"Permanenz_Tag_Zusammenfassung", "Index_Datum", "Datum"},
                 {"Systeme", "Index_System_Nummer", "ID_System_Nummer"},
                 {"Ereignisse_Serien", "Index_Serie", "Serie"},
                 {"Ereignisse_Rueckstaendigkeit", "Index_Rueckstaendigkeit", "Rueckstaendigkeit"}};
    for (const auto& c : cases) {
        const TableDef* t = findTable(c.table);
        ASSERT_NE(t, nullptr) << c.table;
        const IndexDef* ix = t->index(c.index);
        ASSERT_NE(ix, nullptr) << c.index;
        EXPECT_TRUE(ix->named);
        EXPECT_STREQ(ix->fields.at(0), c.firstField);
    }
}

TEST(SchemaTest, CreateStatementsDeclareKeysRequiredFieldsAndSearchIndexes) {
    const auto sql = createStatements(*findTable("Permanenz"));
    ASSERT_EQ(sql.size(), 2u);
    EXPECT_EQ(sql[0],
              "CREATE TABLE \"Permanenz\" (\"ID_Casino\" INTEGER NOT NULL, \"Tisch\" TEXT NOT "
              "NULL, \"Datum\" DATE NOT NULL, \"ID_Zahl\" INTEGER PRIMARY KEY AUTOINCREMENT, "
              "\"Zahl\" INTEGER, \"Angriff_Satz\" INTEGER, \"Gewinn_Verlust\" INTEGER)");
    // Opening a day and reading a stretch search by casino, table and day.
    EXPECT_EQ(sql[1],
              "CREATE INDEX \"Permanenz_Tag\" ON \"Permanenz\" (\"ID_Casino\", \"Tisch\", "
              "\"Datum\")");
    // Calculated fields are not stored.
    const auto seq = createStatements(*findTable("System_Ereignisse"));
    EXPECT_EQ(seq[0].find("\"Ereignis\""), std::string::npos);
}

}  // namespace
}  // namespace spinalyst::store
