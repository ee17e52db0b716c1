#include "cli/evaluate.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "capture/aufnahme.h"
#include "capture/auswahl.h"
#include "events/auswertung.h"
#include "kern/katalog.h"
#include "kern/kontext.h"
#include "store/datamodule.h"
#include "systems/austausch.h"

namespace spinalyst::cli {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

struct Auftrag {
    std::string dir;
    int casino = 0;
    std::string tisch;
    store::Date tag;
    char modus = 'H';
    int tage = 1;
    int coups = 100;
    std::optional<std::int64_t> abCoup;
    bool uebergreifend = false;
};

struct Zaehlungen {
    std::map<int, long long> serien;
    std::map<int, long long> rueckstaende;
};

// The counts of a result table by event, and of its class-total rows by chance class.
void zaehlungenLesen(store::DataModule_Roulette& dm, const char* tabelle, const char* laenge,
                     const char* anzahl, bool serien, std::map<int, Zaehlungen>& proEreignis,
                     std::map<int, Zaehlungen>& proKlasse) {
    store::TableCursor t("Kommandozeile_Ergebnis", dm.TdbDatabase_Roulette, tabelle);
    t.open();
    for (t.first(); !t.eof(); t.next()) {
        const int id = t.integer("ID_Ereignis");
        Zaehlungen& z = id == 0 ? proKlasse[t.integer("ID_Ereignis_Gruppe")] : proEreignis[id];
        (serien ? z.serien : z.rueckstaende)[t.integer(laenge)] += t.integer(anzahl);
    }
}

Json nachLaenge(const std::map<int, long long>& zaehlung) {
    Json o = Json::object();
    for (const auto& [laenge, anzahl] : zaehlung) {
        o[std::to_string(laenge)] = static_cast<std::int64_t>(anzahl);
    }
    return o;
}

// A figure of the statistics; infinity (an event that cannot vary, hit against certainty) has no
// JSON number and is written as null.
Json zahl(double wert) {
    return std::isfinite(wert) ? Json(wert) : Json();
}

Json ergebnis(store::DataModule_Roulette& dm, const kern::Ereigniskatalog& katalog,
              const events::Auswertungsgrundlage& grundlage, int coups) {
    std::map<int, Zaehlungen> proEreignis;
    std::map<int, Zaehlungen> proKlasse;
    zaehlungenLesen(dm, "Ereignisse_Serien", "Serie", "Serie_Anzahl", true, proEreignis, proKlasse);
    zaehlungenLesen(dm, "Ereignisse_Rueckstaendigkeit", "Rueckstaendigkeit",
                    "Rueckstaendigkeit_Anzahl", false, proEreignis, proKlasse);

    struct Zeile {
        int id;
        store::Value anzahl;
        store::Value prozent;
    };
    std::vector<Zeile> zeilen;
    store::TableCursor t("Kommandozeile_Ereignisse", dm.TdbDatabase_Roulette, "Ereignisse");
    t.open();
    for (t.first(); !t.eof(); t.next()) {
        zeilen.push_back(
            {t.integer("ID_Ereignis"), t.value("Zahlen_Anzahl"), t.value("Zahlen_Prozent")});
    }
    std::stable_sort(zeilen.begin(), zeilen.end(),
                     [](const Zeile& a, const Zeile& b) { return a.id < b.id; });
    // The adjusted values are taken over every event listed.
    std::vector<int> ids;
    for (const Zeile& z : zeilen) {
        if (ids.empty() || ids.back() != z.id) {
            ids.push_back(z.id);
        }
    }
    const std::map<int, events::Ereigniswerte> werte =
        events::Ereigniswerte_Berechnen(grundlage, ids);

    Json ereignisse = Json::array();
    for (const Zeile& z : zeilen) {
        Json e = Json::object();
        e["id"] = z.id;
        e["hits"] = z.anzahl.isNull() ? Json() : Json(z.anzahl.toInt64());
        e["percent"] = z.prozent.isNull() ? Json() : Json(z.prozent.toText());
        if (const auto w = werte.find(z.id); w != werte.end()) {
            e["expected"] = zahl(w->second.statistik.erwartet);
            e["z"] = zahl(w->second.statistik.z);
            e["p"] = zahl(w->second.statistik.p);
            e["q"] = zahl(w->second.q);
        } else {
            e["expected"] = e["z"] = e["p"] = e["q"] = Json();
        }
        const Zaehlungen& zaehlung = proEreignis[z.id];
        e["series"] = nachLaenge(zaehlung.serien);
        e["absences"] = nachLaenge(zaehlung.rueckstaende);
        ereignisse.push_back(std::move(e));
    }
    Json klassen = Json::array();
    for (int klasse : katalog.klassen()) {
        Json c = Json::object();
        c["class"] = klasse;
        const Zaehlungen& zaehlung = proKlasse[klasse];
        c["series"] = nachLaenge(zaehlung.serien);
        c["absences"] = nachLaenge(zaehlung.rueckstaende);
        klassen.push_back(std::move(c));
    }
    Json dokument = Json::object();
    dokument["coups"] = coups;
    dokument["events"] = std::move(ereignisse);
    dokument["classes"] = std::move(klassen);
    const std::optional<events::ChiQuadrat> test = events::Chi_Quadrat(grundlage);
    if (test) {
        Json chi = Json::object();
        chi["statistic"] = test->statistik;
        chi["df"] = test->freiheitsgrade;
        chi["p"] = test->p;
        dokument["chi2"] = std::move(chi);
    } else {
        dokument["chi2"] = Json();
    }
    return dokument;
}

int auswerten(const Auftrag& a, std::ostream& out, std::ostream& err) {
    const fs::path dir = verzeichnis(a.dir);
    kern::Sitzung sitzung;
    sitzung.sprache = store::Sprache::Englisch;
    sitzung.programmverzeichnis = dir.string();
    kern::UnattendedUserInterface ui(&err);
    kern::Ansicht ansicht;
    store::DataModule_Roulette dm(dir, sitzung);
    kern::Kontext k{dm, sitzung, ui, ansicht};
    dm.open();

    auto& w = dm.TdbTable_Wahl;
    // The stored selection is put back afterwards, so that the program opens where its user
    // left it.
    const std::vector<store::Value> vorher = {w.value("ID_Casino"), w.value("Tisch"),
                                              w.value("Datum")};
    auto zuruecksetzen = [&] {
        w.edit();
        w.setValue("ID_Casino", vorher[0]);
        w.setValue("Tisch", vorher[1]);
        w.setValue("Datum", vorher[2]);
        w.post();
    };
    w.edit();
    w.setInteger("ID_Casino", a.casino);
    w.setText("Tisch", a.tisch);
    w.post();
    if (!capture::Casino_Der_Auswahl(k).vorhanden) {
        zuruecksetzen();
        err << "spinalyst-cli: unknown casino " << a.casino << "\n";
        return 1;
    }
    sitzung.gewaehlter_tag = a.tag;
    capture::Casino_Tisch_DatumChange(k, capture::Ausloeser::Hauptfenster);
    w.setInteger("Auswertung_Tage_Anzahl", a.tage);
    w.setInteger("Auswertung_Coups_Anzahl", a.coups);
    w.setText("Auswertung_Tage_uebergreifend", a.uebergreifend ? "t" : "f");
    w.post();
    w.edit();

    // The coup selected in the permanence grid; the newest when none is given or found.
    auto& permanenz = dm.TdbTable_Permanenz;
    if (!a.abCoup || !permanenz.locate("ID_Zahl", {store::Value(*a.abCoup)})) {
        if (a.abCoup && a.tage == 0) {
            err << "spinalyst-cli: coup " << *a.abCoup
                << " is not a coup of that day; counting from the newest coup\n";
        }
        permanenz.last();
    }

    const kern::Ereigniskatalog katalog = kern::Ereigniskatalog::laden(dm);
    events::Permanenzauswertung auswertung(dm, ".");
    const auto lauf = events::Permanenz_Auswertung_Modus(k, auswertung, katalog, a.modus);
    out << systems::Json_Text(ergebnis(dm, katalog, auswertung.grundlage(), lauf.coups)) << "\n";
    zuruecksetzen();
    return 0;
}

}  // namespace

