#include "capture/import_liste.h"

#include <algorithm>
#include <map>
#include <set>

#include "capture/aufnahme.h"
#include "capture/auswahl.h"
#include "kern/wahl.h"
#include "store/csv.h"
#include "store/sqlite.h"
#include "store/textimport.h"
#include "systems/ergebnisse.h"

namespace spinalyst::capture {

using kern::Kontext;
using store::Date;
using store::Value;

namespace {

// Errors shown in the report; the rest are counted.
constexpr std::size_t kGezeigteFehler = 10;
// Characters of a faulty text quoted in the report.
constexpr std::size_t kZitatLaenge = 30;

bool istLeer(char c) {
    return c == ' ' || c == '\t' || c == '\0';
}

std::string_view getrimmt(std::string_view s) {
    while (!s.empty() && istLeer(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && istLeer(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::vector<std::string_view> woerter(std::string_view s) {
    std::vector<std::string_view> w;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && istLeer(s[i])) {
            ++i;
        }
        std::size_t j = i;
        while (j < s.size() && !istLeer(s[j])) {
            ++j;
        }
        if (j > i) {
            w.push_back(s.substr(i, j - i));
        }
        i = j;
    }
    return w;
}

bool ziffer(char c) {
    return c >= '0' && c <= '9';
}

// The shape of a day: dd.mm.yyyy or yyyy-mm-dd, digits in every place but the separators.
bool siehtAusWieDatum(std::string_view s) {
    if (s.size() != 10) {
        return false;
    }
    const bool deutsch = s[2] == '.' && s[5] == '.';
    const bool iso = s[4] == '-' && s[7] == '-';
    if (!deutsch && !iso) {
        return false;
    }
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool trenner = deutsch ? (i == 2 || i == 5) : (i == 4 || i == 7);
        if (!trenner && !ziffer(s[i])) {
            return false;
        }
    }
    return true;
}

std::optional<Date> datum(std::string_view s) {
    return s[2] == '.' ? Date::parseGerman(s) : Date::parseIso(s);
}

// A whole number: an optional minus and digits. Values beyond 9 digits read as 1000000000.
std::optional<long long> ganzzahl(std::string_view s) {
    const bool minus = s.starts_with('-');
    if (minus) {
        s.remove_prefix(1);
    }
    if (s.empty() || !std::all_of(s.begin(), s.end(), ziffer)) {
        return std::nullopt;
    }
    long long wert = 0;
    for (char c : s) {
        wert = std::min(wert * 10 + (c - '0'), 1000000000LL);
    }
    return minus ? -wert : wert;
}

bool istTrennzeile(const std::vector<std::string_view>& w) {
    return w.size() == 1 && std::all_of(w[0].begin(), w[0].end(), [](char c) { return c == '-'; });
}

std::string zitat(std::string_view s) {
    if (s.size() <= kZitatLaenge) {
        return std::string(s);
    }
    std::size_t n = kZitatLaenge;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) {
        --n;  // not within a UTF-8 character
    }
    return std::string(s.substr(0, n)) + "…";
}

std::string kleinbuchstaben(std::string_view s) {
    std::string k(s);
    std::transform(k.begin(), k.end(), k.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    return k;
}

// One record of the list as read: its day (if it has one) and its numbers, or why it does not
// read.
struct Zeile {
    int nummer = 0;
    bool trennzeile = false;
    std::optional<Date> tag;
    std::vector<int> zahlen;
    std::optional<Listenfehler> fehler;
};

// Reads the words of a record: an optional day first, then numbers.
void Woerter_Lesen(Zeile& z, const std::vector<std::string_view>& w, bool tagErlaubt) {
    for (std::size_t i = 0; i < w.size(); ++i) {
        if (i == 0 && tagErlaubt && siehtAusWieDatum(w[i])) {
            z.tag = datum(w[i]);
            if (!z.tag) {
                z.fehler = Listenfehler{z.nummer, Listenfehlerart::DatumUngueltig, zitat(w[i]), 0};
                return;
            }
            continue;
        }
        const auto g = ganzzahl(w[i]);
        if (!g) {
            z.fehler = Listenfehler{z.nummer, Listenfehlerart::Unlesbar, zitat(w[i]), 0};
            return;
        }
        if (*g < 0 || *g > 36) {
            z.fehler = Listenfehler{z.nummer, Listenfehlerart::ZahlAusserhalb, zitat(w[i]), 0};
            return;
        }
        z.zahlen.push_back(static_cast<int>(*g));
    }
}

// The separator of the file: ',' or ';' as it holds one outside quotes, else none (blanks).
// Sets the error when it holds both.
char Trennzeichen_Finden(std::string_view text, std::optional<Listenfehler>& fehler) {
    int zeile = 1;
    int kommaZeile = 0;
    int semikolonZeile = 0;
    bool inAnfuehrung = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            inAnfuehrung = !inAnfuehrung;
        } else if (c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
            ++zeile;
        } else if (!inAnfuehrung && c == ',' && kommaZeile == 0) {
            kommaZeile = zeile;
        } else if (!inAnfuehrung && c == ';' && semikolonZeile == 0) {
            semikolonZeile = zeile;
        }
    }
    if (kommaZeile != 0 && semikolonZeile != 0) {
        const bool kommaZuerst = kommaZeile <= semikolonZeile;
        fehler =
            Listenfehler{kommaZuerst ? semikolonZeile : kommaZeile, Listenfehlerart::Trennzeichen,
                         kommaZuerst ? ";" : ",", kommaZuerst ? kommaZeile : semikolonZeile};
        return 0;
    }
    return kommaZeile != 0 ? ',' : semikolonZeile != 0 ? ';' : 0;
}

}  // namespace

