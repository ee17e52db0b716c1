#include "store/referenzdaten.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <limits>
#include <stdexcept>
#include <string>

namespace spinalyst::store {

namespace {

// Chance classes: the key of a class is its payout.
constexpr int kChancen[] = {1, 2, 5, 8, 11, 17, 35};

// The data-mining attacks are played up to this length.
constexpr int kAngriffLaengeMax = 10;

// The highest stake a paroli lets ride. A paroli on a single number would otherwise reach
// 36^9 units at step 10, far beyond the 32-bit integer fields; at this limit the part of the
// money in hand above it is taken off, as the settlement of a paroli does with every amount
// not needed for the next stake.
constexpr std::int64_t kParoliSatzMax = 1'000'000;

const TableDef& table(const char* name) {
    const TableDef* t = findTable(name);
    if (t == nullptr) {
        throw std::logic_error(std::string("table missing from the layout: ") + name);
    }
    return *t;
}

struct Ereignis {
    int id;
    std::string name;
    std::string nameEnglisch;
    std::string info;
    std::string infoEnglisch;
    int chance;
    std::vector<int> zahlen;  // ascending
};

bool istRot(int zahl) {
    static constexpr int kRot[] = {1,  3,  5,  7,  9,  12, 14, 16, 18,
                                   19, 21, 23, 25, 27, 30, 32, 34, 36};
    return std::find(std::begin(kRot), std::end(kRot), zahl) != std::end(kRot);
}

std::vector<int> zahlenVonBis(int von, int bis) {
    std::vector<int> result;
    for (int z = von; z <= bis; ++z) {
        result.push_back(z);
    }
    return result;
}

template <typename Pred>
std::vector<int> zahlenMit(Pred pred) {
    std::vector<int> result;
    for (int z = 1; z <= 36; ++z) {
        if (pred(z)) {
            result.push_back(z);
        }
    }
    return result;
}

// "1/2/4/5": the numbers of a small event, the way the layout names its bets.
std::string liste(const std::vector<int>& zahlen) {
    std::string text;
    for (int z : zahlen) {
        if (!text.empty()) {
            text += '/';
        }
        text += std::to_string(z);
    }
    return text;
}

std::string bereich(int von, int bis) {
    return std::to_string(von) + "-" + std::to_string(bis);
}

// The standard catalogue, events 1 to 153. The layout has 12 rows of three numbers: number n
// lies in row (n - 1) / 3 and column (n - 1) % 3; 0 lies above the first row.
std::vector<Ereignis> standardEreignisse() {
    std::vector<Ereignis> ev;
    auto add = [&ev](std::string name, std::string nameEn, std::string info, std::string infoEn,
                     int chance, std::vector<int> zahlen) {
        ev.push_back({static_cast<int>(ev.size()) + 1, std::move(name), std::move(nameEn),
                      std::move(info), std::move(infoEn), chance, std::move(zahlen)});
    };
    auto addGleich = [&add](std::string name, std::string nameEn, int chance,
                            std::vector<int> zahlen) {
        std::string info = liste(zahlen);
        add(std::move(name), std::move(nameEn), info, info, chance, std::move(zahlen));
    };

    // Chance 1 (events 1 to 6): the even chances. Events 1 and 2 must be red and black: the
    // permanence grids colour the numbers by them.
    add("Rot", "Red", "18 rote Zahlen", "18 red numbers", 1, zahlenMit(istRot));
    add("Schwarz", "Black", "18 schwarze Zahlen", "18 black numbers", 1,
        zahlenMit([](int z) { return !istRot(z); }));
    add("Pair", "Even", "2/4/6 ... 36", "2/4/6 ... 36", 1,
        zahlenMit([](int z) { return z % 2 == 0; }));
    add("Impair", "Odd", "1/3/5 ... 35", "1/3/5 ... 35", 1,
        zahlenMit([](int z) { return z % 2 == 1; }));
    add("Manque", "Low", bereich(1, 18), bereich(1, 18), 1, zahlenVonBis(1, 18));
    add("Passe", "High", bereich(19, 36), bereich(19, 36), 1, zahlenVonBis(19, 36));

    // Chance 2 (events 7 to 12): the three dozens, then the three columns.
    static const char* const kOrdinal[] = {"1st", "2nd", "3rd"};
    for (int d = 0; d < 3; ++d) {
        const std::string text = bereich(12 * d + 1, 12 * d + 12);
        add(std::to_string(d + 1) + ". Dutzend", std::string(kOrdinal[d]) + " dozen", text, text, 2,
            zahlenVonBis(12 * d + 1, 12 * d + 12));
    }
    for (int c = 0; c < 3; ++c) {
        const std::string text = std::to_string(c + 1) + "/" + std::to_string(c + 4) + "/" +
                                 std::to_string(c + 7) + " ... " + std::to_string(c + 34);
        add(std::to_string(c + 1) + ". Kolonne", std::string(kOrdinal[c]) + " column", text, text,
            2, zahlenMit([c](int z) { return (z - 1) % 3 == c; }));
    }

    // Chance 5 (events 13 to 23): the six-number lines over two neighbouring rows.
    for (int r = 0; r < 11; ++r) {
        const int von = 3 * r + 1;
        addGleich("Trans. simple " + bereich(von, von + 5), "Six line " + bereich(von, von + 5), 5,
                  zahlenVonBis(von, von + 5));
    }

    // Chance 8 (events 24 to 46): the first four, then the 22 squares in the order of their
    // smallest number.
    addGleich("Die ersten Vier", "First four", 8, {0, 1, 2, 3});
    for (int n = 1; n <= 32; ++n) {
        if ((n - 1) % 3 == 2) {
            continue;  // a square reaches to the right of its smallest number
        }
        const std::vector<int> zahlen = {n, n + 1, n + 3, n + 4};
        addGleich("Carré " + liste(zahlen), "Corner " + liste(zahlen), 8, zahlen);
    }

    // Chance 11 (events 47 to 58): the twelve rows.
    for (int r = 0; r < 12; ++r) {
        const int von = 3 * r + 1;
        addGleich("Trans. plein " + bereich(von, von + 2), "Street " + bereich(von, von + 2), 11,
                  zahlenVonBis(von, von + 2));
    }

    // Chance 17 (events 59 to 116): 58 places for the 57 splits of neighbouring numbers 1 to 36
    // (24 within a row, 33 between rows) and one split with 0. The 0 borders 1, 2 and 3; the one
    // place left goes to 0/2, the split below the middle of the zero, and comes first, as 0 does
    // in the other classes. The splits of 1 to 36 follow in the order of their smaller number,
    // the split within the row before the one to the next row.
    addGleich("Cheval 0/2", "Split 0/2", 17, {0, 2});
    for (int n = 1; n <= 36; ++n) {
        if ((n - 1) % 3 != 2) {
            addGleich("Cheval " + liste({n, n + 1}), "Split " + liste({n, n + 1}), 17, {n, n + 1});
        }
        if (n + 3 <= 36) {
            addGleich("Cheval " + liste({n, n + 3}), "Split " + liste({n, n + 3}), 17, {n, n + 3});
        }
    }

    // Chance 35 (events 117 to 153): the single numbers 0 to 36.
    for (int z = 0; z <= 36; ++z) {
        addGleich("Plein " + std::to_string(z), "Number " + std::to_string(z), 35, {z});
    }
    return ev;
}

// Stored texts of the event groups (German only; the program does not show them).
std::string gruppeName(int chance) {
    switch (chance) {
        case 1:
            return "Einfache Chancen";
        case 2:
            return "Dutzende und Kolonnen";
        case 5:
            return "Transversale simple";
        case 8:
            return "Carré";
        case 11:
            return "Transversale plein";
        case 17:
            return "Cheval";
        default:
            return "Plein";
    }
}

std::string chancenText(int chance) {
    return std::to_string(chance) + " : 1";
}

ReferenceRows ereignisseRows(const std::vector<Ereignis>& ev) {
    ReferenceRows r{&table("Ereignisse"), {}};
    for (const auto& e : ev) {
        r.rows.push_back(
            makeRow(*r.table, {{"ID_Ereignis", e.id},
                               {"Ereignis", e.name},
                               {"Ereignis_Englisch", e.nameEnglisch},
                               {"Ereignis_Info", e.info},
                               {"Ereignis_Info_Englisch", e.infoEnglisch},
                               {"ID_Gruppe_Ereignis", e.chance},
                               {"Gruppe_Ereignis", gruppeName(e.chance)},
                               {"Gruppe_Ereignis_Info", "Auszahlung " + chancenText(e.chance)},
                               {"Ereignis_Einsatz", 1},
                               {"Ereignis_Gewinn", e.chance}}));
    }
    return r;
}

ReferenceRows ereignisZahlRows(const std::vector<Ereignis>& ev) {
    ReferenceRows r{&table("Ereignis_Zahl"), {}};
    for (const auto& e : ev) {
        for (int z : e.zahlen) {
            r.rows.push_back(makeRow(*r.table, {{"ID_Ereignis", e.id}, {"Zahl", z}}));
        }
    }
    return r;
}

ReferenceRows systemArtRows() {
    ReferenceRows r{&table("System_Art"), {}};
    struct Art {
        int id;
        const char* name;
        const char* nameEnglisch;
    };
    static constexpr Art kArten[] = {
        {1, "Standard", "Standard"},
        {2, "Individuell", "Individual"},
        {3, "Data Mining", "Data mining"},
    };
    for (const auto& a : kArten) {
        // The kind lists key on the auto-increment field, so it carries the kind number.
        r.rows.push_back(makeRow(*r.table, {{"ID_System_Art_AutoInc", a.id},
                                            {"ID_System_Art", a.id},
                                            {"System_Art_Name", a.name},
                                            {"System_Art_Name_Englisch", a.nameEnglisch}}));
    }
    return r;
}

ReferenceRows systemChancenRows() {
    ReferenceRows r{&table("System_Chancen"), {}};
    for (int c : kChancen) {
        r.rows.push_back(
            makeRow(*r.table, {{"ID_System_Chancen", c}, {"Chancen", chancenText(c)}}));
    }
    return r;
}

ReferenceRows deutschEnglischRows() {
    ReferenceRows r{&table("Deutsch_Englisch"), {}};
    struct Beschriftung {
        const char* object;
        const char* deutsch;
        const char* englisch;
    };
    // The items the language switch re-labels; "Data Mining" keeps its caption and has no row.
    static constexpr Beschriftung kMenue[] = {
        {"MenuItem_Casinos", "Casinos", "Casinos"},
        {"MenuItem_Permanenzen", "Permanenzen", "Permanences"},
        {"MenuItem_Permanenzen_Aufnahme", "Aufnahme", "Import"},
        {"MenuItem_Permanenzen_Eingabe", "Eingabe", "Input"},
        {"MenuItem_Permanenzen_Loeschen", "Löschen", "Delete"},
        {"MenuItem_Permanenzen_Loeschen_Tag", "Tag", "Day"},
        {"MenuItem_Permanenzen_Loeschen_Monat", "Monat", "Month"},
        {"MenuItem_Ereignisse", "Ereignisse", "Events"},
        {"MenuItem_Ereignisse_Ueberblick", "Überblick", "Overview"},
        {"MenuItem_Ereignisse_Auswertung", "Auswertung", "Evaluation"},
        {"MenuItem_Ereignisse_Haeufigkeit", "Häufigkeit", "Frequency"},
        {"MenuItem_Ereignisse_Haeufigkeit_Serien", "Häufigkeit / Serien", "Frequency / Series"},
        {"MenuItem_Ereignisse_Haeufigkeit_Rueckstandigkeit", "Häufigkeit / Rückständigkeit",
         "Frequency / Absence"},
        {"MenuItem_Ereignisse_komplett", "Komplett", "Complete"},
        {"MenuItem_Systeme", "Systeme", "Systems"},
        {"MenuItem_Systeme_Information", "Wahl / Information", "Selection / Information"},
        {"MenuItem_Systeme_Aufnahme", "Aufnahme", "New"},
        {"MenuItem_Systeme_Erstellung", "Erstellung", "Build"},
        {"MenuItem_Systeme_Haeufigkeit", "Häufigkeit", "Frequency"},
        {"MenuItem_Systeme_Serien", "Serien", "Series"},
        {"MenuItem_Systeme_Rueckstaendigkeit", "Rückständigkeit", "Absence"},
        {"MenuItem_Systeme_Ereignisfolge", "Ereignisfolge", "Sequence of events"},
        {"MenuItem_Systeme_Auswertung", "Auswertung", "Evaluation"},
        {"MenuItem_Systeme_Auswertungen_Ueberblick", "Auswertung Blick", "Evaluations view"},
        {"MenuItem_Systeme_Loeschen", "Löschen", "Delete"},
        {"MenuItem_Individuell", "Individuell", "Individual"},
        {"MenuItem_Individuell_Satzsignale_1", "Satzsignale (1)", "Signals (1)"},
        {"MenuItem_Individuell_Satzsignale_2", "Satzsignale (2)", "Signals (2)"},
        {"MenuItem_Individuell_Ihr_System", "Ihr System ...", "Your system ..."},
        {"MenuItem_Online_Spiel", "Online Spiel", "Online Game"},
        {"MenuItem_Hilfe", "Hilfe", "Help"},
        {"MenuItem_Sprache", "Sprache", "Language"},
        {"MenuItem_Sprache_Deutsch", "Deutsch", "German"},
        {"MenuItem_Sprache_Englisch", "Englisch", "English"},
        {"MenuItem_Ereignis_Aufnehmen", "Aufnehmen", "Include"},
        {"MenuItem_Ereignis_Loeschen", "Löschen", "Delete"},
    };
    for (const auto& b : kMenue) {
        r.rows.push_back(makeRow(*r.table, {{"Object", b.object},
                                            {"Dialog", "Form_Anwendung_Roulette"},
                                            {"Deutsch_Caption", b.deutsch},
                                            {"Englisch_Caption", b.englisch}}));
    }
    return r;
}

// The calendar day of the local clock: a new data store starts on the day it is made.
Date heute() {
    const std::time_t jetzt = std::time(nullptr);
    std::tm lokal{};
    if (::localtime_r(&jetzt, &lokal) == nullptr) {
        return Date::fromTimePoint(
            std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now()));
    }
    return Date::fromYmd(lokal.tm_year + 1900, lokal.tm_mon + 1, lokal.tm_mday);
}

ReferenceRows wahlRows() {
    ReferenceRows r{&table("Wahl"), {}};
    const Date tag = heute();
    // The evaluation settings hold the values every selection change gives them; the
    // data-mining parameters start with the even chances attacked by kind "E" after one-coup
    // sequences of even-chance events and no filter varied. "1:1" is always allowed in a
    // sequence (the user cannot untick it), so its flag starts set. The summary of the last
    // run stays null until there is one.
    r.rows.push_back(makeRow(*r.table, {{"ID_Casino", 1},
                                        {"Tisch", "T 01"},
                                        {"Datum", tag},
                                        {"ID_Chancen_Auswertung", 1},
                                        {"ID_System_Art", 1},
                                        {"ID_System_Chancen", 1},
                                        {"Auswertung_H_S_R", "H"},
                                        {"Auswertung_Coups_Anzahl", 100},
                                        {"Auswertung_Tage_Anzahl", 1},
                                        {"Auswertung_Tage_uebergreifend", "f"},
                                        {"System_Tage_Anzahl", 10},
                                        {"System_Online_Alle", "f"},
                                        {"System_Online_Tage_uebergreifend", "f"},
                                        {"ID_Instanz", 1},
                                        {"Online_Vordergrund", "f"},
                                        {"Tag_Gewinn_Verlust", 0},
                                        {"Tag_Gewinn_Maximal", 0},
                                        {"Tag_Verlust_Maximal", 0},
                                        {"Tag_Angriffe", 0},
                                        {"DM_Datum_von", tag},
                                        {"DM_Datum_bis", tag},
                                        {"DM_Tage_uebergreifend", "f"},
                                        {"DM_Chancen_1", "t"},
                                        {"DM_Chancen_2", "f"},
                                        {"DM_Chancen_5", "f"},
                                        {"DM_Chancen_8", "f"},
                                        {"DM_Chancen_11", "f"},
                                        {"DM_Chancen_17", "f"},
                                        {"DM_Chancen_35", "f"},
                                        {"DM_Ereignisfolge_11", "t"},
                                        {"DM_Ereignisfolge_21", "f"},
                                        {"DM_Ereignisfolge_51", "f"},
                                        {"DM_Ereignisfolge_ungleich", "f"},
                                        {"DM_Ereignisfolge_Anzahl", 1},
                                        {"DM_Haeufigkeit_aktiv", "f"},
                                        {"DM_Haeufigkeit_Ereignisse_alle", "f"},
                                        {"DM_Serien_aktiv", "f"},
                                        {"DM_Serien_Ereignisse_alle", "f"},
                                        {"DM_Rueckstaendigkeit_aktiv", "f"},
                                        {"DM_Rueckstaendigkeit_Ereignisse_alle", "f"},
                                        {"DM_Chance", 1},
                                        {"DM_Sortierung_G_V_Minimum", 0},
                                        {"DM_Sortierung", "W"},
                                        {"DM_Anzahl_Angriffe", 1},
                                        {"DM_Art_Angriff", "E"}}));
    return r;
}

struct Angriff {
    std::int64_t satz;
    std::int64_t gewinn;
    std::int64_t verlust;
};

// The data-mining attacks of one chance class (payout q) and kind, lengths 1 to 10. `Satz` is
// the stake of step j of the progression (the take-over copies steps 1 to n into a system);
// `Gewinn` and `Verlust` are the amounts of a whole attack of length j, because the scoring run
// credits `Gewinn` of the row of length j to a successful attack whatever coup it hit on and
// debits `Verlust` to a failed one (for "K": per coup).
std::vector<Angriff> angriffe(int q, char art) {
    std::vector<Angriff> result;
    std::int64_t summe = 0;  // stakes of steps 1 to j
    std::int64_t geringsterGewinn = std::numeric_limits<std::int64_t>::max();  // "E"
    for (int j = 1; j <= kAngriffLaengeMax; ++j) {
        Angriff a{};
        switch (art) {
            case 'E': {
                // The smallest stake whose hit wins back every earlier stake plus one unit.
                a.satz = (summe + q) / q;  // ceil((summe + 1) / q)
                geringsterGewinn = std::min(geringsterGewinn, a.satz * q - summe);
                summe += a.satz;
                // A success may come at any step up to j, so the attack is credited with the
                // least a hit at one of those steps returns: never more than was won.
                a.gewinn = geringsterGewinn;
                a.verlust = summe;
                break;
            }
            case 'K':
                a = {1, q, 1};
                break;
            default: {  // 'P'
                // Step j stakes everything the earlier hits brought: (q + 1)^(j - 1), up to the
                // limit. Each hit returns (q + 1) times its stake; what the next stake does not
                // need is taken off. Summed over j hits that is q times the sum of the stakes.
                a.satz = j == 1 ? 1 : std::min(result.back().satz * (q + 1), kParoliSatzMax);
                summe += a.satz;
                a.gewinn = q * summe;
                // A miss at step k loses the one unit of step 1; the winnings let ride were
                // never the player's own (above the limit some were taken off before, which the
                // row ignores).
                a.verlust = 1;
                break;
            }
        }
        result.push_back(a);
    }
    return result;
}

ReferenceRows dmAngriffRows() {
    ReferenceRows r{&table("DM_Angriff"), {}};
    for (int q : kChancen) {
        for (const char* art : {"E", "K", "P"}) {
            const auto reihe = angriffe(q, art[0]);
            for (int j = 1; j <= kAngriffLaengeMax; ++j) {
                const Angriff& a = reihe[static_cast<std::size_t>(j - 1)];
                r.rows.push_back(makeRow(*r.table, {{"ID_Chance", q},
                                                    {"Art_Angriff", art},
                                                    {"ID_Angriff", j},
                                                    {"Satz", a.satz},
                                                    {"Gewinn", a.gewinn},
                                                    {"Verlust", a.verlust}}));
            }
        }
    }
    return r;
}

}  // namespace

