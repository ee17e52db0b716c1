#include "app/diagrammbereich.h"

#include <QAction>
#include <QChartView>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "app/diagramm_permanenz.h"
#include "app/diagramm_system.h"
#include "app/qt_user_interface.h"
#include "events/trefferbild.h"
#include "systems/verlauf.h"

namespace spinalyst::app {

namespace {

// The height the charts need under the grids.
constexpr int kHoehe = 420;

}  // namespace

Diagrammbereich::Diagrammbereich(kern::Kontext& k, const kern::Ereigniskatalog& katalog,
                                 QtUserInterface& ui, QWidget* parent)
    : QDockWidget(parent), k_(k), katalog_(katalog), ui_(ui) {
    setObjectName(QStringLiteral("DockWidget_Diagramme"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    auto* inhalt = new QWidget;
    auto* layout = new QVBoxLayout(inhalt);
    layout->setContentsMargins(2, 0, 2, 2);
    layout->setSpacing(0);
    reiter_ = new QTabWidget;
    reiter_->setObjectName(QStringLiteral("TabWidget_Diagramme"));
    system_ = new Diagramm_System;
    permanenz_ = new Diagramm_Permanenz(katalog_);
    reiter_->addTab(system_, QString());
    reiter_->addTab(permanenz_, QString());
    png_ = new QToolButton;
    png_->setObjectName(QStringLiteral("Button_Diagramm_PNG"));
    svg_ = new QToolButton;
    svg_->setObjectName(QStringLiteral("Button_Diagramm_SVG"));
    auto* ecke = new QWidget;
    auto* knoepfe = new QHBoxLayout(ecke);
    knoepfe->setContentsMargins(0, 0, 0, 0);
    knoepfe->setSpacing(2);
    knoepfe->addWidget(png_);
    knoepfe->addWidget(svg_);
    reiter_->setCornerWidget(ecke, Qt::TopRightCorner);
    layout->addWidget(reiter_);
    setWidget(inhalt);
    connect(png_, &QToolButton::clicked, this,
            [this] { Exportieren_Fragen(QStringLiteral("PNG")); });
    connect(svg_, &QToolButton::clicked, this,
            [this] { Exportieren_Fragen(QStringLiteral("SVG")); });
    // The same two entries as the context menu of every chart.
    for (QChartView* v : findChildren<QChartView*>()) {
        v->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(v, &QWidget::customContextMenuRequested, this, [this, v](QPoint p) {
            QMenu menue;
            const bool en = k_.sitzung.englisch();
            menue.addAction(en ? QStringLiteral("Save chart as PNG...")
                               : QStringLiteral("Diagramm als PNG speichern..."),
                            this, [this] { Exportieren_Fragen(QStringLiteral("PNG")); });
            menue.addAction(en ? QStringLiteral("Save chart as SVG...")
                               : QStringLiteral("Diagramm als SVG speichern..."),
                            this, [this] { Exportieren_Fragen(QStringLiteral("SVG")); });
            menue.exec(v->mapToGlobal(p));
        });
    }
    Sprache_Anwenden();
    // Nothing to show before the first evaluation.
    hide();
}

void Diagrammbereich::Einblenden() {
    if (isVisible()) {
        return;
    }
    QWidget* fenster = parentWidget();
    const QScreen* bildschirm =
        fenster != nullptr ? fenster->screen() : QGuiApplication::primaryScreen();
    const QRect frei =
        bildschirm != nullptr ? bildschirm->availableGeometry() : QRect(0, 0, 1366, 768);
    // Under the grids when the screen has room for both; otherwise a window of its own over the
    // lower part of the screen, which the player may move, dock or close.
    const bool platz =
        fenster != nullptr && frei.height() >= fenster->minimumSizeHint().height() + kHoehe;
    setFloating(!platz);
    if (!platz) {
        const QSize groesse(std::min(1100, frei.width() * 9 / 10),
                            std::min(640, frei.height() * 4 / 5));
        setGeometry(QRect(QPoint(frei.x() + (frei.width() - groesse.width()) / 2,
                                 frei.y() + frei.height() - groesse.height()),
                          groesse));
    }
    show();
}

QString Diagrammbereich::Kopf() const {
    const auto& w = k_.dm.TdbTable_Wahl;
    return w.isOpen() ? QString::fromStdString(w.text("Tisch")) : QString();
}

void Diagrammbereich::Systemauswertung_Zeigen(const systems::Systemlauf& lauf) {
    if (!lauf.gelaufen || !k_.dm.TdbTable_Wahl.isOpen()) {
        return;
    }
    try {
        const auto& w = k_.dm.TdbTable_Wahl;
        systems::Verlaufsauswahl a;
        a.casino = w.value("ID_Casino").toInt64();
        a.tisch = w.text("Tisch");
        a.bis = k_.sitzung.gewaehlter_tag;
        a.von = a.bis.addDays(1 - std::max(1, w.integer("System_Tage_Anzahl")));
        a.systeme = lauf.auswertung.systeme;
        a.proSystem = w.text("System_Online_Alle") == "t";
        const QString kopf = QStringLiteral("%1, %2 – %3")
                                 .arg(Kopf(), QString::fromStdString(a.von.german()),
                                      QString::fromStdString(a.bis.german()));
        system_->zeigen(systems::Verlauf_Laden(k_.dm.TdbDatabase_Roulette, a), kopf);
        reiter_->setCurrentWidget(system_);
        Einblenden();
    } catch (const std::exception& e) {
        ui_.inform(e.what());
    }
}

void Diagrammbereich::Permanenzauswertung_Zeigen() {
    if (!k_.dm.TdbTable_Wahl.isOpen()) {
        return;
    }
    try {
        const auto& w = k_.dm.TdbTable_Wahl;
        const store::Date bis = k_.sitzung.gewaehlter_tag;
        const store::Date von = bis.addDays(1 - std::max(1, w.integer("Auswertung_Tage_Anzahl")));
        const QString kopf =
            von == bis ? QStringLiteral("%1, %2").arg(Kopf(), QString::fromStdString(bis.german()))
                       : QStringLiteral("%1, %2 – %3")
                             .arg(Kopf(), QString::fromStdString(von.german()),
                                  QString::fromStdString(bis.german()));
        permanenz_->zeigen(events::Permanenzbild_Laden(k_, katalog_), kopf);
        permanenz_->setEreignis(events::Gewaehltes_Ereignis(k_));
        reiter_->setCurrentWidget(permanenz_);
        Einblenden();
    } catch (const std::exception& e) {
        ui_.inform(e.what());
    }
}

void Diagrammbereich::Ereignis_Zeigen() {
    permanenz_->setEreignis(events::Gewaehltes_Ereignis(k_));
}

void Diagrammbereich::Sprache_Anwenden() {
    const bool en = k_.sitzung.englisch();
    setWindowTitle(en ? QStringLiteral("Charts") : QStringLiteral("Diagramme"));
    reiter_->setTabText(
        0, en ? QStringLiteral("System evaluation") : QStringLiteral("Systemauswertung"));
    reiter_->setTabText(
        1, en ? QStringLiteral("Permanence evaluation") : QStringLiteral("Permanenzauswertung"));
    png_->setText(QStringLiteral("PNG"));
    svg_->setText(QStringLiteral("SVG"));
    png_->setToolTip(en ? QStringLiteral("Save the chart as a PNG picture")
                        : QStringLiteral("Diagramm als PNG-Bild speichern"));
    svg_->setToolTip(en ? QStringLiteral("Save the chart as an SVG drawing")
                        : QStringLiteral("Diagramm als SVG-Zeichnung speichern"));
    system_->setEnglisch(en);
    permanenz_->setEnglisch(en);
}

bool Diagrammbereich::Exportieren(const QString& pfad, bool svgFormat) {
    QWidget* bild = reiter_->currentWidget();
    if (svgFormat) {
        QSvgGenerator svg;
        svg.setFileName(pfad);
        svg.setSize(bild->size());
        svg.setViewBox(QRect(QPoint(0, 0), bild->size()));
        svg.setTitle(reiter_->tabText(reiter_->currentIndex()));
        QPainter maler;
        if (!maler.begin(&svg)) {
            return false;
        }
        bild->render(&maler);
        return maler.end();
    }
    return bild->grab().save(pfad, "PNG");
}

void Diagrammbereich::Exportieren_Fragen(const QString& format) {
    const bool svg = format == QStringLiteral("SVG");
    const bool en = k_.sitzung.englisch();
    const char* endung = svg ? "svg" : "png";
    const std::string filter = svg ? (en ? "SVG drawing (*.svg)" : "SVG-Zeichnung (*.svg)")
                                   : (en ? "PNG picture (*.png)" : "PNG-Bild (*.png)");
    const bool system = reiter_->currentWidget() == system_;
    const std::string name =
        std::string(system ? (en ? "system-evaluation" : "Systemauswertung")
                           : (en ? "permanence-evaluation" : "Permanenzauswertung")) +
        "." + endung;
    const auto wahl = ui_.chooseSaveFile({filter}, name);
    if (!wahl) {
        return;
    }
    // A name typed without a suffix gets the one of the format.
    QString pfad = QString::fromStdString(wahl->path);
    if (QFileInfo(pfad).suffix().isEmpty()) {
        pfad += QLatin1Char('.') + QLatin1String(endung);
    }
    // The format chosen decides, whatever suffix was typed.
    if (!Exportieren(pfad, svg)) {
        ui_.inform(k_.text("Das Diagramm konnte nicht gespeichert werden: ",
                           "The chart could not be saved: ") +
                   pfad.toStdString());
    }
}

}  // namespace spinalyst::app
