#pragma once

#include <QString>
#include <QWidget>
#include <cstddef>

#include "systems/verlauf.h"

class QChart;
class QChartView;
class QLabel;
class QValueAxis;

namespace spinalyst::app {

// The chart of a system evaluation: the running win/loss over the coups of the result days (the
// total and, in mode "A", one line per system) with the days marked on a top axis and the
// largest drawdown shaded, a summary line above it and the day results as bars below. Hovering a
// line shows the coup's day, place, number, stake and result. Holds the course it shows, so a
// change of language only labels it anew.
class Diagramm_System : public QWidget {
    Q_OBJECT
  public:
    explicit Diagramm_System(QWidget* parent = nullptr);

    // Shows a course; `kopf` names the casino, gaming table and days.
    void zeigen(systems::Verlauf verlauf, QString kopf);
    void setEnglisch(bool englisch);
    const systems::Verlauf& verlauf() const { return verlauf_; }
    // The text of the tool tip of coup i of the course (and of a system's line).
    QString Punkt_Text(std::size_t i, int systemLinie = -1) const;

  private:
    void aufbauen();

    systems::Verlauf verlauf_;
    QString kopf_;
    bool englisch_ = false;
    QLabel* zusammenfassung_;
    QChartView* verlaufAnsicht_;
    QChartView* tageAnsicht_;
};

// Replaces the chart of a view; the previous one is deleted.
void Diagramm_Setzen(QChartView* ansicht, QChart* diagramm);

// Gives a value axis the range from `von` to `bis` widened to whole steps of 1, 2 or 5 times a
// power of ten (at least 1), about six of them, with a tick on every step and on 0.
void Achse_Runden(QValueAxis* achse, double von, double bis);

}  // namespace spinalyst::app
