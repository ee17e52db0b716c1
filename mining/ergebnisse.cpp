#include "mining/ergebnisse.h"

#include <algorithm>
#include <cstdio>

#include "store/bulk_writer.h"
#include "store/datamodule.h"
#include "store/field_value.h"
#include "store/schema.h"
#include "systems/durchlauf.h"

namespace spinalyst::mining {

using store::Value;

namespace {

constexpr std::array<const char*, 5> kFolgefelder = {
    "Ereignis_1_vor_Angriff", "Ereignis_2_vor_Angriff", "Ereignis_3_vor_Angriff",
    "Ereignis_4_vor_Angriff", "Ereignis_5_vor_Angriff"};

std::int64_t zahl(const store::Cursor& c, std::string_view feld) {
    return c.isNull(feld) ? 0 : c.value(feld).toInt64();
}

std::optional<std::int64_t> coupzaehler(const store::Cursor& wahl) {
    if (!wahl.isOpen() || wahl.isEmpty() || wahl.isNull("DM_Coups_letztes_DM")) {
        return std::nullopt;
    }
    return wahl.value("DM_Coups_letztes_DM").toInt64();
}

// The text of a field of `DM_Folge_Anzeige`, cut to the field's size.
Value anzeigetext(const char* feld, const std::string& text) {
    return store::toFieldType(*store::findTable("DM_Folge_Anzeige")->field(feld), Value(text));
}

// Empties `DM_Folge_Anzeige` and writes the rows, numbered from 1, with the names and texts of
// their events in the language; one transaction, the cursor refreshed after it.
void Anzeige_Schreiben(store::DataModule_Roulette& dm, const std::vector<Anzeigeereignis>& zeilen,
                       const kern::Ereigniskatalog* katalog, store::Sprache sprache) {
    store::BulkWriter schreiber(dm.TdbDatabase_DM_Modul);
    schreiber.execute("DELETE FROM DM_Folge_Anzeige");
    if (!zeilen.empty()) {
        auto& zeile = schreiber.insert(
            "DM_Folge_Anzeige",
            {"Nr_Ereignis", "ID_Ereignis", "Ereignis", "Ereignis_Info", "Angriff"});
        std::int64_t nr = 0;
        for (const Anzeigeereignis& e : zeilen) {
            zeile.write({Value(++nr), Value(std::int64_t{e.ereignis}),
                         anzeigetext("Ereignis", katalog->name(e.ereignis, sprache)),
                         anzeigetext("Ereignis_Info", katalog->info(e.ereignis, sprache)),
                         anzeigetext("Angriff", e.angriff)});
        }
    }
    schreiber.refreshAfterCommit(dm.TdbTable_DM_Folge_Anzeige);
    schreiber.commit();
}

void Anzeige_Leeren(store::DataModule_Roulette& dm) {
    Anzeige_Schreiben(dm, {}, nullptr, store::Sprache::Deutsch);
}

// Installs the calculated field of a query: the percentage of a column against the run's coup
// counter as it stands now.
void Prozentfeld(store::QueryCursor& q, const char* name, const char* spalte,
                 std::optional<std::int64_t> coups, char dezimaltrenner) {
    q.setCalculatedFields({name}, [spalte, coups, dezimaltrenner](const store::RowView& row,
                                                                  std::vector<Value>& berechnet) {
        berechnet[0] =
            row.isNull(spalte)
                ? Value()
                : Value(Prozent_Text(row.value(spalte).toInt64(), coups, dezimaltrenner));
    });
}

void Abfrage_Oeffnen(store::QueryCursor& q, Abfrage abfrage) {
    q.close();
    q.setSql(std::move(abfrage.sql), std::move(abfrage.parameter));
    q.open();
    q.first();
}

std::string Ereignisname(int ereignis, const kern::Ereigniskatalog& katalog,
                         store::Sprache sprache) {
    std::string name = katalog.name(ereignis, sprache);
    return name.empty() ? std::to_string(ereignis) : name;
}

}  // namespace

Ergebnisauswahl Ergebnisauswahl_Lesen(const store::Cursor& wahl) {
    Ergebnisauswahl a;
    if (!wahl.isOpen() || wahl.isEmpty()) {
        return a;
    }
    a.chance = static_cast<int>(zahl(wahl, "DM_Chance"));
    a.laenge = static_cast<int>(zahl(wahl, "DM_Anzahl_Angriffe"));
    a.art = wahl.text("DM_Art_Angriff");
    a.sortierung = wahl.text("DM_Sortierung");
    a.minimum = zahl(wahl, "DM_Sortierung_G_V_Minimum");
    return a;
}

Abfrage Ergebnisliste_Abfrage(const Ergebnisauswahl& a) {
    Abfrage q;
    q.sql = "SELECT * FROM DM_Gewinn_Verlust WHERE Gewinn_Verlust > ? AND ";
    q.parameter.push_back(Value(a.minimum));
    if (const auto bereich = systems::Chancen_Ereignisse(a.chance)) {
        q.sql += "(ID_Ereignis >= ? AND ID_Ereignis <= ?) AND ";
        q.parameter.push_back(Value(std::int64_t{bereich->first}));
        q.parameter.push_back(Value(std::int64_t{bereich->second}));
    }
    q.sql += "ID_Angriff = ? AND Art = ? ";
    q.parameter.push_back(Value(std::int64_t{a.laenge}));
    q.parameter.push_back(Value(a.art));
    // Rows that tie on every key keep the order of the table.
    q.sql += a.sortierung == "%" ? "ORDER BY Anzahl_OK_Prozent DESC, Gewinn_Verlust DESC, rowid"
                                 : "ORDER BY Gewinn_Verlust DESC, rowid";
    return q;
}

Abfrage Profil_Abfrage(std::int64_t idHsr, std::int64_t idFolge, int ereignis) {
    return {
        "SELECT * FROM DM_Gewinn_Verlust WHERE ID_HSR = ? AND ID_Folge = ? AND Art = ? AND "
        "ID_Ereignis = ? ORDER BY ID_Angriff, rowid",
        {Value(idHsr), Value(idFolge), Value("1"), Value(std::int64_t{ereignis})}};
}

Abfrage Folgen_Abfrage(std::optional<std::int64_t> gleicheArt) {
    return {"SELECT * FROM DM_Folge WHERE Gleiche_Art = ? ORDER BY Anzahl DESC, ID_Folge",
            {gleicheArt ? Value(*gleicheArt) : Value()}};
}

std::string Prozent_Text(std::int64_t wert, std::optional<std::int64_t> coups,
                         char dezimaltrenner) {
    if (!coups || *coups < 1) {
        return {};
    }
    char puffer[48];
    std::snprintf(puffer, sizeof puffer, "%.1f%%",
                  static_cast<double>(wert) * 100.0 / static_cast<double>(*coups));
    std::string text(puffer);
    std::replace(text.begin(), text.end(), '.', dezimaltrenner);
    return text;
}

std::vector<Anzeigeereignis> Folge_Ereignisse(const std::array<int, 5>& codes,
                                              std::optional<int> angriffsereignis) {
    std::vector<Anzeigeereignis> zeilen;
    for (auto it = codes.rbegin(); it != codes.rend(); ++it) {
        const int code = *it;
        if (code <= 0) {
            continue;
        }
        zeilen.push_back(code >= 100 ? Anzeigeereignis{code - 100, "<>"}
                                     : Anzeigeereignis{code, ""});
    }
    if (angriffsereignis) {
        zeilen.push_back({*angriffsereignis, "x"});
    }
    return zeilen;
}

Musteranzeige Filter_Anzeigen(const std::optional<HSR_Kombination>& kombination,
                              const kern::Ereigniskatalog& katalog) {
    Musteranzeige anzeige{};
    if (!kombination) {
        return anzeige;
    }
    for (Filterart art : kFilterarten) {
        const Filterstellung& s = kombination->stellung(art);
        Filteranzeige& f = anzeige[static_cast<std::size_t>(art)];
        if (s.ereignis < 1) {
            continue;
        }
        f.text = katalog.info(s.ereignis, store::Sprache::Deutsch);
        f.ungleich = s.ungleich;
        f.aktiv = s.aktiv;
    }
    return anzeige;
}

std::optional<HSR_Kombination> HSR_Zeile_Lesen(store::Database& dmModul, std::int64_t idHsr) {
    // The rows are written with `ID_HSR` 1, 2, ... into an emptied table, so the row id is
    // tried first; any other row is found by its identity.
    static constexpr const char* kFelder =
        "SELECT ID_HSR, ID_Ereignis_Haeufigkeit, Haeufigkeit_ungleich, Haeufigkeit_aktiv, "
        "ID_Ereignis_Serien, Serien_ungleich, Serien_aktiv, ID_Ereignis_Rueckstaendigkeit, "
        "Rueckstaendigkeit_ungleich, Rueckstaendigkeit_aktiv FROM DM_HSR ";
    for (const char* bedingung :
         {"WHERE rowid = ?1 AND ID_HSR = ?1", "WHERE ID_HSR = ?1 ORDER BY rowid LIMIT 1"}) {
        store::Statement& s = dmModul.cached(std::string(kFelder) + bedingung);
        s.reset();
        s.clearBindings();
        s.bind(1, idHsr);
        if (!s.step()) {
            s.reset();
            continue;
        }
        HSR_Kombination h;
        h.id = static_cast<int>(s.int64(0));
        for (std::size_t i = 0; i < 3; ++i) {
            const int spalte = 1 + 3 * static_cast<int>(i);
            h.filter[i].ereignis = s.isNull(spalte) ? 0 : static_cast<int>(s.int64(spalte));
            h.filter[i].ungleich = !s.isNull(spalte + 1) && s.text(spalte + 1) == "t";
            h.filter[i].aktiv = !s.isNull(spalte + 2) && s.text(spalte + 2) == "t";
        }
        s.reset();
        return h;
    }
    return std::nullopt;
}

std::optional<std::array<int, 5>> Folge_Zeile_Lesen(store::Database& dmModul,
                                                    std::int64_t idFolge) {
    store::Statement& s = dmModul.cached(
        "SELECT Ereignis_1_vor_Angriff, Ereignis_2_vor_Angriff, Ereignis_3_vor_Angriff, "
        "Ereignis_4_vor_Angriff, Ereignis_5_vor_Angriff FROM DM_Folge WHERE ID_Folge = ?");
    s.reset();
    s.clearBindings();
    s.bind(1, idFolge);
    if (!s.step()) {
        s.reset();
        return std::nullopt;
    }
    std::array<int, 5> codes{};
    for (int i = 0; i < 5; ++i) {
        codes[static_cast<std::size_t>(i)] = s.isNull(i) ? 0 : static_cast<int>(s.int64(i));
    }
    s.reset();
    return codes;
}

std::string Muster_Text(const std::optional<HSR_Kombination>& kombination,
                        const std::optional<std::array<int, 5>>& codes, int angriffsereignis,
                        const kern::Ereigniskatalog& katalog, store::Sprache sprache) {
    const bool englisch = sprache == store::Sprache::Englisch;
    const std::string nicht = englisch ? "not " : "nicht ";
    std::string text;
    static constexpr std::array<const char*, 3> kBuchstaben = {"H ", "S ", "R "};
    for (std::size_t i = 0; i < 3; ++i) {
        text += (i == 0 ? "" : ", ") + std::string(kBuchstaben[i]);
        if (!kombination) {
            text += "?";
            continue;
        }
        const Filterstellung& s = kombination->filter[i];
        if (!s.aktiv) {
            text += englisch ? "off" : "aus";
        } else {
            text +=
                (s.ungleich ? nicht : std::string()) + Ereignisname(s.ereignis, katalog, sprache);
        }
    }
    text += "; ";
    if (!codes) {
        text += "?";
    } else {
        const std::vector<Anzeigeereignis> folge = Folge_Ereignisse(*codes, std::nullopt);
        if (folge.empty()) {
            text += "-";
        }
        for (std::size_t i = 0; i < folge.size(); ++i) {
            text += (i == 0 ? "" : ", ") + (folge[i].angriff == "<>" ? nicht : std::string()) +
                    Ereignisname(folge[i].ereignis, katalog, sprache);
        }
    }
    text +=
        (englisch ? "; attack " : "; Angriff ") + Ereignisname(angriffsereignis, katalog, sprache);
    return text;
}

bool Ergebnisliste_Offen(const store::DataModule_Roulette& dm) {
    return dm.TdbQuery_DM_Ergebnisse.isOpen();
}

void BitBtn_Anzeige_ErgebnisseClick(kern::Kontext& k, char dezimaltrenner) {
    store::QueryCursor& q = k.dm.TdbQuery_DM_Ergebnisse;
    const store::TableCursor& wahl = k.dm.TdbTable_Wahl;
    Prozentfeld(q, "Gewinn_Verlust_Prozent", "Gewinn_Verlust", coupzaehler(wahl), dezimaltrenner);
    Abfrage_Oeffnen(q, Ergebnisliste_Abfrage(Ergebnisauswahl_Lesen(wahl)));
}

void DBGrid_AuswertungDblClick(kern::Kontext& k, char dezimaltrenner) {
    store::QueryCursor& q = k.dm.TdbQuery_DM_Ergebnisse;
    if (!q.isOpen() || q.isEmpty()) {
        return;
    }
    if (q.text("Art") == "1") {
        BitBtn_Anzeige_ErgebnisseClick(k, dezimaltrenner);
        return;
    }
    const std::int64_t hsr = q.value("ID_HSR").toInt64();
    const std::int64_t folge = q.value("ID_Folge").toInt64();
    const int ereignis = q.integer("ID_Ereignis");
    Prozentfeld(q, "Gewinn_Verlust_Prozent", "Gewinn_Verlust", coupzaehler(k.dm.TdbTable_Wahl),
                dezimaltrenner);
    Abfrage_Oeffnen(q, Profil_Abfrage(hsr, folge, ereignis));
}

std::optional<Musteranzeige> DataSource_Tdb_Query_DM_ErgebnisseDataChange(
    kern::Kontext& k, const kern::Ereigniskatalog& katalog) {
    store::QueryCursor& q = k.dm.TdbQuery_DM_Ergebnisse;
    if (!q.isOpen() || q.isEmpty()) {
        Anzeige_Leeren(k.dm);
        return std::nullopt;
    }
    store::Database& db = k.dm.TdbDatabase_DM_Modul;
    const std::optional<std::array<int, 5>> codes =
        Folge_Zeile_Lesen(db, q.value("ID_Folge").toInt64());
    Anzeige_Schreiben(
        k.dm, Folge_Ereignisse(codes.value_or(std::array<int, 5>{}), q.integer("ID_Ereignis")),
        &katalog, k.sitzung.sprache);
    return Filter_Anzeigen(HSR_Zeile_Lesen(db, q.value("ID_HSR").toInt64()), katalog);
}

void DBLookup_AuswertungEnter(kern::Kontext& k) {
    k.dm.TdbQuery_DM_Ergebnisse.close();
    Anzeige_Leeren(k.dm);
}

void Data_Mining_Ergebnisse_Schliessen(kern::Kontext& k) {
    DBLookup_AuswertungEnter(k);
}

std::vector<std::pair<int, std::string>> Gleiche_Arten_Lesen(store::Database& dmModul) {
    // The kind of a sequence is never 0 (every position adds to it); the text is that of the
    // first sequence of the kind in table order.
    store::Statement& s = dmModul.cached(
        "SELECT Gleiche_Art, Gleiche_Art_Ansicht FROM DM_Folge WHERE ID_Folge IN "
        "(SELECT min(ID_Folge) FROM DM_Folge WHERE Gleiche_Art <> 0 GROUP BY Gleiche_Art) "
        "ORDER BY Gleiche_Art");
    s.reset();
    std::vector<std::pair<int, std::string>> arten;
    while (s.step()) {
        arten.emplace_back(static_cast<int>(s.int64(0)), s.isNull(1) ? std::string() : s.text(1));
    }
    s.reset();
    return arten;
}

void Ereignisfolgen_FormShow(kern::Kontext& k, char dezimaltrenner) {
    store::DataModule_Roulette& dm = k.dm;
    dm.TdbQuery_DM_Ergebnisse.close();
    const std::vector<std::pair<int, std::string>> arten =
        Gleiche_Arten_Lesen(dm.TdbDatabase_DM_Modul);
    {
        store::BulkWriter schreiber(dm.TdbDatabase_DM_Modul);
        schreiber.execute("DELETE FROM DM_Folge_Anzeige");
        schreiber.execute("DELETE FROM DM_Gleiche_Art");
        auto& zeile = schreiber.insert("DM_Gleiche_Art", {"ID_Gleiche_Art", "Gleiche_Art"});
        const store::FieldDef& textfeld = *store::findTable("DM_Gleiche_Art")->field("Gleiche_Art");
        for (const auto& [code, text] : arten) {
            zeile.write({Value(std::int64_t{code}), store::toFieldType(textfeld, Value(text))});
        }
        schreiber.refreshAfterCommit(dm.TdbTable_DM_Folge_Anzeige);
        schreiber.refreshAfterCommit(dm.TdbTable_DM_Gleiche_Art);
        schreiber.commit();
    }
    dm.TdbTable_DM_Gleiche_Art.first();
    Folgen_Anzeigen(k, dezimaltrenner);
}

void Folgen_Anzeigen(kern::Kontext& k, char dezimaltrenner) {
    store::DataModule_Roulette& dm = k.dm;
    const store::TableCursor& arten = dm.TdbTable_DM_Gleiche_Art;
    std::optional<std::int64_t> art;
    if (arten.isOpen() && !arten.isEmpty()) {
        art = arten.value("ID_Gleiche_Art").toInt64();
    }
    store::QueryCursor& q = dm.TdbQuery_Gleiche_Art;
    Prozentfeld(q, "Anzahl_Prozent", "Anzahl", coupzaehler(dm.TdbTable_Wahl), dezimaltrenner);
    Abfrage_Oeffnen(q, Folgen_Abfrage(art));
}

void DataSource_Query_Gleiche_ArtDataChange(kern::Kontext& k,
                                            const kern::Ereigniskatalog& katalog) {
    store::QueryCursor& q = k.dm.TdbQuery_Gleiche_Art;
    if (!q.isOpen() || q.isEmpty()) {
        Anzeige_Leeren(k.dm);
        return;
    }
    std::array<int, 5> codes{};
    for (std::size_t i = 0; i < codes.size(); ++i) {
        codes[i] = q.isNull(kFolgefelder[i]) ? 0 : q.integer(kFolgefelder[i]);
    }
    Anzeige_Schreiben(k.dm, Folge_Ereignisse(codes, std::nullopt), &katalog, k.sitzung.sprache);
}

void Ereignisfolgen_FormClose(kern::Kontext& k) {
    Anzeige_Leeren(k.dm);
    k.dm.TdbQuery_Gleiche_Art.close();
}

}  // namespace spinalyst::mining
