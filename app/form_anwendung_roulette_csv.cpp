// The main window's CSV menus: the number-list import in the menu "Permanenzen" and the menu
// "Export".
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <chrono>

#include "app/form_anwendung_roulette.h"
#include "app/form_csv.h"
#include "app/qt_user_interface.h"
#include "capture/import_liste.h"
#include "capture/permanenz_csv.h"
#include "events/ereignisse_csv.h"
#include "mining/ergebnisliste_csv.h"
#include "systems/ergebnisse_csv.h"

namespace spinalyst::app {

namespace {

// The property the mnemonics are given from (see Kuerzel_Vergeben).
constexpr const char* kBeschriftung = "beschriftung";

struct Csv_Menuepunkt {
    const char* name;
    const char* deutsch;
    const char* englisch;
};

constexpr Csv_Menuepunkt kZahlenliste = {"MenuItem_Permanenzen_Zahlenliste",
                                         "Zahlenliste importieren ...", "Import number list ..."};
constexpr Csv_Menuepunkt kExport = {"MenuItem_Export", "Export", "Export"};
constexpr Csv_Menuepunkt kExportpunkte[] = {
    {"MenuItem_Export_Permanenz", "Permanenz ...", "Permanence ..."},
    {"MenuItem_Export_Ereignisse", "Ereignisse (Permanenzauswertung) ...",
     "Events (permanence evaluation) ..."},
    {"MenuItem_Export_System_Tage", "Systemauswertung: Tage ...", "System evaluation: days ..."},
    {"MenuItem_Export_System_Gesamt", "Systemauswertung: Gesamt ...",
     "System evaluation: totals ..."},
    {"MenuItem_Export_System_Saetze", "Systemauswertung: Sätze ...", "System evaluation: bets ..."},
    {"MenuItem_Export_Data_Mining", "Data-Mining-Ergebnisse ...", "Data-mining results ..."},
};

}  // namespace

void Form_Anwendung_Roulette::Csv_Verbinden() {
    formZahlenliste_ = new Form_Zahlenliste(this);
    formPermanenzExport_ = new Form_Permanenz_Export(this);

    auto* permanenzen = findChild<QMenu*>(QStringLiteral("MenuItem_Permanenzen"));
    auto* zahlenliste = new QAction(permanenzen);
    zahlenliste->setObjectName(QString::fromLatin1(kZahlenliste.name));
    permanenzen->insertAction(findChild<QAction*>(QStringLiteral("MenuItem_Permanenzen_Eingabe")),
                              zahlenliste);
    connect(zahlenliste, &QAction::triggered, this, [this] {
        Eingabemodus_Beenden();
        const auto vorgabe = formZahlenliste_->fragen(sitzung_.gewaehlter_tag, sitzung_.englisch());
        if (!vorgabe) {
            return;
        }
        Bedienen(
            [this, &vorgabe] { capture::MenuItem_Liste_ImportierenClick(kontext_, *vorgabe); });
        Casinoliste_Neu_Laden();
    });

    auto* export_ = new QMenu(menuBar());
    export_->setObjectName(QString::fromLatin1(kExport.name));
    export_->menuAction()->setObjectName(QString::fromLatin1(kExport.name));
    menuBar()->insertAction(findChild<QAction*>(QStringLiteral("MenuItem_Hilfe")),
                            export_->menuAction());
    const auto punkt = [this, export_](const Csv_Menuepunkt& p, std::function<void()> schritt) {
        auto* a = new QAction(export_);
        a->setObjectName(QString::fromLatin1(p.name));
        export_->addAction(a);
        connect(a, &QAction::triggered, this, [this, schritt = std::move(schritt)] {
            Eingabemodus_Beenden();
            Bedienen(schritt);
        });
    };
    punkt(kExportpunkte[0], [this] {
        const auto monat = capture::Permanenzstrecke_Der_Auswahl(kontext_);
        const auto tage = formPermanenzExport_->fragen(*monat.von, *monat.bis, sitzung_.englisch());
        if (!tage) {
            return;
        }
        auto strecke = monat;
        strecke.von = tage->first;
        strecke.bis = tage->second;
        capture::MenuItem_Export_PermanenzClick(kontext_, strecke);
    });
    punkt(kExportpunkte[1], [this] { events::MenuItem_Export_EreignisseClick(kontext_); });
    punkt(kExportpunkte[2],
          [this] { systems::MenuItem_Export_SystemClick(kontext_, systems::Systemteil::Tage); });
    punkt(kExportpunkte[3],
          [this] { systems::MenuItem_Export_SystemClick(kontext_, systems::Systemteil::Gesamt); });
    punkt(kExportpunkte[4],
          [this] { systems::MenuItem_Export_SystemClick(kontext_, systems::Systemteil::Saetze); });
    punkt(kExportpunkte[5], [this] { mining::MenuItem_Export_Data_MiningClick(kontext_); });
    Csv_Beschriften();
}

void Form_Anwendung_Roulette::Csv_Beschriften() {
    const bool englisch = sitzung_.englisch();
    const auto beschriften = [this, englisch](const Csv_Menuepunkt& p) {
        if (auto* a = findChild<QAction*>(QString::fromLatin1(p.name))) {
            const QString text = QString::fromUtf8(englisch ? p.englisch : p.deutsch);
            a->setProperty(kBeschriftung, text);
            a->setText(text);
        }
    };
    beschriften(kZahlenliste);
    beschriften(kExport);
    for (const Csv_Menuepunkt& p : kExportpunkte) {
        beschriften(p);
    }
    formZahlenliste_->setzeSprache(englisch);
    formPermanenzExport_->setzeSprache(englisch);
}

}  // namespace spinalyst::app
