#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "capture/auswahl.h"
#include "store/sqlite.h"
#include "systems/austausch.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/kontext_fixture.h"
#include "tests/support/systemdaten.h"

namespace spinalyst::cli::testing {

// A program directory with one casino for the commands that run systems: coups (and day rows)
// are written straight into the file, systems come in through the import, and a command runs on
// casino, "T 01" and the day heute() with --system.
class SystemCliTest : public ::testing::Test {
  protected:
    SystemCliTest() {
        kern::Sitzung sitzung;
        store::DataModule_Roulette dm(dir.path(), sitzung);
        dm.open();
        spinalyst::testing::ScriptedUi ui;
        kern::Ansicht ansicht;
        kern::Kontext k{dm, sitzung, ui, ansicht};
        casino = capture::BitBtn_NeuClick(k);
    }

    static store::Date heute() { return store::Date::fromYmd(2024, 3, 15); }

    std::unique_ptr<store::Database> datenbank() {
        auto db = std::make_unique<store::Database>(store::DatabaseFile::Roulette);
        db->setLocation(dir.path() / store::Database::fileName(store::DatabaseFile::Roulette));
        db->connect();
        return db;
    }

    // The coups of a day, oldest first; returns their `ID_Zahl`.
    std::vector<std::int64_t> tag(store::Date d, const std::vector<store::Value>& zahlen) {
        return spinalyst::testing::Tag_Schreiben(*datenbank(), casino, "T 01", d, zahlen);
    }

    int system(const std::string& dokument) {
        kern::Sitzung sitzung;
        store::DataModule_Roulette dm(dir.path(), sitzung);
        dm.open();
        return systems::System_Importieren(dm, dokument);
    }

    void sql(const std::string& text) { datenbank()->connection().exec(text); }

    // `befehl DIR CASINO "T 01" 2024-03-15 --system ID` and the further arguments.
    Result befehl(const char* name, int idSystem, const std::vector<std::string>& weitere) {
        std::vector<std::string> args = {
            name,         dir.path().string(), std::to_string(casino),  "T 01",
            "2024-03-15", "--system",          std::to_string(idSystem)};
        args.insert(args.end(), weitere.begin(), weitere.end());
        return runCli(args);
    }

    store::testing::TempDir dir;
    int casino = 0;
};

}  // namespace spinalyst::cli::testing
