#pragma once

#include <QDialog>
#include <vector>

#include "app/binding/binding_context.h"
#include "kern/kontext.h"

class QLabel;
class QPushButton;

namespace spinalyst::binding {
class BoundLineEdit;
}

namespace spinalyst::app {

// The parameter window of an individual rule: edits bound to the parameter row of the current
// system (`TdbTable_Individuell_Daten_1` or `_2`, details of `TdbTable_Systeme`), `Chance`
// shown but disabled, and OK. Shown modally; the first showing for a system creates its empty
// row, closing posts a pending edit (systems/individuell.h). Enter in an edit takes the typed
// value and closes the window, as OK does.
class Form_Individuell_Satzsignale : public QDialog {
    Q_OBJECT
  public:
    // Shows the window modally and returns when it is closed.
    int Zeigen();

  protected:
    // Rule 1 (frequency: events, chance, window, absence) or 2 (absence: events, chance).
    Form_Individuell_Satzsignale(int regel, kern::Kontext& kontext,
                                 binding::BindingContext* bindung, QWidget* parent);
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    struct Feld {
        QLabel* label;
        const char* deutsch;
        const char* englisch;
    };
    void Texte_Setzen();

    int regel_;
    kern::Kontext& kontext_;
    binding::BindingContext* bindung_;
    std::vector<Feld> felder_;
    QPushButton* BitBtn_OK = nullptr;
};

// Menu "Individuell" / "Satzsignale (1)": the parameters of the frequency rule.
class Form_Individuell_Satzsignale_1 : public Form_Individuell_Satzsignale {
    Q_OBJECT
  public:
    Form_Individuell_Satzsignale_1(kern::Kontext& kontext, binding::BindingContext* bindung,
                                   QWidget* parent = nullptr)
        : Form_Individuell_Satzsignale(1, kontext, bindung, parent) {}
};

// Menu "Individuell" / "Satzsignale (2)": the parameters of the absence rule.
class Form_Individuell_Satzsignale_2 : public Form_Individuell_Satzsignale {
    Q_OBJECT
  public:
    Form_Individuell_Satzsignale_2(kern::Kontext& kontext, binding::BindingContext* bindung,
                                   QWidget* parent = nullptr)
        : Form_Individuell_Satzsignale(2, kontext, bindung, parent) {}
};

}  // namespace spinalyst::app
