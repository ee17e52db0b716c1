#include "events/auswertung.h"

#include <unordered_map>
#include <vector>

#include "events/zaehlung.h"
#include "kern/wahl.h"
#include "store/bulk_writer.h"
#include "systems/system.h"

namespace spinalyst::events {

namespace {

using kern::Kontext;
using store::Date;
using store::Row;
using store::StoreError;
using store::TableCursor;
using store::Transaction;
using store::Value;

// Suspends the display updates and the filter of a cursor while the results are written, and
// brings both back when done (also when an error leaves the operation).
class Ausgesetzt {
  public:
    explicit Ausgesetzt(TableCursor& c) : c_(c), angehalten_(c) { c_.setFiltered(false); }
    ~Ausgesetzt() {
        try {
            beenden(true);
        } catch (...) {
        }
    }
    Ausgesetzt(const Ausgesetzt&) = delete;
    Ausgesetzt& operator=(const Ausgesetzt&) = delete;

    // The filter on again when filterEin (which re-reads the rows), else the rows re-read
    // unfiltered; then the display updates resume (when re-reading fails, as the object ends).
    void beenden(bool filterEin) {
        if (beendet_) {
            return;
        }
        beendet_ = true;
        if (filterEin) {
            c_.setFiltered(true);
        } else {
            c_.refresh();
        }
        angehalten_.resume();
    }

  private:
    TableCursor& c_;
    store::ControlsSuspended angehalten_;
    bool beendet_ = false;
};

class Sanduhr {
  public:
    explicit Sanduhr(kern::UserInterface& ui) : ui_(ui) { ui_.setBusy(true); }
    ~Sanduhr() { ui_.setBusy(false); }
    Sanduhr(const Sanduhr&) = delete;
    Sanduhr& operator=(const Sanduhr&) = delete;

