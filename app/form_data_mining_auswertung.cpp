#include "app/form_data_mining_auswertung.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>
#include <exception>

#include "app/benannt.h"
#include "app/binding/bound_controls.h"
#include "app/binding/cursor_grid.h"
#include "app/binding/cursor_table_model.h"
#include "app/binding/cursor_watch.h"
#include "app/form_data_mining_ereignisfolgen.h"
#include "app/qt_user_interface.h"
#include "mining/ergebnisse.h"
#include "mining/uebernahme.h"

namespace spinalyst::app {

using binding::BoundComboBox;
using binding::BoundLineEdit;
using binding::BoundLookupComboBox;
using binding::Column;
using binding::CursorGrid;
using binding::CursorTableModel;

Form_Data_Mining_Auswertung::Form_Data_Mining_Auswertung(kern::Kontext& kontext,
                                                         binding::BindingContext* bindung,
                                                         QWidget* parent)
    : QWidget(parent), kontext_(kontext), bindung_(bindung) {
    setObjectName(QStringLiteral("Form_Data_Mining_Auswertung"));
    store::DataModule_Roulette& dm = kontext_.dm;
    store::TableCursor& wahl = dm.TdbTable_Wahl;

    // The result selection.
    Label_Chance = benannt(new QLabel(QStringLiteral("Chance")), "Label_Chance");
    DBLookupComboBox_DM_Chance =
        benannt(new BoundLookupComboBox(wahl, "DM_Chance", dm.TdbTable_System_Chancen,
                                        "ID_System_Chancen", "Chancen", "Chancen", bindung_),
                "DBLookupComboBox_DM_Chance");
    Label_Angriff = benannt(new QLabel, "Label_Angriff");
    DBComboBox_DM_Anzahl_Angriffe = benannt(new QComboBox, "DBComboBox_DM_Anzahl_Angriffe");
    for (int i = 1; i <= 10; ++i) {
        DBComboBox_DM_Anzahl_Angriffe->addItem(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')),
                                               i);
    }
    connect(DBComboBox_DM_Anzahl_Angriffe, &QComboBox::activated, this, [this](int index) {
        Ausfuehren([&] { kontext_.dm.TdbTable_Wahl.setInteger("DM_Anzahl_Angriffe", index + 1); });
        Anzahl_Angriffe_Zeigen();
    });
    Label_Art = benannt(new QLabel(QStringLiteral("Art")), "Label_Art");
    DBComboBox_DM_Art_Angriff =
        benannt(new BoundComboBox(wahl, "DM_Art_Angriff",
                                  {QStringLiteral("E"), QStringLiteral("K"), QStringLiteral("P")},
                                  bindung_),
                "DBComboBox_DM_Art_Angriff");
    Label_Sortierung = benannt(new QLabel, "Label_Sortierung");
    DBComboBox_DM_Sortierung =
        benannt(new BoundComboBox(wahl, "DM_Sortierung", {QStringLiteral("W"), QStringLiteral("%")},
                                  bindung_),
                "DBComboBox_DM_Sortierung");
    DBEdit_DM_Sortierung_G_V_Minimum =
        benannt(new BoundLineEdit(wahl, "DM_Sortierung_G_V_Minimum", bindung_),
                "DBEdit_DM_Sortierung_G_V_Minimum");
    DBEdit_DM_Sortierung_G_V_Minimum->setIntegerOnly(true);
    DBEdit_DM_Sortierung_G_V_Minimum->setMaximumWidth(
        DBEdit_DM_Sortierung_G_V_Minimum->fontMetrics().horizontalAdvance(
            QStringLiteral("-000000")) +
        12);
    Label_Chance->setBuddy(DBLookupComboBox_DM_Chance);
    Label_Angriff->setBuddy(DBComboBox_DM_Anzahl_Angriffe);
    Label_Art->setBuddy(DBComboBox_DM_Art_Angriff);
    Label_Sortierung->setBuddy(DBComboBox_DM_Sortierung);
    // A selection control that gets the focus closes the result list.
    for (QWidget* w : std::initializer_list<QWidget*>{
             DBLookupComboBox_DM_Chance, DBComboBox_DM_Anzahl_Angriffe, DBComboBox_DM_Art_Angriff,
             DBComboBox_DM_Sortierung, DBEdit_DM_Sortierung_G_V_Minimum}) {
        w->installEventFilter(this);
    }

    // The show button has no caption, only a sign; "Ef" opens the sequences.
    BitBtn_Anzeige_Ergebnisse = benannt(new QPushButton, "BitBtn_Anzeige_Ergebnisse");
    BitBtn_Anzeige_Ergebnisse->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    BitBtn_Anzeige_Ergebnisse->setAutoDefault(false);
    BitBtn_Anzeige_Ereignisfolgen =
        benannt(new QPushButton(QStringLiteral("Ef")), "BitBtn_Anzeige_Ereignisfolgen");
    BitBtn_Anzeige_Ereignisfolgen->setAutoDefault(false);
    for (QPushButton* b : {BitBtn_Anzeige_Ergebnisse, BitBtn_Anzeige_Ereignisfolgen}) {
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("Ef")) + 28);
    }
    connect(BitBtn_Anzeige_Ergebnisse, &QPushButton::clicked, this,
            &Form_Data_Mining_Auswertung::BitBtn_Anzeige_ErgebnisseClick);
    connect(BitBtn_Anzeige_Ereignisfolgen, &QPushButton::clicked, this,
            &Form_Data_Mining_Auswertung::BitBtn_Anzeige_EreignisfolgenClick);

    // The result list and the events of the chosen pattern.
    auto* ergebnisse = new CursorTableModel(
        dm.TdbQuery_DM_Ergebnisse,
        {Column("ID_Angriff", QStringLiteral("A"))
             .right()
             .fits(QStringLiteral("10"))
             .tips(QStringLiteral("Angriff: Länge bzw. Coup"),
                   QStringLiteral("Attack: length or coup")),
         Column("Anzahl", QStringLiteral("Anz"), QStringLiteral("No.")).right().width(7),
         Column("Anzahl_OK", QStringLiteral("OK")).right().width(7),
         Column("Anzahl_OK_Prozent_String", QStringLiteral("%"))
             .right()
             .fits(QStringLiteral("100.0%")),
         Column("Gewinn_Verlust", QStringLiteral("G/V"), QStringLiteral("W/L")).right().width(8),
         Column("Gewinn_Verlust_Prozent", QStringLiteral("%"))
             .right()
             .fits(QStringLiteral("-1000.0%"))},
        bindung_, this);
    DBGrid_Auswertung = benannt(new CursorGrid(ergebnisse), "DBGrid_Auswertung");
    DBGrid_Auswertung->setMinimumHeight(DBGrid_Auswertung->heightForRows(8));
    connect(DBGrid_Auswertung, &QAbstractItemView::doubleClicked, this,
            &Form_Data_Mining_Auswertung::DBGrid_AuswertungDblClick);
    auto* folge = new CursorTableModel(
        dm.TdbTable_DM_Folge_Anzeige,
        {Column("Ereignis", QStringLiteral("Ereignisfolge"), QStringLiteral("Sequence"))
             .toContent()
             .width(12),
         Column("Ereignis_Info", QStringLiteral("Zahlen"), QStringLiteral("Numbers"))
             .toContent()
             .stretched(),
         Column("Angriff", QStringLiteral("A")).centre().fits(QStringLiteral("<>"))},
        bindung_, this);
    DBGrid_Folge_Anzeige = benannt(new CursorGrid(folge), "DBGrid_Folge_Anzeige");
    DBGrid_Folge_Anzeige->setMinimumHeight(DBGrid_Folge_Anzeige->heightForRows(6));

    BitBtn_Uebernahme = benannt(new QPushButton, "BitBtn_Uebernahme");
    // Enter anywhere in the window takes the chosen row over.
    BitBtn_Uebernahme->setDefault(true);
    connect(BitBtn_Uebernahme, &QPushButton::clicked, this,
            &Form_Data_Mining_Auswertung::BitBtn_UebernahmeClick);

    auto* auswahl = new QHBoxLayout;
    auswahl->addWidget(Label_Chance);
    auswahl->addWidget(DBLookupComboBox_DM_Chance);
    auswahl->addSpacing(6);
    auswahl->addWidget(Label_Angriff);
    auswahl->addWidget(DBComboBox_DM_Anzahl_Angriffe);
    auswahl->addSpacing(6);
    auswahl->addWidget(Label_Art);
    auswahl->addWidget(DBComboBox_DM_Art_Angriff);
    auswahl->addSpacing(6);
    auswahl->addWidget(Label_Sortierung);
    auswahl->addWidget(DBComboBox_DM_Sortierung);
    auswahl->addWidget(DBEdit_DM_Sortierung_G_V_Minimum);
    auswahl->addSpacing(6);
    auswahl->addWidget(BitBtn_Anzeige_Ergebnisse);
    auswahl->addStretch(1);
    auswahl->addWidget(BitBtn_Anzeige_Ereignisfolgen);
    auto* listen = new QHBoxLayout;
    // The list is as wide as its columns; the pattern takes the rest.
    DBGrid_Auswertung->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Expanding);
    listen->addWidget(DBGrid_Auswertung);
    auto* rechts = new QVBoxLayout;
    rechts->addWidget(DBGrid_Folge_Anzeige, 1);
    rechts->addWidget(BitBtn_Uebernahme, 0, Qt::AlignRight);
    listen->addLayout(rechts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(auswahl);
    layout->addLayout(listen, 1);

    wahlWatch_ = std::make_unique<binding::CursorWatch>(
        wahl, binding::CursorWatch::Callbacks{[this] { Anzahl_Angriffe_Zeigen(); },
                                              [this] { Anzahl_Angriffe_Zeigen(); },
                                              [this] { Anzahl_Angriffe_Zeigen(); }});
    // Registered after the grid's model: the list shows its rows when the pattern is shown.
    ergebnisWatch_ = std::make_unique<binding::CursorWatch>(
        dm.TdbQuery_DM_Ergebnisse,
        binding::CursorWatch::Callbacks{
            [this] { Musteranzeigen(); }, {}, [this] { Musteranzeigen(); }});
    Anzahl_Angriffe_Zeigen();
}

