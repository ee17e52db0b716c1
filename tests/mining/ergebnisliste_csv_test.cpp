#include "mining/ergebnisliste_csv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "kern/csv_export.h"
#include "store/sqlite.h"
#include "tests/support/kontext_fixture.h"

namespace spinalyst::mining {
namespace {

using store::Value;

// A user whose save dialog answers from the test.
class SpeicherUi : public testing::ScriptedUi {
  public:
    std::optional<SaveChoice> chooseSaveFile(const std::vector<std::string>& f,
                                             const std::string& name) override {
        filter = f;
        vorschlag = name;
        return wahl;
    }
    std::optional<SaveChoice> wahl;
    std::vector<std::string> filter;
    std::string vorschlag;
};

class ErgebnislisteCsvTest : public ::testing::Test {
  protected:
    ErgebnislisteCsvTest() : dm(dir.path(), sitzung), k{dm, sitzung, ui, ansicht} { dm.open(); }

    void zeile(int hsr, int folge, const char* art, int ereignis, int angriff, int anzahl, int ok,
               int gv) {
        store::execute(dm.TdbDatabase_DM_Modul.connection(),
                       "INSERT INTO DM_Gewinn_Verlust (ID_HSR, ID_Folge, Art, ID_Ereignis, "
                       "ID_Angriff, Anzahl, Anzahl_OK, Gewinn_Verlust) VALUES (?, ?, ?, ?, ?, ?, "
                       "?, ?)",
                       {Value(hsr), Value(folge), Value(art), Value(ereignis), Value(angriff),
                        Value(anzahl), Value(ok), Value(gv)});
    }
    std::string lesen(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    store::testing::TempDir dir;
    kern::Sitzung sitzung;
    store::DataModule_Roulette dm;
    SpeicherUi ui;
    kern::Ansicht ansicht;
    kern::Kontext k;
};

TEST_F(ErgebnislisteCsvTest, TheRowsBestFirstWithTheirShare) {
    std::ostringstream leer;
    store::CsvWriter w0(leer, store::CsvSeparator::Comma);
    EXPECT_THROW(Ergebnisliste_Exportieren(k, w0), kern::KeinErgebnis);

    zeile(1, 2, "E", 7, 1, 12, 5, -3);
    zeile(3, 0, "K", 1, 2, 3, 2, 17);
    zeile(2, 1, "P", 117, 1, 0, 0, 0);
    std::ostringstream out;
    store::CsvWriter w(out, store::CsvSeparator::Semicolon);
    EXPECT_EQ(Ergebnisliste_Exportieren(k, w), 3);
    EXPECT_EQ(out.str(),
              "HSR;Folge;Art;Ereignis;Angriff;Anzahl;OK;Prozent;G/V\r\n"
              "3;0;K;1;2;3;2;66,7;17\r\n"
              "2;1;P;117;1;0;0;;0\r\n"
              "1;2;E;7;1;12;5;41,7;-3\r\n");
}

// The menu's way: the file dialog with both forms, the file written whole, the report; nothing
// asked when there is nothing to export; a file that cannot be written is reported.
TEST_F(ErgebnislisteCsvTest, TheMenuWritesTheFormChosen) {
    MenuItem_Export_Data_MiningClick(k);
    EXPECT_EQ(ui.informed,
              (std::vector<std::string>{"Keine Data-Mining-Ergebnisse zum Exportieren."}));
    EXPECT_TRUE(ui.filter.empty());

    zeile(1, 2, "E", 7, 1, 4, 1, 5);
    const auto ziel = dir.path() / "dm";
    ui.wahl = kern::UserInterface::SaveChoice{ziel.string(), 1};
    sitzung.sprache = store::Sprache::Englisch;
    MenuItem_Export_Data_MiningClick(k);
    EXPECT_EQ(ui.vorschlag, "Data_mining.csv");
    EXPECT_EQ(ui.filter, (std::vector<std::string>{"CSV, commas, decimal point (*.csv)",
                                                   "CSV, semicolons, decimal comma (*.csv)"}));
    // In English the second form offered is the one with semicolons.
    EXPECT_EQ(lesen(ziel.string() + ".csv"),
              "hsr;sequence;kind;event;attack;count;successes;percent;win/loss\r\n"
              "1;2;E;7;1;4;1;25,0;5\r\n");
    EXPECT_EQ(ui.informed.back(), "1 row(s) exported: " + ziel.string() + ".csv");

    const auto nirgends = dir.path() / "fehlt" / "dm.csv";
    ui.wahl = kern::UserInterface::SaveChoice{nirgends.string(), 0};
    MenuItem_Export_Data_MiningClick(k);
    EXPECT_EQ(ui.informed.back(), "File cannot be written: " + nirgends.string());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "fehlt"));

    ui.wahl.reset();  // cancelled
    const auto gemeldet = ui.informed.size();
    MenuItem_Export_Data_MiningClick(k);
    EXPECT_EQ(ui.informed.size(), gemeldet);
}

}  // namespace
}  // namespace spinalyst::mining
