#include "mining/fenster_daten.h"

#include "systems/system.h"
#include "systems/systemauswertung.h"

namespace spinalyst::mining {

namespace {

bool flag(const store::Cursor& c, std::string_view feld) {
    return !c.isNull(feld) && c.text(feld) == "t";
}

constexpr std::array<const char*, 7> kChancenfelder = {
    "DM_Chancen_1",  "DM_Chancen_2",  "DM_Chancen_5", "DM_Chancen_8",
    "DM_Chancen_11", "DM_Chancen_17", "DM_Chancen_35"};
constexpr std::array<const char*, 3> kAktivfelder = {"DM_Haeufigkeit_aktiv", "DM_Serien_aktiv",
                                                     "DM_Rueckstaendigkeit_aktiv"};
constexpr std::array<const char*, 3> kAllefelder = {"DM_Haeufigkeit_Ereignisse_alle",
                                                    "DM_Serien_Ereignisse_alle",
                                                    "DM_Rueckstaendigkeit_Ereignisse_alle"};
constexpr std::array<const char*, 3> kInfofelder = {
    "Ereignis_Haeufigkeit_Info", "Ereignis_Serien_Info", "Ereignis_Rueckstaendigkeit_Info"};

bool systemGewaehlt(const store::TableCursor& s) {
    return s.isOpen() && !s.isEmpty() && s.state() != store::CursorState::Insert &&
           !s.isNull("ID_System_Nummer");
}

std::optional<store::Date> datum(const store::Cursor& c, std::string_view feld) {
    if (c.isNull(feld)) {
        return std::nullopt;
    }
    return c.date(feld);
}

}  // namespace

bool MenuItem_DataMiningClick(kern::Kontext& k) {
    systems::Systemaenderungen_Speichern(k);
    const store::TableCursor& w = k.dm.TdbTable_Wahl;
    const bool passt = w.isOpen() && !w.isEmpty() &&
                       w.integer("ID_System_Art") == systems::kArtDataMining &&
                       systemGewaehlt(k.dm.TdbTable_Systeme) && w.integer("ID_Instanz") == 1;
    if (!passt) {
        k.ui.inform(k.text("Systemgruppe Data Mining / System (Instanz = 1) wählen oder anlegen!",
                           "System Group Data Mining / System (Instance = 1) selected!?"));
    }
    return passt;
}

std::optional<Parameterseite> Data_Mining_FormShow(kern::Kontext& k) {
    systems::Systemaenderungen_Speichern(k);
    store::DataModule_Roulette& dm = k.dm;
    if (!systemGewaehlt(dm.TdbTable_Systeme) || !dm.TdbTable_Wahl.isOpen() ||
        dm.TdbTable_Wahl.isEmpty()) {
        return std::nullopt;
    }
    Parameterseite seite;
    seite.system = dm.TdbTable_Systeme.value("ID_System_AutoInc").toInt64();
    // The second cursor has not seen systems created or changed through the first one.
    store::TableCursor& zweite = dm.TdbTable_Systeme_2;
    if (zweite.isOpen()) {
        zweite.refresh();
    }
    if (!zweite.isOpen() || !zweite.locate("ID_System_AutoInc", {store::Value(seite.system)})) {
        return std::nullopt;
    }
    const std::optional<Parameter> p = Parameter_Laden(dm.TdbDatabase_Roulette, seite.system);
    if (!p) {
        return std::nullopt;
    }
    const store::TableCursor& w = dm.TdbTable_Wahl;
    seite.datumVon = datum(w, "DM_Datum_von");
    seite.datumBis = datum(w, "DM_Datum_bis");
    const store::TableCursor& daten = dm.TdbTable_System_Daten_2;
    const bool datenDa = daten.isOpen() && !daten.isEmpty();
    for (Filterart art : kFilterarten) {
        const auto i = static_cast<std::size_t>(art);
        seite.zeileFrei[i] = Optionszeile_Frei(p->instanz, art);
        seite.beschriftung[i] = (datenDa ? daten.text(kInfofelder[i]) : std::string()) + " ...";
    }
    return seite;
}

void Data_Mining_FormClose(kern::Kontext& k, std::optional<store::Date> von,
                           std::optional<store::Date> bis) {
    store::TableCursor& w = k.dm.TdbTable_Wahl;
    if (!w.isOpen() || w.isEmpty()) {
        return;
    }
    const auto setzen = [&w](const char* feld, std::optional<store::Date> tag) {
        if (tag) {
            w.setDate(feld, *tag);
        } else {
            w.setValue(feld, store::Value());
        }
    };
    setzen("DM_Datum_von", von);
    setzen("DM_Datum_bis", bis);
    w.post();
}

Parameter Parameter_Aus_Wahl(const store::Cursor& wahl, Parameter p) {
    if (!wahl.isOpen() || wahl.isEmpty()) {
        return p;
    }
    p.datumVon = datum(wahl, "DM_Datum_von");
    p.datumBis = datum(wahl, "DM_Datum_bis");
    p.uebergreifend = flag(wahl, "DM_Tage_uebergreifend");
    for (std::size_t i = 0; i < kChancenfelder.size(); ++i) {
        p.chancen[i] = flag(wahl, kChancenfelder[i]);
    }
    for (std::size_t i = 0; i < p.filter.size(); ++i) {
        p.filter[i] = Filteroption{flag(wahl, kAktivfelder[i]), flag(wahl, kAllefelder[i])};
    }
    p.folgeAnzahl =
        wahl.isNull("DM_Ereignisfolge_Anzahl") ? 0 : wahl.integer("DM_Ereignisfolge_Anzahl");
    p.folge11 = flag(wahl, "DM_Ereignisfolge_11");
    p.folge21 = flag(wahl, "DM_Ereignisfolge_21");
    p.folge51 = flag(wahl, "DM_Ereignisfolge_51");
    p.folgeUngleich = flag(wahl, "DM_Ereignisfolge_ungleich");
    return p;
}

std::array<bool, 3> Ereignisfolge_Anzeige::angezeigt(const std::array<bool, 3>& gespeichert) const {
    std::array<bool, 3> ergebnis{};
    for (std::size_t i = 0; i < ergebnis.size(); ++i) {
        ergebnis[i] = gespeichert[i] || zusaetzlich_[i];
    }
    return ergebnis;
}

void Ereignisfolge_Anzeige::DBCheckBox_EreignisfolgeClick(Folgeklasse box, bool angehakt) {
    // The clicked box shows its own flag from now on.
    zusaetzlich_[static_cast<std::size_t>(box)] = false;
    if (!angehakt) {
        return;
    }
    switch (box) {
        case Folgeklasse::K51:
            zusaetzlich_[static_cast<std::size_t>(Folgeklasse::K21)] = true;
            zusaetzlich_[static_cast<std::size_t>(Folgeklasse::K11)] = true;
            break;
        case Folgeklasse::K21:
            zusaetzlich_[static_cast<std::size_t>(Folgeklasse::K11)] = true;
            break;
        case Folgeklasse::K11:
            break;
    }
}

std::string Data_Mining_Titel(const store::Cursor& wahl, bool englisch,
                              const std::function<std::string(store::Date)>& datum) {
    if (!wahl.isOpen() || wahl.isEmpty() || wahl.isNull("DM_Coups_letztes_DM")) {
        return "  Data Mining";
    }
    const auto tag = [&](const char* feld) {
        return wahl.isNull(feld) ? std::string() : datum(wahl.date(feld));
    };
    return std::string(englisch ? "  Data Mining (last Pattern Recognition: "
                                : "  Data Mining (letzte Mustererkennung: ") +
           wahl.text("DM_Casino_letztes_DM") + ", " + wahl.text("DM_Tisch_letztes_DM") + ", " +
           tag("DM_Datum_von_letztes_DM") + " - " + tag("DM_Datum_bis_letztes_DM") + ", " +
           std::to_string(wahl.value("DM_Tage_letztes_DM").toInt64()) +
           (englisch ? " Days, " : " Tage, ") +
           std::to_string(wahl.value("DM_Coups_letztes_DM").toInt64() - 1) + " Coups)";
}

std::string Kombinationen_Text(std::int64_t anzahl, bool englisch) {
    return std::to_string(anzahl) + (englisch ? " Combinations" : " Kombinationen");
}

std::string Kombinationen_Frage(std::int64_t anzahl, bool englisch) {
    return std::to_string(anzahl) + (englisch ? " Combinations!\nCalculations start?"
                                              : " Kombinationen!\nBerechnung Starten?");
}

}  // namespace spinalyst::mining
