#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "kern/katalog.h"
#include "kern/kontext.h"

// Online play at the table: the player types each number as it falls; after every number the
// systems advance one coup and their bets on the coup about to be played are the signals. The
// window is a thin view over these operations; the command line drives them the same way.
namespace spinalyst::online {

// How online play was opened.
struct Onlinespiel {
    bool geoeffnet = false;   // false: refused (more than 7 marked systems in mode "A")
    std::int64_t system = 0;  // the system selected when it opened
    int aktiveSysteme = 0;    // marked systems of the shown kind and chance, 1 in mode "E"
};

// Opening ("Online Spiel"): posts `Wahl`, remembers the selected system, switches the details
// mode off, resets every shown system's attack ("Mehr als 7 aktive Systeme!" in mode "A" with 8
// or more marked systems ends it), starts number entry (which appends the coup about to be
// played when the day's last coup has a number), and evaluates the chosen day up to that coup.
// The permanence cursor stands on the day's last coup afterwards.
Onlinespiel MenuItem_Online_SpielClick(kern::Kontext& k, const kern::Ereigniskatalog& katalog);

// Entering a number (`BitBtn_Permanenz_Zahl`): the main window's number entry stores
// `Wahl.Permanenz_Zahl` in the coup about to be played and appends the next one; only when a
// number was stored, the systems advance one coup (the last coup alone) and the permanence cursor
// stands on the new coup about to be played. Returns whether a number was stored.
bool BitBtn_Permanenz_ZahlClick(kern::Kontext& k, const kern::Ereigniskatalog& katalog,
                                const Onlinespiel& spiel);

// Closing: the remembered system is shown again with its instance 1, and number entry ends
// (which removes a coup about to be played that still has no number).
void Online_Spiel_Schliessen(kern::Kontext& k, const Onlinespiel& spiel);

// The window's caption: "  Molvane's Online Spiel,  " + casino + ",  " + date + " - " + n +
// " System(e) aktiv" (English "  Molvane's Online Game,  " ... " Active systems").
std::string Online_Titel(const kern::Kontext& k, const std::string& casino,
                         const std::string& datum, int aktiveSysteme);

// The name of the selected casino, empty when the selection names none.
std::string Casino_Name(kern::Kontext& k);

// The stake to place on the coup about to be played (its `Angriff_Satz`), when the day ends with
// such a coup and it holds one.
std::optional<int> Satz_Gesamt(kern::Kontext& k);

}  // namespace spinalyst::online
