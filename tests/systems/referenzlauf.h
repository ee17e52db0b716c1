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

// The walk, with the contract of systems::Systeme_Durchlaufen.
Durchlaufergebnis Systeme_Durchlaufen(const Durchlauf& lauf, std::vector<System>& systeme,
                                      std::vector<Wette> wetten, Tagessummen summen,
                                      const kern::Ereigniskatalog& katalog,
                                      const Nach_Coup& nachCoup = {});

}  // namespace spinalyst::systems::referenz
