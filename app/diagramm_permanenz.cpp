#include "app/diagramm_permanenz.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <bit>
#include <cmath>

#include "app/diagramm_system.h"

namespace spinalyst::app {

namespace {

const QColor kRot(200, 0, 0);
const QColor kGruen(0, 128, 0);
const QColor kErwartet(20, 60, 160);

// The colour of a number as the grids show it: event 1 red, event 2 black (black wins when both
// apply), 0 green.
QColor zahlFarbe(const kern::Ereigniskatalog& katalog, int zahl) {
    if (zahl == 0) {
        return kGruen;
    }
    if (katalog.enthaelt(2, zahl)) {
        return Qt::black;
    }
    if (katalog.enthaelt(1, zahl)) {
        return kRot;
    }
    return QColor(90, 90, 90);
}

QString komma(double wert, int stellen) {
    return QLocale().toString(wert, 'f', stellen);
}

QChartView* ansicht(const char* name) {
    auto* v = new QChartView;
    v->setObjectName(QString::fromLatin1(name));
    v->setRenderHint(QPainter::Antialiasing);
    return v;
}

// Observed lengths as dots against the expected counts as a line.
QChart* laengenDiagramm(const char* name, const QString& titel,
                        const std::vector<events::Laenge>& zeilen, bool en) {
    auto* d = new QChart;
    d->setObjectName(QString::fromLatin1(name));
    d->setTitle(titel);
    d->legend()->setAlignment(Qt::AlignBottom);
    d->setMargins(QMargins(2, 2, 2, 2));
    auto* beobachtet = new QScatterSeries;
    beobachtet->setObjectName(QStringLiteral("Serie_Beobachtet"));
    beobachtet->setName(en ? QStringLiteral("observed") : QStringLiteral("beobachtet"));
    beobachtet->setMarkerSize(7);
    beobachtet->setColor(QColor(230, 140, 0));
    beobachtet->setBorderColor(QColor(160, 90, 0));
    auto* erwartet = new QLineSeries;
    erwartet->setObjectName(QStringLiteral("Serie_Erwartet"));
    erwartet->setName(en ? QStringLiteral("expected") : QStringLiteral("erwartet"));
    erwartet->setPen(QPen(kErwartet, 1.5));
    double hoch = 1;
    int erste = 0;
    int letzte = 1;
    for (const events::Laenge& z : zeilen) {
        // A count of 0 has no place on the logarithmic axis.
        if (z.beobachtet > 0) {
            beobachtet->append(z.laenge, static_cast<double>(z.beobachtet));
        }
        erwartet->append(z.laenge, z.erwartet);
        hoch = std::max({hoch, static_cast<double>(z.beobachtet), z.erwartet});
    }
    if (!zeilen.empty()) {
        erste = zeilen.front().laenge;
        letzte = std::max(erste + 1, zeilen.back().laenge);
    }
    d->addSeries(erwartet);
    d->addSeries(beobachtet);
    auto* x = new QValueAxis;
    Achse_Runden(x, erste, letzte);
    x->setRange(erste - 0.5, letzte + 0.5);
    x->setTitleText(en ? QStringLiteral("Length") : QStringLiteral("Länge"));
    // Logarithmic, so that the rare long lengths stay as visible as the common short ones.
    auto* y = new QLogValueAxis;
    y->setBase(10);
    y->setLabelFormat(QStringLiteral("%g"));
    y->setRange(0.1, std::pow(10.0, std::ceil(std::log10(hoch * 1.2))));
    y->setMinorTickCount(0);
    y->setTitleText(en ? QStringLiteral("Count") : QStringLiteral("Anzahl"));
    d->addAxis(x, Qt::AlignBottom);
    d->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s :
         {static_cast<QAbstractSeries*>(erwartet), static_cast<QAbstractSeries*>(beobachtet)}) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
    return d;
}

}  // namespace