Liste Liste_Lesen(std::string_view text, const Listenvorgabe& vorgabe) {
    Liste liste;
    std::optional<Listenfehler> trennfehler;
    const char trenner = Trennzeichen_Finden(text, trennfehler);
    if (trennfehler) {
        liste.fehler.push_back(*trennfehler);
        return liste;
    }
    std::vector<store::CsvRecord> saetze;
    try {
        // Without a separator each line is one field, split at blanks below.
        saetze = store::readCsv(text, trenner != 0 ? trenner : ',');
    } catch (const store::CsvError& e) {
        liste.fehler.push_back({e.line(), Listenfehlerart::Anfuehrung, "\"", 0});
        return liste;
    }

    // Columns named by a header: only they are read.
    std::optional<std::size_t> datumSpalte;
    std::optional<std::size_t> zahlSpalte;
    bool ersteZeile = true;
    std::vector<Zeile> zeilen;
    for (const store::CsvRecord& satz : saetze) {
        std::vector<std::string_view> w;
        for (const std::string& feld : satz.fields) {
            for (std::string_view wort : woerter(feld)) {
                w.push_back(wort);
            }
        }
        if (w.empty()) {
            continue;
        }
        Zeile z;
        z.nummer = satz.line;
        if (istTrennzeile(w)) {
            z.trennzeile = true;
            zeilen.push_back(std::move(z));
            continue;
        }
        if (ersteZeile) {
            ersteZeile = false;
            // A header holds words only: nothing that begins as a number, a sign or a day does.
            const bool kopf = std::none_of(w.begin(), w.end(), [](std::string_view s) {
                return ziffer(s.front()) || s.front() == '-' || s.front() == '+';
            });
            if (kopf) {
                for (std::size_t i = 0; i < satz.fields.size(); ++i) {
                    const std::string name = kleinbuchstaben(getrimmt(satz.fields[i]));
                    if (name == "datum" || name == "date") {
                        datumSpalte = i;
                    } else if (name == "zahl" || name == "number") {
                        zahlSpalte = i;
                    }
                }
                continue;
            }
        }
        if (zahlSpalte) {
            // Only the named columns; the others (a coup count) are left aside.
            std::vector<std::string_view> spalten;
            const auto feld = [&satz](std::size_t i) {
                return i < satz.fields.size() ? getrimmt(satz.fields[i]) : std::string_view{};
            };
            if (datumSpalte && !feld(*datumSpalte).empty()) {
                spalten.push_back(feld(*datumSpalte));
            }
            if (feld(*zahlSpalte).empty()) {
                z.fehler = Listenfehler{
                    z.nummer, Listenfehlerart::Unlesbar,
                    zitat(getrimmt(std::string_view(satz.fields.empty() ? "" : satz.fields[0]))),
                    0};
            } else {
                spalten.push_back(feld(*zahlSpalte));
                Woerter_Lesen(z, spalten, datumSpalte.has_value());
            }
        } else {
            Woerter_Lesen(z, w, true);
        }
        zeilen.push_back(std::move(z));
    }

    for (const Zeile& z : zeilen) {
        if (z.fehler) {
            liste.fehler.push_back(*z.fehler);
        }
        liste.mitDatum = liste.mitDatum || z.tag.has_value();
        liste.zahlen += static_cast<int>(z.zahlen.size());
    }

    if (liste.mitDatum) {
        std::map<Date, std::vector<int>> tage;
        std::optional<Date> tag;
        for (const Zeile& z : zeilen) {
            if (z.tag) {
                tag = z.tag;
            }
            if (z.zahlen.empty()) {
                continue;
            }
            if (!tag) {
                liste.fehler.push_back({z.nummer, Listenfehlerart::OhneTag, "", 0});
                continue;
            }
            auto& zahlen = tage[*tag];
            zahlen.insert(zahlen.end(), z.zahlen.begin(), z.zahlen.end());
        }
        for (auto& [d, zahlen] : tage) {
            liste.tage.push_back({d, std::move(zahlen)});
        }
    } else if (liste.zahlen > 0 && !vorgabe.ersterTag) {
        liste.ohneErstenTag = true;
    } else if (liste.zahlen > 0) {
        Date tag = *vorgabe.ersterTag;
        std::vector<int> zahlen;
        const auto schliessen = [&] {
            if (!zahlen.empty()) {
                liste.tage.push_back({tag, std::move(zahlen)});
                zahlen.clear();
                tag = tag.addDays(1);
            }
        };
        for (const Zeile& z : zeilen) {
            if (z.trennzeile) {
                schliessen();
            }
            for (int zahl : z.zahlen) {
                if (vorgabe.coupsProTag > 0 &&
                    static_cast<int>(zahlen.size()) == vorgabe.coupsProTag) {
                    schliessen();
                }
                zahlen.push_back(zahl);
            }
        }
        schliessen();
    }
    std::stable_sort(
        liste.fehler.begin(), liste.fehler.end(),
        [](const Listenfehler& a, const Listenfehler& b) { return a.zeile < b.zeile; });
    return liste;
}

