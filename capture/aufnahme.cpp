#include "capture/aufnahme.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <limits>

#include "capture/auswahl.h"
#include "kern/wahl.h"
#include "store/bulk_writer.h"
#include "store/sqlite.h"
#include "store/textimport.h"
#include "systems/ergebnisse.h"

namespace spinalyst::capture {

using kern::Kontext;
using store::Date;
using store::Value;

namespace {

// Windows of the date search: 10 characters from each of the first 25 positions.
constexpr int kStartpositionen = 25;
constexpr int kFensterBreite = 10;
// A day is lost when more lines than this pass without a stored number.
constexpr int kZeilenOhneZahl = 5;

bool istLeer(unsigned char c) {
    return c <= ' ';
}
bool beginntZeichen(unsigned char c) {
    return (c & 0xC0) != 0x80;
}

// One pass of the date search. Lines are UTF-8, so positions count characters, not bytes.
// `gefunden` tells whether any window held a day of the month, also when a later one cancelled it.
std::optional<Date> Suchlauf(std::string_view zeile, int monat, int jahr, bool iso,
                             bool& gefunden) {
    // Byte offsets of the first characters, enough for every window.
    constexpr int kZeichen = kStartpositionen + kFensterBreite - 1;
    std::array<std::size_t, kZeichen + 1> anfang{};
    int zeichen = 0;
    for (std::size_t i = 0; i < zeile.size() && zeichen < kZeichen; ++i) {
        if (beginntZeichen(static_cast<unsigned char>(zeile[i]))) {
            anfang[static_cast<std::size_t>(zeichen++)] = i;
        }
    }
    // The end of the last counted character.
    std::size_t ende = zeile.size();
    if (zeichen == kZeichen) {
        ende = anfang[kZeichen - 1] + 1;
        while (ende < zeile.size() && !beginntZeichen(static_cast<unsigned char>(zeile[ende]))) {
            ++ende;
        }
    }
    anfang[static_cast<std::size_t>(zeichen)] = ende;

    std::optional<Date> tag;
    for (int p = 0; p < kStartpositionen && p < zeichen; ++p) {
        const int bis = std::min(p + kFensterBreite, zeichen);
        std::string_view fenster = zeile.substr(
            anfang[static_cast<std::size_t>(p)],
            anfang[static_cast<std::size_t>(bis)] - anfang[static_cast<std::size_t>(p)]);
        while (!fenster.empty() && istLeer(static_cast<unsigned char>(fenster.front()))) {
            fenster.remove_prefix(1);
        }
        while (!fenster.empty() && istLeer(static_cast<unsigned char>(fenster.back()))) {
            fenster.remove_suffix(1);
        }
        const auto laenge = std::count_if(fenster.begin(), fenster.end(), [](char c) {
            return beginntZeichen(static_cast<unsigned char>(c));
        });
        if (laenge != kFensterBreite) {
            continue;  // a shorter window changes nothing
        }
        // A window with a character beyond ASCII has more than 10 bytes and reads as no date.
        const auto d = iso ? Date::parseIso(fenster) : Date::parseGerman(fenster);
        if (d && d->month() == monat && d->year() == jahr) {
            tag = d;
            gefunden = true;
        } else {
            tag.reset();
        }
    }
    return tag;
}

}  // namespace

std::optional<Date> Datum_Suchen(std::string_view zeile, int monat, int jahr) {
    bool gefunden = false;
    auto tag = Suchlauf(zeile, monat, jahr, false, gefunden);
    if (gefunden) {
        return tag;
    }
    return Suchlauf(zeile, monat, jahr, true, gefunden);
}

int Zeile_Als_Zahl(std::string_view zeile) {
    if (!zeile.empty() && zeile.front() == '+') {
        zeile.remove_prefix(1);
        if (!zeile.empty() && zeile.front() == '-') {
            return -1;
        }
    }
    int wert = 0;
    const char* ende = zeile.data() + zeile.size();
    const auto [ptr, ec] = std::from_chars(zeile.data(), ende, wert);
    if (zeile.empty() || ec != std::errc() || ptr != ende) {
        return -1;
    }
    return wert;
}

// ---- file walk -------------------------------------------------------------------------------

Permanenz_Dateilauf::Permanenz_Dateilauf(int monat, int jahr,
                                         std::function<bool(Date)> tagVorhanden)
    : monat_(monat), jahr_(jahr), tagVorhanden_(std::move(tagVorhanden)) {}

std::optional<Permanenz_Dateilauf::Tag> Permanenz_Dateilauf::zeile(std::string_view text) {
    // Counted up to the limit only: a file of millions of separator lines cannot overflow it.
    l_ = std::min(l_ + 1, kZeilenOhneZahl + 1);
    if (l_ > kZeilenOhneZahl) {
        tag_.reset();  // the day is lost, with the numbers gathered for it
    }
    if (!tag_) {
        zahlen_.clear();
        tag_ = Datum_Suchen(text, monat_, jahr_);
        if (tag_) {
            tagGefunden_ = true;
            l_ = 0;
            j_ = 10;  // lines after the date line do not close the day before its first number
        }
    }
    if (tag_ && tagVorhanden_(*tag_)) {
        tag_.reset();
    }
    if (!tag_) {
        return std::nullopt;
    }
    const int g = Zeile_Als_Zahl(text);
    if (g == -1 && j_ <= 2) {
        ++j_;
    }
    if (j_ == 2) {
        Tag fertig{*tag_, std::move(zahlen_)};
        zahlen_.clear();
        tag_.reset();
        return fertig;
    }
    if (g >= 0 && g <= 36) {
        j_ = 0;
        zahlen_.push_back(g);
        l_ = 0;
    }
    return std::nullopt;
}

std::optional<Permanenz_Dateilauf::Tag> Permanenz_Dateilauf::ende() {
    std::optional<Tag> fertig;
    if (tag_ && !zahlen_.empty() && !tagVorhanden_(*tag_)) {
        fertig = Tag{*tag_, std::move(zahlen_)};
    }
    zahlen_.clear();
    tag_.reset();
    return fertig;
}

// ---- import ----------------------------------------------------------------------------------

namespace {

// The days of one month that have a day row for the selected casino and gaming table, read
// once at the start; the import adds each day it stores.
class Monatstage {
  public:
    Monatstage(Kontext& k, const Value& casino, const Value& tisch, int monat, int jahr)
        : erster_(Date::fromYmd(jahr, monat, 1)) {
        // Stored days compare as text, so the bound is the month's last day itself: the day
        // after it would be "10000-01-01" for December 9999 and sort before the month.
        const auto letzterTag = std::chrono::year_month_day_last(
            std::chrono::year(jahr),
            std::chrono::month_day_last(std::chrono::month(static_cast<unsigned>(monat))));
        const Date letzter =
            Date::fromYmd(jahr, monat, static_cast<int>(static_cast<unsigned>(letzterTag.day())));
        store::Statement q(k.dm.TdbDatabase_Roulette.connection(),
                           "SELECT Datum FROM Permanenz_Tag_Zusammenfassung WHERE ID_Casino = ? "
                           "AND Tisch = ? AND Datum >= ? AND Datum <= ?");
        q.bind(1, casino);
        q.bind(2, tisch);
        q.bind(3, Value(erster_));
        q.bind(4, Value(letzter));
        while (q.step()) {
            if (const auto tag = Date::parse(q.textView(0))) {
                eintragen(*tag);
            }
        }
    }
    bool vorhanden(Date d) const {
        const auto i = d.days() - erster_.days();
        return i >= 0 && i < 31 && tage_[static_cast<std::size_t>(i)];
    }
    void eintragen(Date d) {
        const auto i = d.days() - erster_.days();
        if (i >= 0 && i < 31) {
            tage_[static_cast<std::size_t>(i)] = true;
        }
    }

