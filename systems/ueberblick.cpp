#include "systems/ueberblick.h"

#include <cmath>

#include "store/sqlite.h"
#include "systems/system.h"

namespace spinalyst::systems {

using kern::Kontext;
using store::TableCursor;
using store::Value;

namespace {

// The current stored system of the systems list, or nullptr (none shown, or a new row being
// inserted).
const TableCursor* aktuellesSystem(const Kontext& k) {
    const TableCursor& s = k.dm.TdbTable_Systeme;
    if (!s.isOpen() || s.isEmpty() || s.state() == store::CursorState::Insert) {
        return nullptr;
    }
    return &s;
}

// One decimal place, halves away from zero (0.25 gives 0.3, -0.25 gives -0.3), no "-0.0".
std::string einStellig(double wert, char dezimaltrenner) {
    const auto zehntel = static_cast<std::int64_t>(std::llround(wert * 10.0));
    const std::int64_t betrag = zehntel < 0 ? -zehntel : zehntel;
    return std::string(zehntel < 0 ? "-" : "") + std::to_string(betrag / 10) + dezimaltrenner +
           std::to_string(betrag % 10);
}

}  // namespace

int Prozent_Positiv(std::int64_t tagePositiv, std::int64_t tage) {
    if (tage <= 0) {
        return 0;
    }
    const std::int64_t zaehler = tagePositiv * 100;
    std::int64_t q = zaehler / tage;
    std::int64_t r = zaehler % tage;
    if (r < 0) {  // a negative numerator: floor division, remainder in [0, tage)
        --q;
        r += tage;
    }
    if (2 * r > tage || (2 * r == tage && q % 2 != 0)) {
        ++q;
    }
    return static_cast<int>(q);
}

Ueberblick_Summen Ueberblick_Berechnen(Kontext& k) {
    Ueberblick_Summen s;
    TableCursor& c = k.dm.TdbTable_Systeme_Auswertungen_Ueberblick;
    if (aktuellesSystem(k) != nullptr && c.isOpen()) {
        const auto feld = [&c](const char* name) {
            return static_cast<std::size_t>(c.fieldIndex(name));
        };
        const std::size_t tage = feld("Tage");
        const std::size_t positiv = feld("Tage_positiv");
        const std::size_t gv = feld("Gewinn_Verlust");
        for (int i = 0; const store::Row* r = c.rowAt(i); ++i) {
            s.tage += r->values[tage].toInt64();
            s.tagePositiv += r->values[positiv].toInt64();
            s.gewinnVerlust += r->values[gv].toInt64();
        }
    }
    if (s.tage > 0) {
        s.prozent = Prozent_Positiv(s.tagePositiv, s.tage);
        s.durchschnitt = static_cast<double>(s.gewinnVerlust) / static_cast<double>(s.tage);
    }
    return s;
}

std::string Gesamtinfo_Text(const Kontext& k, const Ueberblick_Summen& summen,
                            char dezimaltrenner) {
    const std::string p = std::to_string(summen.prozent);
    const std::string a = einStellig(summen.durchschnitt, dezimaltrenner);
    if (k.sitzung.englisch()) {
        return p + "% Days positive (+) - " + "Average " + a + " Units profit (loss) / Day";
    }
    return p + "% der Tage positiv (+) - " + "Durchschnitt " + a + " Stücke Gewinn (Verlust) / Tag";
}

std::string Ueberblick_Titel(const Kontext& k) {
    const TableCursor* s = aktuellesSystem(k);
    return std::string(k.text("   Systeme - Auswertungen Überblick  /  ",
                              "   Systems - Evaluations Overview  /  ")) +
           (s != nullptr ? s->text("System_Name") : std::string());
}

bool Systemaenderung_Hinweis(const Kontext& k) {
    const TableCursor* s = aktuellesSystem(k);
    return s != nullptr && s->text("Systemaenderung_erfolgt") == "t";
}

void BitBtn_LoeschenClick(Kontext& k) {
    if (aktuellesSystem(k) == nullptr) {
        return;
    }
    auto& dm = k.dm;
    TableCursor& s = dm.TdbTable_Systeme;
    const Value id = s.value("ID_System_AutoInc");
    try {
        store::Transaction tx(dm.TdbDatabase_Roulette.connection());
        s.setText("Systemaenderung_erfolgt", "f");
        Systeme_Posten(s);
        store::execute(dm.TdbDatabase_Roulette.connection(),
                       "DELETE FROM Systeme_Auswertungen_Ueberblick WHERE ID_System = ?", {id});
        tx.commit();
    } catch (...) {
        // The cursors may hold what the rolled-back write left behind.
        try {
            Systemcursoren_Auffrischen(dm);
        } catch (...) {
        }
        throw;
    }
    dm.TdbTable_Systeme_Auswertungen_Ueberblick.refresh();
}

}  // namespace spinalyst::systems
