#include "cli/systeme.h"

#include <gtest/gtest.h>

#include "tests/cli/cli_fixture.h"

#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "systems/ereignisfolge.h"
#include "systems/system.h"
#include "tests/support/kontext_fixture.h"

namespace spinalyst::cli {
namespace {

using testing::Result;
using testing::runCli;

using store::Value;
using store::testing::TempDir;

constexpr const char* kTabellen[] = {
    "Systeme",         "System_Daten",        "System_Ereignisse",
    "System_Angriffe", "Individuell_1_Daten", "Individuell_2_Daten"};

// A database with two systems built through the panel's operations: an ordinary one with two
// instances, filters, marks and odd texts, and an individual one with its parameter rows.
class SystemeCliTest : public ::testing::Test {
  protected:
    SystemeCliTest() {
        kern::Sitzung sitzung;
        store::DataModule_Roulette dm(dir.path(), sitzung);
        spinalyst::testing::ScriptedUi ui;
        kern::Ansicht ansicht;
        kern::Kontext k{dm, sitzung, ui, ansicht};
        systems::Systemhaken_Installieren(k);
        dm.open();
        auto& s = dm.TdbTable_Systeme;
        auto& d = dm.TdbTable_System_Daten;

        systems::System_Art_Chancen_Waehlen(k, 1, 5);
        systems::MenuItem_Systeme_AufnahmeClick(k);
        standard = systems::MenuItem_Systeme_AufnahmeClick(k);
        s.setText("System_Name", "Zürich \"Dutzend\"");
        s.setText("System_Informationen", "Zeile 1\nZeile 2\t\\");
        s.setText("System_Online_Aktiv", "x");
        s.setText("Systemangriff_Beendung_Einzeln_Alle", "f");
        s.post();
        systems::CheckBox_SystemdetailsClick(k, true);  // marks it changed
        for (int e : {13, 7, 20}) {
            systems::Ereignisfolge_Anfuegen(k, e);
        }
        dm.TdbTable_System_Ereignisse.first();
        systems::CheckBox_ungleich_EreignisClick(k, true);
        satz(dm, {{"1", 1}, {"2", 2}, {"3", 4}, {"G", 50}});
        d.setInteger("ID_Ereignis_Haeufigkeit", 7);
        d.setText("Ereignis_Haeufigkeit_Info", "1-12");
        d.setInteger("Haeufigkeit_Anzahl_von", 2);
        d.setText("Haeufigkeit_Filterung_aktiv", "t");
        d.setText("Setzart", "K");
        d.post();
        systems::Instanz_Waehlen(k, 2);
        systems::Ereignisfolge_Anfuegen(k, 14);
        satz(dm, {{"1", 5}});
        d.setNull("Setzart");
        d.post();
        systems::DBGrid_SystemeEnter(k);

        systems::System_Art_Chancen_Waehlen(k, 2, 1);
        individuell = systems::MenuItem_Systeme_AufnahmeClick(k);
        satz(dm, {{"1", 5}});
        dm.TdbTable_Individuell_Daten_1.appendRecord(
            {Value(individuell), Value(3), Value(1), Value(20), Value(4)});
        dm.close();
    }

    static void satz(store::DataModule_Roulette& dm,
                     std::initializer_list<std::pair<const char*, int>> saetze) {
        auto& a = dm.TdbTable_System_Angriffe;
        for (const auto& [stufe, wert] : saetze) {
            ASSERT_TRUE(a.locate("ID_Angriff", {Value(stufe)}));
            a.setInteger("Satz", wert);
            a.post();
        }
    }

    std::string datei(const std::string& name, const std::string& text) {
        const auto p = dir.path() / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }

    // The stored rows of the system tables, as one text, to see that nothing changed.
    std::string bestand() {
        store::Database db(store::DatabaseFile::Roulette);
        db.setLocation(dir.path() / "Datenbank_Roulette.tdbd");
        db.connect();
        std::string s;
        for (const char* t : kTabellen) {
            s += std::string(t) + "=" + std::to_string(db.rowCount(t)) + " ";
        }
        return s;
    }

    std::string feld(int id, const char* name) {
        store::Database db(store::DatabaseFile::Roulette);
        db.setLocation(dir.path() / "Datenbank_Roulette.tdbd");
        db.connect();
        store::QueryCursor q("q", db);
        q.setSql(std::string("SELECT ") + name + " FROM Systeme WHERE ID_System_AutoInc = ?",
                 {Value(id)});
        q.open();
        return q.value(0).toText();
    }