Diagramm_Permanenz::Diagramm_Permanenz(const kern::Ereigniskatalog& katalog, QWidget* parent)
    : QWidget(parent), katalog_(katalog) {
    setObjectName(QStringLiteral("Diagramm_Permanenz"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    zusammenfassung_ = new QLabel;
    zusammenfassung_->setObjectName(QStringLiteral("Label_Diagramm_Permanenz"));
    zusammenfassung_->setWordWrap(true);
    zahlenAnsicht_ = ansicht("ChartView_Zahlen");
    serienAnsicht_ = ansicht("ChartView_Serien");
    rueckAnsicht_ = ansicht("ChartView_Rueckstaende");
    auto* unten = new QHBoxLayout;
    unten->setSpacing(2);
    unten->addWidget(serienAnsicht_);
    unten->addWidget(rueckAnsicht_);
    layout->addWidget(zusammenfassung_);
    layout->addWidget(zahlenAnsicht_, 3);
    layout->addLayout(unten, 2);
    aufbauen();
}

void Diagramm_Permanenz::zeigen(events::Permanenzbild bild, QString kopf) {
    bild_ = std::move(bild);
    kopf_ = std::move(kopf);
    aufbauen();
}

void Diagramm_Permanenz::setEreignis(int ereignis) {
    if (ereignis != ereignis_) {
        ereignis_ = ereignis;
        ereignisAufbauen();
    }
}

void Diagramm_Permanenz::setEnglisch(bool englisch) {
    if (englisch != englisch_) {
        englisch_ = englisch;
        aufbauen();
    }
}

void Diagramm_Permanenz::aufbauen() {
    const bool en = englisch_;
    const events::Trefferbild& z = bild_.zahlen;
    const double unten = z.erwartet - 2 * z.sigma;
    const double oben = z.erwartet + 2 * z.sigma;

    if (z.coups == 0) {
        zusammenfassung_->setText(en ? QStringLiteral("No permanence evaluation yet.")
                                     : QStringLiteral("Noch keine Permanenzauswertung."));
    } else {
        QStringList heiss;
        QStringList kalt;
        for (int i = 0; i <= 36; ++i) {
            const double t = static_cast<double>(z.treffer[static_cast<std::size_t>(i)]);
            const QString eintrag = QStringLiteral("<font color=\"%1\"><b>%2</b></font> (%3)")
                                        .arg(zahlFarbe(katalog_, i).name())
                                        .arg(i)
                                        .arg(z.treffer[static_cast<std::size_t>(i)]);
            if (t > oben) {
                heiss.append(eintrag);
            } else if (t < unten) {
                kalt.append(eintrag);
            }
        }
        const QString keine = en ? QStringLiteral("none") : QStringLiteral("keine");
        QString text = QStringLiteral("<b>%1</b> &nbsp; ").arg(kopf_.toHtmlEscaped());
        text += (en ? QStringLiteral("%1 coups, expected %2 ± %3 per number")
                    : QStringLiteral("%1 Coups, erwartet %2 ± %3 je Zahl"))
                    .arg(z.coups)
                    .arg(komma(z.erwartet, 1), komma(2 * z.sigma, 1));
        text += QStringLiteral("<br>");
        text += (en ? QStringLiteral("Hot (above the band): %1 &middot; cold (below): %2")
                    : QStringLiteral("Heiß (über dem Band): %1 &middot; kalt (darunter): %2"))
                    .arg(heiss.isEmpty() ? keine : heiss.join(QStringLiteral(", ")),
                         kalt.isEmpty() ? keine : kalt.join(QStringLiteral(", ")));
        zusammenfassung_->setText(text);
    }

    auto* d = new QChart;
    d->setObjectName(QStringLiteral("Chart_Zahlen"));
    d->setTitle(en ? QStringLiteral("Hits of the numbers") : QStringLiteral("Treffer der Zahlen"));
    d->legend()->setAlignment(Qt::AlignBottom);
    d->setMargins(QMargins(4, 4, 4, 4));
    // One set per colour; each number has its count in the set of its colour only, so every bar
    // takes the colour of its number.
    auto* rot = new QBarSet(en ? QStringLiteral("red") : QStringLiteral("rot"));
    auto* schwarz = new QBarSet(en ? QStringLiteral("black") : QStringLiteral("schwarz"));
    auto* zero = new QBarSet(QStringLiteral("Zero"));
    rot->setColor(kRot);
    rot->setBorderColor(kRot);
    schwarz->setColor(Qt::black);
    schwarz->setBorderColor(Qt::black);
    zero->setColor(kGruen);
    zero->setBorderColor(kGruen);
    QStringList namen;
    double hoch = oben;
    double tief = std::max(0.0, unten);
    for (int i = 0; i <= 36; ++i) {
        const double t = static_cast<double>(z.treffer[static_cast<std::size_t>(i)]);
        const QColor f = zahlFarbe(katalog_, i);
        rot->append(f == kRot ? t : 0);
        schwarz->append(f == QColor(Qt::black) ? t : 0);
        zero->append(f == kGruen ? t : 0);
        namen.append(QString::number(i));
        hoch = std::max(hoch, t);
        tief = std::min(tief, t);
    }
    auto* balken = new QStackedBarSeries;
    balken->setObjectName(QStringLiteral("Serie_Zahlen"));
    balken->append(rot);
    balken->append(schwarz);
    balken->append(zero);
    balken->setBarWidth(0.75);
    d->addSeries(balken);
    auto* x = new QBarCategoryAxis;
    x->append(namen);
    QFont klein = x->labelsFont();
    klein.setPointSizeF(klein.pointSizeF() * 0.85);
    x->setLabelsFont(klein);
    // The axis starts below the lowest bar, not at 0, so that the differences between the
    // numbers and the band stay visible.
    auto* y = new QValueAxis;
    Achse_Runden(y, std::max(0.0, tief - z.sigma), hoch + z.sigma / 2);
    y->setTitleText(en ? QStringLiteral("Hits") : QStringLiteral("Treffer"));
    d->addAxis(x, Qt::AlignBottom);
    d->addAxis(y, Qt::AlignLeft);
    balken->attachAxis(x);
    balken->attachAxis(y);
    if (z.coups > 0) {
        auto* bandOben = new QLineSeries;
        auto* bandUnten = new QLineSeries;
        bandOben->append(-0.5, oben);
        bandOben->append(36.5, oben);
        bandUnten->append(-0.5, std::max(0.0, unten));
        bandUnten->append(36.5, std::max(0.0, unten));
        auto* band = new QAreaSeries(bandOben, bandUnten);
        // The area does not own its border lines.
        bandOben->setParent(band);
        bandUnten->setParent(band);
        band->setObjectName(QStringLiteral("Serie_Band"));
        band->setName(en ? QStringLiteral("±2 standard deviations")
                         : QStringLiteral("±2 Standardabweichungen"));
        band->setColor(QColor(20, 60, 160, 40));
        band->setBorderColor(QColor(20, 60, 160, 110));
        auto* erwartet = new QLineSeries;
        erwartet->setObjectName(QStringLiteral("Serie_Erwartet"));
        erwartet->setName((en ? QStringLiteral("expected (%1)") : QStringLiteral("erwartet (%1)"))
                              .arg(komma(z.erwartet, 1)));
        erwartet->append(-0.5, z.erwartet);
        erwartet->append(36.5, z.erwartet);
        erwartet->setPen(QPen(kErwartet, 2, Qt::DashLine));
        // Numbers outside the band are marked on top of their bars.
        auto* heiss = new QScatterSeries;
        heiss->setObjectName(QStringLiteral("Serie_Heiss"));
        heiss->setName(en ? QStringLiteral("hot") : QStringLiteral("heiß"));
        heiss->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
        heiss->setMarkerSize(12);
        heiss->setColor(QColor(255, 150, 0));
        heiss->setBorderColor(QColor(120, 60, 0));
        auto* kalt = new QScatterSeries;
        kalt->setObjectName(QStringLiteral("Serie_Kalt"));
        kalt->setName(en ? QStringLiteral("cold") : QStringLiteral("kalt"));
        kalt->setMarkerSize(11);
        kalt->setColor(QColor(0, 170, 230));
        kalt->setBorderColor(QColor(0, 70, 110));
        for (int i = 0; i <= 36; ++i) {
            const double t = static_cast<double>(z.treffer[static_cast<std::size_t>(i)]);
            if (t > oben) {
                heiss->append(i, t);
            } else if (t < unten) {
                kalt->append(i, t);
            }
        }
        for (QAbstractSeries* s :
             {static_cast<QAbstractSeries*>(band), static_cast<QAbstractSeries*>(erwartet),
              static_cast<QAbstractSeries*>(heiss), static_cast<QAbstractSeries*>(kalt)}) {
            d->addSeries(s);
            s->attachAxis(x);
            s->attachAxis(y);
        }
    }
    Diagramm_Setzen(zahlenAnsicht_, d);
    ereignisAufbauen();
}

void Diagramm_Permanenz::ereignisAufbauen() {
    const bool en = englisch_;
    const kern::Ereignis* e = katalog_.finden(ereignis_);
    std::vector<events::Laenge> serien;
    std::vector<events::Laenge> rueck;
    QString name =
        en ? QStringLiteral("no event selected") : QStringLiteral("kein Ereignis gewählt");
    if (e != nullptr && bild_.zahlen.coups > 0) {
        const double p = std::popcount(e->zahlen) / 37.0;
        const std::map<int, std::int64_t> leer;
        const auto s = bild_.serien.find(e->id);
        const auto r = bild_.rueckstaende.find(e->id);
        serien = events::Serien_Vergleichen(s == bild_.serien.end() ? leer : s->second,
                                            bild_.segmente, p);
        rueck = events::Rueckstaende_Vergleichen(r == bild_.rueckstaende.end() ? leer : r->second,
                                                 bild_.segmente, p);
        const store::Sprache sprache = en ? store::Sprache::Englisch : store::Sprache::Deutsch;
        name = QString::fromStdString(e->nameText(sprache));
    }
    QString serienTitel =
        (en ? QStringLiteral("Series: %1") : QStringLiteral("Serien: %1")).arg(name);
    QString rueckTitel =
        (en ? QStringLiteral("Absences: %1") : QStringLiteral("Rückstände: %1")).arg(name);
    // An evaluation in mode "H" counts no series and no absences at all: say so rather than
    // show the expected counts against nothing.
    if (bild_.zahlen.coups > 0 && bild_.serien.empty()) {
        serien.clear();
        serienTitel += en ? QStringLiteral(" (not counted: mode S or A)")
                          : QStringLiteral(" (nicht gezählt: Modus S oder A)");
    }
    if (bild_.zahlen.coups > 0 && bild_.rueckstaende.empty()) {
        rueck.clear();
        rueckTitel += en ? QStringLiteral(" (not counted: mode R or A)")
                         : QStringLiteral(" (nicht gezählt: Modus R oder A)");
    }
    Diagramm_Setzen(serienAnsicht_, laengenDiagramm("Chart_Serien", serienTitel, serien, en));
    Diagramm_Setzen(rueckAnsicht_, laengenDiagramm("Chart_Rueckstaende", rueckTitel, rueck, en));
}

}  // namespace spinalyst::app