  private:
    Date erster_;
    std::array<bool, 31> tage_{};
};

}  // namespace

// Writes one day: its coups and its day row in one transaction (nested in the month's), so that
// a failing day is rolled back as a whole. The cursors learn of the rows when the bulk write ends.
void Tag_Schreiben(Kontext& k, const Value& casino, const Value& tisch, Date datum,
                   const std::vector<int>& zahlen) {
    store::BulkWriter schreiber(k.dm.TdbDatabase_Roulette);
    const Value tag(datum);
    auto& coup = schreiber.insert("Permanenz", {"ID_Casino", "Tisch", "Datum", "Zahl"});
    for (int zahl : zahlen) {
        coup.write({casino, tisch, tag, Value(zahl)});
    }
    schreiber
        .insert("Permanenz_Tag_Zusammenfassung", {"ID_Casino", "Tisch", "Datum", "Coups_Anzahl"})
        .write({casino, tisch, tag, Value(static_cast<int>(zahlen.size()))});
    schreiber.commit();
}

// Returns the order of the day-row cursor, which the bulk write changes.
std::string Massenschreiben_Vorbereiten(Kontext& k) {
    k.ansicht.permanenzGridsTrennen();
    k.dm.detachMasterLink(k.dm.TdbTable_Permanenz);
    auto& t = k.dm.TdbTable_Permanenz_Tag_Zusammenfassung;
    // In day order the cursor would read every day row of every casino again after each
    // appended one; in stored order an append only adds the row.
    std::string ordnung = t.indexName();
    t.setIndexName("sys_primary");
    k.dm.detachMasterLink(t);
    t.setFiltered(false);
    k.dm.detachMasterLink(k.dm.TdbTable_Systeme_Abarbeitung);
    k.sitzung.massenschreiben = true;
    return ordnung;
}

void Massenschreiben_Beenden(Kontext& k, const std::string& tageszeilenOrdnung) {
    auto& dm = k.dm;
    k.ansicht.permanenzGridsVerbinden();
    auto& p = dm.TdbTable_Permanenz;
    p.close();
    dm.restoreMasterLink(p);
    p.open();
    auto& t = dm.TdbTable_Permanenz_Tag_Zusammenfassung;
    t.close();
    t.setIndexName(tageszeilenOrdnung);
    dm.restoreMasterLink(t);
    t.open();
    t.setFiltered(false);
    t.setFiltered(true);
    t.refresh();
    auto& bets = dm.TdbTable_Systeme_Abarbeitung;
    bets.close();
    dm.restoreMasterLink(bets);
    k.sitzung.massenschreiben = false;
    bets.open();
}

namespace {

struct Auswahl {
    Value casino;
    Value tisch;
    Date tag;
};

// Empties the work table and lets its cursor show it empty; the cursor is open again also when
// emptying fails.
void Aufnahme_Leeren(store::TableCursor& aufnahme) {
    aufnahme.close();
    try {
        aufnahme.emptyTable();
    } catch (...) {
        aufnahme.open();
        throw;
    }
    aufnahme.open();
}

ImportBericht Zeilen_Aufnehmen(Kontext& k, const Auswahl& a, const std::filesystem::path& datei,
                               const store::FileSystem& dateien) {
    auto& aufnahme = k.dm.TdbTable_Permanenz_Aufnahme;
    k.ui.processEventsAndCheckEscape();  // the import cannot be cancelled
    k.ansicht.neuZeichnen();

    // A device or a pipe could be read without end (or block on opening): only regular files
    // are import files.
    std::error_code ec;
    const auto art = dateien.status(datei, ec).type();
    if (!ec && art != std::filesystem::file_type::regular &&
        art != std::filesystem::file_type::directory &&
        art != std::filesystem::file_type::not_found) {
        throw store::ImportFileError("Import file is not a regular file: " + datei.string());
    }
    const store::ImportedText gelesen = store::importTextFile(datei, aufnahme, dateien);

    ImportBericht bericht;
    bericht.monat = a.tag.month();
    bericht.jahr = a.tag.year();
    Monatstage vorhanden(k, a.casino, a.tisch, a.tag.month(), a.tag.year());
    Permanenz_Dateilauf lauf(a.tag.month(), a.tag.year(),
                             [&vorhanden](Date d) { return vorhanden.vorhanden(d); });
    auto speichern = [&](const Permanenz_Dateilauf::Tag& tag) {
        Tag_Schreiben(k, a.casino, a.tisch, tag.datum, tag.zahlen);
        vorhanden.eintragen(tag.datum);
        ++bericht.tage;
        bericht.coups += static_cast<int>(tag.zahlen.size());
    };
    const int feld = aufnahme.fieldIndex("Aufnahme_String_txt");
    for (aufnahme.first(); !aufnahme.eof(); aufnahme.next()) {
        const Value& v = aufnahme.value(feld);
        std::string_view text;
        if (v.isText()) {
            text = std::get<std::string>(v.storage());
        }
        if (auto tag = lauf.zeile(text)) {
            speichern(*tag);
        }
    }
    if (auto tag = lauf.ende()) {
        speichern(*tag);
    }
    if (bericht.tage == 0) {
        if (gelesen.rows == 0) {
            bericht.grund = Leergrund::LeereDatei;
        } else if (lauf.tagGefunden()) {
            bericht.grund = Leergrund::TageSchonVorhanden;
        } else {
            bericht.grund = gelesen.binary ? Leergrund::KeinText : Leergrund::KeinTagDesMonats;
        }
    }
    return bericht;
}

// The lines of the file are needed only while the import walks over them: the work table is
// emptied before and after, also after a failure, so that they do not stay in the database file.
ImportBericht Dateilauf(Kontext& k, const Auswahl& a, const std::filesystem::path& datei,
                        const store::FileSystem& dateien) {
    k.ui.setBusy(true);
    auto& aufnahme = k.dm.TdbTable_Permanenz_Aufnahme;
    Aufnahme_Leeren(aufnahme);
    ImportBericht bericht;
    try {
        bericht = Zeilen_Aufnehmen(k, a, datei, dateien);
    } catch (...) {
        try {
            Aufnahme_Leeren(aufnahme);
        } catch (const std::exception&) {
            // The import's own error counts; the next import empties the table first.
        }
        throw;
    }
    Aufnahme_Leeren(aufnahme);
    return bericht;
}

ImportBericht Erzeugung(Kontext& k, const Auswahl& a, Zufallsgenerator& zufall, int coupsProTag) {
    k.ui.setBusy(true);
    k.ui.processEventsAndCheckEscape();
    k.ansicht.neuZeichnen();

    ImportBericht bericht;
    const Monatstage vorhanden(k, a.casino, a.tisch, a.tag.month(), a.tag.year());
    std::vector<int> zahlen(static_cast<std::size_t>(std::max(coupsProTag, 0)));
    for (Date tag = Date::fromYmd(a.tag.year(), a.tag.month(), 1); tag.month() == a.tag.month();
         tag = tag.addDays(1)) {
        if (vorhanden.vorhanden(tag)) {
            continue;
        }
        for (int& z : zahlen) {
            z = zufall.naechsteZahl();
        }
        Tag_Schreiben(k, a.casino, a.tisch, tag, zahlen);
        ++bericht.tage;
        bericht.coups += static_cast<int>(zahlen.size());
    }
    return bericht;
}

// Steps after the bulk write; on the way out of a failed import each one is tried, so that as
// much as possible is restored, and the import's own error is the one passed on.
void Abschliessen(Kontext& k, const std::string& tageszeilenOrdnung, bool nachFehler) {
    const auto schritt = [nachFehler](auto&& f) {
        if (!nachFehler) {
            f();
            return;
        }
        try {
            f();
        } catch (const std::exception&) {
        }
    };
    schritt([&] { Massenschreiben_Beenden(k, tageszeilenOrdnung); });
    schritt([&] { systems::Vorherige_Ergebnisse_Zuruecksetzen(k); });
    k.ui.setBusy(false);
}

std::string zweistellig(int n) {
    char puffer[8];
    std::snprintf(puffer, sizeof puffer, "%02d", n);
    return puffer;
}

}  // namespace

Casinoangaben Casino_Der_Auswahl(Kontext& k) {
    const Value id = k.dm.TdbTable_Wahl.value("ID_Casino");
    Casinoangaben c;
    auto& casino = k.dm.TdbTable_Casino;
    if (casino.locate("ID_Casino_AutoInc", {id})) {
        c.vorhanden = true;
        c.name = casino.text("Casino_Name");
        c.zufallsgenerator = casino.text("Zufallsgenerator");
        c.zufallsgenerator_coups = casino.integer("Zufallsgenerator_Coups");
        return c;
    }
    store::Statement q(k.dm.TdbDatabase_Roulette.connection(),
                       "SELECT Casino_Name, Zufallsgenerator, Zufallsgenerator_Coups FROM Casino "
                       "WHERE ID_Casino_AutoInc = ?");
    q.bind(1, id);
    if (q.step()) {
        c.vorhanden = true;
        c.name = q.text(0);
        c.zufallsgenerator = q.text(1);
        c.zufallsgenerator_coups = static_cast<int>(q.int64(2));
    }
    return c;
}

std::filesystem::path Importdatei(const std::filesystem::path& gewaehlt) {
    std::filesystem::path datei = gewaehlt;
    if (!datei.has_extension()) {
        datei += ".txt";
    }
    return datei;
}

ImportBericht Permanenz_Aufnehmen(Kontext& k, Zufallsgenerator& zufall,
                                  const ImportAuftrag& auftrag) {
    kern::Wahl_Uebernehmen(k);
    auto& w = k.dm.TdbTable_Wahl;
    const Auswahl auswahl{w.value("ID_Casino"), w.value("Tisch"), w.date("Datum")};
    const Casinoangaben casino = Casino_Der_Auswahl(k);
    const bool ausDatei = casino.zufallsgenerator == "f";
    if (ausDatei && !auftrag.datei) {
        return {};
    }

    const std::string ordnung = Massenschreiben_Vorbereiten(k);
    ImportBericht bericht;
    try {
        // The month is written under one transaction, each day as a nested one within it, so
        // that the disk is synchronised once and not once a day. After a failing day the
        // transaction is committed all the same: the days before it stay stored.
        // The stretch of recorded days is updated within the same transaction, so that it
        // never disagrees with the days stored.
        store::Transaction monat(k.dm.TdbDatabase_Roulette.connection());
        try {
            if (ausDatei) {
                bericht = Dateilauf(k, auswahl, Importdatei(*auftrag.datei), *auftrag.dateien);
            } else if (casino.zufallsgenerator == "t") {
                bericht = Erzeugung(k, auswahl, zufall, casino.zufallsgenerator_coups);
            }
        } catch (...) {
            try {
                Tisch_Datum_Aktualisieren(k);
                monat.commit();
            } catch (const std::exception&) {
                // SQLite may have ended the transaction itself; the first error counts.
            }
            throw;
        }
        Tisch_Datum_Aktualisieren(k);
        monat.commit();
    } catch (...) {
        Abschliessen(k, ordnung, true);
        throw;
    }
    Abschliessen(k, ordnung, false);
    return bericht;
}

std::string Aufnahme_Meldung(const Kontext& k, const ImportBericht& bericht) {
    const std::string tage = std::to_string(bericht.tage);
    const std::string coups = std::to_string(bericht.coups);
    std::string meldung = k.sitzung.englisch()
                              ? "Permanence: " + tage + " Day(s), " + coups + " Coups included!"
                              : "Permanenz: " + tage + " Tag(e), " + coups + " Coups aufgenommen!";
    if (bericht.tage != 0) {
        return meldung;
    }
    // The month as the date lines of the file must carry it.
    const std::string monat = zweistellig(bericht.monat) + "." + std::to_string(bericht.jahr);
    switch (bericht.grund) {
        case Leergrund::Keiner:
            return meldung;
        case Leergrund::LeereDatei:
            meldung += k.text("\nDie Datei ist leer.", "\nThe file is empty.");
            break;
        case Leergrund::KeinText:
            meldung += k.text(
                "\nDie Datei enthält keinen lesbaren Text (keine Textdatei oder eine "
                "unbekannte Kodierung).",
                "\nThe file holds no readable text (not a text file, or an unknown encoding).");
            break;
        case Leergrund::KeinTagDesMonats:
            meldung += k.text("\nKeine Zeile der Datei enthält einen Tag des Monats ",
                              "\nNo line of the file holds a day of the month ") +
                       monat + ".";
            break;
        case Leergrund::TageSchonVorhanden:
            meldung += k.sitzung.englisch()
                           ? "\nThe file's days of the month " + monat +
                                 " are included already or hold no numbers."
                           : "\nDie Tage des Monats " + monat +
                                 " in der Datei sind schon aufgenommen oder haben keine Zahlen.";
            break;
    }
    return meldung;
}

void MenuItem_Permanenzen_AufnahmeClick(Kontext& k, Zufallsgenerator& zufall,
                                        const store::FileSystem& dateien) {
    kern::Wahl_Uebernehmen(k);
    auto& w = k.dm.TdbTable_Wahl;
    const Date tag = w.date("Datum");
    const Casinoangaben casino = Casino_Der_Auswahl(k);
    const std::string monat = zweistellig(tag.month()) + "/" + std::to_string(tag.year());
    const std::string kopf = casino.name + ", " + w.text("Tisch") + ", ";
    std::string frage = k.sitzung.englisch() ? "Include Permanences, " + kopf + "Month " + monat
                                             : "Aufnahme Permanenzen, " + kopf + "Monat " + monat;
    if (casino.zufallsgenerator == "t") {
        frage += '\n';
        frage += std::to_string(casino.zufallsgenerator_coups);
        frage += k.text(" Coups pro Tag werden durch Zufallsgenerator erzeugt!",
                        " Coups/Day with random generator!");
    }
    if (!k.ui.confirm(frage)) {
        return;
    }

    ImportAuftrag auftrag;
    auftrag.dateien = &dateien;
    if (casino.zufallsgenerator == "f") {
        const auto gewaehlt = k.ui.chooseFile("*.*");
        if (!gewaehlt || gewaehlt->size() <= 2) {
            return;
        }
        auftrag.datei = *gewaehlt;
    }
    ImportBericht bericht;
    try {
        bericht = Permanenz_Aufnehmen(k, zufall, auftrag);
    } catch (const store::ImportFileError&) {
        k.ui.inform(k.text("Datei kann nicht gelesen werden: ", "File cannot be read: ") +
                    Importdatei(*auftrag.datei).string());
        return;
    }
    k.ui.inform(Aufnahme_Meldung(k, bericht));
}

}  // namespace spinalyst::capture
