#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "kern/strecke.h"
#include "systems/systemmodell.h"
#include "tests/systems/zufallssysteme.h"

// Small stretches and instances written as text for the tables of the start check and engine
// tests.
namespace spinalyst::testing {

// The first day of every test stretch.
inline store::Date testtag(int tag) {
    return store::Date::fromYmd(2026, 5, 4).addDays(tag);
}

// A stretch from numbers per day, oldest first; -1 is a coup without a number. ID_Zahl is the
// position + 1.
inline std::vector<kern::Coup> strecke(
    std::initializer_list<std::pair<int, std::vector<int>>> tage) {
    std::vector<kern::Coup> s;
    for (const auto& [tag, zahlen] : tage) {
        for (int z : zahlen) {
            kern::Coup c;
            c.tag = testtag(tag);
            c.idZahl = static_cast<std::int64_t>(s.size()) + 1;
            c.zahl = static_cast<std::int8_t>(z);
            s.push_back(c);
        }
    }
    return s;
}

// A stretch of one day from letters: R red (1), B black (2), Z zero (0).
inline std::vector<int> zahlenAus(const std::string& buchstaben) {
    std::vector<int> z;
    for (char c : buchstaben) {
        z.push_back(c == 'R' ? 1 : (c == 'B' ? 2 : 0));
    }
    return z;
}

// An event-sequence row: "x" attacks, "<>" must not hit, "" must hit.
inline systems::Folgenglied glied(int ereignis, const char* angriff = "") {
    return systems::Folgenglied{ereignis, angriff};
}

// An instance with a sequence, a settlement kind and the stakes of steps 1, 2, ...
inline systems::Instanz instanz(std::vector<systems::Folgenglied> folge, char setzart = 'E',
                                std::vector<int> saetze = {1}) {
    systems::Instanz i;
    i.folge = std::move(folge);
    i.setzart = setzart;
    for (std::size_t k = 0; k < saetze.size(); ++k) {
        i.saetze[k + 1] = saetze[k];
    }
    return i;
}

}  // namespace spinalyst::testing
