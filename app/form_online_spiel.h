#pragma once

#include <QDialog>

#include "online/online_spiel.h"

class QLabel;
class QPushButton;

namespace spinalyst::binding {
class BoundLineEdit;
class CursorGrid;
}  // namespace spinalyst::binding

namespace spinalyst::app {

class Form_Anwendung_Roulette;

// The online window `Form_Online_Spiel`: the day's coups with stakes and running result, the bet
// signals for the coup about to be played with the total to place, and the entry of the next
// number. Made by the main window after online play opened (online::MenuItem_Online_SpielClick)
// and shown modally near the lower right corner of the screen; works with the keyboard alone
// (type, Enter). Closing it (Escape, "Beenden", the window's close button) emits finished().
class Form_Online_Spiel : public QDialog {
    Q_OBJECT
  public:
    Form_Online_Spiel(Form_Anwendung_Roulette& hauptfenster, online::Onlinespiel spiel);

    const online::Onlinespiel& spiel() const { return spiel_; }

    // `BitBtn_Permanenz_Zahl` (the default button, also Enter in the number field).
    void BitBtn_Permanenz_ZahlClick();

  private:
    void Texte_Setzen();
    void Satz_Zeigen();
    void Platzieren();

    Form_Anwendung_Roulette& haupt_;
    online::Onlinespiel spiel_;
    bool gibtEin_ = false;
    binding::CursorGrid* DBGrid_Permanenz = nullptr;
    binding::CursorGrid* DBGrid_Online_Angriffe_Satz = nullptr;
    binding::BoundLineEdit* DBEdit_Permanenz_Zahl = nullptr;
    QPushButton* BitBtn_Permanenz_Zahl = nullptr;
    QPushButton* BitBtn_Beenden = nullptr;
    QLabel* Label_Satz_Gesamt = nullptr;
    QLabel* Label_Hinweis = nullptr;
};

}  // namespace spinalyst::app
