#include "app/form_csv.h"

#include <QDate>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/qt_user_interface.h"

namespace spinalyst::app {

namespace {

// Largest number of coups a day the window offers.
constexpr int kMaxCoupsProTag = 100000;

QDate alsQDate(store::Date d) {
    return QDate(d.year(), d.month(), d.day());
}
store::Date alsDatum(const QDate& d) {
    return store::Date::fromYmd(d.year(), d.month(), d.day());
}

QDateEdit* datumsfeld(const char* name) {
    auto* feld = new QDateEdit;
    feld->setObjectName(QString::fromLatin1(name));
    feld->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    feld->setCalendarPopup(true);
    return feld;
}

void knoepfeBeschriften(QDialogButtonBox* knoepfe, bool englisch) {
    knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    knoepfe->button(QDialogButtonBox::Cancel)
        ->setText(englisch ? QStringLiteral("Cancel") : QStringLiteral("Abbrechen"));
}

}  // namespace

Form_Zahlenliste::Form_Zahlenliste(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_Zahlenliste"));
    hinweis_ = new QLabel;
    hinweis_->setObjectName(QStringLiteral("Label_Hinweis"));
    hinweis_->setWordWrap(true);
    ersterTag_ = datumsfeld("DateEdit_Erster_Tag");
    coups_ = new QSpinBox;
    coups_->setObjectName(QStringLiteral("SpinBox_Coups_Pro_Tag"));
    coups_->setRange(0, kMaxCoupsProTag);
    ersterTagText_ = new QLabel;
    coupsText_ = new QLabel;
    ersterTagText_->setBuddy(ersterTag_);
    coupsText_->setBuddy(coups_);
    knoepfe_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    knoepfe_->setObjectName(QStringLiteral("ButtonBox"));
    connect(knoepfe_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(knoepfe_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* felder = new QFormLayout;
    felder->addRow(ersterTagText_, ersterTag_);
    felder->addRow(coupsText_, coups_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hinweis_);
    layout->addLayout(felder);
    layout->addWidget(knoepfe_);
    setzeSprache(false);
}

void Form_Zahlenliste::setzeSprache(bool englisch) {
    setWindowTitle(englisch ? QStringLiteral("Import number list")
                            : QStringLiteral("Zahlenliste importieren"));
    hinweis_->setText(
        englisch ? QStringLiteral(
                       "Numbers 0 to 36, separated by commas, semicolons, tabs or blanks. A list "
                       "with a date column (YYYY-MM-DD or dd.mm.yyyy) keeps its days; a list "
                       "without dates starts on the first day below and fills each day up to the "
                       "coups per day. A line \"---\" closes a day early.")
                 : QStringLiteral(
                       "Zahlen 0 bis 36, getrennt durch Kommas, Semikolons, Tabulatoren oder "
                       "Leerzeichen. Eine Liste mit Datumsspalte (JJJJ-MM-TT oder TT.MM.JJJJ) "
                       "behält ihre Tage; eine Liste ohne Datum beginnt am ersten Tag unten und "
                       "füllt jeden Tag bis zu den Coups pro Tag. Eine Zeile \"---\" schließt "
                       "einen Tag vorher."));
    ersterTagText_->setText(englisch ? QStringLiteral("&First day:")
                                     : QStringLiteral("&Erster Tag:"));
    coupsText_->setText(englisch ? QStringLiteral("&Coups per day:")
                                 : QStringLiteral("&Coups pro Tag:"));
    coups_->setSpecialValueText(englisch ? QStringLiteral("only at \"---\" lines")
                                         : QStringLiteral("nur an Zeilen \"---\""));
    knoepfeBeschriften(knoepfe_, englisch);
    setMinimumWidth(420);
}

std::optional<capture::Listenvorgabe> Form_Zahlenliste::fragen(store::Date vorschlag,
                                                               bool englisch) {
    setzeSprache(englisch);
    ersterTag_->setDate(alsQDate(vorschlag));
    ersterTag_->setFocus();
    ersterTag_->setSelectedSection(QDateTimeEdit::DaySection);
    if (Modal_Zeigen(*this) != QDialog::Accepted) {
        return std::nullopt;
    }
    capture::Listenvorgabe vorgabe;
    vorgabe.ersterTag = alsDatum(ersterTag_->date());
    vorgabe.coupsProTag = coups_->value();
    return vorgabe;
}

Form_Permanenz_Export::Form_Permanenz_Export(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_Permanenz_Export"));
    von_ = datumsfeld("DateEdit_Von");
    bis_ = datumsfeld("DateEdit_Bis");
    vonText_ = new QLabel;
    bisText_ = new QLabel;
    vonText_->setBuddy(von_);
    bisText_->setBuddy(bis_);
    knoepfe_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    knoepfe_->setObjectName(QStringLiteral("ButtonBox"));
    connect(knoepfe_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(knoepfe_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* felder = new QFormLayout;
    felder->addRow(vonText_, von_);
    felder->addRow(bisText_, bis_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(felder);
    layout->addWidget(knoepfe_);
    setzeSprache(false);
}

void Form_Permanenz_Export::setzeSprache(bool englisch) {
    setWindowTitle(englisch ? QStringLiteral("Export permanence")
                            : QStringLiteral("Permanenz exportieren"));
    vonText_->setText(englisch ? QStringLiteral("&From:") : QStringLiteral("&Von:"));
    bisText_->setText(englisch ? QStringLiteral("&To:") : QStringLiteral("&Bis:"));
    knoepfeBeschriften(knoepfe_, englisch);
    setMinimumWidth(280);
}

std::optional<std::pair<store::Date, store::Date>> Form_Permanenz_Export::fragen(store::Date von,
                                                                                 store::Date bis,
                                                                                 bool englisch) {
    setzeSprache(englisch);
    von_->setDate(alsQDate(von));
    bis_->setDate(alsQDate(bis));
    von_->setFocus();
    von_->setSelectedSection(QDateTimeEdit::DaySection);
    if (Modal_Zeigen(*this) != QDialog::Accepted) {
        return std::nullopt;
    }
    const store::Date a = alsDatum(von_->date());
    const store::Date b = alsDatum(bis_->date());
    return std::pair{std::min(a, b), std::max(a, b)};
}

}  // namespace spinalyst::app
