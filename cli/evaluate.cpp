#include "cli/evaluate.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <optional>

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

constexpr const char* kUsage =
    "usage: spinalyst-cli evaluate DIR CASINO_ID TABLE YYYY-MM-DD [--mode H|S|R|A] [--days N]\n"
    "                              [--coups N] [--from-coup ID_ZAHL] [--across]\n"
    "  TABLE as \"T 05\"; mode default H; --days 0 counts coups back from --from-coup (default\n"
    "  the newest coup of the day), at most --coups (default 100, 0 = all)\n";

struct Argumentfehler {
    std::string meldung;
};

struct Auftrag {
    fs::path dir;
    int casino = 0;
    std::string tisch;
    store::Date tag;
    char modus = 'H';
    int tage = 1;
    int coups = 100;
    std::optional<std::int64_t> abCoup;
    bool uebergreifend = false;
};

template <class T>
std::optional<T> ganzeZahl(std::string_view text) {
    T v = 0;
    const char* ende = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), ende, v);
    if (text.empty() || ec != std::errc() || ptr != ende) {
        return std::nullopt;
    }
    return v;
}

Auftrag lesen(const std::vector<std::string>& args) {
    if (args.size() < 5) {
        throw Argumentfehler{"wrong number of arguments"};
    }
    Auftrag a;
    std::error_code ec;
    if (!fs::is_directory(args[1], ec)) {
        throw Argumentfehler{args[1] + " is not a directory"};
    }
    a.dir = args[1];
    const auto casino = ganzeZahl<int>(args[2]);
    if (!casino || *casino < 1) {
        throw Argumentfehler{"CASINO_ID must be a casino key, not '" + args[2] + "'"};
    }
    a.casino = *casino;
    a.tisch = args[3];
    const bool tischForm = a.tisch.size() == 4 && a.tisch.compare(0, 2, "T ") == 0;
    const auto nummer =
        tischForm ? ganzeZahl<int>(std::string_view(a.tisch).substr(2)) : std::nullopt;
    if (!nummer || *nummer < 1 || *nummer > capture::kTischAnzahl) {
        throw Argumentfehler{"TABLE must be \"T 01\" to \"T 25\", not '" + a.tisch + "'"};
    }
    const auto tag = store::Date::parseIso(args[4]);
    if (args[4].size() != 10 || !tag) {
        throw Argumentfehler{"the day must be given as YYYY-MM-DD, not '" + args[4] + "'"};
    }
    a.tag = *tag;

    for (std::size_t i = 5; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--across") {
            a.uebergreifend = true;
            continue;
        }
        if (option != "--mode" && option != "--days" && option != "--coups" &&
            option != "--from-coup") {
            throw Argumentfehler{"unknown option '" + option + "'"};
        }
        if (i + 1 >= args.size()) {
            throw Argumentfehler{option + " needs a value"};
        }
        const std::string& wert = args[++i];
        if (option == "--mode") {
            if (wert.size() != 1 ||
                std::string_view("HSRA").find(wert[0]) == std::string_view::npos) {
                throw Argumentfehler{"--mode must be H, S, R or A, not '" + wert + "'"};
            }
            a.modus = wert[0];
        } else if (option == "--from-coup") {
            const auto id = ganzeZahl<std::int64_t>(wert);
            if (!id || *id < 1) {
                throw Argumentfehler{"--from-coup must be a coup's ID_Zahl, not '" + wert + "'"};
            }
            a.abCoup = *id;
        } else {
            const auto n = ganzeZahl<int>(wert);
            if (!n || *n < 0) {
                throw Argumentfehler{option + " must be a whole number of 0 or more, not '" + wert +
                                     "'"};
            }
            (option == "--days" ? a.tage : a.coups) = *n;
        }
    }
    return a;
}

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

Json ergebnis(store::DataModule_Roulette& dm, const kern::Ereigniskatalog& katalog, int coups) {
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

    Json ereignisse = Json::array();
    for (const Zeile& z : zeilen) {
        Json e = Json::object();
        e["id"] = z.id;
        e["hits"] = z.anzahl.isNull() ? Json() : Json(z.anzahl.toInt64());
        e["percent"] = z.prozent.isNull() ? Json() : Json(z.prozent.toText());
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
    return dokument;
}

int auswerten(const Auftrag& a, std::ostream& out, std::ostream& err) {
    kern::Sitzung sitzung;
    sitzung.sprache = store::Sprache::Englisch;
    sitzung.programmverzeichnis = a.dir.string();
    kern::UnattendedUserInterface ui(&err);
    kern::Ansicht ansicht;
    store::DataModule_Roulette dm(a.dir, sitzung);
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
    out << systems::Json_Text(ergebnis(dm, katalog, lauf.coups)) << "\n";
    zuruecksetzen();
    return 0;
}

}  // namespace

int evaluate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Auftrag auftrag;
    try {
        auftrag = lesen(args);
    } catch (const Argumentfehler& e) {
        err << "spinalyst-cli: " << e.meldung << "\n" << kUsage;
        return 2;
    }
    return auswerten(auftrag, out, err);
}

}  // namespace spinalyst::cli
