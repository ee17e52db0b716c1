#include "app/core/beschriftung.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/core/texte.h"
#include "store/datamodule.h"
#include "tests/store/store_fixture.h"

namespace spinalyst::app {
namespace {

using store::Sprache;
using store::Value;

// The data module of a fresh program directory, open.
class BeschriftungTest : public ::testing::Test {
  protected:
    BeschriftungTest() { dm.open(); }
    ~BeschriftungTest() override { dm.close(); }

    store::Cursor& captions() { return dm.TdbTable_Deutsch_Englisch; }

    store::testing::TempDir dir;
    kern::Sitzung sitzung;
    store::DataModule_Roulette dm{dir.path(), sitzung};
};

TEST_F(BeschriftungTest, everySwitchedItemHasBothCaptionsAndTheGermanOneIsTheShippedCaption) {
    std::map<std::string, std::string> shipped;
    for (const Menuepunkt& p : Menuepunkte()) {
        shipped[p.name] = p.deutsch;
    }
    const std::string none = "(none)";
    for (const char* name : Sprachabhaengige_Menuepunkte()) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(shipped.contains(name));
        EXPECT_EQ(Beschriftung_Holen(captions(), name, Sprache::Deutsch, none), shipped[name]);
        const std::string englisch = Beschriftung_Holen(captions(), name, Sprache::Englisch, none);
        EXPECT_NE(englisch, none);
        EXPECT_FALSE(englisch.empty());
    }
}

TEST_F(BeschriftungTest, anItemWithoutRowKeepsItsCaptionAndTheCursorStays) {
    ASSERT_TRUE(captions().moveTo(3));
    const auto before = captions().rowid();
    EXPECT_EQ(
        Beschriftung_Holen(captions(), "MenuItem_DataMining", Sprache::Englisch, "Data Mining"),
        "Data Mining");
    EXPECT_EQ(captions().rowid(), before);
}

TEST_F(BeschriftungTest, aRowWithoutCaptionInTheLanguageKeepsTheCaption) {
    auto& table = dm.TdbTable_Deutsch_Englisch;
    ASSERT_TRUE(table.locate("Object", {Value("MenuItem_Hilfe")}));
    table.edit();
    table.setNull("Englisch_Caption");
    table.post();
    EXPECT_EQ(Beschriftung_Holen(captions(), "MenuItem_Hilfe", Sprache::Englisch, "Hilfe"),
              "Hilfe");
    EXPECT_EQ(Beschriftung_Holen(captions(), "MenuItem_Hilfe", Sprache::Deutsch, "x"), "Hilfe");
}

TEST_F(BeschriftungTest, aClosedCaptionTableKeepsEveryCaption) {
    captions().close();
    EXPECT_EQ(Beschriftung_Holen(captions(), "MenuItem_Hilfe", Sprache::Englisch, "Hilfe"),
              "Hilfe");
}

}  // namespace
}  // namespace spinalyst::app
