#include "systems/austausch.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <optional>
#include <set>
#include <tuple>
#include <unordered_set>

#include <nlohmann/json.hpp>

#include "systems/system.h"

namespace spinalyst::systems {

using store::FieldType;
using store::QueryCursor;
using store::TableCursor;
using Json = nlohmann::ordered_json;

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

Json nachJson(const store::Value& v) {
    if (v.isNull()) {
        return nullptr;
    }
    if (v.isInteger()) {
        return v.toInt64();
    }
    if (v.isDouble()) {
        return v.toDouble();
    }
    return v.toText();
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
Json Zeile_Als_Objekt(store::Database& db, const char* name, const std::string& bedingung,
                      std::vector<store::Value> params) {
    const auto& t = tabelle(name);
    const auto zeilen = abfragen(
        db,
        std::string("SELECT * FROM ") + name + " WHERE " + bedingung + " ORDER BY rowid LIMIT 1",
        std::move(params));
    if (zeilen.empty()) {
        return nullptr;
    }
    Json obj = Json::object();
    for (std::size_t i = 0; i < t.fields.size(); ++i) {
        if (!Eigentuemerfeld(t.fields[i])) {
            obj[t.fields[i].name] = nachJson(zeilen[0][i]);
        }
    }
    return obj;
}

int zeichen(const std::string& s) {
    return static_cast<int>(std::count_if(
        s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// ---- JSON text -------------------------------------------------------------------------------

[[noreturn]] void fehler(const std::string& text) {
    throw ImportFehler(text);
}

constexpr std::size_t kMaxTiefe = 64;
constexpr std::size_t kZeilenbreite = 80;

// Walks the text for the parser and leaves behind how far the parser has read: the parser reads
// no further than the end of a bracket or a member name before it reports it, so a refusal of
// the reader below can say where it is.
class Lesestelle {
  public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    Lesestelle(const char* p, const char** gelesen) : p_(p), gelesen_(gelesen) {}
    reference operator*() const { return *p_; }
    Lesestelle& operator++() {
        *gelesen_ = ++p_;
        return *this;
    }
    Lesestelle operator++(int) {
        Lesestelle vorher = *this;
        ++*this;
        return vorher;
    }
    bool operator==(const Lesestelle& other) const { return p_ == other.p_; }

  private:
    const char* p_;
    const char** gelesen_;
};

// Builds the document from the parser's events, refusing what the parser itself lets through:
// duplicate member names and too deep nesting. Every refusal throws ImportFehler.
class StrengerLeser final : public nlohmann::json_sax<Json> {
  public:
    StrengerLeser(std::string_view text, const char* const& gelesen)
        : text_(text), gelesen_(gelesen) {}

    Json dokument() { return std::move(dokument_); }

    bool null() override { return wert(nullptr); }
    bool boolean(bool b) override { return wert(b); }
    bool number_integer(number_integer_t i) override { return wert(i); }
    bool number_unsigned(number_unsigned_t u) override { return wert(u); }
    bool number_float(number_float_t d, const string_t&) override { return wert(d); }
    bool string(string_t& s) override { return wert(std::move(s)); }
    bool binary(binary_t&) override { return false; }
    bool start_object(std::size_t) override { return oeffnen(Json::object()); }
    bool start_array(std::size_t) override { return oeffnen(Json::array()); }
    bool end_object() override { return schliessen(); }
    bool end_array() override { return schliessen(); }

    bool key(string_t& name) override {
        if (!offen_.back().namen.insert(name).second) {
            // The name's closing quote was the last character read; find its opening one.
            std::size_t an = gelesenBis() - 1;
            while (an > 0 && !(text_[--an] == '"' && !maskiert(an))) {
            }
            fehlerBei(an, "duplicate member \"" + name + "\"");
        }
        name_ = std::move(name);
        return true;
    }

    bool parse_error(std::size_t position, const std::string& zuletzt,
                     const Json::exception& e) override {
        // position counts the characters read, the one the parser stumbled on included.
        const std::size_t an = position > 0 ? position - 1 : 0;
        if (fertig_) {
            nachDemEnde(an);
        }
        if (e.id == 406) {  // a number beyond the range of double
            fehlerBei(position >= zuletzt.size() ? position - zuletzt.size() : 0,
                      "number out of range");
        }
        // The parser's own words without its position (given here in characters) and without the
        // text it read last, which may be long or not UTF-8.
        std::string meldung = e.what();
        if (const auto p = meldung.find(": "); p != std::string::npos) {
            meldung.erase(0, p + 2);
        }
        const std::string gelesen = "; last read: '" + zuletzt + "'";
        if (const auto p = meldung.find(gelesen); p != std::string::npos) {
            meldung.erase(p, gelesen.size());
        }
        fehlerBei(an, meldung);
    }

    // Refuses the text from `an` on, which follows the document.
    [[noreturn]] void nachDemEnde(std::size_t an) const {
        fehlerBei(an, "unexpected text after the end of the document");
    }

  private:
    struct Offen {
        Json* wert;
        std::unordered_set<std::string> namen;
    };

    std::size_t gelesenBis() const { return static_cast<std::size_t>(gelesen_ - text_.data()); }

    // Whether the character at `an` follows an odd number of backslashes.
    bool maskiert(std::size_t an) const {
        std::size_t n = 0;
        while (an > n && text_[an - n - 1] == '\\') {
            ++n;
        }
        return n % 2 == 1;
    }

    // Places a value in the open list or object, or makes it the document; returns where it is.
    Json& ablegen(Json v) {
        if (offen_.empty()) {
            dokument_ = std::move(v);
            return dokument_;
        }
        Json& oben = *offen_.back().wert;
        if (oben.is_object()) {
            return oben[std::move(name_)] = std::move(v);
        }
        oben.push_back(std::move(v));
        return oben.back();
    }

    bool wert(Json v) {
        ablegen(std::move(v));
        fertig_ = offen_.empty();
        return true;
    }

    bool oeffnen(Json leer) {
        if (offen_.size() >= kMaxTiefe) {
            fehlerBei(gelesenBis() - 1, "nested too deeply");
        }
        // The open containers are never moved while they are open: only the innermost one grows.
        Json& neu = ablegen(std::move(leer));
        offen_.push_back({&neu, {}});
        return true;
    }

    bool schliessen() {
        offen_.pop_back();
        fertig_ = offen_.empty();
        return true;
    }

    [[noreturn]] void fehlerBei(std::size_t an, const std::string& meldung) const {
        int zeile = 1;
        int spalte = 1;
        for (std::size_t i = 0; i < an && i < text_.size(); ++i) {
            if (text_[i] == '\n') {
                ++zeile;
                spalte = 1;
            } else if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) {
                ++spalte;
            }
        }
        fehler("not valid JSON: line " + std::to_string(zeile) + ", column " +
               std::to_string(spalte) + ": " + meldung);
    }

    std::string_view text_;
    const char* const& gelesen_;
    Json dokument_;
    std::vector<Offen> offen_;
    std::string name_;
    bool fertig_ = false;
};

bool istBehaelter(const Json& v) {
    return v.is_array() || v.is_object();
}

void skalarSchreiben(std::string& out, const Json& v) {
    if (v.is_number_float()) {
        // As printf's %.17g, whatever the locale's decimal separator.
        char puffer[32];
        const auto [ende, ec] = std::to_chars(puffer, puffer + sizeof puffer, v.get<double>(),
                                              std::chars_format::general, 17);
        out.append(puffer, ec == std::errc() ? ende : puffer);
        return;
    }
    out += v.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void nameSchreiben(std::string& out, const std::string& name) {
    skalarSchreiben(out, Json(name));
}

// The one-line form of a container of scalars, or "" when it holds a container.
std::string einzeilig(const Json& v) {
    std::string s(1, v.is_object() ? '{' : '[');
    for (auto it = v.begin(); it != v.end(); ++it) {
        if (istBehaelter(*it)) {
            return {};
        }
        if (it != v.begin()) {
            s += ", ";
        }
        if (v.is_object()) {
            nameSchreiben(s, it.key());
            s += ": ";
        }
        skalarSchreiben(s, *it);
    }
    s += v.is_object() ? '}' : ']';
    return s;
}

void wertSchreiben(std::string& out, const Json& v, std::size_t einzug) {
    if (!istBehaelter(v)) {
        skalarSchreiben(out, v);
        return;
    }
    if (v.empty()) {
        out += v.is_object() ? "{}" : "[]";
        return;
    }
    const std::string zeile = einzeilig(v);
    if (!zeile.empty() && einzug + zeile.size() <= kZeilenbreite) {
        out += zeile;
        return;
    }
    out += v.is_object() ? '{' : '[';
    const std::string rand(einzug + 2, ' ');
    for (auto it = v.begin(); it != v.end(); ++it) {
        out += it != v.begin() ? ",\n" : "\n";
        out += rand;
        if (v.is_object()) {
            nameSchreiben(out, it.key());
            out += ": ";
        }
        wertSchreiben(out, *it, einzug + 2);
    }
    out += '\n';
    out += std::string(einzug, ' ');
    out += v.is_object() ? '}' : ']';
}

}  // namespace

Json Json_Lesen(std::string_view text) {
    const char* gelesen = text.data();
    StrengerLeser leser(text, gelesen);
    // The reader throws at every refusal; false would only come from an event JSON text has not.
    if (!Json::sax_parse(Lesestelle(text.data(), &gelesen),
                         Lesestelle(text.data() + text.size(), &gelesen), &leser)) {
        fehler("not valid JSON");
    }
    // The parser takes a NUL character for the end of the text; it is never part of a document.
    if (const auto nul = text.find('\0'); nul != std::string_view::npos) {
        leser.nachDemEnde(nul);
    }
    return leser.dokument();
}

std::string Json_Text(const Json& wert) {
    std::string out;
    wertSchreiben(out, wert, 0);
    return out;
}

namespace {

// ---- Reading a document ----------------------------------------------------------------------

// A one-line description of a value's type ("a string", "a list", ...) for messages.
const char* typName(const Json& v) {
    switch (v.type()) {
        case Json::value_t::null:
            return "null";
        case Json::value_t::boolean:
            return "a boolean";
        case Json::value_t::number_integer:
        case Json::value_t::number_unsigned:
            return "an integer";
        case Json::value_t::number_float:
            return "a number with a fraction or exponent";
        case Json::value_t::string:
            return "a string";
        case Json::value_t::array:
            return "a list";
        case Json::value_t::object:
            return "an object";
        default:
            return "a value";
    }
}

// The member of an object; nullptr when the object has none of that name.
const Json* finden(const Json& obj, const std::string& name) {
    const auto it = obj.find(name);
    return it == obj.end() ? nullptr : &*it;
}

void nurBekannteSchluessel(const Json& obj, const std::vector<std::string>& erlaubt,
                           const std::string& wo) {
    for (auto it = obj.begin(); it != obj.end(); ++it) {
        if (std::find(erlaubt.begin(), erlaubt.end(), it.key()) == erlaubt.end()) {
            fehler(wo + ": unknown field \"" + it.key() + "\"");
        }
    }
}

const Json& alsObjekt(const Json& v, const std::string& wo) {
    if (!v.is_object()) {
        fehler(wo + " must be an object, not " + typName(v));
    }
    return v;
}

// The value as an int; nullopt when it is no whole number or one out of the range of int.
std::optional<int> alsInt(const Json& v) {
    constexpr auto kMin = std::numeric_limits<int>::min();
    constexpr auto kMax = std::numeric_limits<int>::max();
    if (v.is_number_unsigned()) {
        const auto u = v.get<std::uint64_t>();
        return u <= static_cast<std::uint64_t>(kMax) ? std::optional(static_cast<int>(u))
                                                     : std::nullopt;
    }
    if (v.is_number_integer()) {
        const auto i = v.get<std::int64_t>();
        return i >= kMin && i <= kMax ? std::optional(static_cast<int>(i)) : std::nullopt;
    }
    return std::nullopt;
}

// A whole number out of the range of int, also one written with an exponent or one beyond 64 bits
// (both read as floating-point numbers).
bool zuGross(const Json& v) {
    if (v.is_number_float()) {
        const double d = v.get<double>();
        return std::trunc(d) == d && std::fabs(d) > std::numeric_limits<int>::max();
    }
    return v.is_number_integer() && !alsInt(v);
}

int ganzzahl(const Json& v, const std::string& wo) {
    const auto i = alsInt(v);
    if (!i) {
        fehler(wo + " must be an integer, not " +
               (zuGross(v) ? std::string("a number that large") : typName(v)));
    }
    return *i;
}

// A document value for a field of the layout, checked against its type and size.
store::Value Feldwert(const store::FieldDef& f, const Json& v, const std::string& wo) {
    const std::string feld = wo + ": " + f.name;
    if (v.is_null()) {
        return {};
    }
    switch (f.type) {
        case FieldType::Integer:
            return store::Value(ganzzahl(v, feld));
        case FieldType::Text:
        case FieldType::Memo:
            if (!v.is_string()) {
                fehler(feld + " must be a text or null, not " + typName(v));
            }
            if (f.type == FieldType::Text && zeichen(v.get_ref<const std::string&>()) > f.size) {
                fehler(feld + " is longer than " + std::to_string(f.size) + " characters");
            }
            return store::Value(v.get<std::string>());
        default:
            fehler(feld + " cannot be given");
    }
}

// Values for a row of a table in field order: the defaults, overlaid by the object's fields.
std::vector<store::Value> Zeilenwerte(const store::TableDef& t, const Json& obj,
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
        if (const Json* v = finden(obj, t.fields[i].name)) {
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

Instanzplan Instanz_Lesen(const Json& obj, const std::set<int>& ereignisse, std::set<int>& gesehen,
                          std::size_t nr) {
    std::string wo = "Instanzen[" + std::to_string(nr) + "]";
    alsObjekt(obj, wo);
    nurBekannteSchluessel(
        obj, {"ID_Instanz", "System_Daten", "System_Ereignisse", "System_Angriffe"}, wo);
    Instanzplan plan;
    const Json* id = finden(obj, "ID_Instanz");
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

    const Json* daten = finden(obj, "System_Daten");
    if (!daten || !daten->is_null()) {
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

    if (const Json* folge = finden(obj, "System_Ereignisse"); folge && !folge->is_null()) {
        if (!folge->is_array()) {
            fehler(wo + ": System_Ereignisse must be a list, not " + typName(*folge));
        }
        for (std::size_t i = 0; i < folge->size(); ++i) {
            const std::string stelle = wo + ": System_Ereignisse[" + std::to_string(i) + "]";
            const Json& e = alsObjekt((*folge)[i], stelle);
            nurBekannteSchluessel(e, {"ID_Ereignis", "Angriff"}, stelle);
            const Json* ereignis = finden(e, "ID_Ereignis");
            if (!ereignis) {
                fehler(stelle + ": ID_Ereignis is missing");
            }
            const int idEreignis = ganzzahl(*ereignis, stelle + ": ID_Ereignis");
            if (!ereignisse.count(idEreignis)) {
                fehler(stelle + ": unknown event " + std::to_string(idEreignis));
            }
            store::Value marke;
            if (const Json* a = finden(e, "Angriff"); a && !a->is_null()) {
                if (!a->is_string() || (*a != "x" && *a != "<>" && *a != "")) {
                    fehler(stelle + ": Angriff must be \"x\", \"<>\" or null");
                }
                marke = *a == "<>" ? store::Value("<>") : store::Value();
            }
            plan.folge.emplace_back(idEreignis, marke);
        }
        // The attacked event is the last one, and only it carries "x".
        if (!plan.folge.empty()) {
            plan.folge.back().second = store::Value("x");
        }
    }

    const Json* angriffe = finden(obj, "System_Angriffe");
    if (angriffe && !angriffe->is_null()) {
        alsObjekt(*angriffe, wo + ": System_Angriffe");
        nurBekannteSchluessel(*angriffe, Angriff_Zeilen(), wo + ": System_Angriffe");
    }
    if (!angriffe || (!angriffe->is_null() && angriffe->size() > 0)) {
        for (const auto& stufe : Angriff_Zeilen()) {
            store::Value satz = Standardeinsatz(stufe);
            if (const Json* v = angriffe ? finden(*angriffe, stufe) : nullptr) {
                if (!v->is_null() && !v->is_number_integer() && !zuGross(*v)) {
                    fehler(wo + ": the stake \"" + stufe + "\" must be an integer or null, not " +
                           typName(*v));
                }
                satz = v->is_null()
                           ? store::Value()
                           : store::Value(ganzzahl(*v, wo + ": the stake \"" + stufe + "\""));
            }
            plan.angriffe.emplace_back(stufe, satz);
        }
    }
    return plan;
}

Plan Dokument_Lesen(store::Database& db, std::string_view text) {
    const Json doc = Json_Lesen(text);
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
        const Json* v = finden(doc, feld);
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
        const Json* v = finden(doc, f.name);
        plan.system.push_back(v ? Feldwert(*systeme.field(f.name), *v, "the document")
                                : (f.neu ? store::Value(f.neu) : store::Value()));
    }

    const std::set<int> ereignisse = Schluessel(db, "SELECT ID_Ereignis FROM Ereignisse");
    if (const Json* inst = finden(doc, "Instanzen"); inst && !inst->is_null()) {
        if (!inst->is_array()) {
            fehler(std::string("Instanzen must be a list, not ") + typName(*inst));
        }
        std::set<int> gesehen;
        for (std::size_t i = 0; i < inst->size(); ++i) {
            plan.instanzen.push_back(Instanz_Lesen((*inst)[i], ereignisse, gesehen, i));
        }
        std::sort(plan.instanzen.begin(), plan.instanzen.end(),
                  [](const Instanzplan& a, const Instanzplan& b) { return a.instanz < b.instanz; });
    }

    const char* individuell[2] = {"Individuell_1_Daten", "Individuell_2_Daten"};
    for (int r = 0; r < 2; ++r) {
        const Json* v = finden(doc, individuell[r]);
        if (!v || v->is_null()) {
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

    Json doc = Json::object();
    doc["ID_System_Art"] = feld("ID_System_Art");
    doc["ID_System_Chancen"] = feld("ID_System_Chancen");
    for (const auto& f : kSystemfelder) {
        doc[f.name] = feld(f.name);
    }
    Json instanzen = Json::array();
    for (int i = 1; i <= 3; ++i) {
        const std::vector<store::Value> owner = {id, store::Value(i)};
        Json inst = Json::object();
        inst["ID_Instanz"] = i;
        inst["System_Daten"] =
            Zeile_Als_Objekt(db, "System_Daten", "ID_System = ? AND ID_Instanz = ?", owner);
        Json folge = Json::array();
        for (const auto& z :
             abfragen(db,
                      "SELECT ID_Ereignis, Angriff FROM System_Ereignisse WHERE ID_System = ? AND "
                      "ID_Instanz = ? ORDER BY Nr_Ereignis",
                      owner)) {
            Json e = Json::object();
            e["ID_Ereignis"] = nachJson(z[0]);
            e["Angriff"] = nachJson(z[1]);
            folge.push_back(std::move(e));
        }
        inst["System_Ereignisse"] = std::move(folge);
        Json angriffe = Json::object();
        for (const auto& z : abfragen(db,
                                      "SELECT ID_Angriff, Satz FROM System_Angriffe WHERE "
                                      "ID_System = ? AND ID_Instanz = ? ORDER BY rowid",
                                      owner)) {
            if (!angriffe.contains(z[0].toText())) {
                angriffe[z[0].toText()] = nachJson(z[1]);
            }
        }
        inst["System_Angriffe"] = std::move(angriffe);
        instanzen.push_back(std::move(inst));
    }
    doc["Instanzen"] = std::move(instanzen);
    if (system[static_cast<std::size_t>(systeme.fieldIndex("ID_System_Art"))].toInt() ==
        kArtIndividuell) {
        for (const char* t : {"Individuell_1_Daten", "Individuell_2_Daten"}) {
            doc[t] = Zeile_Als_Objekt(db, t, "ID_System = ?", {id});
        }
    }
    return Json_Text(doc) + "\n";
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
