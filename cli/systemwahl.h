#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/argumente.h"
#include "kern/kontext.h"
#include "kern/sitzung.h"
#include "kern/ui.h"
#include "store/database.h"
#include "store/datamodule.h"
#include "store/value.h"

// What the subcommands over the betting systems share: the program on a directory as the command
// line runs it, the selection set from the arguments, and the JSON of stored values.
namespace spinalyst::cli {

// The user of the command line: every question is answered yes, every message goes to stderr.
class Kommandozeile : public kern::UserInterface {
  public:
    explicit Kommandozeile(std::ostream& err) : err_(err) {}
    void inform(const std::string& text) override { err_ << "spinalyst-cli: " << text << "\n"; }
    bool confirm(const std::string&) override { return true; }
    std::optional<std::string> chooseFile(const std::string&) override { return std::nullopt; }
    void setBusy(bool) override {}
    bool processEventsAndCheckEscape() override { return false; }

  private:
    std::ostream& err_;
};

// A stored value as JSON: null, a whole or a real number, a day as YYYY-MM-DD, or a text.
nlohmann::ordered_json alsJson(const store::Value& v);

// The rows of a query, each as a list of its columns.
std::vector<std::vector<store::Value>> zeilen(store::Database& db, const std::string& sql,
                                              const std::vector<store::Value>& parameter);

// The selection a subcommand over the systems works on.
struct Systemauswahl {
    int casino = 0;
    std::string tisch;
    store::Date tag;
    std::int64_t system = 0;  // its kind and chance class are shown, and it is the selected one
    bool alle = false;        // mode "A": every marked system of that kind and chance class
    bool uebergreifend = false;
    int tage = 1;  // `System_Tage_Anzahl`
};

// The arguments `DIR CASINO_ID TABLE YYYY-MM-DD --system ID [--all]` into dir and a; `tag`
// describes the day.
void auswahlArgumente(CLI::App& befehl, std::string& dir, Systemauswahl& a, const std::string& tag);
// The option `--across` into a.uebergreifend.
CLI::Option* uebergreifendArgument(CLI::App& befehl, Systemauswahl& a);

// The program on the database files of DIR, in English, with the command line as its user.
class Programmlauf {
  public:
    Programmlauf(const std::string& dir, std::ostream& err);
    Programmlauf(const Programmlauf&) = delete;
    Programmlauf& operator=(const Programmlauf&) = delete;

    // Sets the selection as the main window would: casino, gaming table and day, the run
    // settings, the kind and chance class of the system shown and the system selected. Returns
    // false after printing the reason to err (no such system, unknown casino); the stored
    // selection is unchanged then.
    bool waehlen(const Systemauswahl& a);

    // Puts the stored casino, table and day back, so that the program opens where its user left
    // it. Does nothing before waehlen changed them.
    void zuruecksetzen();

    kern::Kontext& kontext() { return k_; }
    store::DataModule_Roulette& dm() { return dm_; }

  private:
    std::ostream& err_;
    kern::Sitzung sitzung_;
    Kommandozeile ui_;
    kern::Ansicht ansicht_;
    store::DataModule_Roulette dm_;
    kern::Kontext k_;
    std::optional<std::vector<store::Value>> vorher_;  // casino, table, day before waehlen
};

}  // namespace spinalyst::cli
