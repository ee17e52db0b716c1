#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "store/value.h"

// The command line of spinalyst-cli: the typed and checked arguments of the subcommands, and the
// usage and help texts generated from them.
namespace spinalyst::cli {

// A wrong argument: exit code 2, its message and the usage of the subcommand on stderr. The
// argument checks throw it while parsing; a subcommand throws it for what only the data shows
// (a FILE given for a casino whose coups are generated).
class Argumentfehler : public CLI::ParseError {
  public:
    explicit Argumentfehler(const std::string& meldung);
};

// What a subcommand does once its arguments are parsed and checked: results go to out, messages
// to err; returns 0 done or 1 failed (unusable files or data). A store error it throws ends the
// run with exit code 1 as well.
using Ausfuehrung = std::function<int(std::ostream& out, std::ostream& err)>;

// The subcommands of the program, each with what it does.
using Befehle = std::map<const CLI::App*, Ausfuehrung>;

// A check of an argument's text: a text for which gilt is false is refused with
// "SUBJEKT must be ERWARTET, not 'TEXT'".
CLI::Validator pruefung(std::string subjekt, std::string erwartet,
                        std::function<bool(const std::string&)> gilt);

// The argument DIR, the directory of the database files. Whether it is one is checked where it
// is used, by verzeichnis: a missing directory is an unusable file (exit code 1), not a wrong
// argument.
CLI::Option* verzeichnisArgument(CLI::App& befehl, std::string& ziel);

// The directory dir; throws std::runtime_error "DIR is not a directory" when it is none.
std::filesystem::path verzeichnis(const std::string& dir);

// A whole number from von to bis, written in decimal ("010" is ten); as a positional when name
// has no leading dashes. Shown as "N" unless wert names it otherwise.
CLI::Option* zahlArgument(CLI::App& befehl, const std::string& name, int& ziel, int von, int bis,
                          const std::string& beschreibung, const std::string& wert = "N");
CLI::Option* zahlArgument(CLI::App& befehl, const std::string& name, std::int64_t& ziel,
                          std::int64_t von, std::int64_t bis, const std::string& beschreibung,
                          const std::string& wert = "N");

// Whole numbers written in decimal, as many as are given (none included), as a positional.
CLI::Option* zahlenArgument(CLI::App& befehl, const std::string& name,
                            std::vector<std::int64_t>& ziel, const std::string& beschreibung);

// The gaming table TABLE, "T 01" to "T 25".
CLI::Option* tischArgument(CLI::App& befehl, std::string& ziel);

// The day YYYY-MM-DD.
CLI::Option* tagArgument(CLI::App& befehl, store::Date& ziel, const std::string& beschreibung);

// The month YYYY-MM, as its first day.
CLI::Option* monatArgument(CLI::App& befehl, store::Date& ziel, const std::string& beschreibung);

// The usage of a subcommand, or of the program for the program itself, generated from its
// arguments and wrapped to 100 columns:
//   usage: spinalyst-cli casino-add DIR NAME [--random-coups N]
std::string gebrauch(const CLI::App& befehl);

// The layout of the help texts: the usage first, then the description, the arguments and
// options, and for the program every subcommand with its usage and what it does. Set on the
// program before its subcommands are added, which take it over.
class Hilfeformat : public CLI::Formatter {
  public:
    Hilfeformat();
    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override;
    std::string make_usage(const CLI::App* app, std::string name) const override;
    std::string make_subcommand(const CLI::App* sub) const override;
    std::string make_option_opts(const CLI::Option* option) const override;
};

}  // namespace spinalyst::cli