    TempDir dir;
    int standard = 0;
    int individuell = 0;
};

TEST_F(SystemeCliTest, ExportThenImportGivesTheSameSystemUnderANewNumber) {
    const struct {
        int* id;
        const char* nummer;
    } faelle[] = {{&standard, "3"}, {&individuell, "2"}};
    for (const auto& f : faelle) {
        const auto exportiert =
            runCli({"system-export", dir.path().string(), std::to_string(*f.id)});
        ASSERT_EQ(exportiert.code, 0) << exportiert.err;
        const auto importiert =
            runCli({"system-import", dir.path().string(), datei("s.json", exportiert.out)});
        ASSERT_EQ(importiert.code, 0) << importiert.err;
        const int neu = std::stoi(importiert.out);
        EXPECT_GT(neu, *f.id);
        EXPECT_EQ(importiert.out, std::to_string(neu) + "\n");
        EXPECT_EQ(feld(neu, "ID_System_Nummer"), f.nummer);
        EXPECT_EQ(feld(neu, "Systemaenderung_erfolgt"), "f");
        EXPECT_EQ(feld(neu, "ID_Instanz"), "1");
        const auto wieder = runCli({"system-export", dir.path().string(), std::to_string(neu)});
        EXPECT_EQ(wieder.out, exportiert.out);
    }
}

// The stored documents were written when the systems of the fixture were first exported: a system
// keeps its exact text, and a stored document still imports as the same system.
TEST_F(SystemeCliTest, TheDocumentKeepsItsTextAndStoredDocumentsStillImport) {
    const struct {
        int* id;
        const char* datei;
    } faelle[] = {{&standard, "system_export_standard.json"},
                  {&individuell, "system_export_individuell.json"}};
    for (const auto& f : faelle) {
        std::ifstream in(std::string(SPINALYST_TESTDATEN) + "/" + f.datei, std::ios::binary);
        ASSERT_TRUE(in) << f.datei;
        std::ostringstream gespeichert;
        gespeichert << in.rdbuf();
        const auto r = runCli({"system-export", dir.path().string(), std::to_string(*f.id)});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, gespeichert.str()) << f.datei;

        const auto importiert =
            runCli({"system-import", dir.path().string(), datei("alt.json", gespeichert.str())});
        ASSERT_EQ(importiert.code, 0) << importiert.err;
        const auto wieder = runCli(
            {"system-export", dir.path().string(), std::to_string(std::stoi(importiert.out))});
        EXPECT_EQ(wieder.out, gespeichert.str()) << f.datei;
    }
}

TEST_F(SystemeCliTest, TheDocumentCarriesTheFieldsOfTheSystem) {
    const auto r = runCli({"system-export", dir.path().string(), std::to_string(standard)});
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char* teil : {
             "\"ID_System_Art\": 1,\n  \"ID_System_Chancen\": 5,",
             "\"System_Name\": \"Zürich \\\"Dutzend\\\"\"",
             "\"System_Informationen\": \"Zeile 1\\nZeile 2\\t\\\\\"",
             "\"Systemangriff_Beendung_Einzeln_Alle\": \"f\"",
             "{\"ID_Ereignis\": 13, \"Angriff\": \"<>\"},\n"
             "        {\"ID_Ereignis\": 7, \"Angriff\": null},\n"
             "        {\"ID_Ereignis\": 20, \"Angriff\": \"x\"}",
             "\"ID_Ereignis_Haeufigkeit\": 7,\n        \"Ereignis_Haeufigkeit_Info\": \"1-12\"",
             "\"Setzart\": \"K\"",
             "\"Setzart\": null",
             "\"1\": 1,\n        \"2\": 2,\n        \"3\": 4,\n        \"4\": null,",
             "\"G\": 50,\n        \"V\": -100\n",
             "\"ID_Instanz\": 3,\n      \"System_Daten\": null,\n      \"System_Ereignisse\": "
             "[],\n      \"System_Angriffe\": {}",
         }) {
        EXPECT_NE(r.out.find(teil), std::string::npos) << teil << "\n" << r.out;
    }
    for (const char* fehlt : {"ID_System_Nummer", "ID_System_AutoInc", "Systemangriff\"",
                              "Systemaenderung", "Individuell_1_Daten"}) {
        EXPECT_EQ(r.out.find(fehlt), std::string::npos) << fehlt;
    }
    const auto ind = runCli({"system-export", dir.path().string(), std::to_string(individuell)});
    EXPECT_NE(ind.out.find("  \"Individuell_1_Daten\": {\n    \"Anzahl_Ereignisse\": 3,\n    "
                           "\"Chance\": 1,\n    \"Anzahl_Coups_zurueck\": 20,\n    "
                           "\"Anzahl_Coups_rueckstaendig\": 4\n  },\n"
                           "  \"Individuell_2_Daten\": null\n}\n"),
              std::string::npos)
        << ind.out;
}