namespace {

std::set<Date> Gespeicherte_Tage(Kontext& k, const Value& casino, const Value& tisch) {
    std::set<Date> tage;
    store::Statement q(k.dm.TdbDatabase_Roulette.connection(),
                       "SELECT Datum FROM Permanenz_Tag_Zusammenfassung WHERE ID_Casino = ? AND "
                       "Tisch = ?");
    q.bind(1, casino);
    q.bind(2, tisch);
    while (q.step()) {
        if (const auto d = Date::parse(q.textView(0))) {
            tage.insert(*d);
        }
    }
    return tage;
}

// Stores the days not stored yet, all in one transaction: a failing day rolls back the list.
void Tage_Speichern(Kontext& k, const Value& casino, const Value& tisch,
                    const std::vector<const Listentag*>& tage) {
    const std::string ordnung = Massenschreiben_Vorbereiten(k);
    const auto beenden = [&k, &ordnung](bool nachFehler) {
        const auto schritt = [nachFehler](auto&& f) {
            if (!nachFehler) {
                f();
                return;
            }
            try {
                f();
            } catch (const std::exception&) {
                // The import's own error counts.
            }
        };
        schritt([&] { Massenschreiben_Beenden(k, ordnung); });
        schritt([&] { systems::Vorherige_Ergebnisse_Zuruecksetzen(k); });
    };
    try {
        store::Transaction liste(k.dm.TdbDatabase_Roulette.connection());
        for (const Listentag* tag : tage) {
            Tag_Schreiben(k, casino, tisch, tag->datum, tag->zahlen);
        }
        Tisch_Datum_Aktualisieren(k);
        liste.commit();
    } catch (...) {
        beenden(true);
        throw;
    }
    beenden(false);
}

std::string Fehler_Text(const Kontext& k, const Listenfehler& f) {
    const bool en = k.sitzung.englisch();
    std::string t = (en ? "Line " : "Zeile ") + std::to_string(f.zeile) + ": ";
    switch (f.art) {
        case Listenfehlerart::Unlesbar:
            return t + (en ? "not a number: " : "keine Zahl: ") + f.text;
        case Listenfehlerart::ZahlAusserhalb:
            return t + (en ? "the number " + f.text + " is not between 0 and 36"
                           : "die Zahl " + f.text + " liegt nicht zwischen 0 und 36");
        case Listenfehlerart::DatumUngueltig:
            return t + (en ? "not a valid date: " : "kein gültiges Datum: ") + f.text;
        case Listenfehlerart::OhneTag:
            return t + (en ? "numbers before the first date" : "Zahlen vor dem ersten Datum");
        case Listenfehlerart::Trennzeichen:
            return t +
                   (en ? "a separator '" + f.text + "' in a list whose line " +
                             std::to_string(f.andereZeile) + " has '" +
                             (f.text == ";" ? "," : ";") + "' (commas and semicolons do not mix)"
                       : "ein Trennzeichen '" + f.text + "' in einer Liste, deren Zeile " +
                             std::to_string(f.andereZeile) + " '" + (f.text == ";" ? "," : ";") +
                             "' hat (Kommas und Semikolons mischen sich nicht)");
        case Listenfehlerart::Anfuehrung:
            return t + (en ? "a quotation mark is not closed"
                           : "ein Anführungszeichen wird nicht geschlossen");
    }
    return t;
}

}  // namespace

