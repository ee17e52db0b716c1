#pragma once

#include <QDialog>
#include <memory>

#include "app/binding/binding_context.h"
#include "kern/katalog.h"
#include "kern/kontext.h"

class QPushButton;

namespace spinalyst::binding {
class CursorGrid;
class CursorWatch;
}  // namespace spinalyst::binding

namespace spinalyst::app {

// The window "Ereignisfolgen" (`Form_Data_Mining_Ereignisfolgen`): the kinds of the sequences of
// the last run (`DM_Gleiche_Art`), the sequences of the chosen kind with their frequencies
// (`TdbQuery_Gleiche_Art`), the events of the chosen sequence (`DM_Folge_Anzeige`) and OK.
// Opened modally from the data-mining window's button "Ef", which owns it; the operations are
// those of mining/ergebnisse.h.
class Form_Data_Mining_Ereignisfolgen : public QDialog {
    Q_OBJECT
  public:
    Form_Data_Mining_Ereignisfolgen(kern::Kontext& kontext, binding::BindingContext* bindung,
                                    const kern::Ereigniskatalog& katalog,
                                    QWidget* parent = nullptr);
    ~Form_Data_Mining_Ereignisfolgen() override;

    // `FormShow`, then the window modally.
    int Zeigen();

  private:
    char Dezimaltrenner() const;
    void done(int ergebnis) override;
    template <typename F>
    void Ausfuehren(F&& f);

    kern::Kontext& kontext_;
    binding::BindingContext* bindung_;
    const kern::Ereigniskatalog& katalog_;
    bool offen_ = false;

    binding::CursorGrid* DBGrid_Gleiche_Art = nullptr;
    binding::CursorGrid* DBGrid_Folgen = nullptr;
    binding::CursorGrid* DBGrid_Folge_Anzeige = nullptr;
    QPushButton* BitBtn_OK = nullptr;
    std::unique_ptr<binding::CursorWatch> artWatch_;
    std::unique_ptr<binding::CursorWatch> folgenWatch_;
};

}  // namespace spinalyst::app
