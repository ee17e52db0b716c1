#include "kern/strecke.h"

#include <string_view>

namespace spinalyst::kern {

namespace {

// The index on (ID_Casino, Tisch, Datum) carries the row id `ID_Zahl`, so it yields the coups of
// a stretch in their order without sorting.
constexpr const char* kAufsteigend =
    "SELECT Datum, ID_Zahl, Zahl FROM Permanenz WHERE ID_Casino = ?1 AND Tisch = ?2 AND "
    "Datum >= ?3 AND Datum <= ?4 AND (?5 = 0 OR Zahl IS NOT NULL) ORDER BY Datum, ID_Zahl";
constexpr const char* kAbsteigend =
    "SELECT Datum, ID_Zahl, Zahl FROM Permanenz WHERE ID_Casino = ?1 AND Tisch = ?2 AND "
    "Datum >= ?3 AND Datum <= ?4 AND (?5 = 0 OR Zahl IS NOT NULL) "
    "ORDER BY Datum DESC, ID_Zahl DESC";

}  // namespace

Streckenleser::Streckenleser(store::Connection& verbindung)
    : aufsteigend_(verbindung, kAufsteigend), absteigend_(verbindung, kAbsteigend) {}

void Streckenleser::laden(const Streckenauswahl& auswahl, std::vector<Coup>& ziel) {
    ziel.clear();
    store::Statement& s = auswahl.neuesteZuerst ? absteigend_ : aufsteigend_;
    s.reset();
    s.bind(1, auswahl.casino);
    s.bind(2, std::string_view(auswahl.tisch));
    s.bind(3, store::Value(auswahl.von));
    s.bind(4, store::Value(auswahl.bis));
    s.bind(5, std::int64_t{auswahl.nurMitZahl ? 1 : 0});
    // Consecutive coups mostly share their day: the day text is parsed only when it changes.
    std::string letzterText;
    store::Date tag;
    while (s.step()) {
        const std::string_view text = s.textView(0);
        if (text != letzterText) {
            const auto d = store::Date::parse(text);
            if (!d) {
                s.reset();
                throw store::StoreError("Permanenz: the day \"" + std::string(text) +
                                        "\" is not a date");
            }
            tag = *d;
            letzterText.assign(text);
        }
        Coup c{tag, s.int64(1), kKeineZahl};
        if (!s.isNull(2)) {
            const std::int64_t z = s.int64(2);
            if (z < 0 || z > 36) {
                s.reset();
                throw store::StoreError("Permanenz: the number " + std::to_string(z) + " of coup " +
                                        std::to_string(c.idZahl) + " lies outside 0 to 36");
            }
            c.zahl = static_cast<std::int8_t>(z);
        }
        ziel.push_back(c);
    }
    s.reset();
}

std::vector<Coup> Streckenleser::laden(const Streckenauswahl& auswahl) {
    std::vector<Coup> coups;
    laden(auswahl, coups);
    return coups;
}

std::vector<Coup> Strecke_Laden(store::Database& datenbank, const Streckenauswahl& auswahl) {
    Streckenleser leser(datenbank.connection());
    return leser.laden(auswahl);
}

}  // namespace spinalyst::kern
