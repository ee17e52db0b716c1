#pragma once

#include <QDockWidget>
#include <QString>

#include "kern/katalog.h"
#include "kern/kontext.h"
#include "systems/systemlauf.h"

class QTabWidget;
class QToolButton;

namespace spinalyst::app {

class Diagramm_Permanenz;
class Diagramm_System;
class QtUserInterface;

// The charts of the main window, in a dock under the result grids (floating over them on a
// screen too low for both): one tab for the system evaluation, one for the permanence
// evaluation. Hidden until the first evaluation; after every evaluation the main window hands
// the new results over, the dock is shown again and the matching tab comes to the front; the
// permanence tab follows the current row of the frequency list. The current tab is saved as PNG or
// SVG through the buttons or the charts' context menu, the file chosen with the program's save
// dialog. Owned by the main window; reads the stored results through the operations of systems/ and
// events/.
class Diagrammbereich : public QDockWidget {
    Q_OBJECT
  public:
    Diagrammbereich(kern::Kontext& k, const kern::Ereigniskatalog& katalog, QtUserInterface& ui,
                    QWidget* parent = nullptr);

    // After a system evaluation: reads its stored course (nothing when it did not run).
    void Systemauswertung_Zeigen(const systems::Systemlauf& lauf);
    // After a permanence evaluation: reads its stored results.
    void Permanenzauswertung_Zeigen();
    // The frequency list moved to another event.
    void Ereignis_Zeigen();
    void Sprache_Anwenden();

    // Saves the chart of the current tab as an SVG drawing or a PNG picture. False when the file
    // could not be written.
    bool Exportieren(const QString& pfad, bool svgFormat);
    // Asks for a file name for the format ("PNG" or "SVG") through the save dialog and saves (a
    // name without a suffix gets the format's); an error is reported.
    void Exportieren_Fragen(const QString& format);

    Diagramm_System* systemDiagramm() const { return system_; }
    Diagramm_Permanenz* permanenzDiagramm() const { return permanenz_; }
    QTabWidget* reiter() const { return reiter_; }

  private:
    QString Kopf() const;
    // Shows the dock when it is hidden: under the grids when the screen is tall enough for
    // both, else floating over the lower part of the screen.
    void Einblenden();

    kern::Kontext& k_;
    const kern::Ereigniskatalog& katalog_;
    QtUserInterface& ui_;
    QTabWidget* reiter_;
    Diagramm_System* system_;
    Diagramm_Permanenz* permanenz_;
    QToolButton* png_;
    QToolButton* svg_;
};

}  // namespace spinalyst::app
