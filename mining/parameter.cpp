#include "mining/parameter.h"

#include <string_view>

#include "systems/systemauswertung.h"

namespace spinalyst::mining {

namespace {

bool flag(const store::Statement& s, int spalte) {
    return !s.isNull(spalte) && s.textView(spalte) == "t";
}

std::optional<store::Date> datum(const store::Statement& s, int spalte) {
    if (s.isNull(spalte)) {
        return std::nullopt;
    }
    return store::Date::parse(s.textView(spalte));
}

constexpr const char* kWahlSql =
    "SELECT DM_Datum_von, DM_Datum_bis, DM_Tage_uebergreifend, DM_Chancen_1, DM_Chancen_2, "
    "DM_Chancen_5, DM_Chancen_8, DM_Chancen_11, DM_Chancen_17, DM_Chancen_35, "
    "DM_Haeufigkeit_aktiv, DM_Haeufigkeit_Ereignisse_alle, DM_Serien_aktiv, "
    "DM_Serien_Ereignisse_alle, DM_Rueckstaendigkeit_aktiv, "
    "DM_Rueckstaendigkeit_Ereignisse_alle, DM_Ereignisfolge_Anzahl, DM_Ereignisfolge_11, "
    "DM_Ereignisfolge_21, DM_Ereignisfolge_51, DM_Ereignisfolge_ungleich "
    "FROM Wahl ORDER BY rowid LIMIT 1";

}  // namespace

int Systemereignis(const Parameter& p, Filterart art) {
    switch (art) {
        case Filterart::Haeufigkeit:
            return p.instanz.haeufigkeit.ereignis.value_or(0);
        case Filterart::Serien:
            return p.instanz.serien.ereignis.value_or(0);
        case Filterart::Rueckstaendigkeit:
            return p.instanz.rueckstaendigkeit.ereignis.value_or(0);
    }
    return 0;
}

bool Optionszeile_Frei(const systems::Instanz& instanz, Filterart art) {
    const auto zaehlfilter = [](const systems::Zaehlfilter& f) {
        return f.ereignis && f.anzahlVon && f.anzahlBis && f.coupsVon && f.coupsBis;
    };
    switch (art) {
        case Filterart::Haeufigkeit:
            return zaehlfilter(instanz.haeufigkeit);
        case Filterart::Serien: {
            const systems::Serienfilter& f = instanz.serien;
            return f.ereignis && f.anzahlVon && f.anzahlBis && f.laengeVon && f.laengeBis &&
                   f.coupsVon && f.coupsBis;
        }
        case Filterart::Rueckstaendigkeit:
            return zaehlfilter(instanz.rueckstaendigkeit);
    }
    return false;
}

std::optional<Parameter> Parameter_Laden(store::Database& roulette, std::int64_t system) {
    const std::int64_t ids[] = {system};
    std::vector<systems::System> systeme = systems::Systeme_Laden(roulette, ids);
    if (systeme.empty()) {
        return std::nullopt;
    }
    Parameter p;
    p.system = system;
    p.instanz = std::move(systeme.front().instanzen[0]);

    store::Statement& s = roulette.cached(kWahlSql);
    s.reset();
    if (s.step()) {
        p.datumVon = datum(s, 0);
        p.datumBis = datum(s, 1);
        p.uebergreifend = flag(s, 2);
        for (std::size_t i = 0; i < p.chancen.size(); ++i) {
            p.chancen[i] = flag(s, 3 + static_cast<int>(i));
        }
        for (std::size_t i = 0; i < p.filter.size(); ++i) {
            p.filter[i].aktiv = flag(s, 10 + 2 * static_cast<int>(i));
            p.filter[i].alle = flag(s, 11 + 2 * static_cast<int>(i));
        }
        p.folgeAnzahl = s.isNull(16) ? 0 : static_cast<int>(s.int64(16));
        p.folge11 = flag(s, 17);
        p.folge21 = flag(s, 18);
        p.folge51 = flag(s, 19);
        p.folgeUngleich = flag(s, 20);
    }
    s.reset();
    return p;
}

}  // namespace spinalyst::mining
