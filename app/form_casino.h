#pragma once

#include <QDialog>

#include "app/binding/binding_context.h"
#include "kern/kontext.h"

class QLabel;
class QPushButton;

namespace spinalyst::binding {
class CursorGrid;
}

namespace spinalyst::app {

// The casino window `Form_Casino`: every casino with its remarks, its random-generator settings
// and the stretches of recorded days, "Neu" for a new casino and OK to take the current casino
// into the selection. Created once with the main window and shown modally; it touches the data
// module only while shown.
class Form_Casino : public QDialog {
    Q_OBJECT
  public:
    Form_Casino(kern::Kontext& kontext, binding::BindingContext* bindung,
                QWidget* parent = nullptr);

    // Shows the window modally (list filter off, cursor on the selected casino) and returns
    // when it is closed.
    void Zeigen();

    void BitBtn_NeuClick();
    void BitBtn_OKClick();

  protected:
    void done(int result) override;

  private:
    void Texte_Setzen();

    kern::Kontext& kontext_;
    binding::BindingContext* bindung_;
    binding::CursorGrid* DBGrid_Casino_Name = nullptr;
    QLabel* Label_Vorhandene_Permanenzen = nullptr;
    QLabel* Label_Information = nullptr;
    QPushButton* BitBtn_Neu = nullptr;
    QPushButton* BitBtn_OK = nullptr;
};

}  // namespace spinalyst::app
