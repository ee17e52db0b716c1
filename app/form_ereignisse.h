#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace spinalyst::binding {
class BoundLookupComboBox;
class CursorTableModel;
}  // namespace spinalyst::binding

namespace spinalyst::app {

class Form_Anwendung_Roulette;

// The events overview `Form_Ereignisse`: the events of the evaluation chance class with payout
// and pieces, the member numbers of the selected event, the chance list and OK. Shown modally
// by "Ereignisse" / "Überblick"; created once by the main window. While it is shown the number
// grid follows the selected event.
class Form_Ereignisse : public QDialog {
    Q_OBJECT
  public:
    explicit Form_Ereignisse(Form_Anwendung_Roulette& hauptfenster);

    // Captions in the session's language, the number grid linked, then shown modally; the link
    // is removed again when it closes.
    int Zeigen();

  private:
    Form_Anwendung_Roulette& haupt_;
    binding::BoundLookupComboBox* chance_ = nullptr;
    binding::CursorTableModel* zahlenModell_ = nullptr;
    QLabel* zahlenLabel_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace spinalyst::app
