#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace spinalyst::binding {
class BoundLookupComboBox;
}

namespace spinalyst::app {

class Form_Anwendung_Roulette;

// The event choice `Form_Wahl_Ereignis`: the events of the evaluation chance class, the chance
// list, the tick box `CheckBox_Aufnahme_Ausgang` (take the event / remove the assignment) and
// "Aufnahme" / "Abbrechen". Shown modally for the choice mode of the session; created once by
// the main window.
class Form_Wahl_Ereignis : public QDialog {
    Q_OBJECT
  public:
    explicit Form_Wahl_Ereignis(Form_Anwendung_Roulette& hauptfenster);

    // Captions for the mode ('H', 'S', 'R', 'E') in the session's language, the box ticked,
    // then shown modally.
    int Zeigen(char modus);

  private:
    void BitBtn_Aufnahme_EreignisClick();

    Form_Anwendung_Roulette& haupt_;
    binding::BoundLookupComboBox* chance_ = nullptr;
    QLabel* chanceLabel_ = nullptr;
    QCheckBox* CheckBox_Aufnahme_Ausgang = nullptr;
    QPushButton* aufnahme_ = nullptr;
    QPushButton* abbrechen_ = nullptr;
};

}  // namespace spinalyst::app
