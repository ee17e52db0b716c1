#include "app/diagramm_system.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace spinalyst::app {

namespace {

const QColor kRot(200, 0, 0);
const QColor kGruen(0, 128, 0);
const QColor kGesamt(20, 60, 160);
// Lines of the single systems: colours apart from the total's blue and from red and green, which
// mean loss and win here.
const QColor kSystemFarben[] = {QColor(230, 140, 0), QColor(130, 60, 170), QColor(0, 150, 170),
                                QColor(120, 90, 40), QColor(200, 60, 160), QColor(90, 90, 90),
                                QColor(150, 150, 0)};

QString vorzeichen(int wert) {
    return wert > 0 ? QStringLiteral("+%1").arg(wert) : QString::number(wert);
}

QString tagText(const store::Date& tag, bool kurz) {
    return kurz ? QStringLiteral("%1.").arg(tag.day(), 2, 10, QLatin1Char('0'))
                : QStringLiteral("%1.%2.")
                      .arg(tag.day(), 2, 10, QLatin1Char('0'))
                      .arg(tag.month(), 2, 10, QLatin1Char('0'));
}

void ohneLegende(QChart* diagramm, QAbstractSeries* serie) {
    for (QLegendMarker* m : diagramm->legend()->markers(serie)) {
        m->setVisible(false);
    }
}

}  // namespace

void Achse_Runden(QValueAxis* achse, double von, double bis) {
    if (bis <= von) {
        bis = von + 1;
    }
    const double roh = (bis - von) / 6;
    const double zehner = std::pow(10.0, std::floor(std::log10(roh)));
    double schritt = zehner;
    for (const double f : {1.0, 2.0, 5.0, 10.0}) {
        schritt = f * zehner;
        if (schritt >= roh) {
            break;
        }
    }
    schritt = std::max(1.0, schritt);
    achse->setRange(std::floor(von / schritt) * schritt, std::ceil(bis / schritt) * schritt);
    achse->setTickType(QValueAxis::TicksDynamic);
    achse->setTickAnchor(0);
    achse->setTickInterval(schritt);
    achse->setLabelFormat(QStringLiteral("%d"));
}

void Diagramm_Setzen(QChartView* ansicht, QChart* diagramm) {
    QChart* vorher = ansicht->chart();
    ansicht->setChart(diagramm);
    delete vorher;
}

Diagramm_System::Diagramm_System(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Diagramm_System"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    zusammenfassung_ = new QLabel;
    zusammenfassung_->setObjectName(QStringLiteral("Label_Diagramm_System"));
    zusammenfassung_->setWordWrap(true);
    verlaufAnsicht_ = new QChartView;
    verlaufAnsicht_->setObjectName(QStringLiteral("ChartView_Systemverlauf"));
    verlaufAnsicht_->setRenderHint(QPainter::Antialiasing);
    tageAnsicht_ = new QChartView;
    tageAnsicht_->setObjectName(QStringLiteral("ChartView_Tagesergebnisse"));
    tageAnsicht_->setRenderHint(QPainter::Antialiasing);
    layout->addWidget(zusammenfassung_);
    layout->addWidget(verlaufAnsicht_, 3);
    layout->addWidget(tageAnsicht_, 2);
    aufbauen();
}

void Diagramm_System::zeigen(systems::Verlauf verlauf, QString kopf) {
    verlauf_ = std::move(verlauf);
    kopf_ = std::move(kopf);
    aufbauen();
}

void Diagramm_System::setEnglisch(bool englisch) {
    if (englisch != englisch_) {
        englisch_ = englisch;
        aufbauen();
    }
}

