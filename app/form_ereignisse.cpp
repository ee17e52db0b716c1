#include "app/form_ereignisse.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "app/binding/bound_controls.h"
#include "app/binding/cursor_grid.h"
#include "app/form_anwendung_roulette.h"
#include "app/qt_user_interface.h"
#include "events/ereignisse.h"

namespace spinalyst::app {

using binding::Column;
using binding::CursorGrid;
using binding::CursorTableModel;

Form_Ereignisse::Form_Ereignisse(Form_Anwendung_Roulette& hauptfenster)
    : QDialog(&hauptfenster), haupt_(hauptfenster) {
    setObjectName(QStringLiteral("Form_Ereignisse"));
    setModal(true);
    store::DataModule_Roulette& dm = haupt_.dataModule();
    auto* layout = new QHBoxLayout(this);

    auto* ereignisse = new CursorTableModel(dm.TdbTable_Ereignisse,
                                            {Column("Ereignis", "Ereignisse", "Events")
                                                 .englishField("Ereignis_Englisch")
                                                 .width(14)
                                                 .toContent(),
                                             Column("Ereignis_Info", "Zahlen", "Numbers")
                                                 .englishField("Ereignis_Info_Englisch")
                                                 .width(22)
                                                 .stretched(),
                                             Column("Ereignis_Gewinn", "G", "W").right().width(3),
                                             Column("Ereignis_Einsatz", "E", "S").right().width(3)},
                                            &haupt_.bindung(), this);
    auto* grid = new CursorGrid(ereignisse);
    grid->setObjectName(QStringLiteral("DBGrid_Ereignisse"));
    grid->setMinimumHeight(grid->heightForRows(14));
    layout->addWidget(grid, 1);

    auto* rechts = new QVBoxLayout;
    zahlenLabel_ = new QLabel;
    zahlenLabel_->setObjectName(QStringLiteral("Label_Zahlen"));
    zahlenModell_ = new CursorTableModel(dm.TdbTable_Ereignis_Zahl,
                                         {Column("Zahl", "Zahl", "No.").right().width(4)},
                                         &haupt_.bindung(), this);
    // Linked only while the window is shown.
    zahlenModell_->setAttached(false);
    auto* zahlen = new CursorGrid(zahlenModell_);
    zahlen->setObjectName(QStringLiteral("DBGrid_Ereignis_Zahl"));
    auto* chanceLabel = new QLabel(QStringLiteral("Chance"));
    chance_ = new binding::BoundLookupComboBox(dm.TdbTable_Wahl, "ID_Chancen_Auswertung",
                                               dm.TdbTable_System_Chancen, "ID_System_Chancen",
                                               "Chancen", "", &haupt_.bindung());
    chance_->setObjectName(QStringLiteral("DBLookupComboBox_Chancen_Ereignisse"));
    chanceLabel->setBuddy(chance_);
    connect(chance_, &binding::BoundLookupComboBox::valueCommitted, this, [this] {
        try {
            events::DBLookupComboBox_Chancen_PermanenzCloseUp(haupt_.kontext());
        } catch (const std::exception& e) {
            haupt_.kontext().ui.inform(e.what());
        }
    });
    ok_ = new QPushButton(QStringLiteral("OK"));
    ok_->setObjectName(QStringLiteral("BitBtn_OK_Ereignisse"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    rechts->addWidget(zahlenLabel_);
    rechts->addWidget(zahlen, 1);
    rechts->addWidget(chanceLabel);
    rechts->addWidget(chance_);
    rechts->addWidget(ok_);
    layout->addLayout(rechts);
}

int Form_Ereignisse::Zeigen() {
    const bool englisch = haupt_.sitzung().sprache == store::Sprache::Englisch;
    setWindowTitle(englisch ? QStringLiteral("  Events view")
                            : QStringLiteral("  Ereignisse Überblick"));
    zahlenLabel_->setText(englisch ? QStringLiteral("Numbers") : QStringLiteral("Zahlen"));
    chance_->setLanguage(haupt_.sitzung().sprache);
    chance_->reload();
    try {
        events::Ereignisse_Fenster_Zeigen(haupt_.kontext());
    } catch (const std::exception& e) {
        haupt_.kontext().ui.inform(e.what());
    }
    zahlenModell_->setAttached(true);
    const int ergebnis = Modal_Zeigen(*this);
    zahlenModell_->setAttached(false);
    try {
        events::Ereignisse_Fenster_Schliessen(haupt_.kontext());
    } catch (const std::exception& e) {
        haupt_.kontext().ui.inform(e.what());
    }
    return ergebnis;
}

}  // namespace spinalyst::app
