#include "app/form_systeme_auswertung_ueberblick.h"
#include "app/benannt.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "app/binding/cursor_grid.h"
#include "app/binding/cursor_table_model.h"
#include "systems/ueberblick.h"

namespace spinalyst::app {

using binding::Column;
using binding::CursorGrid;
using binding::CursorTableModel;

Form_Systeme_Auswertung_Ueberblick::Form_Systeme_Auswertung_Ueberblick(
    kern::Kontext& kontext, binding::BindingContext* bindung, QWidget* parent)
    : QDialog(parent), kontext_(kontext), bindung_(bindung) {
    setObjectName(QStringLiteral("Form_Systeme_Auswertung_Ueberblick"));
    setModal(true);

    auto* zeilen = new CursorTableModel(
        kontext_.dm.TdbTable_Systeme_Auswertungen_Ueberblick,
        {Column("Casino_Name", QStringLiteral("Casino")).width(16).stretched(),
         Column("Tisch", QStringLiteral("T")).width(5),
         Column("Datum_von", QStringLiteral("Datum von"), QStringLiteral("Date from")).width(10),
         Column("Datum_bis", QStringLiteral("Datum bis"), QStringLiteral("Date to")).width(10),
         Column("Tage", QStringLiteral("Tage"), QStringLiteral("Days")).right().width(5),
         Column("Tage_positiv", QStringLiteral("(+)")).right().width(5),
         Column("Gewinn_Verlust", QStringLiteral("G/V"), QStringLiteral("W/L")).right().width(7),
         Column("Gewinn_Maximal", QStringLiteral("Max +")).right().width(6),
         Column("Verlust_Maximal", QStringLiteral("Max -")).right().width(6),
         Column("Coups_Anzahl", QStringLiteral("Coups")).right().width(7),
         Column("Angriffe", QStringLiteral("Angriffe"), QStringLiteral("Attacks"))
             .right()
             .width(8)},
        bindung_, this);
    DBGrid_System_Auswertung_Gesamt =
        benannt(new CursorGrid(zeilen), "DBGrid_System_Auswertung_Gesamt");
    DBGrid_System_Auswertung_Gesamt->setMinimumHeight(
        DBGrid_System_Auswertung_Gesamt->heightForRows(8));

    Label_Bisherige_Auswertungen = benannt(new QLabel, "Label_Bisherige_Auswertungen");
    Label_Bisherige_Auswertungen->setBuddy(DBGrid_System_Auswertung_Gesamt);
    Label_Hinweis_Systemaenderung = benannt(new QLabel, "Label_Hinweis_Systemaenderung");
    // The warning must catch the eye: bold and red.
    Label_Hinweis_Systemaenderung->setStyleSheet(
        QStringLiteral("QLabel { color: #c00000; font-weight: bold; }"));
    Label_Gesamtinfo = benannt(new QLabel, "Label_Gesamtinfo");
    QFont fett = Label_Gesamtinfo->font();
    fett.setBold(true);
    Label_Gesamtinfo->setFont(fett);

    BitBtn_Loeschen = benannt(new QPushButton, "BitBtn_Loeschen");
    BitBtn_Loeschen->setAutoDefault(false);
    BitBtn_OK = benannt(new QPushButton(QStringLiteral("OK")), "BitBtn_OK");
    BitBtn_OK->setDefault(true);
    connect(BitBtn_Loeschen, &QPushButton::clicked, this,
            &Form_Systeme_Auswertung_Ueberblick::BitBtn_LoeschenClick);
    connect(BitBtn_OK, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    auto* oben = new QHBoxLayout;
    oben->addWidget(Label_Bisherige_Auswertungen);
    oben->addStretch(1);
    oben->addWidget(Label_Hinweis_Systemaenderung);
    layout->addLayout(oben);
    layout->addWidget(DBGrid_System_Auswertung_Gesamt, 1);
    layout->addWidget(Label_Gesamtinfo);
    auto* unten = new QHBoxLayout;
    unten->addWidget(BitBtn_Loeschen);
    unten->addStretch(1);
    unten->addWidget(BitBtn_OK);
    layout->addLayout(unten);
}

void Form_Systeme_Auswertung_Ueberblick::Anzeigen() {
    const bool englisch = kontext_.sitzung.englisch();
    setWindowTitle(QString::fromStdString(systems::Ueberblick_Titel(kontext_)));
    Label_Bisherige_Auswertungen->setText(
        englisch ? QStringLiteral("Happened to date evaluations of the system:")
                 : QStringLiteral("Bisher erfolgte Auswertungen des Systems:"));
    Label_Hinweis_Systemaenderung->setText(
        englisch ? QStringLiteral("System may have changed!")
                 : QStringLiteral("Möglicherweise Systemänderung erfolgt!"));
    BitBtn_Loeschen->setText(englisch ? QStringLiteral("Reset") : QStringLiteral("Zurücksetzen"));
    Label_Hinweis_Systemaenderung->setVisible(systems::Systemaenderung_Hinweis(kontext_));
    const QString trenner = QLocale().decimalPoint();
    const char zeichen = trenner.size() == 1 && trenner.at(0).unicode() < 0x80
                             ? static_cast<char>(trenner.at(0).unicode())
                             : '.';
    Label_Gesamtinfo->setText(QString::fromStdString(
        systems::Gesamtinfo_Text(kontext_, systems::Ueberblick_Berechnen(kontext_), zeichen)));
}

int Form_Systeme_Auswertung_Ueberblick::Zeigen() {
    bindung_->commitAll();
    try {
        Anzeigen();
    } catch (const std::exception& e) {
        kontext_.ui.inform(e.what());
        return QDialog::Rejected;
    }
    DBGrid_System_Auswertung_Gesamt->setFocus();
    return exec();
}

void Form_Systeme_Auswertung_Ueberblick::BitBtn_LoeschenClick() {
    try {
        systems::BitBtn_LoeschenClick(kontext_);
        Anzeigen();
    } catch (const std::exception& e) {
        kontext_.ui.inform(e.what());
    }
}

}  // namespace spinalyst::app