Form_Data_Mining_Auswertung::~Form_Data_Mining_Auswertung() = default;

template <typename F>
void Form_Data_Mining_Auswertung::Ausfuehren(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        kontext_.ui.inform(e.what());
    }
}

void Form_Data_Mining_Auswertung::Anzeigefelder(std::array<QLabel*, 3> beschriftung,
                                                std::array<QCheckBox*, 3> ungleich,
                                                std::array<QCheckBox*, 3> aktiv) {
    Label_Filter = beschriftung;
    CheckBox_ungleich = ungleich;
    CheckBox_aktiv = aktiv;
}

char Form_Data_Mining_Auswertung::Dezimaltrenner() const {
    const QString trenner = QLocale().decimalPoint();
    return trenner.size() == 1 && trenner.at(0).unicode() < 0x80
               ? static_cast<char>(trenner.at(0).unicode())
               : '.';
}

void Form_Data_Mining_Auswertung::Beschriften() {
    const bool englisch = kontext_.sitzung.englisch();
    Label_Angriff->setText(englisch ? QStringLiteral("Attack") : QStringLiteral("Angriff"));
    Label_Sortierung->setText(englisch ? QStringLiteral("Sorting") : QStringLiteral("Sortierung"));
    BitBtn_Uebernahme->setText(englisch ? QStringLiteral("Take") : QStringLiteral("Übernahme"));
    BitBtn_Anzeige_Ergebnisse->setToolTip(englisch ? QStringLiteral("Show results")
                                                   : QStringLiteral("Ergebnisse anzeigen"));
    BitBtn_Anzeige_Ereignisfolgen->setToolTip(englisch ? QStringLiteral("Sequences of events")
                                                       : QStringLiteral("Ereignisfolgen"));
    DBEdit_DM_Sortierung_G_V_Minimum->setToolTip(englisch ? QStringLiteral("Only win/loss above")
                                                          : QStringLiteral("Nur G/V über"));
    DBComboBox_DM_Sortierung->setToolTip(englisch ? QStringLiteral("W: win/loss, %: success rate")
                                                  : QStringLiteral("W: G/V, %: Trefferquote"));
}

