#include "systems/systemauswertung.h"

#include <algorithm>
#include <exception>
#include <string>

#include "kern/strecke.h"
#include "kern/tagessumme.h"
#include "store/bulk_writer.h"
#include "systems/durchlauf.h"
#include "systems/system.h"

namespace spinalyst::systems {

using kern::Kontext;
using store::Value;

namespace {

std::optional<int> zahl(const store::Statement& s, int spalte) {
    if (s.isNull(spalte)) {
        return std::nullopt;
    }
    return static_cast<int>(s.int64(spalte));
}

bool ist(const store::Statement& s, int spalte, std::string_view wert) {
    return !s.isNull(spalte) && s.textView(spalte) == wert;
}

// "f" means the condition must hold; anything else (null too) that it must not.
bool ungleich(const store::Statement& s, int spalte) {
    return !ist(s, spalte, "f");
}

const char* flag(bool an) {
    return an ? "t" : "f";
}

// The filters and settlement of one instance from its `System_Daten` row.
void Daten_Lesen(const store::Statement& s, Instanz& instanz) {
    Zaehlfilter& h = instanz.haeufigkeit;
    h.ereignis = zahl(s, 1);
    h.anzahlVon = zahl(s, 2);
    h.anzahlBis = zahl(s, 3);
    h.ungleich = ungleich(s, 4);
    h.coupsVon = zahl(s, 5);
    h.coupsBis = zahl(s, 6);
    h.vorEreignisfolge = ist(s, 7, "t");
    h.aktiv = ist(s, 8, "t");
    Serienfilter& se = instanz.serien;
    se.ereignis = zahl(s, 9);
    se.anzahlVon = zahl(s, 10);
    se.anzahlBis = zahl(s, 11);
    se.laengeVon = zahl(s, 12);
    se.laengeBis = zahl(s, 13);
    se.ungleich = ungleich(s, 14);
    se.coupsVon = zahl(s, 15);
    se.coupsBis = zahl(s, 16);
    se.vorEreignisfolge = ist(s, 17, "t");
    se.aktiv = ist(s, 18, "t");
    Zaehlfilter& r = instanz.rueckstaendigkeit;
    r.ereignis = zahl(s, 19);
    r.anzahlVon = zahl(s, 20);
    r.anzahlBis = zahl(s, 21);
    r.ungleich = ungleich(s, 22);
    r.coupsVon = zahl(s, 23);
    r.coupsBis = zahl(s, 24);
    r.vorEreignisfolge = ist(s, 25, "t");
    r.aktiv = ist(s, 26, "t");
    Historienfilter& f = instanz.historie;
    f.okVon = zahl(s, 27);
    f.okBis = zahl(s, 28);
    f.folgenVon = zahl(s, 29);
    f.folgenBis = zahl(s, 30);
    f.ungleich = ungleich(s, 31);
    f.aktiv = ist(s, 32, "t");
    const std::string_view art = s.isNull(33) ? std::string_view() : s.textView(33);
    instanz.setzart = art == "E" || art == "K" || art == "P" ? art[0] : 0;
}

constexpr const char* kDatenSql =
    "SELECT ID_Instanz, ID_Ereignis_Haeufigkeit, Haeufigkeit_Anzahl_von, Haeufigkeit_Anzahl_bis, "
    "Haeufigkeit_ungleich, Haeufigkeit_Coups_zurueck_von, Haeufigkeit_Coups_zurueck_bis, "
    "Haeufigkeit_vor_Ereignisfolge, Haeufigkeit_Filterung_aktiv, ID_Ereignis_Serien, "
    "Serien_Anzahl_von, Serien_Anzahl_bis, Serien_von, Serien_bis, Serien_ungleich, "
    "Serien_Coups_zurueck_von, Serien_Coups_zurueck_bis, Serien_vor_Ereignisfolge, "
    "Serien_Filterung_aktiv, ID_Ereignis_Rueckstaendigkeit, Rueckstaendigkeit_Anzahl_von, "
    "Rueckstaendigkeit_Anzahl_bis, Rueckstaendigkeit_ungleich, "
    "Rueckstaendigkeit_Coups_zurueck_von, Rueckstaendigkeit_Coups_zurueck_bis, "
    "Rueckstaendigkeit_vor_Ereignisfolge, Rueckstaendigkeit_Filterung_aktiv, "
    "Ereignisfolge_Angriff_OK_von, Ereignisfolge_Angriff_OK_bis, Ereignisfolgen_zurueck_von, "
    "Ereignisfolgen_zurueck_bis, Ereignisfolge_ungleich, Ereignisfolge_Filterung_aktiv, Setzart "
    "FROM System_Daten WHERE ID_System = ? ORDER BY ID_Instanz, rowid";

// The instance slot (0..2) of an `ID_Instanz`, or -1.
int slot(std::int64_t instanz) {
    return instanz >= 1 && instanz <= 3 ? int(instanz) - 1 : -1;
}

// Stake table row "1".."50" as its step, "G" as -1, "V" as -2, anything else 0.
int stufe(std::string_view zeile) {
    if (zeile == "G") {
        return -1;
    }
    if (zeile == "V") {
        return -2;
    }
    int k = 0;
    for (const char c : zeile) {
        if (c < '0' || c > '9' || k > kAngriffsstufen) {
            return 0;
        }
        k = k * 10 + (c - '0');
    }
    return k >= 1 && k <= kAngriffsstufen ? k : 0;
}

// Marks the run in progress: the bulk-write flag is on while it lives.
class Massenschreiben {
  public:
    explicit Massenschreiben(kern::Sitzung& s) : sitzung_(s), vorher_(s.massenschreiben) {
        sitzung_.massenschreiben = true;
    }
    ~Massenschreiben() { sitzung_.massenschreiben = vorher_; }
    Massenschreiben(const Massenschreiben&) = delete;
    Massenschreiben& operator=(const Massenschreiben&) = delete;

