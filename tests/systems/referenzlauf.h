#pragma once

#include <vector>

#include "kern/katalog.h"
#include "kern/strecke.h"
#include "systems/durchlauf.h"
#include "systems/startpruefung.h"
#include "systems/systemmodell.h"

// A deliberately plain engine for the tests: the start checks, the settlement and the walk written
// step by step after their algorithms, walking positions of the stretch the way a look-back cursor
// would (the sequence history runs the sequence check again at every earlier position, the "K" sum
// walks back over the attack's coups, every bet is found by searching the bet list). It shares no
// code with the engine, only its types, so that comparing both on random systems catches faults
// of either.
//
// Where the engine's contract leaves a choice, the reference reads it so:
// - a kind-2 system runs the start check like any other (its state becomes step 1, all instances
//   active, when its instances pass) but never settles by instance: it bets by its own rule
//   number and its own parameter row at every coup, with the stake of step 1 of instance 1 read
//   then (no stake: no bets), and its bets are settled at the next coup whatever its state;
// - "every event of the range" that rule 2 waits for is every identifier of the range the
//   catalogue has an event for (an identifier without an event never falls and is never bet);
// - a rule's event that the catalogue does not know, or of fewer than 1 piece, gets no bet, and
//   the events after it are not moved up in its place;
// - the current day of a walk, also of an online step, is the day of the coup at `beginn`;
// - every instance is settled while the attack runs, active or not (an inactive one finds no bet
//   and keeps its state unless "K" sums reach a limit);
// - only bets passed in are marked `abgerechnet`, and only when a result was written (settlement
//   kinds other than "E", "K", "P" write none);
// - a stored bet on an event the catalogue does not know, or of fewer than 1 piece, stays
// unsettled;
// - the sequence history fails when one of its four fields is null or the instance has no rows.
namespace spinalyst::systems::referenz {

bool Ereignisfolge_Pruefen(const Pruefstelle& stelle, const Instanz& instanz,
                           const kern::Ereigniskatalog& katalog);
bool Haeufigkeit_Filter_Pruefen(const Pruefstelle& stelle, const Zaehlfilter& filter,
                                int folgenlaenge, const kern::Ereigniskatalog& katalog);
bool Serien_Filter_Pruefen(const Pruefstelle& stelle, const Serienfilter& filter, int folgenlaenge,
                           const kern::Ereigniskatalog& katalog);
bool Rueckstaendigkeit_Filter_Pruefen(const Pruefstelle& stelle, const Zaehlfilter& filter,
                                      int folgenlaenge, const kern::Ereigniskatalog& katalog);
bool Ereignisfolge_Historie_Pruefen(const Pruefstelle& stelle, const Instanz& instanz,
                                    const kern::Ereigniskatalog& katalog);
bool Angriff_Start_Pruefen(const Pruefstelle& stelle, const Instanz& instanz,
                           const kern::Ereigniskatalog& katalog);

// The events an individual system's rule bets on at the current coup of `stelle`, in betting
// order: the scan back coup by coup with a hit count and a last fall for every identifier of the
// chance class, then the ranking loops from the highest count (or absence) down to 1.
std::vector<int> Individuell_Satzsignale(const Pruefstelle& stelle, const System& system,
                                         int chancen, const kern::Ereigniskatalog& katalog);

// The walk, with the contract of systems::Systeme_Durchlaufen.
Durchlaufergebnis Systeme_Durchlaufen(const Durchlauf& lauf, std::vector<System>& systeme,
                                      std::vector<Wette> wetten, Tagessummen summen,
                                      const kern::Ereigniskatalog& katalog,
                                      const Nach_Coup& nachCoup = {});

}  // namespace spinalyst::systems::referenz