void Form_Data_Mining_Auswertung::Oeffnen(std::int64_t system) {
    system_ = system;
    Ausfuehren([&] {
        katalog_ = kern::Ereigniskatalog::laden(kontext_.dm);
        mining::Data_Mining_Ergebnisse_Schliessen(kontext_);
    });
    DBLookupComboBox_DM_Chance->reload();
    Beschriften();
    Anzahl_Angriffe_Zeigen();
    offen_ = true;
}

void Form_Data_Mining_Auswertung::Schliessen() {
    offen_ = false;
    Ausfuehren([&] { mining::Data_Mining_Ergebnisse_Schliessen(kontext_); });
}

void Form_Data_Mining_Auswertung::Liste_Schliessen() {
    Ausfuehren([&] { mining::DBLookup_AuswertungEnter(kontext_); });
}

bool Form_Data_Mining_Auswertung::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (ereignis->type() == QEvent::FocusIn && offen_ && mining::Ergebnisliste_Offen(kontext_.dm)) {
        Liste_Schliessen();
    }
    return QWidget::eventFilter(objekt, ereignis);
}

void Form_Data_Mining_Auswertung::Anzahl_Angriffe_Zeigen() {
    const store::TableCursor& w = kontext_.dm.TdbTable_Wahl;
    const int laenge = w.isOpen() && !w.isEmpty() && !w.isNull("DM_Anzahl_Angriffe")
                           ? w.integer("DM_Anzahl_Angriffe")
                           : 0;
    const QSignalBlocker sperre(DBComboBox_DM_Anzahl_Angriffe);
    DBComboBox_DM_Anzahl_Angriffe->setCurrentIndex(laenge >= 1 && laenge <= 10 ? laenge - 1 : -1);
}

