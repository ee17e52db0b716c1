#include "app/form_data_mining.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <exception>

#include "app/benannt.h"
#include "app/binding/bound_controls.h"
#include "app/binding/cursor_watch.h"
#include "app/form_data_mining_auswertung.h"
#include "app/qt_user_interface.h"
#include "mining/kandidaten.h"
#include "mining/lauf.h"

namespace spinalyst::app {

using binding::BoundCheckBox;
using binding::BoundComboBox;
using mining::Filterart;
using mining::Folgeklasse;

namespace {

// Per filter row H, S, R: its letter and the middle of its field and control names.
struct Zeile {
    const char* buchstabe;
    const char* name;
};
constexpr std::array<Zeile, 3> kZeilen = {Zeile{"H", "Haeufigkeit"}, Zeile{"S", "Serien"},
                                          Zeile{"R", "Rueckstaendigkeit"}};

constexpr std::array<const char*, 3> kFolgeklassen = {"11", "21", "51"};

template <typename W>
W* benanntQ(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QDate alsQDate(store::Date d) {
    return QDate(d.year(), d.month(), d.day());
}

std::optional<store::Date> alsDatum(const QDate& d) {
    if (!d.isValid()) {
        return std::nullopt;
    }
    return store::Date::fromYmd(d.year(), d.month(), d.day());
}

QDateEdit* datumsfeld(const char* name) {
    auto* feld = benannt(new QDateEdit, name);
    feld->setCalendarPopup(true);
    feld->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    feld->setDateRange(QDate(1900, 1, 1), QDate(2100, 12, 31));
    return feld;
}

// A check box that only displays a state.
QCheckBox* anzeigekasten(const QString& name, const QString& text) {
    auto* kasten = benanntQ(new QCheckBox(text), name);
    kasten->setEnabled(false);
    kasten->setFocusPolicy(Qt::NoFocus);
    return kasten;
}

}  // namespace

Form_Data_Mining::Form_Data_Mining(kern::Kontext& kontext, binding::BindingContext* bindung,
                                   QWidget* parent)
    : QDialog(parent), kontext_(kontext), bindung_(bindung) {
    setObjectName(QStringLiteral("Form_Data_Mining"));
    setModal(true);
    store::TableCursor& wahl = kontext_.dm.TdbTable_Wahl;

    // Range of days and "üb".
    Label_Zeitraum = benannt(new QLabel, "Label_Zeitraum");
    DateTimePicker_Datum_von = datumsfeld("DateTimePicker_Datum_von");
    DateTimePicker_Datum_bis = datumsfeld("DateTimePicker_Datum_bis");
    DBCheckBox_Tage_uebergreifend =
        benannt(new BoundCheckBox(wahl, "DM_Tage_uebergreifend", QString(), bindung_),
                "DBCheckBox_Tage_uebergreifend");
    auto* zeitraum = new QHBoxLayout;
    zeitraum->addWidget(Label_Zeitraum);
    zeitraum->addWidget(DateTimePicker_Datum_von);
    zeitraum->addWidget(new QLabel(QStringLiteral("-")));
    zeitraum->addWidget(DateTimePicker_Datum_bis);
    zeitraum->addSpacing(12);
    zeitraum->addWidget(DBCheckBox_Tage_uebergreifend);
    zeitraum->addStretch(1);

    // Chance classes to attack.
    Label_Chancen = benannt(new QLabel, "Label_Chancen");
    auto* chancen = new QHBoxLayout;
    chancen->addWidget(Label_Chancen);
    for (std::size_t i = 0; i < mining::kChancen.size(); ++i) {
        const QString zahl = QString::number(mining::kChancen[i]);
        DBCheckBox_Chancen[i] =
            benanntQ(new BoundCheckBox(wahl, "DM_Chancen_" + zahl.toStdString(), zahl, bindung_),
                     QStringLiteral("DBCheckBox_Chancen_") + zahl);
        chancen->addWidget(DBCheckBox_Chancen[i]);
    }
    chancen->addStretch(1);

    // Option rows H, S, R: vary the filter, all events of its class; the system's event; and the
    // two boxes that display a chosen pattern's filter.
    auto* filter = new QGridLayout;
    filter->setHorizontalSpacing(10);
    for (std::size_t i = 0; i < kZeilen.size(); ++i) {
        const QString name = QString::fromLatin1(kZeilen[i].name);
        const std::string feld = std::string("DM_") + kZeilen[i].name;
        auto* buchstabe = benanntQ(new QLabel(QString::fromLatin1(kZeilen[i].buchstabe)),
                                   QStringLiteral("Label_Zeile_") + name);
        QFont fett = buchstabe->font();
        fett.setBold(true);
        buchstabe->setFont(fett);
        DBCheckBox_aktiv[i] =
            benanntQ(new BoundCheckBox(wahl, feld + "_aktiv", QString(), bindung_),
                     QStringLiteral("DBCheckBox_") + name + QStringLiteral("_aktiv"));
        DBCheckBox_Ereignisse_alle[i] =
            benanntQ(new BoundCheckBox(wahl, feld + "_Ereignisse_alle", QString(), bindung_),
                     QStringLiteral("DBCheckBox_") + name + QStringLiteral("_Ereignisse_alle"));
        Label_Filter[i] = benanntQ(new QLabel, QStringLiteral("Label_") + name);
        Label_Filter[i]->setMinimumWidth(Label_Filter[i]->fontMetrics().horizontalAdvance(
            QStringLiteral("Transversale Simple 31-36 ...")));
        CheckBox_ungleich[i] = anzeigekasten(
            QStringLiteral("CheckBox_") + name + QStringLiteral("_ungleich"), QStringLiteral("<>"));
        CheckBox_Anzeige_aktiv[i] = anzeigekasten(
            QStringLiteral("CheckBox_") + name + QStringLiteral("_A"), QStringLiteral("A"));
        const int z = static_cast<int>(i);
        filter->addWidget(buchstabe, z, 0);
        filter->addWidget(DBCheckBox_aktiv[i], z, 1);
        filter->addWidget(DBCheckBox_Ereignisse_alle[i], z, 2);
        filter->addWidget(Label_Filter[i], z, 3);
        filter->addWidget(CheckBox_ungleich[i], z, 4);
        filter->addWidget(CheckBox_Anzeige_aktiv[i], z, 5);
    }
    filter->setColumnStretch(3, 1);

    // Sequence options.
    Label_Ereignisfolge = benannt(new QLabel, "Label_Ereignisfolge");
    DBComboBox_Ereignisfolge_Anzahl =
        benannt(new BoundComboBox(wahl, "DM_Ereignisfolge_Anzahl",
                                  {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                   QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")},
                                  bindung_),
                "DBComboBox_Ereignisfolge_Anzahl");
    Label_Ereignisfolge->setBuddy(DBComboBox_Ereignisfolge_Anzahl);
    auto* folge = new QHBoxLayout;
    folge->addWidget(Label_Ereignisfolge);
    folge->addWidget(DBComboBox_Ereignisfolge_Anzahl);
    for (std::size_t i = 0; i < kFolgeklassen.size(); ++i) {
        const QString klasse = QString::fromLatin1(kFolgeklassen[i]);
        const QString text = klasse.left(1) + QStringLiteral(":") + klasse.mid(1);
        DBCheckBox_Ereignisfolge[i] = benanntQ(
            new BoundCheckBox(wahl, "DM_Ereignisfolge_" + klasse.toStdString(), text, bindung_),
            QStringLiteral("DBCheckBox_Ereignisfolge_") + klasse);
        const auto box = static_cast<Folgeklasse>(i);
        connect(DBCheckBox_Ereignisfolge[i], &QCheckBox::clicked, this,
                [this, box](bool angehakt) { EreignisfolgeGeklickt(box, angehakt); });
        folge->addWidget(DBCheckBox_Ereignisfolge[i]);
    }
    // "1:1" is only ever shown, never changed by the user.
    DBCheckBox_Ereignisfolge[0]->setEnabled(false);
    DBCheckBox_Ereignisfolge_ungleich = benannt(
        new BoundCheckBox(wahl, "DM_Ereignisfolge_ungleich", QStringLiteral("<>"), bindung_),
        "DBCheckBox_Ereignisfolge_ungleich");
    folge->addWidget(DBCheckBox_Ereignisfolge_ungleich);
    folge->addStretch(1);

    // The count, the run and OK.
    Label_Kombinationen = benannt(new QLabel, "Label_Kombinationen");
    QFont fett = Label_Kombinationen->font();
    fett.setBold(true);
    Label_Kombinationen->setFont(fett);
    BitBtn_Data_Mining =
        benannt(new QPushButton(QStringLiteral("Data Mining")), "BitBtn_Data_Mining");
    BitBtn_Data_Mining->setAutoDefault(false);
    connect(BitBtn_Data_Mining, &QPushButton::clicked, this,
            &Form_Data_Mining::BitBtn_Data_MiningClick);
    BitBtn_OK = benannt(new QPushButton(QStringLiteral("OK")), "BitBtn_OK");
    BitBtn_OK->setAutoDefault(false);
    connect(BitBtn_OK, &QPushButton::clicked, this, &QDialog::accept);

    // The results panel: the result list goes into its layout above the row of the cancel
    // button; its caption shows the progress of a run.
    Panel_Auswertung = benannt(new QGroupBox, "Panel_Auswertung");
    auto* auswertung = new QVBoxLayout(Panel_Auswertung);
    BitBtn_Abbrechen = benannt(new QPushButton, "BitBtn_Abbrechen");
    BitBtn_Abbrechen->setAutoDefault(false);
    BitBtn_Abbrechen->hide();
    connect(BitBtn_Abbrechen, &QPushButton::clicked, this, [this] {
        if (lauf_ != nullptr) {
            lauf_->abbrechen();
        }
    });
    // Results side: selection, result list, pattern, "Ef" and the take-over.
    Panel_Ergebnisse = new Form_Data_Mining_Auswertung(kontext_, bindung_, Panel_Auswertung);
    Panel_Ergebnisse->Anzeigefelder(Label_Filter, CheckBox_ungleich, CheckBox_Anzeige_aktiv);
    connect(Panel_Ergebnisse, &Form_Data_Mining_Auswertung::uebernommen, this, &QDialog::accept);
    auswertung->addWidget(Panel_Ergebnisse, 1);
    auto* abbruchzeile = new QHBoxLayout;
    abbruchzeile->addStretch(1);
    abbruchzeile->addWidget(BitBtn_Abbrechen);
    auswertung->addLayout(abbruchzeile);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(zeitraum);
    layout->addLayout(chancen);
    layout->addLayout(filter);
    layout->addLayout(folge);
    auto* unten = new QHBoxLayout;
    unten->addWidget(Label_Kombinationen);
    unten->addStretch(1);
    unten->addWidget(BitBtn_Data_Mining);
    unten->addWidget(BitBtn_OK);
    layout->addWidget(Panel_Auswertung, 1);
    layout->addLayout(unten);

    // Registered after the bound controls: their own refresh has run when this one runs.
    wahlWatch_ = std::make_unique<binding::CursorWatch>(
        wahl, binding::CursorWatch::Callbacks{[this] { Nachfuehren(); }, [this] { Nachfuehren(); },
                                              [this] { Nachfuehren(); }});
}

Form_Data_Mining::~Form_Data_Mining() = default;

void Form_Data_Mining::Beschriften() {
    const bool englisch = kontext_.sitzung.englisch();
    const QLocale ort;
    const auto tag = [&ort](store::Date d) {
        return ort.toString(alsQDate(d), QLocale::ShortFormat).toStdString();
    };
    setWindowTitle(QString::fromStdString(
        mining::Data_Mining_Titel(kontext_.dm.TdbTable_Wahl, englisch, tag)));
    if (!laeuft_) {
        Panel_Auswertung->setTitle(englisch ? QStringLiteral("Evaluation")
                                            : QStringLiteral("Auswertung"));
    }
    BitBtn_Abbrechen->setText(englisch ? QStringLiteral("Cancel") : QStringLiteral("Abbrechen"));
    Label_Zeitraum->setText(englisch ? QStringLiteral("Days") : QStringLiteral("Tage"));
    DBCheckBox_Tage_uebergreifend->setText(englisch ? QStringLiteral("ac") : QStringLiteral("üb"));
    Label_Chancen->setText(englisch ? QStringLiteral("Chance") : QStringLiteral("Chancen"));
    Label_Ereignisfolge->setText(englisch ? QStringLiteral("Sequence of events")
                                          : QStringLiteral("Ereignisfolge"));
    for (std::size_t i = 0; i < kZeilen.size(); ++i) {
        DBCheckBox_aktiv[i]->setToolTip(englisch ? QStringLiteral("Vary the filter")
                                                 : QStringLiteral("Filter variieren"));
        DBCheckBox_Ereignisse_alle[i]->setToolTip(
            englisch ? QStringLiteral("All events of the chance")
                     : QStringLiteral("Alle Ereignisse der Chance"));
    }
}

int Form_Data_Mining::Zeigen() {
    bindung_->commitAll();
    std::optional<mining::Parameterseite> seite;
    try {
        seite = mining::Data_Mining_FormShow(kontext_);
        if (seite) {
            systemId_ = seite->system;
            system_ = mining::Parameter_Laden(kontext_.dm.TdbDatabase_Roulette, seite->system)
                          .value_or(mining::Parameter{});
        }
    } catch (const std::exception& e) {
        kontext_.ui.inform(e.what());
        return QDialog::Rejected;
    }
    if (!seite) {
        return QDialog::Rejected;
    }
    Beschriften();
    const store::Date heute = kontext_.sitzung.gewaehlter_tag;
    DateTimePicker_Datum_von->setDate(alsQDate(seite->datumVon.value_or(heute)));
    DateTimePicker_Datum_bis->setDate(alsQDate(seite->datumBis.value_or(heute)));
    zeileFrei_ = seite->zeileFrei;
    folgeAnzeige_ = mining::Ereignisfolge_Anzeige{};
    for (std::size_t i = 0; i < kZeilen.size(); ++i) {
        Label_Filter[i]->setText(QString::fromStdString(seite->beschriftung[i]));
        DBCheckBox_aktiv[i]->setEnabled(zeileFrei_[i]);
        DBCheckBox_Ereignisse_alle[i]->setEnabled(zeileFrei_[i]);
        CheckBox_ungleich[i]->setChecked(false);
        CheckBox_Anzeige_aktiv[i]->setChecked(false);
    }
    for (auto* box : DBCheckBox_Chancen) {
        box->refresh();
    }
    offen_ = true;
    Nachfuehren();
    Panel_Ergebnisse->Oeffnen(seite->system);
    DateTimePicker_Datum_von->setFocus();
    return Modal_Zeigen(*this);
}

void Form_Data_Mining::Nachfuehren() {
    if (!offen_) {
        return;
    }
    const store::TableCursor& wahl = kontext_.dm.TdbTable_Wahl;
    for (std::size_t i = 0; i < kZeilen.size(); ++i) {
        for (BoundCheckBox* box : {DBCheckBox_aktiv[i], DBCheckBox_Ereignisse_alle[i]}) {
            box->refresh();
            const QSignalBlocker sperre(box);
            box->setChecked(mining::Optionskasten_Angezeigt(zeileFrei_[i], box->isChecked()));
        }
    }
    std::array<bool, 3> gespeichert{};
    for (std::size_t i = 0; i < DBCheckBox_Ereignisfolge.size(); ++i) {
        DBCheckBox_Ereignisfolge[i]->refresh();
        gespeichert[i] = DBCheckBox_Ereignisfolge[i]->isChecked();
    }
    const std::array<bool, 3> angezeigt = folgeAnzeige_.angezeigt(gespeichert);
    for (std::size_t i = 0; i < DBCheckBox_Ereignisfolge.size(); ++i) {
        const QSignalBlocker sperre(DBCheckBox_Ereignisfolge[i]);
        DBCheckBox_Ereignisfolge[i]->setChecked(angezeigt[i]);
    }
    const std::int64_t anzahl =
        mining::Kombinationen_Anzahl(mining::Parameter_Aus_Wahl(wahl, system_));
    Label_Kombinationen->setText(
        QString::fromStdString(mining::Kombinationen_Text(anzahl, kontext_.sitzung.englisch())));
}

void Form_Data_Mining::EreignisfolgeGeklickt(Folgeklasse box, bool angehakt) {
    folgeAnzeige_.DBCheckBox_EreignisfolgeClick(box, angehakt);
    Nachfuehren();
}

void Form_Data_Mining::done(int ergebnis) {
    if (laeuft_) {
        if (lauf_ != nullptr) {
            lauf_->abbrechen();
        }
        return;
    }
    offen_ = false;
    Panel_Ergebnisse->Schliessen();
    try {
        mining::Data_Mining_FormClose(kontext_, alsDatum(DateTimePicker_Datum_von->date()),
                                      alsDatum(DateTimePicker_Datum_bis->date()));
    } catch (const std::exception& e) {
        kontext_.ui.inform(e.what());
    }
    QDialog::done(ergebnis);
}

}  // namespace spinalyst::app
