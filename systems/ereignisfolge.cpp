#include "systems/ereignisfolge.h"

#include "systems/system.h"

namespace spinalyst::systems {

using kern::Kontext;

namespace {

// Holds the negation-edit guard on while the "<>" box writes; restores it on every exit.
class Negationssperre {
  public:
    explicit Negationssperre(bool& sperre) : sperre_(sperre), vorher_(sperre) { sperre_ = true; }
    ~Negationssperre() { sperre_ = vorher_; }
    Negationssperre(const Negationssperre&) = delete;
    Negationssperre& operator=(const Negationssperre&) = delete;

  private:
    bool& sperre_;
    bool vorher_;
};

}  // namespace

void Ereignisfolge_Anfuegen(Kontext& k, int idEreignis) {
    auto& s = k.dm.TdbTable_Systeme;
    if (!s.isOpen() || (s.isEmpty() && !s.isEditing())) {
        return;
    }
    if (s.isEditing() && !Systeme_Posten(s)) {
        return;
    }
    auto& folge = k.dm.TdbTable_System_Ereignisse;
    const store::ControlsSuspended angehalten(folge);
    try {
        // The row takes system and instance from the master link: the instance shown.
        folge.append();
        folge.setInteger("ID_Ereignis", idEreignis);
        folge.post();
        store::Letztes_Ereignis_Angreifen(folge);
    } catch (...) {
        if (folge.isEditing()) {
            folge.cancel();
        }
        throw;
    }
}

void MenuItem_Ereignis_LoeschenClick(Kontext& k) {
    auto& folge = k.dm.TdbTable_System_Ereignisse;
    if (!folge.isOpen() || (folge.isEmpty() && !folge.isEditing())) {
        return;
    }
    // The after-delete hook of the data module marks the new last row.
    folge.remove();
}

bool CheckBox_ungleich_Ereignis_Angehakt(const Kontext& k) {
    const auto& folge = k.dm.TdbTable_System_Ereignisse;
    return folge.isOpen() && folge.text("Angriff") == "<>";
}

bool CheckBox_ungleich_EreignisClick(Kontext& k, bool angehakt) {
    auto& folge = k.dm.TdbTable_System_Ereignisse;
    if (!folge.isOpen() || folge.isEmpty()) {
        return false;
    }
    if (folge.isEditing()) {
        folge.post();
    }
    // The attacked event is the last row; it is refused by its mark and, should a sequence ever
    // lack the mark, by its position.
    const bool letzte = folge.recordIndex() == folge.recordCount() - 1;
    if (folge.text("Angriff") != "x" && !letzte) {
        Negationssperre sperre(k.sitzung.negationssperre);
        if (angehakt) {
            folge.setText("Angriff", "<>");
        } else {
            folge.setNull("Angriff");
        }
        folge.post();
    }
    return CheckBox_ungleich_Ereignis_Angehakt(k);
}

void DataSource_Tdb_System_EreignisseDataChange(Kontext& k, store::Cursor& folge) {
    // A closing cursor tells nothing: the window may already be gone when the store closes.
    if (k.sitzung.negationssperre || !folge.isOpen()) {
        return;
    }
    const std::string angriff = folge.text("Angriff");
    if (angriff == "<>") {
        k.ansicht.ungleichEreignisZeigen(true);
    } else if (angriff.empty() || angriff == "x") {
        k.ansicht.ungleichEreignisZeigen(false);
    }
}

}  // namespace spinalyst::systems
