#include "systems/austausch.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <set>
#include <tuple>

#include "systems/json.h"
#include "systems/system.h"

namespace spinalyst::systems {

using store::FieldType;
using store::QueryCursor;
using store::TableCursor;

namespace {

// The fields of `Systeme` that define a system, with their creation values.
struct Systemfeld {
    const char* name;
    const char* neu;  // nullptr: null
};
constexpr Systemfeld kSystemfelder[] = {
    {"System_Name", "(Neues System)"},
    {"System_Informationen", nullptr},
    {"System_Online_Aktiv", nullptr},
    {"Systemangriff_Beendung_Einzeln_Alle", "t"},
};

constexpr const char* kFilterereignisse[] = {"ID_Ereignis_Haeufigkeit", "ID_Ereignis_Serien",
                                             "ID_Ereignis_Rueckstaendigkeit"};

const store::TableDef& tabelle(const char* name) {
    return *store::findTable(name);
}

// The fields that tie a row to its system and instance; a document leaves them out.
bool Eigentuemerfeld(const store::FieldDef& f) {
    return std::string_view(f.name) == "ID_System" || std::string_view(f.name) == "ID_Instanz";
}

json::Value nachJson(const store::Value& v) {
    if (v.isNull()) {
        return json::Value();
    }
    if (v.isInteger()) {
        return json::Value(v.toInt64());
    }
    if (v.isDouble()) {
        return json::Value(v.toDouble());
    }
    return json::Value(v.toText());
}

// Runs a SELECT and returns its rows.
std::vector<std::vector<store::Value>> abfragen(store::Database& db, const std::string& sql,
                                                std::vector<store::Value> params) {
    QueryCursor q("System_Austausch", db);
    q.setSql(sql, std::move(params));
    q.open();
    std::vector<std::vector<store::Value>> zeilen;
    for (int i = 0; const store::Row* r = q.rowAt(i); ++i) {
        zeilen.push_back(r->values);
    }
    q.close();
    return zeilen;
}

// The fields of one row of a table as an object, owner fields left out; null when no row.
json::Value Zeile_Als_Objekt(store::Database& db, const char* name, const std::string& bedingung,
                             std::vector<store::Value> params) {
    const auto& t = tabelle(name);
    const auto zeilen = abfragen(
        db,
        std::string("SELECT * FROM ") + name + " WHERE " + bedingung + " ORDER BY rowid LIMIT 1",
        std::move(params));
    if (zeilen.empty()) {
        return json::Value();
    }
    json::Value obj = json::Value::object();
    for (std::size_t i = 0; i < t.fields.size(); ++i) {
        if (!Eigentuemerfeld(t.fields[i])) {
            obj.set(t.fields[i].name, nachJson(zeilen[0][i]));
        }
    }
    return obj;
}

int zeichen(const std::string& s) {
    return static_cast<int>(std::count_if(
        s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// ---- Reading a document ----------------------------------------------------------------------

[[noreturn]] void fehler(const std::string& text) {
    throw ImportFehler(text);
}

void nurBekannteSchluessel(const json::Value& obj, const std::vector<std::string>& erlaubt,
                           const std::string& wo) {
    for (const auto& key : obj.keys()) {
        if (std::find(erlaubt.begin(), erlaubt.end(), key) == erlaubt.end()) {
            fehler(wo + ": unknown field \"" + key + "\"");
        }
    }
}

const json::Value& alsObjekt(const json::Value& v, const std::string& wo) {
    if (!v.isObject()) {
        fehler(wo + " must be an object, not " + json::typeName(v));
    }
    return v;
}

int ganzzahl(const json::Value& v, const std::string& wo) {
    if (!v.isInteger() || v.integer() < std::numeric_limits<int>::min() ||
        v.integer() > std::numeric_limits<int>::max()) {
        fehler(wo + " must be an integer, not " +
               (v.isInteger() ? std::string("a number that large") : json::typeName(v)));
    }
    return static_cast<int>(v.integer());
}

// A document value for a field of the layout, checked against its type and size.
store::Value Feldwert(const store::FieldDef& f, const json::Value& v, const std::string& wo) {
    const std::string feld = wo + ": " + f.name;
    if (v.isNull()) {
        return {};
    }
    switch (f.type) {
        case FieldType::Integer:
            return store::Value(ganzzahl(v, feld));
        case FieldType::Text:
        case FieldType::Memo:
            if (!v.isString()) {
                fehler(feld + " must be a text or null, not " + json::typeName(v));
            }
            if (f.type == FieldType::Text && zeichen(v.string()) > f.size) {
                fehler(feld + " is longer than " + std::to_string(f.size) + " characters");
            }
            return store::Value(v.string());
        default:
            fehler(feld + " cannot be given");
    }
}

// Values for a row of a table in field order: the defaults, overlaid by the object's fields.
std::vector<store::Value> Zeilenwerte(const store::TableDef& t, const json::Value& obj,
                                      std::vector<store::Value> werte, const std::string& wo) {
    std::vector<std::string> felder;
    for (const auto& f : t.fields) {
        if (!Eigentuemerfeld(f)) {
            felder.emplace_back(f.name);
        }
    }
    nurBekannteSchluessel(alsObjekt(obj, wo), felder, wo);
    werte.resize(t.fields.size());
    for (std::size_t i = 0; i < t.fields.size(); ++i) {
        if (const json::Value* v = obj.find(t.fields[i].name)) {
            werte[i] = Feldwert(t.fields[i], *v, wo);
        }
    }
    return werte;
}

struct Instanzplan {
    int instanz = 0;
    std::optional<std::vector<store::Value>> daten;
    std::vector<std::pair<int, store::Value>> folge;  // event, mark
    std::vector<std::pair<std::string, store::Value>> angriffe;
};

struct Plan {
    int art = 0;
    int chancen = 0;
    std::vector<store::Value> system;  // the defining fields, as kSystemfelder
    std::vector<Instanzplan> instanzen;
    std::optional<std::vector<store::Value>> individuell[2];
};

std::set<int> Schluessel(store::Database& db, const std::string& sql) {
    std::set<int> s;
    for (const auto& z : abfragen(db, sql, {})) {
        s.insert(z[0].toInt());
    }
    return s;
}

store::Value Standardeinsatz(const std::string& id) {
    if (id == "G") {
        return store::Value(100);
    }
    if (id == "V") {
        return store::Value(-100);
    }
    return {};
}

Instanzplan Instanz_Lesen(const json::Value& obj, const std::set<int>& ereignisse,
                          std::set<int>& gesehen, std::size_t nr) {
    std::string wo = "Instanzen[" + std::to_string(nr) + "]";
    alsObjekt(obj, wo);
    nurBekannteSchluessel(
        obj, {"ID_Instanz", "System_Daten", "System_Ereignisse", "System_Angriffe"}, wo);
    Instanzplan plan;
    const json::Value* id = obj.find("ID_Instanz");
    if (!id) {
        fehler(wo + ": ID_Instanz is missing");
    }
    plan.instanz = ganzzahl(*id, wo + ": ID_Instanz");
    if (plan.instanz < 1 || plan.instanz > 3) {
        fehler(wo + ": ID_Instanz must be 1, 2 or 3");
    }
    if (!gesehen.insert(plan.instanz).second) {
        fehler(wo + ": instance " + std::to_string(plan.instanz) + " is given twice");
    }
    wo = "instance " + std::to_string(plan.instanz);

    const json::Value* daten = obj.find("System_Daten");
    if (!daten || !daten->isNull()) {
        const auto& t = tabelle("System_Daten");
        plan.daten =
            daten ? Zeilenwerte(t, *daten, System_Daten_Standardwerte(), wo + ": System_Daten")
                  : System_Daten_Standardwerte();
        const std::string setzart =
            (*plan.daten)[static_cast<std::size_t>(t.fieldIndex("Setzart"))].toText();
        if (!setzart.empty() && setzart != "E" && setzart != "K" && setzart != "P") {
            fehler(wo + ": System_Daten: Setzart must be \"E\", \"K\", \"P\" or null");
        }
        for (const char* feld : kFilterereignisse) {
            const int e = (*plan.daten)[static_cast<std::size_t>(t.fieldIndex(feld))].toInt();
            if (e != 0 && !ereignisse.count(e)) {
                fehler(wo + ": System_Daten: " + feld + " names the unknown event " +
                       std::to_string(e));
            }
        }
    }

    if (const json::Value* folge = obj.find("System_Ereignisse"); folge && !folge->isNull()) {
        if (!folge->isArray()) {
            fehler(wo + ": System_Ereignisse must be a list, not " + json::typeName(*folge));
        }
        for (std::size_t i = 0; i < folge->size(); ++i) {
            const std::string stelle = wo + ": System_Ereignisse[" + std::to_string(i) + "]";
            const json::Value& e = alsObjekt(folge->items()[i], stelle);
            nurBekannteSchluessel(e, {"ID_Ereignis", "Angriff"}, stelle);
            const json::Value* ereignis = e.find("ID_Ereignis");
            if (!ereignis) {
                fehler(stelle + ": ID_Ereignis is missing");
            }
            const int idEreignis = ganzzahl(*ereignis, stelle + ": ID_Ereignis");
            if (!ereignisse.count(idEreignis)) {
                fehler(stelle + ": unknown event " + std::to_string(idEreignis));
            }
            store::Value marke;
            if (const json::Value* a = e.find("Angriff"); a && !a->isNull()) {
                if (!a->isString() ||
                    (a->string() != "x" && a->string() != "<>" && !a->string().empty())) {
                    fehler(stelle + ": Angriff must be \"x\", \"<>\" or null");
                }
                marke = a->string() == "<>" ? store::Value("<>") : store::Value();
            }
            plan.folge.emplace_back(idEreignis, marke);
        }
        // The attacked event is the last one, and only it carries "x".
        if (!plan.folge.empty()) {
            plan.folge.back().second = store::Value("x");
        }
    }

    const json::Value* angriffe = obj.find("System_Angriffe");
    if (angriffe && !angriffe->isNull()) {
        alsObjekt(*angriffe, wo + ": System_Angriffe");
        nurBekannteSchluessel(*angriffe, Angriff_Zeilen(), wo + ": System_Angriffe");
    }
    if (!angriffe || (!angriffe->isNull() && angriffe->size() > 0)) {
        for (const auto& stufe : Angriff_Zeilen()) {
            store::Value satz = Standardeinsatz(stufe);
            if (const json::Value* v = angriffe ? angriffe->find(stufe) : nullptr) {
                if (!v->isNull() && !v->isInteger()) {
                    fehler(wo + ": the stake \"" + stufe + "\" must be an integer or null, not " +
                           json::typeName(*v));
                }
                satz = v->isNull()
                           ? store::Value()
                           : store::Value(ganzzahl(*v, wo + ": the stake \"" + stufe + "\""));
            }
            plan.angriffe.emplace_back(stufe, satz);
        }
    }
    return plan;
}

Plan Dokument_Lesen(store::Database& db, std::string_view text) {
    json::Value doc;
    try {
        doc = json::parse(text);
    } catch (const json::ParseError& e) {
        fehler(std::string("not valid JSON: ") + e.what());
    }
    alsObjekt(doc, "the document");
    std::vector<std::string> erlaubt = {"ID_System_Art", "ID_System_Chancen", "Instanzen",
                                        "Individuell_1_Daten", "Individuell_2_Daten"};
    for (const auto& f : kSystemfelder) {
        erlaubt.emplace_back(f.name);
    }
    nurBekannteSchluessel(doc, erlaubt, "the document");

    Plan plan;
    for (auto [feld, ziel, sql] :
         {std::tuple{"ID_System_Art", &plan.art, "SELECT ID_System_Art_AutoInc FROM System_Art"},
          std::tuple{"ID_System_Chancen", &plan.chancen,
                     "SELECT ID_System_Chancen FROM System_Chancen"}}) {
        const json::Value* v = doc.find(feld);
        if (!v) {
            fehler(std::string(feld) + " is missing");
        }
        *ziel = ganzzahl(*v, feld);
        if (!Schluessel(db, sql).count(*ziel)) {
            fehler(std::string(feld) + " " + std::to_string(*ziel) + " is unknown");
        }
    }
    const auto& systeme = tabelle("Systeme");
    for (const auto& f : kSystemfelder) {
        const json::Value* v = doc.find(f.name);
        plan.system.push_back(v ? Feldwert(*systeme.field(f.name), *v, "the document")
                                : (f.neu ? store::Value(f.neu) : store::Value()));
    }

    const std::set<int> ereignisse = Schluessel(db, "SELECT ID_Ereignis FROM Ereignisse");
    if (const json::Value* inst = doc.find("Instanzen"); inst && !inst->isNull()) {
        if (!inst->isArray()) {
            fehler(std::string("Instanzen must be a list, not ") + json::typeName(*inst));
        }
        std::set<int> gesehen;
        for (std::size_t i = 0; i < inst->size(); ++i) {
            plan.instanzen.push_back(Instanz_Lesen(inst->items()[i], ereignisse, gesehen, i));
        }
        std::sort(plan.instanzen.begin(), plan.instanzen.end(),
                  [](const Instanzplan& a, const Instanzplan& b) { return a.instanz < b.instanz; });
    }

    const char* individuell[2] = {"Individuell_1_Daten", "Individuell_2_Daten"};
    for (int r = 0; r < 2; ++r) {
        const json::Value* v = doc.find(individuell[r]);
        if (!v || v->isNull()) {
            continue;
        }
        if (plan.art != kArtIndividuell) {
            fehler(std::string(individuell[r]) + " belongs to individual systems (kind 2) only");
        }
        plan.individuell[r] = Zeilenwerte(tabelle(individuell[r]), *v, {}, individuell[r]);
    }
    return plan;
}

}  // namespace

std::vector<Systemzeile> Systeme_Auflisten(store::DataModule_Roulette& dm) {
    std::vector<Systemzeile> liste;
    for (const auto& z : abfragen(dm.TdbDatabase_Roulette,
                                  "SELECT ID_System_AutoInc, ID_System_Art, ID_System_Chancen, "
                                  "ID_System_Nummer, System_Name FROM Systeme ORDER BY "
                                  "ID_System_Art, ID_System_Chancen, ID_System_Nummer, "
                                  "ID_System_AutoInc",
                                  {})) {
        liste.push_back({z[0].toInt(), z[1].toInt(), z[2].toInt(), z[3].toInt(), z[4].toText()});
    }
    return liste;
}

std::optional<std::string> System_Exportieren(store::DataModule_Roulette& dm, int idSystem) {
    auto& db = dm.TdbDatabase_Roulette;
    const store::Value id(idSystem);
    const auto& systeme = tabelle("Systeme");
    const auto zeilen = abfragen(db, "SELECT * FROM Systeme WHERE ID_System_AutoInc = ?", {id});
    if (zeilen.empty()) {
        return std::nullopt;
    }
    const auto& system = zeilen[0];
    auto feld = [&](const char* name) {
        return nachJson(system[static_cast<std::size_t>(systeme.fieldIndex(name))]);
    };

    json::Value doc = json::Value::object();
    doc.set("ID_System_Art", feld("ID_System_Art"));
    doc.set("ID_System_Chancen", feld("ID_System_Chancen"));
    for (const auto& f : kSystemfelder) {
        doc.set(f.name, feld(f.name));
    }
    json::Value instanzen = json::Value::array();
    for (int i = 1; i <= 3; ++i) {
        const std::vector<store::Value> owner = {id, store::Value(i)};
        json::Value inst = json::Value::object();
        inst.set("ID_Instanz", json::Value(i));
        inst.set("System_Daten",
                 Zeile_Als_Objekt(db, "System_Daten", "ID_System = ? AND ID_Instanz = ?", owner));
        json::Value folge = json::Value::array();
        for (const auto& z :
             abfragen(db,
                      "SELECT ID_Ereignis, Angriff FROM System_Ereignisse WHERE ID_System = ? AND "
                      "ID_Instanz = ? ORDER BY Nr_Ereignis",
                      owner)) {
            json::Value e = json::Value::object();
            e.set("ID_Ereignis", nachJson(z[0]));
            e.set("Angriff", nachJson(z[1]));
            folge.push(std::move(e));
        }
        inst.set("System_Ereignisse", std::move(folge));
        json::Value angriffe = json::Value::object();
        for (const auto& z : abfragen(db,
                                      "SELECT ID_Angriff, Satz FROM System_Angriffe WHERE "
                                      "ID_System = ? AND ID_Instanz = ? ORDER BY rowid",
                                      owner)) {
            if (!angriffe.find(z[0].toText())) {
                angriffe.set(z[0].toText(), nachJson(z[1]));
            }
        }
        inst.set("System_Angriffe", std::move(angriffe));
        instanzen.push(std::move(inst));
    }
    doc.set("Instanzen", std::move(instanzen));
    if (system[static_cast<std::size_t>(systeme.fieldIndex("ID_System_Art"))].toInt() ==
        kArtIndividuell) {
        for (const char* t : {"Individuell_1_Daten", "Individuell_2_Daten"}) {
            doc.set(t, Zeile_Als_Objekt(db, t, "ID_System = ?", {id}));
        }
    }
    return json::write(doc) + "\n";
}

int System_Importieren(store::DataModule_Roulette& dm, std::string_view dokument) {
    auto& db = dm.TdbDatabase_Roulette;
    const Plan plan = Dokument_Lesen(db, dokument);

    int id = 0;
    {
        store::Transaction tx(db.connection());
        const auto hoechste =
            abfragen(db,
                     "SELECT MAX(ID_System_Nummer) FROM Systeme WHERE ID_System_Art = ? AND "
                     "ID_System_Chancen = ?",
                     {store::Value(plan.art), store::Value(plan.chancen)});
        const int nummer = (hoechste.empty() ? 0 : hoechste[0][0].toInt()) + 1;

        // The rows are written through cursors of their own, so the data module's system cursors
        // and their hooks do not move while the system is built.
        TableCursor systeme("Import_Systeme", db, "Systeme");
        systeme.open();
        systeme.appendRecord({store::Value(), store::Value(1), store::Value(nummer),
                              store::Value(plan.art), store::Value(plan.chancen), plan.system[0],
                              plan.system[1], plan.system[2], store::Value("f"), plan.system[3],
                              store::Value(0), store::Value("f"), store::Value("f"),
                              store::Value("f"), store::Value("t")});
        id = systeme.integer("ID_System_AutoInc");
        const store::Value sid(id);

        TableCursor daten("Import_System_Daten", db, "System_Daten");
        TableCursor folge("Import_System_Ereignisse", db, "System_Ereignisse");
        TableCursor angriffe("Import_System_Angriffe", db, "System_Angriffe");
        for (TableCursor* c : {&daten, &folge, &angriffe}) {
            c->open();
        }
        for (const auto& inst : plan.instanzen) {
            const store::Value iid(inst.instanz);
            if (inst.daten) {
                std::vector<store::Value> werte = *inst.daten;
                werte[0] = sid;
                werte[1] = iid;
                daten.appendRecord(werte);
            }
            for (const auto& [ereignis, marke] : inst.folge) {
                folge.appendRecord({sid, iid, store::Value(), store::Value(ereignis), marke});
            }
            for (const auto& [stufe, satz] : inst.angriffe) {
                angriffe.appendRecord({sid, iid, store::Value(stufe), satz});
            }
        }
        const char* individuell[2] = {"Individuell_1_Daten", "Individuell_2_Daten"};
        for (int r = 0; r < 2; ++r) {
            if (plan.individuell[r]) {
                TableCursor c("Import_Individuell", db, individuell[r]);
                c.open();
                std::vector<store::Value> werte = *plan.individuell[r];
                werte[0] = sid;
                c.appendRecord(werte);
            }
        }
        tx.commit();
    }
    Systemcursoren_Auffrischen(dm);
    return id;
}

}  // namespace spinalyst::systems
