#include "systems/individuell.h"

#include "systems/system.h"

namespace spinalyst::systems {

using kern::Kontext;
using store::TableCursor;

namespace {

bool Richtiges_System(Kontext& k, int regel) {
    const TableCursor& s = k.dm.TdbTable_Systeme;
    const bool richtig = s.isOpen() && !s.isEmpty() && s.state() != store::CursorState::Insert &&
                         s.integer("ID_System_Nummer") == regel &&
                         s.integer("ID_System_Art") == kArtIndividuell;
    if (!richtig) {
        k.ui.inform(k.text("Richtiges System \"Individuell\" wählen!",
                           "Correct system \"Individual\" selected!?"));
    }
    return richtig;
}

}  // namespace

TableCursor& Individuell_Daten(store::DataModule_Roulette& dm, int regel) {
    return regel == 2 ? dm.TdbTable_Individuell_Daten_2 : dm.TdbTable_Individuell_Daten_1;
}

bool MenuItem_Individuell_Satzsignale_1Click(Kontext& k) {
    return Richtiges_System(k, 1);
}

bool MenuItem_Individuell_Satzsignale_2Click(Kontext& k) {
    return Richtiges_System(k, 2);
}

void Individuell_Fenster_Zeigen(Kontext& k, int regel) {
    const TableCursor& s = k.dm.TdbTable_Systeme;
    TableCursor& daten = Individuell_Daten(k.dm, regel);
    if (!s.isOpen() || s.isEmpty() || s.state() == store::CursorState::Insert || !daten.isOpen() ||
        s.integer("ID_System_Nummer") != regel) {
        return;
    }
    if (daten.isEmpty()) {
        // The master link fills in `ID_System`; every parameter starts empty.
        daten.append();
        daten.post();
    }
    daten.first();
}

void Individuell_Fenster_Schliessen(Kontext& k, int regel) {
    TableCursor& daten = Individuell_Daten(k.dm, regel);
    if (daten.isEditing()) {
        daten.post();
    }
}

}  // namespace spinalyst::systems