  private:
    kern::UserInterface& ui_;
};

Value kennzeichenWert(char c) {
    return c == 0 ? Value() : Value(std::string(1, c));
}

char kennzeichenAus(const Value& v) {
    const std::string s = v.toText();
    return s.empty() ? char{0} : s.front();
}

// The marks of the catalogue's events as `Ereignisse` (filter off) holds them now. The catalogue
// must describe the rows of the table.
std::vector<Kennzeichen> Kennzeichen_Lesen(TableCursor& ereignisse,
                                           const kern::Ereigniskatalog& katalog) {
    std::unordered_map<std::int64_t, std::size_t> nachZeile;
    for (std::size_t i = 0; i < katalog.size(); ++i) {
        nachZeile.emplace(katalog.ereignisse()[i].rowid, i);
    }
    const auto serien = static_cast<std::size_t>(ereignisse.fieldIndex("Serien_Kennzeichen"));
    const auto rst =
        static_cast<std::size_t>(ereignisse.fieldIndex("Rueckstaendigkeit_Kennzeichen"));
    std::vector<Kennzeichen> kennzeichen(katalog.size());
    std::size_t gefunden = 0;
    int zeilen = 0;
    for (; const Row* r = ereignisse.rowAt(zeilen); ++zeilen) {
        auto it = nachZeile.find(r->rowid);
        if (it != nachZeile.end()) {
            kennzeichen[it->second] = {kennzeichenAus(r->values[serien]),
                                       kennzeichenAus(r->values[rst])};
            ++gefunden;
        }
    }
    if (gefunden != katalog.size() || static_cast<std::size_t>(zeilen) != katalog.size()) {
        throw StoreError("The event catalogue in memory does not match the table Ereignisse");
    }
    return kennzeichen;
}

void Zeilen_Schreiben(store::Database& db, const char* tabelle, const char* laengenFeld,
                      const char* anzahlFeld, const std::vector<Zaehlzeile>& zeilen,
                      const kern::Ereigniskatalog& katalog, Kontext& k) {
    const std::string summe = k.text("Chance gesamt", "Chance all");
    store::Statement& s =
        db.cached(std::string("INSERT INTO ") + tabelle +
                  " (ID_Ereignis_Gruppe, ID_Ereignis, Ereignis, Ereignis_Info, " + laengenFeld +
                  ", " + anzahlFeld + ") VALUES (?, ?, ?, ?, ?, ?)");
    for (const Zaehlzeile& z : zeilen) {
        s.bind(1, static_cast<std::int64_t>(z.gruppe));
        if (z.ereignis < 0) {
            s.bind(2, std::int64_t{0});
            s.bind(3, std::string_view(summe));
            s.bind(4, std::string_view(summe));
        } else {
            const kern::Ereignis& e = katalog.ereignisse()[static_cast<std::size_t>(z.ereignis)];
            const std::string& name = e.nameText(k.sitzung.sprache);
            if (name.empty()) {
                throw StoreError(
                    std::string("Table ") + tabelle + ": field Ereignis must have a value",
                    SQLITE_CONSTRAINT, SQLITE_CONSTRAINT_NOTNULL);
            }
            const std::string& info = e.infoText(k.sitzung.sprache);
            s.bind(2, static_cast<std::int64_t>(e.id));
            s.bind(3, std::string_view(name));
            s.bind(4, info.empty() ? Value() : Value(info));
        }
        s.bind(5, static_cast<std::int64_t>(z.laenge));
        s.bind(6, static_cast<std::int64_t>(z.anzahl));
        s.run();
    }
}

// Working fields, percentages and both result tables in one transaction.
void Ergebnisse_Schreiben(Kontext& k, const Permanenzauswertung& a,
                          const kern::Ereigniskatalog& katalog, const Zaehlergebnis& ergebnis) {
    store::Database& db = k.dm.TdbDatabase_Roulette;
    Transaction tx(db.connection());
    store::Statement& s = db.cached(
        "UPDATE Ereignisse SET Zahlen_Anzahl = ?, Zahlen_Prozent = ?, Serien = ?, "
        "Serien_Kennzeichen = ?, Rueckstaendigkeit = ?, Rueckstaendigkeit_Kennzeichen = ?, "
        "Rueckstaendigkeit_1_Ereignis = ? WHERE rowid = ?");
    for (std::size_t i = 0; i < katalog.size(); ++i) {
        const Arbeitsfelder& f = ergebnis.felder[i];
        s.bind(1, f.zahlenAnzahl > 0 ? Value(f.zahlenAnzahl) : Value());
        s.bind(2, ergebnis.coups > 0
                      ? Value(Prozent_Text(f.zahlenAnzahl, ergebnis.coups, a.dezimaltrenner()))
                      : Value());
        s.bind(3, static_cast<std::int64_t>(f.serien));
        s.bind(4, kennzeichenWert(f.kennzeichen.serien));
        s.bind(5, static_cast<std::int64_t>(f.rueckstaendigkeit));
        s.bind(6, kennzeichenWert(f.kennzeichen.rueckstaendigkeit));
        s.bind(7, std::string_view(f.erstesEreignis ? "t" : "f"));
        s.bind(8, katalog.ereignisse()[i].rowid);
        s.run();
    }
    Zeilen_Schreiben(db, "Ereignisse_Serien", "Serie", "Serie_Anzahl", ergebnis.serien, katalog, k);
    Zeilen_Schreiben(db, "Ereignisse_Rueckstaendigkeit", "Rueckstaendigkeit",
                     "Rueckstaendigkeit_Anzahl", ergebnis.rueckstaende, katalog, k);
    tx.commit();
}

// The day list follows the evaluated day.
void Tag_Zeigen(TableCursor& tage, Date tag) {
    if (!tage.isOpen()) {
        return;
    }
    tage.locate("Datum", {Value(tag)});
    tage.refresh();
}

// Writes the share of every shown row of a result table among the shown rows, after the filter
// was applied afresh. Nothing is written when the rows count nothing.
void Prozente_Setzen(TableCursor& t, const char* anzahlFeld, const char* prozentFeld,
                     const std::string& dezimaltrenner) {
    t.setFiltered(true);
    const int anzahl = t.fieldIndex(anzahlFeld);
    long long summe = 0;
    for (int i = 0; const Row* r = t.rowAt(i); ++i) {
        summe += r->values[static_cast<std::size_t>(anzahl)].toInt64();
    }
    if (summe <= 0) {
        return;
    }
    // The shares are computed from the rows in memory and written in one go; the cursor reads
    // them back once.
    std::vector<std::pair<std::int64_t, std::string>> prozente;
    for (int i = 0; const Row* r = t.rowAt(i); ++i) {
        prozente.emplace_back(
            r->rowid, Prozent_Text(r->values[static_cast<std::size_t>(anzahl)].toInt64(), summe,
                                   dezimaltrenner));
    }
    store::BulkWriter schreiber(t.database());
    auto& zeile = schreiber.statement(std::string("UPDATE \"") + t.table().name + "\" SET \"" +
                                      prozentFeld + "\" = ? WHERE rowid = ?");
    for (const auto& [rowid, text] : prozente) {
        zeile.write({Value(text), Value(rowid)});
    }
    schreiber.refreshAfterCommit(t);
    schreiber.commit();
}

void Haeufigkeit_Oeffnen(Kontext& k) {
    auto& q = k.dm.TdbQuery_Ereignisse_Haeufigkeit;
    q.setSql("SELECT * FROM Ereignisse WHERE ID_Gruppe_Ereignis = ? ORDER BY ID_Ereignis",
             {k.dm.TdbTable_Wahl.value("ID_Chancen_Auswertung")});
    q.open();
}

// The event whose series or absences are shown: the current row of the frequency list; null
// when the list shows none.
Value Gezeigtes_Ereignis(Kontext& k) {
    auto& q = k.dm.TdbQuery_Ereignisse_Haeufigkeit;
    if (!q.isOpen() || q.isEmpty()) {
        return Value();
    }
    return q.value("ID_Ereignis");
}

}  // namespace

Permanenzauswertung::Permanenzauswertung(store::DataModule_Roulette& dm, std::string dezimaltrenner)
    : dm_(dm), dezimaltrenner_(std::move(dezimaltrenner)) {
    for (TableCursor* t :
         {&dm_.TdbTable_Ereignisse_Serien, &dm_.TdbTable_Ereignisse_Rueckstaendigkeit}) {
        t->setFilter([this](const store::RowView& zeile) { return zeigt(zeile); });
        if (t->filtered()) {
            t->setFiltered(true);
        }
    }
}

Permanenzauswertung::~Permanenzauswertung() {
    dm_.TdbTable_Ereignisse_Serien.setFilter({});
    dm_.TdbTable_Ereignisse_Rueckstaendigkeit.setFilter({});
}

bool Permanenzauswertung::zeigt(const store::RowView& zeile) const {
    if (klassensummen_) {
        return zeile.integer("ID_Ereignis") == 0 &&
               zeile.integer("ID_Ereignis_Gruppe") ==
                   dm_.TdbTable_Wahl.integer("ID_Chancen_Auswertung");
    }
    const auto& q = dm_.TdbQuery_Ereignisse_Haeufigkeit;
    if (!q.isOpen() || q.isEmpty() || q.isNull("ID_Ereignis")) {
        return false;
    }
    return !zeile.isNull("ID_Ereignis") && zeile.integer("ID_Ereignis") == q.integer("ID_Ereignis");
}

void Permanenzauswertung::Statistik_Aktualisieren(store::Cursor& ereignisse, int klasse) {
    werte_.clear();
    chiQuadrat_.reset();
    gueltig_ = false;
    if (grundlage_.coups <= 0 || !ereignisse.isOpen() || ereignisse.isEmpty()) {
        return;
    }
    const int id = ereignisse.fieldIndex("ID_Ereignis");
    const int anzahl = ereignisse.fieldIndex("Zahlen_Anzahl");
    const int prozent = ereignisse.fieldIndex("Zahlen_Prozent");
    if (id < 0 || anzahl < 0 || prozent < 0) {
        return;
    }
    // The rows hold results of the last run when they have a percentage and the hits the run
    // counted (an empty count is none); a reset empties them all at once.
    for (int i = 0; const Row* r = ereignisse.rowAt(i); ++i) {
        const auto it = grundlage_.ereignisse.find(r->values[static_cast<std::size_t>(id)].toInt());
        if (r->values[static_cast<std::size_t>(prozent)].isNull() ||
            (it != grundlage_.ereignisse.end() &&
             r->values[static_cast<std::size_t>(anzahl)].toInt64() != it->second.treffer)) {
            return;
        }
    }
    gueltig_ = true;
    std::vector<int> ids;
    for (const auto& [ereignis, daten] : grundlage_.ereignisse) {
        if (daten.gruppe == klasse) {
            ids.push_back(ereignis);
        }
    }
    werte_ = Ereigniswerte_Berechnen(grundlage_, ids);
    chiQuadrat_ = events::Chi_Quadrat(grundlage_);
}

const Ereigniswerte* Permanenzauswertung::werte(int id) const {
    const auto it = werte_.find(id);
    return it == werte_.end() ? nullptr : &it->second;
}

std::string Permanenzauswertung::Ereignis_Text(const store::RowView& zeile,
                                               Ereignisspalte spalte) const {
    const Ereigniswerte* w =
        zeile.isNull("ID_Ereignis") ? nullptr : werte(zeile.integer("ID_Ereignis"));
    if (w == nullptr) {
        return {};
    }
    switch (spalte) {
        case Ereignisspalte::Erwartet:
            return Dezimal_Text(w->statistik.erwartet, 1, dezimaltrenner_);
        case Ereignisspalte::Z:
            return Dezimal_Text(w->statistik.z, 1, dezimaltrenner_);
        case Ereignisspalte::P:
            return P_Text(w->statistik.p, dezimaltrenner_);
        case Ereignisspalte::Q:
            return P_Text(w->q, dezimaltrenner_);
    }
    return {};
}

bool Permanenzauswertung::Auffaellig(const store::RowView& zeile) const {
    const Ereigniswerte* w =
        zeile.isNull("ID_Ereignis") ? nullptr : werte(zeile.integer("ID_Ereignis"));
    return w != nullptr && w->auffaellig;
}

std::string Permanenzauswertung::Erwartet_Text(Auswertungsliste liste,
                                               const store::RowView& zeile) const {
    if (!gueltig_ || liste == Auswertungsliste::Haeufigkeit) {
        return {};
    }
    const bool serien = liste == Auswertungsliste::Serien;
    const char* laengenFeld = serien ? "Serie" : "Rueckstaendigkeit";
    if (zeile.isNull("ID_Ereignis") || zeile.isNull(laengenFeld)) {
        return {};
    }
    const int id = zeile.integer("ID_Ereignis");
    const int gruppe = zeile.integer("ID_Ereignis_Gruppe");
    const int laenge = zeile.integer(laengenFeld);
    if (id != 0 && grundlage_.ereignisse.find(id) == grundlage_.ereignisse.end()) {
        return {};
    }
    const double erwartet = serien ? Erwartete_Serien_Anzahl(grundlage_, id, gruppe, laenge)
                                   : Erwartete_Rueckstaende_Anzahl(grundlage_, id, gruppe, laenge);
    return events::Erwartet_Text(erwartet, dezimaltrenner_);
}

std::string Permanenzauswertung::Chi_Quadrat_Text(store::Sprache sprache) const {
    return Chi_Quadrat_Zeile(chiQuadrat_, sprache, dezimaltrenner_);
}

std::string Prozent_Text(long long anzahl, long long gesamt, std::string_view dezimaltrenner) {
    // Tenths of a percent, rounded half up, in integers so that no binary fraction decides.
    const long long zehntel = (anzahl * 2000 + gesamt) / (2 * gesamt);
    std::string text = std::to_string(zehntel / 10);
    text += dezimaltrenner;
    text += static_cast<char>('0' + zehntel % 10);
    text += '%';
    return text;
}

void Auswertung_Zuruecksetzen(Kontext& k, bool filterEin) {
    auto& ereignisse = k.dm.TdbTable_Ereignisse;
    if (!ereignisse.isOpen()) {
        return;
    }
    {
        Ausgesetzt aus(ereignisse);
        store::Database& db = k.dm.TdbDatabase_Roulette;
        Transaction tx(db.connection());
        db.cached(
              "UPDATE Ereignisse SET Zahlen_Anzahl = NULL, Zahlen_Prozent = NULL, Serien = 0, "
              "Rueckstaendigkeit = 0, Rueckstaendigkeit_1_Ereignis = 'f'")
            .run();
        tx.commit();
        aus.beenden(filterEin);
    }
    for (TableCursor* t :
         {&k.dm.TdbTable_Ereignisse_Serien, &k.dm.TdbTable_Ereignisse_Rueckstaendigkeit}) {
        t->close();
        t->emptyTable();
        t->open();
    }
}

Auswertungslauf BitBtn_Berechnung_Permanenz_AuswertungClick(Kontext& k, Permanenzauswertung& a,
                                                            const kern::Ereigniskatalog& katalog) {
    auto& dm = k.dm;
    Sanduhr sanduhr(k.ui);
    a.setzeGrundlage({});
    Auswertung_Zuruecksetzen(k, true);
    k.ansicht.auswertungAnzeigen();
    systems::Systemdetails_Aus(k);

    // Every event of every chance class takes part; the result tables are written whole.
    Ausgesetzt ereignisse(dm.TdbTable_Ereignisse);
    Ausgesetzt serien(dm.TdbTable_Ereignisse_Serien);
    Ausgesetzt rueckstaende(dm.TdbTable_Ereignisse_Rueckstaendigkeit);

    const auto& w = dm.TdbTable_Wahl;
    const std::string modus = w.text("Auswertung_H_S_R");
    const int tageAnzahl = w.integer("Auswertung_Tage_Anzahl");
    const bool coupModus = tageAnzahl == 0;
    Zaehlparameter parameter;
    parameter.modus = modus.empty() ? char{0} : modus.front();
    parameter.uebergreifend = w.text("Auswertung_Tage_uebergreifend") == "t";
    parameter.hoechstens = coupModus ? w.integer("Auswertung_Coups_Anzahl") : 0;
    const Date bis = k.sitzung.gewaehlter_tag;
    const Date von = bis.addDays(-(coupModus ? 1 : tageAnzahl) + 1);

    kern::Streckenauswahl auswahl;
    auswahl.casino = w.value("ID_Casino").toInt64();
    auswahl.tisch = w.text("Tisch");
    auswahl.von = von;
    auswahl.bis = bis;
    auswahl.nurMitZahl = true;
    auswahl.neuesteZuerst = true;
    const std::vector<Coup> coups = kern::Strecke_Laden(dm.TdbDatabase_Roulette, auswahl);
    std::size_t anfang = 0;
    auto& permanenz = dm.TdbTable_Permanenz;
    if (coupModus && permanenz.isOpen() && !permanenz.isEmpty() && !permanenz.isNull("ID_Zahl")) {
        const std::int64_t gewaehlt = permanenz.value("ID_Zahl").toInt64();
        for (std::size_t i = 0; i < coups.size(); ++i) {
            if (coups[i].idZahl == gewaehlt) {
                anfang = i;
                break;
            }
        }
    }
    const std::vector<Kennzeichen> vorher = Kennzeichen_Lesen(dm.TdbTable_Ereignisse, katalog);

    Date tag = coups.empty() ? Date() : coups.front().tag;
    const std::string abgebrochen = k.text("Berechnung abgebrochen!", "Calculation is canceled!");
    const NachCoup nachCoup = [&](int q, const Coup& coup) {
        if (coup.tag != tag) {
            tag = coup.tag;
            Tag_Zeigen(dm.TdbTable_Permanenz_Tag_Zusammenfassung, tag);
        }
        if (q % 10 == 0) {
            k.ansicht.neuZeichnen();
        }
        if (k.ui.processEventsAndCheckEscape()) {
            k.ui.inform(abgebrochen);
            return true;
        }
        return false;
    };
    const Zaehlergebnis ergebnis =
        zaehlen(katalog, std::span<const Coup>(coups).subspan(anfang), parameter, vorher, nachCoup);
    a.setzeGrundlage(Auswertungsgrundlage::aus(katalog, ergebnis));

    Ergebnisse_Schreiben(k, a, katalog, ergebnis);
    ereignisse.beenden(true);
    serien.beenden(true);
    rueckstaende.beenden(true);
    k.ansicht.auswertungAnzeigen();
    return {ergebnis.coups, ergebnis.abgebrochen};
}

Auswertungslauf Permanenz_Auswertung_Modus(Kontext& k, Permanenzauswertung& a,
                                           const kern::Ereigniskatalog& katalog, char modus) {
    auto& w = k.dm.TdbTable_Wahl;
    if (!w.isEditing()) {
        w.edit();
    }
    w.setText("Auswertung_H_S_R", std::string(1, modus));
    w.post();
    w.edit();
    return BitBtn_Berechnung_Permanenz_AuswertungClick(k, a, katalog);
}

namespace {

Auswertungsliste Ergebnisse_Zeigen(Kontext& k, Permanenzauswertung& a) {
    a.setzeKlassensummen(false);
    kern::Wahl_Uebernehmen(k);
    const std::string modus = k.dm.TdbTable_Wahl.text("Auswertung_H_S_R");
    if (modus != "S" && modus != "R") {
        Haeufigkeit_Oeffnen(k);
        return Auswertungsliste::Haeufigkeit;
    }
    if (!k.dm.TdbQuery_Ereignisse_Haeufigkeit.isOpen()) {
        Haeufigkeit_Oeffnen(k);
    }
    const Value ereignis = Gezeigtes_Ereignis(k);
    if (modus == "S") {
        Prozente_Setzen(k.dm.TdbTable_Ereignisse_Serien, "Serie_Anzahl", "Serie_Prozent",
                        a.dezimaltrenner());
        auto& q = k.dm.TdbQuery_Ereignisse_Serien;
        q.setSql("SELECT * FROM Ereignisse_Serien WHERE ID_Ereignis = ? ORDER BY Serie",
                 {ereignis});
        q.open();
        return Auswertungsliste::Serien;
    }
    Prozente_Setzen(k.dm.TdbTable_Ereignisse_Rueckstaendigkeit, "Rueckstaendigkeit_Anzahl",
                    "Rueckstaendigkeit_Prozent", a.dezimaltrenner());
    auto& q = k.dm.TdbQuery_Ereignisse_Rueckstaendigkeit;
    q.setSql(
        "SELECT * FROM Ereignisse_Rueckstaendigkeit WHERE ID_Ereignis = ? ORDER BY "
        "Rueckstaendigkeit",
        {ereignis});
    q.open();
    return Auswertungsliste::Rueckstaendigkeit;
}

}  // namespace

Auswertungsliste DBComboBox_Haufigkeit_Serien_RueckstaendigkeitChange(Kontext& k,
                                                                      Permanenzauswertung& a) {
    // The figures first, so that the lists measure their columns by them when they reopen.
    a.Statistik_Aktualisieren(k.dm.TdbTable_Ereignisse,
                              k.dm.TdbTable_Wahl.integer("ID_Chancen_Auswertung"));
    return Ergebnisse_Zeigen(k, a);
}

Auswertungsliste Klassensummen_Umschalten(Kontext& k, Permanenzauswertung& a,
                                          Auswertungsliste liste) {
    if (liste == Auswertungsliste::Haeufigkeit) {
        return liste;
    }
    if (a.klassensummen()) {
        return DBComboBox_Haufigkeit_Serien_RueckstaendigkeitChange(k, a);
    }
    a.setzeKlassensummen(true);
    const Value klasse = k.dm.TdbTable_Wahl.value("ID_Chancen_Auswertung");
    if (liste == Auswertungsliste::Serien) {
        Prozente_Setzen(k.dm.TdbTable_Ereignisse_Serien, "Serie_Anzahl", "Serie_Prozent",
                        a.dezimaltrenner());
        auto& q = k.dm.TdbQuery_Ereignisse_Serien;
        q.setSql(
            "SELECT * FROM Ereignisse_Serien WHERE ID_Ereignis = 0 AND ID_Ereignis_Gruppe = ? "
            "ORDER BY Serie",
            {klasse});
        q.open();
    } else {
        Prozente_Setzen(k.dm.TdbTable_Ereignisse_Rueckstaendigkeit, "Rueckstaendigkeit_Anzahl",
                        "Rueckstaendigkeit_Prozent", a.dezimaltrenner());
        auto& q = k.dm.TdbQuery_Ereignisse_Rueckstaendigkeit;
        q.setSql(
            "SELECT * FROM Ereignisse_Rueckstaendigkeit WHERE ID_Ereignis = 0 AND "
            "ID_Ereignis_Gruppe = ? ORDER BY Rueckstaendigkeit",
            {klasse});
        q.open();
    }
    return liste;
}

}  // namespace spinalyst::events