std::vector<Value> makeRow(const TableDef& tableDef,
                           std::initializer_list<std::pair<const char*, Value>> values) {
    std::vector<Value> row(static_cast<std::size_t>(tableDef.storedFieldCount()));
    std::vector<bool> gesetzt(row.size(), false);
    for (const auto& [name, value] : values) {
        int position = 0;
        bool found = false;
        for (const auto& f : tableDef.fields) {
            if (!f.stored()) {
                continue;
            }
            if (std::string_view(name) == f.name) {
                found = true;
                break;
            }
            ++position;
        }
        if (!found) {
            throw std::invalid_argument(std::string("no stored field ") + name + " in table " +
                                        tableDef.name);
        }
        const auto p = static_cast<std::size_t>(position);
        if (gesetzt[p]) {
            throw std::invalid_argument(std::string("field ") + name + " given twice for table " +
                                        tableDef.name);
        }
        gesetzt[p] = true;
        row[p] = value;
    }
    return row;
}

std::vector<ReferenceRows> referenceRows(DatabaseFile file) {
    std::vector<ReferenceRows> result;
    if (file == DatabaseFile::DmModul) {
        result.push_back(dmAngriffRows());
        return result;
    }
    const auto ev = standardEreignisse();
    result.push_back(wahlRows());
    result.push_back(ereignisseRows(ev));
    result.push_back(ereignisZahlRows(ev));
    result.push_back(systemArtRows());
    result.push_back(systemChancenRows());
    result.push_back(deutschEnglischRows());
    return result;
}

}  // namespace spinalyst::store
