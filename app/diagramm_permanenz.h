#pragma once

#include <QString>
#include <QWidget>

#include "events/trefferbild.h"
#include "kern/katalog.h"

class QChartView;
class QLabel;

namespace spinalyst::app {

// The chart of a permanence evaluation: the hits of the 37 numbers as bars in the colours of the
// wheel, with the count a fair wheel gives and a band of two standard deviations around it (a
// summary line names the numbers outside the band), and, for the selected event, its series and
// absence lengths observed against expected. Holds what it shows, so a change of language or of
// the selected event only draws it anew.
class Diagramm_Permanenz : public QWidget {
    Q_OBJECT
  public:
    explicit Diagramm_Permanenz(const kern::Ereigniskatalog& katalog, QWidget* parent = nullptr);

    void zeigen(events::Permanenzbild bild, QString kopf);
    // The event whose series and absences are shown (0: none).
    void setEreignis(int ereignis);
    void setEnglisch(bool englisch);
    const events::Permanenzbild& bild() const { return bild_; }
    int ereignis() const { return ereignis_; }

  private:
    void aufbauen();
    void ereignisAufbauen();

    const kern::Ereigniskatalog& katalog_;
    events::Permanenzbild bild_;
    QString kopf_;
    int ereignis_ = 0;
    bool englisch_ = false;
    QLabel* zusammenfassung_;
    QChartView* zahlenAnsicht_;
    QChartView* serienAnsicht_;
    QChartView* rueckAnsicht_;
};

}  // namespace spinalyst::app
