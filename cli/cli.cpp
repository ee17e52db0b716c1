#include "cli/cli.h"

#include <filesystem>

#include "cli/evaluate.h"
#include "cli/permanenz.h"
#include "cli/systeme.h"
#include "store/database.h"
#include "store/referenzdaten.h"

namespace spinalyst::cli {

namespace {

namespace fs = std::filesystem;
using store::Database;
using store::DatabaseFile;

constexpr const char* kUsage =
    "usage: spinalyst-cli <command> [arguments]\n"
    "commands:\n"
    "  init DIR    create or check the two database files in DIR\n"
    "  casino-add DIR NAME [--random-coups N]\n"
    "              add a casino (a random generator with N coups a day) and print its key\n"
    "  import DIR CASINO_ID TABLE YYYY-MM [FILE]\n"
    "              import a month of permanence from FILE, or generate it for a random-\n"
    "              generator casino; TABLE as \"T 05\"\n"
    "  evaluate DIR CASINO_ID TABLE YYYY-MM-DD [--mode H|S|R|A] [--days N] [--coups N]\n"
    "           [--from-coup ID_ZAHL] [--across]\n"
    "              frequency, series and absence of every event, as JSON\n"
    "  systems DIR                      list the betting systems\n"
    "  system-export DIR SYSTEM_ID      print a system as a JSON document\n"
    "  system-import DIR FILE           create a system from such a document\n";

// `init DIR`: creates missing database files and checks existing ones.
int init(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "usage: spinalyst-cli init DIR\n";
        return 2;
    }
    const fs::path dir = args[1];
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        err << "spinalyst-cli: " << dir.string() << " is not a directory\n";
        return 1;
    }
    for (DatabaseFile file : {DatabaseFile::Roulette, DatabaseFile::DmModul}) {
        Database db(file);
        db.setLocation(dir / Database::fileName(file));
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
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        (args.empty() ? err : out) << kUsage;
        return args.empty() ? 2 : 0;
    }
    try {
        if (args[0] == "init") {
            return init(args, out, err);
        }
        if (args[0] == "evaluate") {
            return evaluate(args, out, err);
        }
        if (args[0] == "casino-add") {
            return casinoAdd(args, out, err);
        }
        if (args[0] == "import") {
            return permanenzImport(args, out, err);
        }
        if (args[0] == "systems") {
            return systemListe(args, out, err);
        }
        if (args[0] == "system-export") {
            return systemExport(args, out, err);
        }
        if (args[0] == "system-import") {
            return systemImport(args, out, err);
        }
    } catch (const std::exception& e) {
        err << "spinalyst-cli: " << e.what() << "\n";
        return 1;
    }
    err << "spinalyst-cli: unknown command '" << args[0] << "'\n" << kUsage;
    return 2;
}

}  // namespace spinalyst::cli
