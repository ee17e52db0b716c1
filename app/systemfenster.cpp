#include "app/systemfenster.h"

#include <QAction>
#include <QPushButton>
#include <exception>

#include "app/form_anwendung_roulette.h"
#include "app/form_data_mining.h"
#include "app/form_individuell_satzsignale.h"
#include "app/form_systeme_auswertung_ueberblick.h"
#include "mining/fenster_daten.h"
#include "systems/individuell.h"

namespace spinalyst::app {

namespace {

// The window of the type below the main window, created on the first call.
template <typename Fenster>
Fenster& fenster(Form_Anwendung_Roulette& haupt, const char* name) {
    if (auto* f =
            haupt.findChild<Fenster*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly)) {
        return *f;
    }
    return *new Fenster(haupt.kontext(), &haupt.bindung(), &haupt);
}

bool bereit(Form_Anwendung_Roulette& haupt) {
    return haupt.dataModule().isOpen() && !haupt.rechnet();
}

void Ueberblick_Oeffnen(Form_Anwendung_Roulette& haupt) {
    if (!bereit(haupt)) {
        return;
    }
    fenster<Form_Systeme_Auswertung_Ueberblick>(haupt, "Form_Systeme_Auswertung_Ueberblick")
        .Zeigen();
}

template <typename Fenster>
void Individuell_Oeffnen(Form_Anwendung_Roulette& haupt, bool (*pruefen)(kern::Kontext&),
                         const char* name) {
    if (!bereit(haupt)) {
        return;
    }
    try {
        if (!pruefen(haupt.kontext())) {
            return;
        }
    } catch (const std::exception& e) {
        haupt.kontext().ui.inform(e.what());
        return;
    }
    fenster<Fenster>(haupt, name).Zeigen();
}

void Data_Mining_Oeffnen(Form_Anwendung_Roulette& haupt) {
    if (!bereit(haupt)) {
        return;
    }
    try {
        if (!mining::MenuItem_DataMiningClick(haupt.kontext())) {
            return;
        }
    } catch (const std::exception& e) {
        haupt.kontext().ui.inform(e.what());
        return;
    }
    fenster<Form_Data_Mining>(haupt, "Form_Data_Mining").Zeigen();
    haupt.kontext().ansicht.neuZeichnen();
}

}  // namespace

void Systemfenster_Verbinden(Form_Anwendung_Roulette& haupt) {
    const auto aktion = [&haupt](const char* name) {
        return haupt.findChild<QAction*>(QString::fromLatin1(name));
    };
    QObject::connect(aktion("MenuItem_Systeme_Auswertungen_Ueberblick"), &QAction::triggered,
                     &haupt, [&haupt] { Ueberblick_Oeffnen(haupt); });
    QObject::connect(haupt.findChild<QPushButton*>(QStringLiteral("BitBtn_Gesamtauswertungen")),
                     &QPushButton::clicked, &haupt, [&haupt] { Ueberblick_Oeffnen(haupt); });
    QObject::connect(aktion("MenuItem_Individuell_Satzsignale_1"), &QAction::triggered, &haupt,
                     [&haupt] {
                         Individuell_Oeffnen<Form_Individuell_Satzsignale_1>(
                             haupt, &systems::MenuItem_Individuell_Satzsignale_1Click,
                             "Form_Individuell_Satzsignale_1");
                     });
    QObject::connect(aktion("MenuItem_Individuell_Satzsignale_2"), &QAction::triggered, &haupt,
                     [&haupt] {
                         Individuell_Oeffnen<Form_Individuell_Satzsignale_2>(
                             haupt, &systems::MenuItem_Individuell_Satzsignale_2Click,
                             "Form_Individuell_Satzsignale_2");
                     });
    QObject::connect(aktion("MenuItem_DataMining"), &QAction::triggered, &haupt,
                     [&haupt] { Data_Mining_Oeffnen(haupt); });
}

}  // namespace spinalyst::app