  private:
    kern::Sitzung& sitzung_;
    bool vorher_;
};

// The stored bets on the coups of the stretch (the range of their `ID_Zahl`; bets on other coups
// in that range are kept apart by the walk).
std::vector<Wette> Wetten_Laden(store::Database& db, const std::vector<kern::Coup>& strecke) {
    std::vector<Wette> wetten;
    if (strecke.empty()) {
        return wetten;
    }
    std::int64_t von = strecke.front().idZahl;
    std::int64_t bis = von;
    for (const kern::Coup& c : strecke) {
        von = std::min(von, c.idZahl);
        bis = std::max(bis, c.idZahl);
    }
    store::Statement& s = db.cached(
        "SELECT rowid, Permanenz_ID_Zahl, ID_System, ID_Instanz, ID_Ereignis, Satz, "
        "Gewinn_Verlust FROM Systeme_Abarbeitung WHERE Permanenz_ID_Zahl BETWEEN ? AND ? "
        "ORDER BY rowid");
    s.reset();
    s.bind(1, von);
    s.bind(2, bis);
    while (s.step()) {
        Wette w;
        w.rowid = s.int64(0);
        w.idZahl = s.int64(1);
        w.system = s.int64(2);
        w.instanz = static_cast<int>(s.int64(3));
        w.ereignis = static_cast<int>(s.int64(4));
        w.satz = static_cast<int>(s.int64(5));
        w.ergebnis = zahl(s, 6);
        wetten.push_back(w);
    }
    s.reset();
    return wetten;
}

Tagessummen Tagessummen_Lesen(const store::TableCursor& w) {
    return {w.integer("Tag_Gewinn_Verlust"), w.integer("Tag_Gewinn_Maximal"),
            w.integer("Tag_Verlust_Maximal"), w.integer("Tag_Angriffe")};
}

// Writes what the walk computed, in one transaction; the cursors showing it are read again
// afterwards.
// Returns how many day rows received a day result.
int Schreiben(Kontext& k, const Laufparameter& p, const std::vector<System>& systeme,
              const Durchlaufergebnis& e, const Value& casino, const Value& tisch,
              store::Date geladenAb, store::Date bis, store::Date ergebnisAb) {
    auto& dm = k.dm;
    store::BulkWriter schreiber(dm.TdbDatabase_Roulette);
    if (!p.nurLetzterCoup) {
        schreiber.execute("DELETE FROM Systeme_Abarbeitung");
        // Every coup of the stretch loses the stakes and results of an earlier evaluation, not
        // only those of the chosen day.
        schreiber.execute(
            "UPDATE Permanenz SET Angriff_Satz = NULL, Gewinn_Verlust = NULL "
            "WHERE ID_Casino = ? AND Tisch = ? AND Datum >= ? AND Datum <= ? "
            "AND (Angriff_Satz IS NOT NULL OR Gewinn_Verlust IS NOT NULL)",
            {casino, tisch, Value(geladenAb), Value(bis)});
    }
    auto& neu = schreiber.insert(
        "Systeme_Abarbeitung",
        {"Permanenz_ID_Zahl", "ID_System", "ID_Instanz", "ID_Ereignis", "Satz", "Gewinn_Verlust"});
    auto& abgerechnet =
        schreiber.statement("UPDATE Systeme_Abarbeitung SET Gewinn_Verlust = ? WHERE rowid = ?");
    for (const Wette& w : e.wetten) {
        const Value ergebnis = w.ergebnis ? Value(std::int64_t{*w.ergebnis}) : Value();
        if (w.rowid == 0) {
            neu.write({Value(w.idZahl), Value(w.system), Value(std::int64_t{w.instanz}),
                       Value(std::int64_t{w.ereignis}), Value(std::int64_t{w.satz}), ergebnis});
        } else if (w.abgerechnet) {
            abgerechnet.write({ergebnis, Value(w.rowid)});
        }
    }
    auto& coup = schreiber.statement(
        "UPDATE Permanenz SET Angriff_Satz = ?, Gewinn_Verlust = ? WHERE ID_Zahl = ?");
    for (const Buchung& b : e.buchungen) {
        coup.write(
            {Value(std::int64_t{b.satz}), Value(std::int64_t{b.gewinnVerlust}), Value(b.idZahl)});
    }
    auto& tag = schreiber.statement(
        "UPDATE Permanenz_Tag_Zusammenfassung SET Gewinn_Verlust = ?, Gewinn_Maximal = ?, "
        "Verlust_Maximal = ?, Angriffe = ? WHERE ID_Casino = ? AND Tisch = ? AND Datum = ?");
    int geschriebeneTage = 0;
    for (const Tagesabschluss& t : e.tage) {
        if (t.tag >= ergebnisAb && t.tag <= bis) {
            geschriebeneTage +=
                tag.write({Value(std::int64_t{t.summen.gewinnVerlust}),
                           Value(std::int64_t{t.summen.gewinnMaximal}),
                           Value(std::int64_t{t.summen.verlustMaximal}),
                           Value(std::int64_t{t.summen.angriffe}), casino, tisch, Value(t.tag)});
        }
    }
    schreiber.execute(
        "UPDATE Wahl SET Tag_Gewinn_Verlust = ?, Tag_Gewinn_Maximal = ?, Tag_Verlust_Maximal = ?, "
        "Tag_Angriffe = ?",
        {Value(std::int64_t{e.summen.gewinnVerlust}), Value(std::int64_t{e.summen.gewinnMaximal}),
         Value(std::int64_t{e.summen.verlustMaximal}), Value(std::int64_t{e.summen.angriffe})});
    auto& zustand = schreiber.statement(
        "UPDATE Systeme SET Systemangriff = ?, Systemangriff_Instanz_1 = ?, "
        "Systemangriff_Instanz_2 = ?, Systemangriff_Instanz_3 = ?, "
        "Systemangriff_Beendung_Einzeln = ?, ID_Instanz = 1 WHERE ID_System_AutoInc = ?");
    for (const System& s : systeme) {
        const Angriffszustand& z = s.zustand;
        zustand.write({Value(std::int64_t{z.stufe}), Value(flag(z.aktiv[0])),
                       Value(flag(z.aktiv[1])), Value(flag(z.aktiv[2])),
                       Value(flag(z.beendungEinzeln)), Value(s.id)});
    }
    schreiber.refreshAfterCommit(dm.TdbTable_Wahl);
    schreiber.refreshAfterCommit(dm.TdbTable_Permanenz);
    if (geschriebeneTage > 0) {
        schreiber.refreshAfterCommit(dm.TdbTable_Permanenz_Tag_Zusammenfassung);
    }
    schreiber.commit();
    return geschriebeneTage;
}

// Brings every view of the results up to date after a run, also after a failed one. An online
// step changed only the systems' run state and the bets, and the totals row only when it wrote a
// day result (the number entry before it has brought the totals up to date).
void Nachher(Kontext& k, const Laufparameter& p, bool tageGeschrieben) {
    try {
        if (p.nurLetzterCoup) {
            for (store::TableCursor* c : {&k.dm.TdbTable_Systeme, &k.dm.TdbTable_Systeme_2,
                                          &k.dm.TdbTable_Systeme_Abarbeitung}) {
                c->refresh();
            }
        } else {
            Systemcursoren_Auffrischen(k.dm);
        }
    } catch (const std::exception&) {
    }
    try {
        if (!p.nurLetzterCoup || tageGeschrieben) {
            kern::Tag_Gesamt_Berechnen(k);
        }
    } catch (const std::exception&) {
    }
    auto& permanenz = k.dm.TdbTable_Permanenz;
    if (!p.nurGewaehlterTag && permanenz.isOpen()) {
        try {
            permanenz.first();
        } catch (const std::exception&) {
        }
    }
}

}  // namespace

std::vector<std::int64_t> Systeme_Auswaehlen(store::Database& datenbank, int art, int chancen,
                                             char modus, std::int64_t gewaehlt) {
    store::Statement& s = datenbank.cached(
        "SELECT ID_System_AutoInc, System_Online_Aktiv FROM Systeme "
        "WHERE IFNULL(ID_System_Art, 0) = ? AND IFNULL(ID_System_Chancen, 0) = ? "
        "ORDER BY ID_System_Nummer, rowid");
    s.reset();
    s.bind(1, std::int64_t{art});
    s.bind(2, std::int64_t{chancen});
    std::vector<std::int64_t> ids;
    while (s.step()) {
        const std::int64_t id = s.int64(0);
        if (id == gewaehlt || (modus == 'A' && ist(s, 1, "x"))) {
            ids.push_back(id);
        }
    }
    s.reset();
    return ids;
}

std::vector<System> Systeme_Laden(store::Database& datenbank, std::span<const std::int64_t> ids) {
    store::Statement& kopf = datenbank.cached(
        "SELECT ID_System_Art, Systemangriff_Beendung_Einzeln_Alle, Systemangriff, "
        "Systemangriff_Instanz_1, Systemangriff_Instanz_2, Systemangriff_Instanz_3, "
        "Systemangriff_Beendung_Einzeln, ID_System_Nummer FROM Systeme "
        "WHERE ID_System_AutoInc = ?");
    store::Statement& regel1 = datenbank.cached(
        "SELECT Anzahl_Ereignisse, Anzahl_Coups_zurueck, Anzahl_Coups_rueckstaendig FROM "
        "Individuell_1_Daten WHERE ID_System = ? ORDER BY rowid LIMIT 1");
    store::Statement& regel2 = datenbank.cached(
        "SELECT Anzahl_Ereignisse FROM Individuell_2_Daten WHERE ID_System = ? ORDER BY rowid "
        "LIMIT 1");
    store::Statement& daten = datenbank.cached(kDatenSql);
    store::Statement& folge = datenbank.cached(
        "SELECT ID_Instanz, ID_Ereignis, Angriff FROM System_Ereignisse WHERE ID_System = ? "
        "ORDER BY Nr_Ereignis");
    store::Statement& saetze = datenbank.cached(
        "SELECT ID_Instanz, ID_Angriff, Satz FROM System_Angriffe WHERE ID_System = ? AND Satz IS "
        "NOT NULL ORDER BY ID_Instanz, rowid");
    std::vector<System> systeme;
    for (const std::int64_t id : ids) {
        kopf.reset();
        kopf.bind(1, id);
        if (!kopf.step()) {
            kopf.reset();
            continue;
        }
        System system;
        system.id = id;
        system.art = kopf.isNull(0) ? 0 : static_cast<int>(kopf.int64(0));
        system.beendungEinzelnAlle = ist(kopf, 1, "t");
        system.zustand.stufe = kopf.isNull(2) ? 0 : static_cast<int>(kopf.int64(2));
        for (int i = 0; i < 3; ++i) {
            system.zustand.aktiv[static_cast<std::size_t>(i)] = ist(kopf, 3 + i, "t");
        }
        system.zustand.beendungEinzeln = ist(kopf, 6, "t");
        system.nummer = kopf.isNull(7) ? 0 : static_cast<int>(kopf.int64(7));
        kopf.reset();
        // An individual system plays its own rule with its own parameters.
        if (system.individuell() && (system.nummer == 1 || system.nummer == 2)) {
            store::Statement& q = system.nummer == 1 ? regel1 : regel2;
            q.reset();
            q.bind(1, id);
            if (q.step()) {
                system.regel.ereignisse = zahl(q, 0);
                if (system.nummer == 1) {
                    system.regel.coups = zahl(q, 1);
                    system.regel.rueckstaendig = zahl(q, 2);
                }
            }
            q.reset();
        }
        for (Instanz& instanz : system.instanzen) {
            // An instance without a data row settles as "E" with every filter off.
            instanz.setzart = 'E';
        }
        // The first data row of an instance holds (as the master link shows it).
        std::array<bool, 3> gelesen{};
        daten.reset();
        daten.bind(1, id);
        while (daten.step()) {
            const int i = slot(daten.int64(0));
            if (i >= 0 && !gelesen[static_cast<std::size_t>(i)]) {
                gelesen[static_cast<std::size_t>(i)] = true;
                Daten_Lesen(daten, system.instanzen[static_cast<std::size_t>(i)]);
            }
        }
        daten.reset();
        folge.reset();
        folge.bind(1, id);
        while (folge.step()) {
            const int i = slot(folge.int64(0));
            if (i >= 0) {
                Folgenglied glied;
                glied.ereignis = folge.isNull(1) ? 0 : static_cast<int>(folge.int64(1));
                glied.angriff = folge.isNull(2) ? std::string() : folge.text(2);
                system.instanzen[static_cast<std::size_t>(i)].folge.push_back(std::move(glied));
            }
        }
        folge.reset();
        saetze.reset();
        saetze.bind(1, id);
        while (saetze.step()) {
            const int i = slot(saetze.int64(0));
            if (i < 0 || saetze.isNull(1)) {
                continue;
            }
            Instanz& instanz = system.instanzen[static_cast<std::size_t>(i)];
            const std::optional<int> satz = zahl(saetze, 2);
            const int k = stufe(saetze.textView(1));
            if (k > 0 && !instanz.saetze[static_cast<std::size_t>(k)]) {
                instanz.saetze[static_cast<std::size_t>(k)] = satz;
            } else if (k == -1) {
                instanz.limitGewinn = satz;
            } else if (k == -2) {
                instanz.limitVerlust = satz;
            }
        }
        saetze.reset();
        systeme.push_back(std::move(system));
    }
    return systeme;
}

void Systemaenderungen_Speichern(Kontext& k) {
    auto& dm = k.dm;
    if (dm.TdbTable_Systeme.isEditing()) {
        Systeme_Posten(dm.TdbTable_Systeme);
    }
    for (store::TableCursor* c : {&dm.TdbTable_System_Daten, &dm.TdbTable_System_Ereignisse,
                                  &dm.TdbTable_System_Angriffe}) {
        if (c->isEditing()) {
            c->post();
        }
    }
}

int Systeme_Vorbereiten(Kontext& k, bool zustandBehalten) {
    Systemaenderungen_Speichern(k);
    auto& w = k.dm.TdbTable_Wahl;
    const Value art(std::int64_t{w.integer("ID_System_Art")});
    const Value chancen(std::int64_t{w.integer("ID_System_Chancen")});
    if (!zustandBehalten) {
        store::BulkWriter schreiber(k.dm.TdbDatabase_Roulette);
        schreiber.execute(
            "UPDATE Systeme SET Systemangriff = 0, Systemangriff_Instanz_1 = 'f', "
            "Systemangriff_Instanz_2 = 'f', Systemangriff_Instanz_3 = 'f' "
            "WHERE IFNULL(ID_System_Art, 0) = ? AND IFNULL(ID_System_Chancen, 0) = ?",
            {art, chancen});
        schreiber.commit();
        Systemcursoren_Auffrischen(k.dm);
    }
    store::Statement& s = k.dm.TdbDatabase_Roulette.cached(
        "SELECT COUNT(*) FROM Systeme WHERE IFNULL(ID_System_Art, 0) = ? AND "
        "IFNULL(ID_System_Chancen, 0) = ? AND System_Online_Aktiv = 'x'");
    s.reset();
    s.bind(1, art);
    s.bind(2, chancen);
    const int markiert = s.step() ? static_cast<int>(s.int64(0)) : 0;
    s.reset();
    Systemaenderungen_Speichern(k);
    return markiert;
}

Systemauswertung Systemauswertung_Berechnen(Kontext& k, const kern::Ereigniskatalog& katalog,
                                            const Laufparameter& p) {
    Systemauswertung auswertung;
    auto& dm = k.dm;
    auto& db = dm.TdbDatabase_Roulette;
    std::optional<Massenschreiben> flagge(std::in_place, k.sitzung);
    bool tageGeschrieben = true;
    try {
        Systemaenderungen_Speichern(k);
        auto& w = dm.TdbTable_Wahl;
        if (w.isEditing()) {
            w.post();
        }
        const Value casino = w.value("ID_Casino");
        const Value tisch = w.value("Tisch");
        const int tageAnzahl = w.integer("System_Tage_Anzahl");
        const store::Date bis = k.sitzung.gewaehlter_tag;
        const int n = p.nurGewaehlterTag ? 0 : tageAnzahl;
        const store::Date erster = bis.addDays(-n);
        const store::Date geladenAb = p.uebergreifend ? erster.addDays(-1) : erster;
        const store::Date ergebnisAb = bis.addDays(1 - tageAnzahl);

        kern::Streckenauswahl auswahl;
        auswahl.casino = casino.toInt64();
        auswahl.tisch = tisch.toText();
        auswahl.von = geladenAb;
        auswahl.bis = bis;
        const std::vector<kern::Coup> strecke = kern::Strecke_Laden(db, auswahl);

        const std::vector<std::int64_t> ids =
            Systeme_Auswaehlen(db, w.integer("ID_System_Art"), w.integer("ID_System_Chancen"),
                               p.modus == 'A' ? 'A' : 'E', p.system);
        std::vector<System> systeme = Systeme_Laden(db, ids);
        for (const System& s : systeme) {
            auswertung.systeme.push_back(s.id);
        }

        Durchlauf lauf;
        lauf.strecke = strecke;
        lauf.uebergreifend = p.uebergreifend;
        lauf.nurLetzterCoup = p.nurLetzterCoup;
        lauf.tagAbschliessen = !p.nurGewaehlterTag;
        lauf.chancen = w.integer("ID_System_Chancen");
        const auto ab = std::find_if(strecke.begin(), strecke.end(),
                                     [&](const kern::Coup& c) { return c.tag == erster; });
        lauf.beginn = ab == strecke.end() ? 0 : static_cast<std::size_t>(ab - strecke.begin());

        std::vector<Wette> wetten;
        Tagessummen summen;
        if (p.nurLetzterCoup) {
            wetten = Wetten_Laden(db, strecke);
            summen = Tagessummen_Lesen(w);
        }
        const Durchlaufergebnis ergebnis = Systeme_Durchlaufen(
            lauf, systeme, std::move(wetten), summen, katalog, [&k](std::size_t zaehler) {
                if (zaehler % 10 == 0) {
                    k.ansicht.neuZeichnen();
                }
                if (k.ui.processEventsAndCheckEscape()) {
                    k.ui.inform(k.text("Berechnung abgebrochen!", "Calculation is canceled!"));
                    return true;
                }
                return false;
            });
        auswertung.coups = ergebnis.coups;
        auswertung.abgebrochen = ergebnis.abgebrochen;
        tageGeschrieben =
            Schreiben(k, p, systeme, ergebnis, casino, tisch, geladenAb, bis, ergebnisAb) > 0;
    } catch (const std::exception& e) {
        // The run ends where it failed; what was written stays.
        auswertung.fehler = e.what();
    }
    // The bets' event names are computed again from here on.
    flagge.reset();
    Nachher(k, p, tageGeschrieben);
    return auswertung;
}

}  // namespace spinalyst::systems