Listenbericht Liste_Importieren(Kontext& k, const std::filesystem::path& datei,
                                const Listenvorgabe& vorgabe, const store::FileSystem& dateien) {
    kern::Wahl_Uebernehmen(k);
    auto& w = k.dm.TdbTable_Wahl;
    const Value casino = w.value("ID_Casino");
    const Value tisch = w.value("Tisch");

    Listenbericht bericht;
    if (!Casino_Der_Auswahl(k).vorhanden) {
        bericht.grund = Listengrund::KeinCasino;
        return bericht;
    }
    k.ui.setBusy(true);
    struct Sanduhr {
        kern::UserInterface& ui;
        ~Sanduhr() { ui.setBusy(false); }
    } sanduhr{k.ui};
    k.ui.processEventsAndCheckEscape();  // the import cannot be cancelled

    const store::TextFile datei_text = store::readTextFile(datei, dateien);
    if (datei_text.binary) {
        bericht.grund = Listengrund::KeinText;
        return bericht;
    }
    const Liste liste = Liste_Lesen(datei_text.text, vorgabe);
    if (!liste.fehler.empty()) {
        bericht.grund = Listengrund::Fehler;
        bericht.fehler = liste.fehler;
        return bericht;
    }
    if (liste.zahlen == 0) {
        bericht.grund = Listengrund::KeineZahlen;
        return bericht;
    }
    if (liste.ohneErstenTag) {
        bericht.grund = Listengrund::KeinErsterTag;
        return bericht;
    }
    const std::set<Date> vorhanden = Gespeicherte_Tage(k, casino, tisch);
    std::vector<const Listentag*> neu;
    for (const Listentag& tag : liste.tage) {
        if (vorhanden.contains(tag.datum)) {
            ++bericht.tageVorhanden;
        } else {
            neu.push_back(&tag);
        }
    }
    if (neu.empty()) {
        bericht.grund = Listengrund::TageSchonVorhanden;
        return bericht;
    }
    Tage_Speichern(k, casino, tisch, neu);
    for (const Listentag* tag : neu) {
        ++bericht.tage;
        bericht.coups += static_cast<int>(tag->zahlen.size());
    }
    return bericht;
}