QString Diagramm_System::Punkt_Text(std::size_t i, int systemLinie) const {
    if (i >= verlauf_.punkte.size()) {
        return {};
    }
    const systems::Verlaufspunkt& p = verlauf_.punkte[i];
    const QString zahl = p.zahl ? QString::number(*p.zahl) : QStringLiteral("-");
    QString text = englisch_
                       ? QStringLiteral("Day %1, coup %2\nNumber %3\nStake %4, result %5\nTotal %6")
                       : QStringLiteral("Tag %1, Coup %2\nZahl %3\nSatz %4, Ergebnis %5\nStand %6");
    text = text.arg(QString::fromStdString(p.tag.german()))
               .arg(p.coup)
               .arg(zahl)
               .arg(p.satz)
               .arg(vorzeichen(p.ergebnis))
               .arg(vorzeichen(p.stand));
    if (systemLinie >= 0 && static_cast<std::size_t>(systemLinie) < verlauf_.systeme.size()) {
        const systems::Systemlinie& l = verlauf_.systeme[static_cast<std::size_t>(systemLinie)];
        text += QStringLiteral("\n%1 %2: %3")
                    .arg(QString::fromStdString(l.name).isEmpty() ? QStringLiteral("System")
                                                                  : QString::fromStdString(l.name))
                    .arg(l.nummer)
                    .arg(vorzeichen(l.stand[i]));
    }
    return text;
}

