#include "app/form_individuell_satzsignale.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <exception>

#include "app/binding/bound_controls.h"
#include "systems/individuell.h"

namespace spinalyst::app {

namespace {

struct Parameter {
    const char* feld;
    const char* label;
    const char* deutsch;
    const char* englisch;
    bool gesperrt;
};

// The edits of each rule, top to bottom.
const std::vector<Parameter>& Parameter_Der_Regel(int regel) {
    static const std::vector<Parameter> eins = {
        {"Anzahl_Ereignisse", "Label_Anzahl_Ereignisse", "Anzahl Ereignisse", "Number of events",
         false},
        {"Chance", "Label_Chance", "Chance", "Chance", true},
        {"Anzahl_Coups_zurueck", "Label_Coups", "Coups", "Coups", false},
        {"Anzahl_Coups_rueckstaendig", "Label_Rueckstaendig", ">= Rückständig", ">= Absence",
         false},
    };
    static const std::vector<Parameter> zwei = {eins[0], eins[1]};
    return regel == 2 ? zwei : eins;
}

}  // namespace

Form_Individuell_Satzsignale::Form_Individuell_Satzsignale(int regel, kern::Kontext& kontext,
                                                           binding::BindingContext* bindung,
                                                           QWidget* parent)
    : QDialog(parent), regel_(regel), kontext_(kontext), bindung_(bindung) {
    setObjectName(regel_ == 2 ? QStringLiteral("Form_Individuell_Satzsignale_2")
                              : QStringLiteral("Form_Individuell_Satzsignale_1"));
    setModal(true);
    store::TableCursor& daten = systems::Individuell_Daten(kontext_.dm, regel_);

    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(12);
    int zeile = 0;
    for (const Parameter& p : Parameter_Der_Regel(regel_)) {
        auto* label = new QLabel;
        label->setObjectName(QString::fromLatin1(p.label));
        auto* edit = new binding::BoundLineEdit(daten, p.feld, bindung_);
        edit->setObjectName(QStringLiteral("DBEdit_") + QString::fromLatin1(p.feld));
        edit->setIntegerOnly(true);
        edit->setAlignment(Qt::AlignRight);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 14);
        edit->setEnabled(!p.gesperrt);
        label->setBuddy(edit);
        layout->addWidget(label, zeile, 0);
        layout->addWidget(edit, zeile, 1);
        felder_.push_back({label, p.deutsch, p.englisch});
        ++zeile;
    }
    BitBtn_OK = new QPushButton(QStringLiteral("OK"));
    BitBtn_OK->setObjectName(QStringLiteral("BitBtn_OK"));
    BitBtn_OK->setDefault(true);
    connect(BitBtn_OK, &QPushButton::clicked, this, &QDialog::accept);
    auto* unten = new QHBoxLayout;
    unten->addStretch(1);
    unten->addWidget(BitBtn_OK);
    layout->setRowMinimumHeight(zeile, 8);
    layout->addLayout(unten, zeile + 1, 0, 1, 3);
    // Labels beside their edits; the width the caption needs stays free on the right.
    layout->setColumnStretch(2, 1);
    Texte_Setzen();
}

void Form_Individuell_Satzsignale::Texte_Setzen() {
    const bool englisch = kontext_.sitzung.englisch();
    if (regel_ == 2) {
        setWindowTitle(englisch
                           ? QStringLiteral("  Indivdual / Signals (2) - >> Absence")
                           : QStringLiteral("  Indivdiuell / Satzsignale (2)  >> Rückständigkeit"));
    } else {
        setWindowTitle(englisch
                           ? QStringLiteral("  Indivdual / Signals (1) - >> Frequency")
                           : QStringLiteral("  Indivdiuell / Satzsignale (1) - >> Häufigkeit"));
    }
    for (const Feld& f : felder_) {
        f.label->setText(QString::fromUtf8(englisch ? f.englisch : f.deutsch));
    }
}

int Form_Individuell_Satzsignale::Zeigen() {
    Texte_Setzen();
    bindung_->commitAll();
    try {
        systems::Individuell_Fenster_Zeigen(kontext_, regel_);
    } catch (const std::exception& e) {
        kontext_.ui.inform(e.what());
        return QDialog::Rejected;
    }
    // A caption the window's width cuts off is hard to read: at least as wide as the caption.
    const int titel = fontMetrics().horizontalAdvance(windowTitle()) + 120;
    resize(std::max(sizeHint().width(), titel), sizeHint().height());
    return exec();
}

void Form_Individuell_Satzsignale::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Typing starts in the number of events.
    if (auto* erstes =
            findChild<binding::BoundLineEdit*>(QStringLiteral("DBEdit_Anzahl_Ereignisse"))) {
        erstes->setFocus(Qt::OtherFocusReason);
        erstes->selectAll();
    }
}

void Form_Individuell_Satzsignale::done(int result) {
    // Typed text is an edit too.
    bindung_->commitAll();
    try {
        systems::Individuell_Fenster_Schliessen(kontext_, regel_);
    } catch (const std::exception& e) {
        kontext_.ui.inform(e.what());
    }
    QDialog::done(result);
}

}  // namespace spinalyst::app