std::string Liste_Meldung(const Kontext& k, const Listenbericht& bericht) {
    const bool en = k.sitzung.englisch();
    if (bericht.grund == Listengrund::Keiner) {
        std::string m = en ? "Number list: " + std::to_string(bericht.tage) + " Day(s), " +
                                 std::to_string(bericht.coups) + " Coups included!"
                           : "Zahlenliste: " + std::to_string(bericht.tage) + " Tag(e), " +
                                 std::to_string(bericht.coups) + " Coups aufgenommen!";
        if (bericht.tageVorhanden > 0) {
            m += en ? "\n" + std::to_string(bericht.tageVorhanden) +
                          " Day(s) of the list included already, skipped."
                    : "\n" + std::to_string(bericht.tageVorhanden) +
                          " Tag(e) der Liste schon aufgenommen, übersprungen.";
        }
        return m;
    }
    std::string m = en ? "Number list: nothing included. " : "Zahlenliste: nichts aufgenommen. ";
    switch (bericht.grund) {
        case Listengrund::Keiner:
            break;
        case Listengrund::KeinCasino:
            m += k.text("Kein Casino gewählt.", "No casino selected.");
            break;
        case Listengrund::KeinText:
            m += k.text("Die Datei ist keine Textdatei.", "The file is not a text file.");
            break;
        case Listengrund::KeineZahlen:
            m += k.text("Die Datei enthält keine Zahlen.", "The file holds no numbers.");
            break;
        case Listengrund::KeinErsterTag:
            m += k.text("Die Liste hat kein Datum: bitte den ersten Tag angeben.",
                        "The list has no dates: give the first day.");
            break;
        case Listengrund::TageSchonVorhanden:
            m += en ? "All " + std::to_string(bericht.tageVorhanden) +
                          " day(s) of the list are included already."
                    : "Alle " + std::to_string(bericht.tageVorhanden) +
                          " Tag(e) der Liste sind schon aufgenommen.";
            break;
        case Listengrund::Fehler: {
            const std::size_t n = bericht.fehler.size();
            m += en ? std::to_string(n) + " line(s) of the file cannot be read:"
                    : std::to_string(n) + " Zeile(n) der Datei nicht lesbar:";
            for (std::size_t i = 0; i < n && i < kGezeigteFehler; ++i) {
                m += "\n" + Fehler_Text(k, bericht.fehler[i]);
            }
            if (n > kGezeigteFehler) {
                m += en ? "\n… and " + std::to_string(n - kGezeigteFehler) + " more"
                        : "\n… und " + std::to_string(n - kGezeigteFehler) + " weitere";
            }
            break;
        }
    }
    return m;
}

void MenuItem_Liste_ImportierenClick(Kontext& k, const Listenvorgabe& vorgabe,
                                     const store::FileSystem& dateien) {
    const auto gewaehlt = k.ui.chooseFile("*.*");
    if (!gewaehlt || gewaehlt->empty()) {
        return;
    }
    Listenbericht bericht;
    try {
        bericht = Liste_Importieren(k, *gewaehlt, vorgabe, dateien);
    } catch (const store::ImportFileError&) {
        k.ui.inform(k.text("Datei kann nicht gelesen werden: ", "File cannot be read: ") +
                    *gewaehlt);
        return;
    }
    k.ui.inform(Liste_Meldung(k, bericht));
}

}  // namespace spinalyst::capture
