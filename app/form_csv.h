#pragma once

#include <QDialog>
#include <optional>

#include "capture/import_liste.h"
#include "capture/permanenz_csv.h"
#include "store/value.h"

class QDateEdit;
class QLabel;
class QSpinBox;
class QDialogButtonBox;

namespace spinalyst::app {

// The small window of the number-list import `Form_Zahlenliste`: the first day and the coups per
// day of a list without dates (0: days end at lines of dashes). Enter takes the values, Escape
// cancels. Created once with the main window; shown modally by fragen().
class Form_Zahlenliste : public QDialog {
    Q_OBJECT
  public:
    explicit Form_Zahlenliste(QWidget* parent = nullptr);
    // Shows the window in the language given, the first day set to `vorschlag` and the coups per
    // day as they were last time; nullopt when cancelled.
    std::optional<capture::Listenvorgabe> fragen(store::Date vorschlag, bool englisch);
    void setzeSprache(bool englisch);

  private:
    QLabel* hinweis_;
    QLabel* ersterTagText_;
    QLabel* coupsText_;
    QDateEdit* ersterTag_;
    QSpinBox* coups_;
    QDialogButtonBox* knoepfe_;
};

// The small window of the permanence export `Form_Permanenz_Export`: the first and the last day.
class Form_Permanenz_Export : public QDialog {
    Q_OBJECT
  public:
    explicit Form_Permanenz_Export(QWidget* parent = nullptr);
    // Shows the window with the range proposed; the range chosen (the days in order), or
    // nullopt when cancelled.
    std::optional<std::pair<store::Date, store::Date>> fragen(store::Date von, store::Date bis,
                                                              bool englisch);
    void setzeSprache(bool englisch);

  private:
    QLabel* vonText_;
    QLabel* bisText_;
    QDateEdit* von_;
    QDateEdit* bis_;
    QDialogButtonBox* knoepfe_;
};

}  // namespace spinalyst::app
