#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "kern/katalog.h"
#include "kern/strecke.h"
#include "systems/systemmodell.h"

// Whether an attack may start on a coup: the trigger sequence of an instance and its four
// filters (frequency, series, absence, sequence history). Every check reads a stretch of coups in
// memory and the instance's settings and writes nothing, so the engine and data mining call the
// same functions.
//
// Coup index: the coups before the current coup are numbered backwards, 1 being the previous
// coup. With a filter's "before the sequence" setting the numbering starts lower, so that index 1
// falls on the coup just before the trigger sequence: the previous coup then has index 2 - n,
// n being the number of rows of the instance's sequence (at least 1).
//
// Same-day rule: without days overlapping every coup a check walks over must lie on the current
// coup's day, or the check fails.
namespace spinalyst::systems {

// Where a check looks: the loaded stretch (coup order), the current coup (the one the attack
// would place its first bet on) and whether days overlap.
struct Pruefstelle {
    std::span<const kern::Coup> strecke;
    std::size_t aktuell = 0;
    bool uebergreifend = false;
};

// The trigger sequence: the rows before the attack event, compared backwards from the previous
// coup ("<>" rows must not hit). Fails without a previous coup and, without days overlapping,
// when the previous coup or a compared coup lies on another day.
bool Ereignisfolge_Pruefen(const Pruefstelle& stelle, const Instanz& instanz,
                           const kern::Ereigniskatalog& katalog);

// The three count filters. `folgenlaenge` is the number of rows of the instance's sequence (the
// shift of "before the sequence"). Each fails when a field it needs is null or when its window
// is not complete; otherwise it passes when the condition holds ("f" in `_ungleich`) or when it
// does not hold (any other value). A series longer than 25 coups is not counted.
bool Haeufigkeit_Filter_Pruefen(const Pruefstelle& stelle, const Zaehlfilter& filter,
                                int folgenlaenge, const kern::Ereigniskatalog& katalog);
bool Serien_Filter_Pruefen(const Pruefstelle& stelle, const Serienfilter& filter, int folgenlaenge,
                           const kern::Ereigniskatalog& katalog);
bool Rueckstaendigkeit_Filter_Pruefen(const Pruefstelle& stelle, const Zaehlfilter& filter,
                                      int folgenlaenge, const kern::Ereigniskatalog& katalog);

// Which coups of a stretch belong to an event, and how many up to each coup, computed once per
// stretch.
class Trefferliste {
  public:
    Trefferliste(std::span<const kern::Coup> strecke, std::uint64_t zahlen);
    bool trifft(std::size_t p) const { return treffer_[p] != 0; }
    // Hits at positions von..bis (inclusive, von <= bis + 1).
    int anzahl(std::ptrdiff_t von, std::ptrdiff_t bis) const {
        return summe_[static_cast<std::size_t>(bis + 1)] - summe_[static_cast<std::size_t>(von)];
    }

  private:
    std::vector<std::uint8_t> treffer_;
    std::vector<std::int32_t> summe_;
};

// The occurrences of an instance's trigger sequence in a stretch, and where its attack event
// hits, computed once per stretch so that the sequence history costs a few steps per coup
// instead of a sequence check at every earlier coup.
class Folgenhistorie {
  public:
    Folgenhistorie(std::span<const kern::Coup> strecke, const Instanz& instanz, bool uebergreifend,
                   const kern::Ereigniskatalog& katalog);

    // The latest position p <= q at which the trigger sequence is met (as if p were the current
    // coup), or -1.
    std::int32_t letzteFolgeBis(std::size_t q) const;
    // The first position >= q whose number belongs to the attack event, or the stretch's length.
    std::int32_t naechsterTrefferAb(std::size_t q) const;

  private:
    std::vector<std::int32_t> folge_;
    std::vector<std::int32_t> treffer_;
};

// The sequence history: the earlier occurrences of the trigger sequence (walking back from the
// coup n before the current one) numbered 1, 2, ...; occurrence numbers from
// `Ereignisfolgen_zurueck_von` to `_bis` fail when the attack event came outside the OK window
// (`Ereignisfolge_Angriff_OK_von` .. `_bis`, the occurrence's own coup being 1). Only coups
// before the current coup are looked at: an occurrence whose OK window has passed without the
// attack event failed, one whose window is still open has not. The history is complete when an
// occurrence beyond `_bis` exists; without days overlapping every occurrence reached must lie on
// the current coup's day. `historie` must have been built for the same stretch, instance and
// days-overlapping setting.
bool Ereignisfolge_Historie_Pruefen(const Pruefstelle& stelle, const Instanz& instanz,
                                    const Folgenhistorie& historie);
// The same with an index built for this one check.
bool Ereignisfolge_Historie_Pruefen(const Pruefstelle& stelle, const Instanz& instanz,
                                    const kern::Ereigniskatalog& katalog);

// The start check of an instance: the trigger sequence, then the filters switched on in the
// order frequency, series, absence, sequence history; the first failure ends it. `historie` may
// be null (an index is then built when the history filter is on).
bool Angriff_Start_Pruefen(const Pruefstelle& stelle, const Instanz& instanz,
                           const kern::Ereigniskatalog& katalog,
                           const Folgenhistorie* historie = nullptr);

// The start check of one instance prepared for one stretch: the trigger sequence at every
// coup, the hits of the filters' events and the sequence history are computed once, so that a
// check at a coup costs a few look-ups (the series filter walks its window). Gives the same
// answers as Angriff_Start_Pruefen. Keeps references to the stretch and the instance.
class Startpruefung {
  public:
    Startpruefung(std::span<const kern::Coup> strecke, const Instanz& instanz, bool uebergreifend,
                  const kern::Ereigniskatalog& katalog);
    bool pruefen(std::size_t aktuell) const;

  private:
    std::span<const kern::Coup> strecke_;
    const Instanz& instanz_;
    bool uebergreifend_;
    Folgenhistorie folge_;
    std::unique_ptr<Trefferliste> haeufigkeit_;
    std::unique_ptr<Trefferliste> serien_;
    std::unique_ptr<Trefferliste> rueckstaendigkeit_;
};

}  // namespace spinalyst::systems