void Diagramm_System::aufbauen() {
    const bool en = englisch_;
    const auto& punkte = verlauf_.punkte;
    const int n = static_cast<int>(punkte.size());

    // Summary line: result, largest drawdown, days won.
    if (punkte.empty()) {
        zusammenfassung_->setText(en ? QStringLiteral("No system evaluation yet.")
                                     : QStringLiteral("Noch keine Systemauswertung."));
    } else {
        int plus = 0;
        for (const systems::Verlaufstag& t : verlauf_.tage) {
            plus += t.ergebnis > 0 ? 1 : 0;
        }
        QString text = QStringLiteral("<b>%1</b> &nbsp; ").arg(kopf_.toHtmlEscaped());
        const int ergebnis = punkte.back().stand;
        const QString farbe = ergebnis > 0   ? kGruen.name()
                              : ergebnis < 0 ? kRot.name()
                                             : QStringLiteral("#000000");
        text += (en ? QStringLiteral("Result <b><font color=\"%1\">%2</font></b> units")
                    : QStringLiteral("Ergebnis <b><font color=\"%1\">%2</font></b> Stücke"))
                    .arg(farbe, vorzeichen(ergebnis));
        text += QStringLiteral(" &middot; ");
        text +=
            (en ? QStringLiteral("%1 of %2 days won") : QStringLiteral("%1 von %2 Tagen im Plus"))
                .arg(plus)
                .arg(verlauf_.tage.size());
        if (verlauf_.einbruch) {
            const systems::Einbruch& e = *verlauf_.einbruch;
            // A place of the course: the day and the coup in it, or the start.
            const auto stelle = [&](std::size_t i) {
                if (i == 0) {
                    return en ? QStringLiteral("the start") : QStringLiteral("Beginn");
                }
                const systems::Verlaufspunkt& p = punkte[i - 1];
                return (en ? QStringLiteral("%1 coup %2") : QStringLiteral("%1 Coup %2"))
                    .arg(tagText(p.tag, false))
                    .arg(p.coup);
            };
            text += QStringLiteral(" &middot; ");
            text += (en ? QStringLiteral(
                              "largest drawdown <font color=\"%1\">%2</font> (from %3 to %4)")
                        : QStringLiteral(
                              "größter Einbruch <font color=\"%1\">%2</font> (von %3 bis %4)"))
                        .arg(kRot.name())
                        .arg(-e.tiefe)
                        .arg(stelle(e.von), stelle(e.bis));
        }
        zusammenfassung_->setText(text);
    }

    // The running win/loss.
    auto* diagramm = new QChart;
    diagramm->setObjectName(QStringLiteral("Chart_Systemverlauf"));
    diagramm->setTitle(en ? QStringLiteral("Running win/loss per coup")
                          : QStringLiteral("Gewinn/Verlust laufend je Coup"));
    diagramm->legend()->setAlignment(Qt::AlignBottom);
    diagramm->setMargins(QMargins(4, 4, 4, 4));
    int tief = 0;
    int hoch = 0;
    for (const systems::Verlaufspunkt& p : punkte) {
        tief = std::min(tief, p.stand);
        hoch = std::max(hoch, p.stand);
    }
    for (const systems::Systemlinie& l : verlauf_.systeme) {
        for (const int s : l.stand) {
            tief = std::min(tief, s);
            hoch = std::max(hoch, s);
        }
    }
    const int rand = std::max(2, (hoch - tief) / 12);

    auto* x = new QValueAxis;
    x->setTitleText(en ? QStringLiteral("Coup of the stretch")
                       : QStringLiteral("Coup der Strecke"));
    x->setLabelFormat(QStringLiteral("%d"));
    x->setRange(0, std::max(1, n));
    auto* y = new QValueAxis;
    y->setTitleText(en ? QStringLiteral("Units") : QStringLiteral("Stücke"));
    Achse_Runden(y, tief - rand, hoch + rand);
    diagramm->addAxis(x, Qt::AlignBottom);
    diagramm->addAxis(y, Qt::AlignLeft);
    // The days as a top axis whose grid lines are the day boundaries.
    auto* tage = new QCategoryAxis;
    tage->setObjectName(QStringLiteral("Achse_Tage"));
    tage->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    tage->setRange(0, std::max(1, n));
    tage->setGridLinePen(QPen(QColor(120, 120, 120), 1, Qt::DashLine));
    tage->setLinePenColor(QColor(120, 120, 120));
    const bool kurz = verlauf_.tage.size() > 12;
    QFont klein = tage->labelsFont();
    klein.setPointSizeF(klein.pointSizeF() * 0.85);
    tage->setLabelsFont(klein);
    for (const systems::Verlaufstag& t : verlauf_.tage) {
        tage->append(tagText(t.tag, kurz), static_cast<double>(t.erster + t.coups));
    }
    diagramm->addAxis(tage, Qt::AlignTop);

    auto anhaengen = [&](QAbstractSeries* s) {
        diagramm->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    };
    if (verlauf_.einbruch) {
        const systems::Einbruch& e = *verlauf_.einbruch;
        auto* oben = new QLineSeries;
        auto* unten = new QLineSeries;
        // From the high to the low, between their two levels.
        const double von = static_cast<double>(e.von);
        const double bis = static_cast<double>(e.bis);
        const double hochStand = e.von == 0 ? 0.0 : punkte[e.von - 1].stand;
        oben->append(von, hochStand);
        oben->append(bis, hochStand);
        unten->append(von, hochStand - e.tiefe);
        unten->append(bis, hochStand - e.tiefe);
        auto* flaeche = new QAreaSeries(oben, unten);
        // The area does not own its border lines.
        oben->setParent(flaeche);
        unten->setParent(flaeche);
        flaeche->setObjectName(QStringLiteral("Serie_Einbruch"));
        flaeche->setName(
            (en ? QStringLiteral("Largest drawdown (%1)") : QStringLiteral("Größter Einbruch (%1)"))
                .arg(-e.tiefe));
        flaeche->setColor(QColor(200, 0, 0, 50));
        flaeche->setBorderColor(QColor(200, 0, 0, 150));
        anhaengen(flaeche);
    }
    auto* null = new QLineSeries;
    null->append(0, 0);
    null->append(std::max(1, n), 0);
    null->setPen(QPen(QColor(0, 0, 0, 140), 1, Qt::DotLine));
    anhaengen(null);
    ohneLegende(diagramm, null);

    for (std::size_t s = 0; s < verlauf_.systeme.size(); ++s) {
        const systems::Systemlinie& l = verlauf_.systeme[s];
        auto* linie = new QLineSeries;
        linie->setObjectName(QStringLiteral("Serie_System_%1").arg(l.system));
        const QString name = QString::fromStdString(l.name);
        linie->setName(name.isEmpty() ? QStringLiteral("System %1").arg(l.nummer)
                                      : QStringLiteral("%1 %2").arg(l.nummer).arg(name));
        QList<QPointF> werte;
        werte.reserve(static_cast<qsizetype>(l.stand.size()));
        for (std::size_t i = 0; i < l.stand.size(); ++i) {
            werte.append(QPointF(static_cast<double>(i + 1), l.stand[i]));
        }
        linie->replace(werte);
        linie->setPen(QPen(kSystemFarben[s % std::size(kSystemFarben)], 1.2));
        anhaengen(linie);
        const int nummer = static_cast<int>(s);
        connect(linie, &QLineSeries::hovered, this, [this, nummer](const QPointF& p, bool an) {
            if (an) {
                const long i = std::lround(p.x()) - 1;
                QToolTip::showText(QCursor::pos(),
                                   Punkt_Text(static_cast<std::size_t>(std::max(0L, i)), nummer));
            }
        });
    }
    auto* gesamt = new QLineSeries;
    gesamt->setObjectName(QStringLiteral("Serie_Gesamt"));
    gesamt->setName(en ? QStringLiteral("Total") : QStringLiteral("Gesamt"));
    QList<QPointF> werte;
    werte.reserve(n);
    for (int i = 0; i < n; ++i) {
        werte.append(QPointF(i + 1, punkte[static_cast<std::size_t>(i)].stand));
    }
    gesamt->replace(werte);
    gesamt->setPen(QPen(kGesamt, 2));
    anhaengen(gesamt);
    connect(gesamt, &QLineSeries::hovered, this, [this](const QPointF& p, bool an) {
        if (an) {
            const long i = std::lround(p.x()) - 1;
            QToolTip::showText(QCursor::pos(),
                               Punkt_Text(static_cast<std::size_t>(std::max(0L, i))));
        }
    });
    Diagramm_Setzen(verlaufAnsicht_, diagramm);

    // The day results as bars, won days green, lost days red.
    auto* tageDiagramm = new QChart;
    tageDiagramm->setObjectName(QStringLiteral("Chart_Tagesergebnisse"));
    tageDiagramm->setTitle(en ? QStringLiteral("Day results") : QStringLiteral("Tagesergebnisse"));
    tageDiagramm->legend()->setAlignment(Qt::AlignBottom);
    tageDiagramm->setMargins(QMargins(4, 4, 4, 4));
    auto* gewonnen = new QBarSet(en ? QStringLiteral("Day won") : QStringLiteral("Tag im Plus"));
    auto* verloren = new QBarSet(en ? QStringLiteral("Day lost") : QStringLiteral("Tag im Minus"));
    gewonnen->setColor(kGruen);
    gewonnen->setBorderColor(kGruen);
    verloren->setColor(kRot);
    verloren->setBorderColor(kRot);
    QStringList namen;
    int tagTief = 0;
    int tagHoch = 0;
    for (const systems::Verlaufstag& t : verlauf_.tage) {
        gewonnen->append(std::max(0, t.ergebnis));
        verloren->append(std::min(0, t.ergebnis));
        namen.append(tagText(t.tag, kurz));
        tagTief = std::min(tagTief, t.ergebnis);
        tagHoch = std::max(tagHoch, t.ergebnis);
    }
    auto* balken = new QStackedBarSeries;
    balken->setObjectName(QStringLiteral("Serie_Tagesergebnisse"));
    balken->append(gewonnen);
    balken->append(verloren);
    balken->setBarWidth(0.7);
    tageDiagramm->addSeries(balken);
    auto* tagAchse = new QBarCategoryAxis;
    tagAchse->append(namen);
    tagAchse->setLabelsFont(klein);
    auto* tagWerte = new QValueAxis;
    Achse_Runden(tagWerte, tagTief, tagHoch);
    tagWerte->setTitleText(en ? QStringLiteral("Units") : QStringLiteral("Stücke"));
    tageDiagramm->addAxis(tagAchse, Qt::AlignBottom);
    tageDiagramm->addAxis(tagWerte, Qt::AlignLeft);
    balken->attachAxis(tagAchse);
    balken->attachAxis(tagWerte);
    Diagramm_Setzen(tageAnsicht_, tageDiagramm);
}

}  // namespace spinalyst::app
