#include "app/form_casino.h"
#include "app/benannt.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/binding/bound_controls.h"
#include "app/binding/cursor_grid.h"
#include "app/binding/cursor_table_model.h"
#include "app/qt_user_interface.h"
#include "capture/auswahl.h"
#include "capture/eingabe.h"

namespace spinalyst::app {

using binding::Column;
using binding::CursorGrid;
using binding::CursorTableModel;

Form_Casino::Form_Casino(kern::Kontext& kontext, binding::BindingContext* bindung, QWidget* parent)
    : QDialog(parent), kontext_(kontext), bindung_(bindung) {
    setObjectName(QStringLiteral("Form_Casino"));
    setWindowTitle(QStringLiteral("  Casinos"));
    setModal(true);
    auto& dm = kontext_.dm;

    auto* casinos = new CursorTableModel(
        dm.TdbTable_Casino,
        {Column("ID_Casino", "Nr.", "No.").right().width(4),
         Column("Casino_Name", "Name Casino").width(24).stretched().editableCell(),
         Column("Casino_In_Liste", "iL").centre().width(2).editableMark()},
        bindung_, this);
    DBGrid_Casino_Name = benannt(new CursorGrid(casinos), "DBGrid_Casino_Name");
    // A double click switches between browsing the rows and editing the name and the list mark
    // in place; the double click that starts editing opens the cell's editor at once.
    connect(DBGrid_Casino_Name, &QAbstractItemView::doubleClicked, this,
            [this] { DBGrid_Casino_Name->setEditing(!DBGrid_Casino_Name->editing()); });

    Label_Information = benannt(new QLabel, "Label_Information");
    auto* memo =
        benannt(new binding::BoundPlainTextEdit(dm.TdbTable_Casino, "Casino_Bemerkungen", bindung_),
                "DBMemo_Information");
    Label_Information->setBuddy(memo);

    Label_Vorhandene_Permanenzen = benannt(new QLabel, "Label_Vorhandene_Permanenzen");
    auto* strecken = new CursorTableModel(
        dm.TdbTable_Casino_Tisch_Datum,
        {Column("Tisch", "T").width(4), Column("Datum_von", "von", "from").width(10),
         Column("Datum_bis", "bis", "to").width(10),
         Column("Tage", "Tage", "Days").right().width(5).stretched()},
        bindung_, this);
    auto* streckenGrid = benannt(new CursorGrid(strecken), "DBGrid_Vorhandene_Permanenzen");
    Label_Vorhandene_Permanenzen->setBuddy(streckenGrid);

    auto* zufall =
        benannt(new binding::BoundCheckBox(dm.TdbTable_Casino, "Zufallsgenerator", {}, bindung_),
                "DBCheckBox_Zufallsgenerator");
    auto* coups =
        benannt(new binding::BoundLineEdit(dm.TdbTable_Casino, "Zufallsgenerator_Coups", bindung_),
                "DBEdit_Zufallsgenerator_Coups");
    coups->setIntegerOnly(true);
    coups->setAlignment(Qt::AlignRight);
    coups->setFixedWidth(coups->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 14);

    BitBtn_Neu = benannt(new QPushButton, "BitBtn_Neu");
    BitBtn_OK = benannt(new QPushButton(QStringLiteral("OK")), "BitBtn_OK");
    // Enter takes the casino (OK), also right after "Neu" was clicked.
    BitBtn_Neu->setAutoDefault(false);
    BitBtn_OK->setDefault(true);
    connect(BitBtn_Neu, &QPushButton::clicked, this, &Form_Casino::BitBtn_NeuClick);
    connect(BitBtn_OK, &QPushButton::clicked, this, &Form_Casino::BitBtn_OKClick);

    auto* layout = new QGridLayout(this);
    layout->addWidget(DBGrid_Casino_Name, 0, 0, 4, 1);
    layout->addWidget(Label_Vorhandene_Permanenzen, 0, 1);
    layout->addWidget(streckenGrid, 1, 1);
    layout->addWidget(Label_Information, 2, 1);
    layout->addWidget(memo, 3, 1);
    auto* unten = new QHBoxLayout;
    unten->addWidget(zufall);
    unten->addWidget(coups);
    unten->addStretch(1);
    unten->addWidget(BitBtn_Neu);
    unten->addWidget(BitBtn_OK);
    layout->addLayout(unten, 4, 0, 1, 2);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    layout->setRowStretch(1, 1);
    layout->setRowStretch(3, 1);
    resize(720, 420);
    Texte_Setzen();
}

void Form_Casino::Texte_Setzen() {
    const bool englisch = kontext_.sitzung.englisch();
    Label_Information->setText(QStringLiteral("Information"));
    Label_Vorhandene_Permanenzen->setText(englisch ? QStringLiteral("Existing permanences")
                                                   : QStringLiteral("Vorhandene Permanenzen"));
    findChild<QCheckBox*>(QStringLiteral("DBCheckBox_Zufallsgenerator"))
        ->setText(englisch ? QStringLiteral("Random generator")
                           : QStringLiteral("Zufallsgenerator"));
    BitBtn_Neu->setText(englisch ? QStringLiteral("New") : QStringLiteral("Neu"));
}

void Form_Casino::Zeigen() {
    Texte_Setzen();
    DBGrid_Casino_Name->setEditing(false);
    try {
        capture::Casino_Fenster_Zeigen(kontext_);
    } catch (const std::exception& e) {
        kontext_.ui.inform(e.what());
        return;
    }
    DBGrid_Casino_Name->setFocus();
    Modal_Zeigen(*this);
}

void Form_Casino::BitBtn_NeuClick() {
    bindung_->commitAll();
    try {
        capture::BitBtn_NeuClick(kontext_);
    } catch (const std::exception& e) {
        kontext_.ui.inform(e.what());
    }
}

void Form_Casino::BitBtn_OKClick() {
    bindung_->commitAll();
    try {
        capture::BitBtn_OKClick(kontext_);
    } catch (const std::exception& e) {
        kontext_.ui.inform(e.what());
    }
    accept();
}

void Form_Casino::done(int result) {
    // Typed text is an edit too; the list filter comes back on however the window closes.
    bindung_->commitAll();
    try {
        capture::Casino_Fenster_Schliessen(kontext_);
    } catch (const std::exception& e) {
        kontext_.ui.inform(e.what());
    }
    QDialog::done(result);
}

}  // namespace spinalyst::app
