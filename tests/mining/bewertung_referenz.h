#pragma once

#include <cstdint>
#include <span>

#include "kern/katalog.h"
#include "kern/strecke.h"
#include "mining/bewertung.h"

// The scoring run walked the plain way, one pattern at a time: at every coup the outcome of every
// candidate into a scratch list, then for every combination that holds and every sequence that
// precedes (with the per-coup flag of the sequence test), one look-up of the result row per
// scratch row. What the fast run is compared with. `coups`: the run stops after that many coups
// (as by a cancel between two coups).
namespace spinalyst::testing {

mining::Bewertung Referenz_Bewerten(std::span<const kern::Coup> bereich, const mining::Parameter& p,
                                    const kern::Ereigniskatalog& katalog,
                                    const mining::Auszahlungen& auszahlungen,
                                    std::span<const mining::HSR_Kombination> kombinationen,
                                    std::span<const mining::Folge> folgen,
                                    std::int64_t ersteFolgeId,
                                    std::size_t coups = static_cast<std::size_t>(-1));

}  // namespace spinalyst::testing
