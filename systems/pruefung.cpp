#include "systems/pruefung.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "systems/system.h"

namespace spinalyst::systems {

using kern::Kontext;
using store::TableCursor;

namespace {

// The highest event of the standard catalogue; the multiple rule concerns the events above it.
constexpr int kStandardereignisse = 153;

// The stakes of one instance's attack steps, in their order: the stakes of steps "1", "2", ...
// (rows "G" and "V" are limits, not steps). A missing stake reads 0.
std::vector<int> Stufeneinsaetze(TableCursor& angriffe) {
    std::vector<int> saetze;
    for (angriffe.first(); !angriffe.eof(); angriffe.next()) {
        const std::string id = angriffe.text("ID_Angriff");
        int stufe = 0;
        const auto [p, ec] = std::from_chars(id.data(), id.data() + id.size(), stufe);
        if (ec == std::errc() && p == id.data() + id.size() && stufe >= 1 && stufe <= kStufen) {
            saetze.push_back(angriffe.integer("Satz"));
        }
    }
    return saetze;
}

// The progression: the stakes up to the first one of 0 or less.
std::vector<int> Progression(const std::vector<int>& saetze) {
    const auto ende = std::find_if(saetze.begin(), saetze.end(), [](int s) { return s <= 0; });
    return {saetze.begin(), ende};
}

// `Ereignis_Einsatz` of a catalogue event; nullopt when the catalogue lacks it.
std::optional<int> Einsatz(Kontext& k, int idEreignis) {
    auto& katalog = k.dm.TdbQuery_Ereignisse;
    if (!katalog.isOpen()) {
        katalog.open();
    }
    if (!katalog.locate("ID_Ereignis", {store::Value(idEreignis)})) {
        return std::nullopt;
    }
    return katalog.integer("Ereignis_Einsatz");
}

void Instanz_Pruefen(Kontext& k, int art, int instanz, std::vector<Befund>& befunde) {
    auto& folge = k.dm.TdbTable_System_Ereignisse;
    auto& angriffe = k.dm.TdbTable_System_Angriffe;
    auto& daten = k.dm.TdbTable_System_Daten;
    auto melden = [&](Befund::Art a, int stufe) {
        const Befund b{instanz, a, stufe};
        if (std::find(befunde.begin(), befunde.end(), b) == befunde.end()) {
            befunde.push_back(b);
        }
    };

    int angriffsereignis = 0;
    if (!folge.isEmpty()) {
        folge.last();
        angriffsereignis = folge.integer("ID_Ereignis");
    }
    const std::vector<int> saetze = Stufeneinsaetze(angriffe);
    const std::vector<int> progression = Progression(saetze);
    const int erster = saetze.empty() ? 0 : saetze[0];
    const int zweiter = saetze.size() < 2 ? 0 : saetze[1];

    if (angriffsereignis > kStandardereignisse) {
        const auto einsatz = Einsatz(k, angriffsereignis);
        if (!einsatz) {
            melden(Befund::Art::AngriffsereignisUnbekannt, 0);
        } else if (*einsatz >= 1) {
            for (std::size_t i = 0; i < progression.size(); ++i) {
                if (progression[i] % *einsatz != 0) {
                    melden(Befund::Art::KeinVielfachesDesEinsatzes, static_cast<int>(i) + 1);
                    break;
                }
            }
        }
    }
    if (instanz == 1 && art != kArtIndividuell && angriffsereignis < 1) {
        melden(Befund::Art::KeinAngriffsereignis, 0);
    }
    if (art == kArtIndividuell && angriffsereignis >= 1) {
        melden(Befund::Art::EreignisImIndividuellenSystem, 0);
    }
    if (angriffsereignis > 0) {
        if (erster < 1) {
            melden(Befund::Art::ErsterEinsatzFehlt, 1);
        }
        if (daten.text("Setzart") != "K") {
            int vorher = 1;
            for (std::size_t i = 0; i < progression.size(); ++i) {
                if (progression[i] < vorher) {
                    melden(Befund::Art::EinsaetzeFallend, static_cast<int>(i) + 1);
                    break;
                }
                vorher = progression[i];
            }
        }
    }
    if (art == kArtIndividuell) {
        if (instanz == 1 && erster < 1) {
            melden(Befund::Art::ErsterEinsatzFehlt, 1);
        }
        if (zweiter > 0) {
            melden(Befund::Art::ZweiterEinsatzIndividuell, 2);
        }
    }
}

}  // namespace

Pruefergebnis System_Pruefen(Kontext& k) {
    Pruefergebnis ergebnis;
    auto& s = k.dm.TdbTable_Systeme;
    const bool vorhanden = s.isOpen() && (s.isEditing() || !s.isEmpty());
    const int art =
        vorhanden ? s.integer("ID_System_Art") : k.dm.TdbTable_Wahl.integer("ID_System_Art");
    auto& folge = k.dm.TdbTable_System_Ereignisse;
    auto& angriffe = k.dm.TdbTable_System_Angriffe;
    const store::ControlsSuspended folgeAngehalten(folge);
    const store::ControlsSuspended angriffeAngehalten(angriffe);
    for (int instanz = 1; instanz <= 3; ++instanz) {
        Instanz_Waehlen(k, instanz);
        Instanz_Pruefen(k, art, instanz, ergebnis.befunde);
    }
    return ergebnis;
}

std::string Befund_Text(const Kontext& k, const Befund& b) {
    const bool en = k.sitzung.englisch();
    std::string text = (en ? "Instance " : "Instanz ") + std::to_string(b.instanz) + ": ";
    const std::string stufe = std::to_string(b.stufe);
    switch (b.art) {
        case Befund::Art::KeinAngriffsereignis:
            return text + k.text("kein Angriffsereignis", "no attacked event");
        case Befund::Art::EreignisImIndividuellenSystem:
            return text + k.text("ein individuelles System hat keine Ereignisse",
                                 "an individual system has no events");
        case Befund::Art::AngriffsereignisUnbekannt:
            return text + k.text("Angriffsereignis nicht im Katalog",
                                 "attacked event not in the catalogue");
        case Befund::Art::KeinVielfachesDesEinsatzes:
            return text + (en ? "the stake of step " + stufe + " is no multiple of the pieces"
                              : "Satz der Stufe " + stufe + " ist kein Vielfaches des Einsatzes");
        case Befund::Art::ErsterEinsatzFehlt:
            return text + k.text("kein Satz in Stufe 1", "no stake in step 1");
        case Befund::Art::EinsaetzeFallend:
            return text + (en ? "the stake of step " + stufe + " is below the one before"
                              : "Satz der Stufe " + stufe + " ist kleiner als der vorige");
        case Befund::Art::ZweiterEinsatzIndividuell:
            return text + k.text("ein individuelles System setzt nur in Stufe 1",
                                 "an individual system bets in step 1 only");
    }
    return text;
}

}  // namespace spinalyst::systems