void evaluateBefehl(CLI::App& programm, Befehle& befehle) {
    auto* befehl = programm.add_subcommand("evaluate",
                                           "frequency, series and absence of every event, as JSON");
    auto a = std::make_shared<Auftrag>();
    verzeichnisArgument(*befehl, a->dir);
    zahlArgument(*befehl, "CASINO_ID", a->casino, 1, std::numeric_limits<int>::max(),
                 "the key of the casino");
    tischArgument(*befehl, a->tisch);
    tagArgument(*befehl, a->tag, "the day evaluated, or whose coups are counted back");
    befehl
        ->add_option("--mode", a->modus,
                     "H frequency, S with series, R with absences,\nA all; default H")
        ->type_name("H|S|R|A")
        ->check(pruefung("--mode", "H, S, R or A", [](const std::string& m) {
            return m.size() == 1 && std::string_view("HSRA").find(m[0]) != std::string_view::npos;
        }));
    zahlArgument(*befehl, "--days", a->tage, 0, std::numeric_limits<int>::max(),
                 "days back from the day, default 1;\n0 counts coups back from --from-coup");
    zahlArgument(*befehl, "--coups", a->coups, 0, std::numeric_limits<int>::max(),
                 "at most N coups when counting coups,\ndefault 100, 0 = all");
    auto abCoup = std::make_shared<std::int64_t>();
    const CLI::Option* abCoupOption = zahlArgument(
        *befehl, "--from-coup", *abCoup, std::int64_t{1}, std::numeric_limits<std::int64_t>::max(),
        "the coup counted back from (its ID_Zahl),\ndefault the newest coup of the day", "ID_ZAHL");
    befehl->add_flag("--across", a->uebergreifend, "series and absences run across the days");
    befehle[befehl] = [a, abCoup, abCoupOption](std::ostream& out, std::ostream& err) {
        if (abCoupOption->count() > 0) {
            a->abCoup = *abCoup;
        }
        return auswerten(*a, out, err);
    };
}

}  // namespace spinalyst::cli
