#include "cli/cli.h"

#include <filesystem>
#include <memory>
#include <optional>

#include "cli/argumente.h"
#include "cli/csv.h"
#include "cli/datenort.h"
#include "cli/evaluate.h"
#include "cli/mine.h"
#include "cli/mine_results.h"
#include "cli/online.h"
#include "cli/permanenz.h"
#include "cli/systeme.h"
#include "cli/systemlauf.h"
#include "store/database.h"
#include "store/referenzdaten.h"

namespace spinalyst::cli {

namespace {

namespace fs = std::filesystem;
using store::Database;
using store::DatabaseFile;

// `init DIR`: creates missing database files and checks existing ones.
void initBefehl(CLI::App& programm, Befehle& befehle) {
    auto* befehl = programm.add_subcommand("init", "create or check the two database files in DIR");
    auto dir = std::make_shared<std::string>();
    verzeichnisArgument(*befehl, *dir);
    befehle[befehl] = [dir](std::ostream& out, std::ostream&) {
        const fs::path pfad = verzeichnis(*dir);
        for (DatabaseFile file : {DatabaseFile::Roulette, DatabaseFile::DmModul}) {
            Database db(file);
            db.setLocation(pfad / Database::fileName(file));
            const auto result = db.connect();
            const auto tables = store::tablesOf(file);
            int referenceRows = 0;
            for (const auto& ref : store::referenceRows(file)) {
                referenceRows += db.rowCount(ref.table->name);
            }
            out << Database::fileName(file) << ": "
                << (result == store::ConnectResult::Created ? "created" : "found") << ", "
                << tables.size() << " tables, " << referenceRows << " reference rows\n";
        }
        return 0;
    };
}

// The first argument that no subcommand took, as the message that reports it.
std::optional<std::string> uebrigesArgument(const CLI::App& programm) {
    for (const std::string& arg : programm.remaining(true)) {
        if (arg == "--") {
            continue;
        }
        if (arg.size() > 1 && arg.starts_with('-')) {
            return "unknown option '" + arg + "'";
        }
        return "unexpected argument '" + arg + "'";
    }
    return std::nullopt;
}

// What went wrong with the command line, in a sentence that names the argument.
std::string meldung(const CLI::App& programm, const CLI::ParseError& e,
                    const std::vector<std::string>& args) {
    if (programm.get_subcommands().empty()) {
        if (args.empty()) {
            return "no command given";
        }
        return (args[0].starts_with('-') ? "unknown option '" : "unknown command '") + args[0] +
               "'";
    }
    if (dynamic_cast<const CLI::RequiredError*>(&e) != nullptr) {
        // An unknown option most likely took the place of the missing argument.
        const std::string text = e.what();
        return uebrigesArgument(programm).value_or(
            text.starts_with('-') ? text : "wrong number of arguments: " + text);
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr) {
        // CLI11 names the option before the colon: "--coups: 1 required N missing".
        const std::string text = e.what();
        const auto doppelpunkt = text.find(": ");
        if (doppelpunkt != std::string::npos && text.starts_with('-')) {
            return text.substr(0, doppelpunkt) + " needs a value";
        }
    }
    return e.what();
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App programm("Runs the operations of Spinalyst on the databases in a directory DIR.",
                      "spinalyst-cli");
    // Set before the subcommands are added, which take these over.
    programm.formatter(std::make_shared<Hilfeformat>());
    programm.require_subcommand(1);
    // Arguments that no subcommand takes are reported by name, see uebrigesArgument.
    programm.allow_extras();
    // As with a later word on the line, a repeated option overrides the earlier one.
    programm.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

    Befehle befehle;
    initBefehl(programm, befehle);
    permanenzBefehle(programm, befehle);
    evaluateBefehl(programm, befehle);
    systemBefehle(programm, befehle);
    systemlaufBefehl(programm, befehle);
    onlineBefehl(programm, befehle);
    mineBefehl(programm, befehle);
    mineResultsBefehl(programm, befehle);
    csvBefehle(programm, befehle);
    whereBefehl(programm, befehle);
    for (CLI::App* befehl : programm.get_subcommands([](CLI::App*) { return true; })) {
        befehl->group("Commands");
    }
    // After the subcommands, which would take it over.
    programm.footer("Run 'spinalyst-cli COMMAND --help' for the arguments of a command.");
    // `help` prints the help as --help does; not listed.
    const CLI::App* hilfe = programm.add_subcommand("help")->group("");

    try {
        programm.parse(std::vector<std::string>(args.rbegin(), args.rend()));
        const CLI::App* befehl = programm.get_subcommands().front();
        if (befehl == hilfe) {
            out << programm.get_formatter()->make_help(&programm, programm.get_name(),
                                                       CLI::AppFormatMode::Normal);
            return 0;
        }
        if (const auto uebrig = uebrigesArgument(programm)) {
            throw Argumentfehler(*uebrig);
        }
        return befehle.at(befehl)(out, err);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
            return programm.exit(e, out, err);  // --help: the help of the subcommand on out
        }
        err << "spinalyst-cli: " << meldung(programm, e, args) << "\n";
        const auto gewaehlt = programm.get_subcommands();
        if (gewaehlt.empty()) {
            err << programm.help();
        } else {
            err << gebrauch(*gewaehlt.front()) << "Run 'spinalyst-cli "
                << gewaehlt.front()->get_name() << " --help' for its arguments.\n";
        }
        return 2;
    } catch (const std::exception& e) {
        err << "spinalyst-cli: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace spinalyst::cli
