#include "app/form_wahl_ereignis.h"

#include <QCheckBox>
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
#include "events/ereigniswahl.h"

namespace spinalyst::app {

using binding::Column;
using binding::CursorGrid;
using binding::CursorTableModel;

namespace {

QString wahlTitel(char modus, bool englisch) {
    switch (modus) {
        case 'H':
            return englisch ? QStringLiteral("  Select event (frequency)")
                            : QStringLiteral("  Wahl Ereignis (Häufigkeit)");
        case 'S':
            return englisch ? QStringLiteral("  Select event (series)")
                            : QStringLiteral("  Wahl Ereignis (Serien)");
        case 'R':
            return englisch ? QStringLiteral("  Select event (absence)")
                            : QStringLiteral("  Wahl Ereignis (Rückständigkeit)");
        default:
            return englisch ? QStringLiteral("  Select event (sequence of events)")
                            : QStringLiteral("  Wahl Ereignis (Ereignisfolge)");
    }
}

}  // namespace

Form_Wahl_Ereignis::Form_Wahl_Ereignis(Form_Anwendung_Roulette& hauptfenster)
    : QDialog(&hauptfenster), haupt_(hauptfenster) {
    setObjectName(QStringLiteral("Form_Wahl_Ereignis"));
    setModal(true);
    store::DataModule_Roulette& dm = haupt_.dataModule();
    auto* layout = new QVBoxLayout(this);

    auto* modell = new CursorTableModel(dm.TdbTable_Ereignisse,
                                        {Column("Ereignis", "Ereignisse", "Events")
                                             .englishField("Ereignis_Englisch")
                                             .width(14)
                                             .toContent(),
                                         Column("Ereignis_Info", "Zahlen", "Numbers")
                                             .englishField("Ereignis_Info_Englisch")
                                             .width(22)
                                             .stretched()},
                                        &haupt_.bindung(), this);
    auto* grid = new CursorGrid(modell);
    grid->setObjectName(QStringLiteral("DBGrid_Ereignisse"));
    grid->setMinimumHeight(grid->heightForRows(12));
    layout->addWidget(grid, 1);

    auto* zeile = new QHBoxLayout;
    chanceLabel_ = new QLabel(QStringLiteral("Chance"));
    chance_ = new binding::BoundLookupComboBox(dm.TdbTable_Wahl, "ID_Chancen_Auswertung",
                                               dm.TdbTable_System_Chancen, "ID_System_Chancen",
                                               "Chancen", "", &haupt_.bindung());
    chance_->setObjectName(QStringLiteral("DBLookupComboBox_Chancen_Wahl"));
    chanceLabel_->setBuddy(chance_);
    connect(chance_, &binding::BoundLookupComboBox::valueCommitted, this, [this] {
        try {
            events::DBLookupComboBox_Chancen_PermanenzCloseUp(haupt_.kontext());
        } catch (const std::exception& e) {
            haupt_.kontext().ui.inform(e.what());
        }
    });
    CheckBox_Aufnahme_Ausgang = new QCheckBox;
    CheckBox_Aufnahme_Ausgang->setObjectName(QStringLiteral("CheckBox_Aufnahme_Ausgang"));
    zeile->addWidget(chanceLabel_);
    zeile->addWidget(chance_, 1);
    zeile->addSpacing(8);
    zeile->addWidget(CheckBox_Aufnahme_Ausgang);
    layout->addLayout(zeile);

    auto* knoepfe = new QHBoxLayout;
    aufnahme_ = new QPushButton;
    aufnahme_->setObjectName(QStringLiteral("BitBtn_Aufnahme_Ereignis"));
    aufnahme_->setDefault(true);
    abbrechen_ = new QPushButton;
    abbrechen_->setObjectName(QStringLiteral("BitBtn_Abbrechen_Ereignis"));
    knoepfe->addStretch(1);
    knoepfe->addWidget(aufnahme_);
    knoepfe->addWidget(abbrechen_);
    layout->addLayout(knoepfe);
    connect(aufnahme_, &QPushButton::clicked, this,
            &Form_Wahl_Ereignis::BitBtn_Aufnahme_EreignisClick);
    connect(abbrechen_, &QPushButton::clicked, this, &QDialog::reject);
}

int Form_Wahl_Ereignis::Zeigen(char modus) {
    const bool englisch = haupt_.sitzung().sprache == store::Sprache::Englisch;
    setWindowTitle(wahlTitel(modus, englisch));
    aufnahme_->setText(englisch ? QStringLiteral("Include") : QStringLiteral("Aufnahme"));
    abbrechen_->setText(englisch ? QStringLiteral("Break") : QStringLiteral("Abbrechen"));
    // Ticked: take the chosen event; cleared: remove the assignment.
    CheckBox_Aufnahme_Ausgang->setText(englisch ? QStringLiteral("Include")
                                                : QStringLiteral("Aufnehmen"));
    CheckBox_Aufnahme_Ausgang->setChecked(true);
    chance_->setLanguage(haupt_.sitzung().sprache);
    chance_->reload();
    return Modal_Zeigen(*this);
}

void Form_Wahl_Ereignis::BitBtn_Aufnahme_EreignisClick() {
    try {
        events::BitBtn_Aufnahme_EreignisClick(haupt_.kontext(),
                                              CheckBox_Aufnahme_Ausgang->isChecked());
    } catch (const std::exception& e) {
        haupt_.kontext().ui.inform(e.what());
    }
    accept();
}

}  // namespace spinalyst::app