TEST_F(SystemeCliTest, ListsEverySystemByKindChanceClassAndNumber) {
    const auto r = runCli({"systems", dir.path().string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "1\t1\t5\t1\t(Neues System)\n" + std::to_string(standard) +
                         "\t1\t5\t2\tZürich \"Dutzend\"\n" + std::to_string(individuell) +
                         "\t2\t1\t1\t(Neues System)\n");
}

TEST_F(SystemeCliTest, AShortDocumentTakesTheCreationValues) {
    const auto r = runCli({"system-import", dir.path().string(),
                           datei("kurz.json", R"({"ID_System_Art": 1, "ID_System_Chancen": 5,
                               "Instanzen": [{"ID_Instanz": 1, "System_Ereignisse": [
                                 {"ID_Ereignis": 13, "Angriff": "x"}, {"ID_Ereignis": 14}],
                                 "System_Angriffe": {"1": 2}}]})")});
    ASSERT_EQ(r.code, 0) << r.err;
    const int id = std::stoi(r.out);
    EXPECT_EQ(feld(id, "System_Name"), "(Neues System)");
    EXPECT_EQ(feld(id, "ID_System_Nummer"), "3");
    const auto e = runCli({"system-export", dir.path().string(), std::to_string(id)});
    for (const char* teil :
         {"{\"ID_Ereignis\": 13, \"Angriff\": null},\n        {\"ID_Ereignis\": 14, \"Angriff\": "
          "\"x\"}",
          "\"Haeufigkeit_ungleich\": \"f\"", "\"Setzart\": \"E\"", "\"1\": 2,", "\"G\": 100",
          "\"ID_Instanz\": 2,\n      \"System_Daten\": null"}) {
        EXPECT_NE(e.out.find(teil), std::string::npos) << teil << "\n" << e.out;
    }
}

TEST_F(SystemeCliTest, ARefusedDocumentStoresNothingAndSaysWhy) {
    const auto gut = runCli({"system-export", dir.path().string(), std::to_string(standard)});
    auto ersetzt = [&](const std::string& alt, const std::string& neu) {
        std::string s = gut.out;
        const auto p = s.find(alt);
        EXPECT_NE(p, std::string::npos) << alt;
        return p == std::string::npos ? s : s.replace(p, alt.size(), neu);
    };
    const std::string vorher = bestand();
    const struct {
        const char* name;
        std::string text;
        const char* meldung;
    } faelle[] = {
        {"not JSON", gut.out.substr(0, gut.out.size() / 2), "not valid JSON: line"},
        {"not JSON either", "Rot, Schwarz", "not valid JSON: line 1, column 1"},
        {"empty", "", "not valid JSON: line 1, column 1: "},
        {"text after the document", gut.out + "{}\n",
         "not valid JSON: line 215, column 1: unexpected text after the end of the document"},
        {"member twice", ersetzt("\"Setzart\": \"K\"", "\"Setzart\": \"K\", \"Setzart\": \"P\""),
         "not valid JSON: line 47, column 25: duplicate member \"Setzart\""},
        {"text not UTF-8", ersetzt("Zürich", "Z\xfcrich"), "not valid JSON: line 4, column 20: "},
        {"nested too deeply",
         ersetzt("\"System_Online_Aktiv\": \"x\"",
                 "\"System_Online_Aktiv\": " + std::string(1000, '[') + std::string(1000, ']')),
         "nested too deeply"},
        {"name not a text",
         ersetzt("\"System_Name\": \"Zürich \\\"Dutzend\\\"\"", "\"System_Name\": 7"),
         "the document: System_Name must be a text or null, not an integer"},
        {"sequence not a list", ersetzt("\"System_Ereignisse\": []", "\"System_Ereignisse\": {}"),
         "instance 3: System_Ereignisse must be a list, not an object"},
        {"data not an object", ersetzt("\"System_Daten\": null", "\"System_Daten\": [1]"),
         "instance 3: System_Daten must be an object, not a list"},
        {"mark not a text", ersetzt("\"Angriff\": \"<>\"", "\"Angriff\": true"),
         "instance 1: System_Ereignisse[0]: Angriff must be \"x\", \"<>\" or null"},
        {"whole stake with a fraction", ersetzt("\"3\": 4", "\"3\": 4.0"),
         "instance 1: the stake \"3\" must be an integer or null, not a number with a fraction or "
         "exponent"},
        {"kind with an exponent", ersetzt("\"ID_System_Art\": 1", "\"ID_System_Art\": 1e0"),
         "ID_System_Art must be an integer, not a number with a fraction or exponent"},
        {"stake beyond int", ersetzt("\"3\": 4", "\"3\": -2147483649"),
         "instance 1: the stake \"3\" must be an integer, not a number that large"},
        {"stake beyond 64 bits", ersetzt("\"3\": 4", "\"3\": 99999999999999999999999"),
         "instance 1: the stake \"3\" must be an integer, not a number that large"},
        {"instance beyond 63 bits",
         ersetzt("\"ID_Instanz\": 2", "\"ID_Instanz\": 9223372036854775808"),
         "Instanzen[1]: ID_Instanz must be an integer, not a number that large"},
        {"unknown sequence event", ersetzt("\"ID_Ereignis\": 20", "\"ID_Ereignis\": 999"),
         "instance 1: System_Ereignisse[2]: unknown event 999"},
        {"unknown filter event",
         ersetzt("\"ID_Ereignis_Haeufigkeit\": 7", "\"ID_Ereignis_Haeufigkeit\": 400"),
         "ID_Ereignis_Haeufigkeit names the unknown event 400"},
        {"fraction stake", ersetzt("\"3\": 4", "\"3\": 2.5"),
         "instance 1: the stake \"3\" must be an integer or null, not a number with a fraction"},
        {"text stake", ersetzt("\"G\": 50", "\"G\": \"50\""),
         "the stake \"G\" must be an integer or null, not a string"},
        {"unknown step", ersetzt("\"G\": 50", "\"51\": 50"), "unknown field \"51\""},
        {"unknown kind", ersetzt("\"ID_System_Art\": 1", "\"ID_System_Art\": 4"),
         "ID_System_Art 4 is unknown"},
        {"too long", ersetzt("\"Setzart\": \"K\"", "\"Setzart\": \"KK\""),
         "Setzart is longer than 1 characters"},
        {"unknown settlement", ersetzt("\"Setzart\": \"K\"", "\"Setzart\": \"Q\""),
         "Setzart must be \"E\", \"K\", \"P\" or null"},
        {"individual rows of an ordinary system",
         ersetzt("\"Instanzen\"", "\"Individuell_2_Daten\": {\"Chance\": 1}, \"Instanzen\""),
         "belongs to individual systems"},
        {"instance twice", ersetzt("\"ID_Instanz\": 2", "\"ID_Instanz\": 1"),
         "instance 1 is given twice"},
    };
    for (const auto& f : faelle) {
        const auto r = runCli({"system-import", dir.path().string(), datei("f.json", f.text)});
        EXPECT_EQ(r.code, 1) << f.name;
        EXPECT_NE(r.err.find(f.meldung), std::string::npos) << f.name << ": " << r.err;
        EXPECT_NE(r.err.find("nothing was stored"), std::string::npos) << f.name;
        EXPECT_EQ(r.out, "") << f.name;
        EXPECT_EQ(bestand(), vorher) << f.name;
    }
}

TEST_F(SystemeCliTest, WrongArgumentsAndMissingThingsFailWithAMessage) {
    TempDir leer;
    const std::string d = dir.path().string();
    const struct {
        std::vector<std::string> args;
        int code;
        const char* meldung;
    } faelle[] = {
        {{"systems"}, 2, "usage: spinalyst-cli systems DIR"},
        {{"system-export", d}, 2, "usage: spinalyst-cli system-export DIR SYSTEM_ID"},
        {{"system-export", d, "zwei"}, 2, "usage"},
        {{"system-import", d}, 2, "usage: spinalyst-cli system-import DIR FILE"},
        {{"system-export", d, "999"}, 1, "no system with ID_System_AutoInc 999"},
        {{"system-import", d, d + "/fehlt.json"}, 1, "cannot read"},
        {{"systems", leer.path().string()}, 1, "holds no Datenbank_Roulette.tdbd"},
        {{"systems", d + "/fehlt"}, 1, "is not a directory"},
    };
    for (const auto& f : faelle) {
        const auto r = runCli(f.args);
        EXPECT_EQ(r.code, f.code) << f.meldung;
        EXPECT_NE(r.err.find(f.meldung), std::string::npos) << r.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(leer.path()));
}

}  // namespace
}  // namespace spinalyst::cli
