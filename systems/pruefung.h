#pragma once

#include <string>
#include <vector>

#include "kern/kontext.h"

// The consistency check of the current system, run before a system evaluation.
namespace spinalyst::systems {

// One problem the check found in one instance.
struct Befund {
    enum class Art {
        KeinAngriffsereignis,           // instance 1 of an ordinary system has no event sequence
        EreignisImIndividuellenSystem,  // an individual system (kind 2) has an event sequence
        AngriffsereignisUnbekannt,      // the attacked event (above 153) is not in the catalogue
        KeinVielfachesDesEinsatzes,     // a stake is no multiple of the event's pieces
        ErsterEinsatzFehlt,             // the first stake is below 1
        EinsaetzeFallend,               // a stake below the one before it (settlement not "K")
        ZweiterEinsatzIndividuell,      // an individual system has a stake for step 2
    };
    int instanz;
    Art art;
    int stufe;  // the attack step concerned (1 to 50), 0 where none

    bool operator==(const Befund&) const = default;
};

struct Pruefergebnis {
    std::vector<Befund> befunde;
    bool ok() const { return befunde.empty(); }
};

// Checks the current system instance by instance (1, 2, 3, each selected in `Wahl` and in the
// system, which creates missing default rows as selecting an instance does); instance 3 is left
// shown. Per instance, with E the attacked (last) event, 0 for an empty sequence:
//  - E above 153: each stake of the progression (steps until the first stake of 0 or less) is a
//    multiple of the event's `Ereignis_Einsatz`;
//  - instance 1 of a kind other than 2 has E of at least 1; a kind-2 system has no E;
//  - with E: the first stake is at least 1 and, unless the settlement is "K", no stake of the
//    progression is below the one before it;
//  - kind 2: the first stake of instance 1 is at least 1, and no instance has a stake in step 2.
// Only the attack steps "1" to "50" count as the progression; the limit rows "G" and "V" do not.
// The sequence and stakes lists are detached from their views meanwhile.
Pruefergebnis System_Pruefen(kern::Kontext& k);

// A one-line description of a finding in the current language (for a report or a test).
std::string Befund_Text(const kern::Kontext& k, const Befund& befund);

}  // namespace spinalyst::systems