void Form_Data_Mining_Auswertung::Musteranzeigen() {
    if (!offen_) {
        return;
    }
    std::optional<mining::Musteranzeige> anzeige;
    Ausfuehren([&] {
        anzeige = mining::DataSource_Tdb_Query_DM_ErgebnisseDataChange(kontext_, katalog_);
    });
    if (!anzeige) {
        return;
    }
    for (std::size_t i = 0; i < Label_Filter.size(); ++i) {
        if (Label_Filter[i] != nullptr) {
            Label_Filter[i]->setText(QString::fromStdString((*anzeige)[i].text));
        }
        if (CheckBox_ungleich[i] != nullptr) {
            CheckBox_ungleich[i]->setChecked((*anzeige)[i].ungleich);
        }
        if (CheckBox_aktiv[i] != nullptr) {
            CheckBox_aktiv[i]->setChecked((*anzeige)[i].aktiv);
        }
    }
}

void Form_Data_Mining_Auswertung::BitBtn_Anzeige_ErgebnisseClick() {
    bindung_->commitAll();
    Ausfuehren([&] { mining::BitBtn_Anzeige_ErgebnisseClick(kontext_, Dezimaltrenner()); });
    DBGrid_Auswertung->setFocus();
}

void Form_Data_Mining_Auswertung::DBGrid_AuswertungDblClick() {
    Ausfuehren([&] { mining::DBGrid_AuswertungDblClick(kontext_, Dezimaltrenner()); });
}

void Form_Data_Mining_Auswertung::BitBtn_Anzeige_EreignisfolgenClick() {
    bindung_->commitAll();
    if (ereignisfolgen_ == nullptr) {
        ereignisfolgen_ =
            new Form_Data_Mining_Ereignisfolgen(kontext_, bindung_, katalog_, window());
    }
    ereignisfolgen_->Zeigen();
}

void Form_Data_Mining_Auswertung::BitBtn_UebernahmeClick() {
    bindung_->commitAll();
    mining::Uebernahmeergebnis ergebnis = mining::Uebernahmeergebnis::Nichts;
    Ausfuehren([&] { ergebnis = mining::BitBtn_UebernahmeClick(kontext_, system_, katalog_); });
    if (ergebnis == mining::Uebernahmeergebnis::Uebernommen) {
        emit uebernommen();
    }
}

}  // namespace spinalyst::app
