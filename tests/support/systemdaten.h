#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/database.h"
#include "store/sqlite.h"
#include "store/value.h"

// Test data for system evaluations: permanence days written straight into the main database and
// systems as the documents the system import reads.
namespace spinalyst::testing {

// The document of a kind-1 system of chance class 1 with instance 1 only: after a coup of event
// `ausloeser` it bets event `angriff` with the given stakes (steps 1, 2, ...) and settlement.
// `markiert` "x" marks it for the evaluation of all systems.
inline std::string Zwei_Ereignis_System(int ausloeser = 1, int angriff = 2,
                                        const std::vector<int>& saetze = {1, 2, 4},
                                        const char* setzart = "E", const char* markiert = "") {
    std::string stufen;
    for (std::size_t i = 0; i < saetze.size(); ++i) {
        stufen += (i == 0 ? "" : ", ") + std::string("\"") + std::to_string(i + 1) +
                  "\": " + std::to_string(saetze[i]);
    }
    return std::string(R"({"ID_System_Art": 1, "ID_System_Chancen": 1, "System_Online_Aktiv": ")") +
           markiert + R"(", "Instanzen": [{"ID_Instanz": 1, "System_Daten": {"Setzart": ")" +
           setzart + R"("}, "System_Ereignisse": [{"ID_Ereignis": )" + std::to_string(ausloeser) +
           R"(}, {"ID_Ereignis": )" + std::to_string(angriff) +
           R"(, "Angriff": "x"}], "System_Angriffe": {)" + stufen + "}}]}";
}

// Appends the coups of a day (a null number for the coup about to be played), oldest first, and
// the day's row with its coup count unless `tageszeile` is false. Returns the `ID_Zahl` of each
// coup.
inline std::vector<std::int64_t> Tag_Schreiben(store::Database& db, std::int64_t casino,
                                               const std::string& tisch, store::Date tag,
                                               const std::vector<store::Value>& zahlen,
                                               bool tageszeile = true) {
    store::Connection& c = db.connection();
    store::Transaction tx(c);
    store::Statement coup(c,
                          "INSERT INTO Permanenz (ID_Casino, Tisch, Datum, Zahl) "
                          "VALUES (?, ?, ?, ?)");
    std::vector<std::int64_t> ids;
    for (const store::Value& z : zahlen) {
        coup.bind(1, casino);
        coup.bind(2, std::string_view(tisch));
        coup.bind(3, store::Value(tag));
        coup.bind(4, z);
        coup.run();
        ids.push_back(c.lastInsertRowid());
    }
    if (tageszeile) {
        store::Statement zeile(c,
                               "INSERT INTO Permanenz_Tag_Zusammenfassung (ID_Casino, Tisch, "
                               "Datum, Coups_Anzahl) VALUES (?, ?, ?, ?)");
        zeile.bind(1, casino);
        zeile.bind(2, std::string_view(tisch));
        zeile.bind(3, store::Value(tag));
        zeile.bind(4, static_cast<std::int64_t>(zahlen.size()));
        zeile.run();
    }
    tx.commit();
    return ids;
}

}  // namespace spinalyst::testing
