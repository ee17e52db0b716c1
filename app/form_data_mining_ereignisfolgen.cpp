#include "app/form_data_mining_ereignisfolgen.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "app/benannt.h"
#include "app/binding/cursor_grid.h"
#include "app/binding/cursor_table_model.h"
#include "app/binding/cursor_watch.h"
#include "app/qt_user_interface.h"
#include "mining/ergebnisse.h"

namespace spinalyst::app {

using binding::Column;
using binding::CursorGrid;
using binding::CursorTableModel;

Form_Data_Mining_Ereignisfolgen::Form_Data_Mining_Ereignisfolgen(
    kern::Kontext& kontext, binding::BindingContext* bindung, const kern::Ereigniskatalog& katalog,
    QWidget* parent)
    : QDialog(parent), kontext_(kontext), bindung_(bindung), katalog_(katalog) {
    setObjectName(QStringLiteral("Form_Data_Mining_Ereignisfolgen"));
    setModal(true);
    store::DataModule_Roulette& dm = kontext_.dm;

    auto* arten = new CursorTableModel(dm.TdbTable_DM_Gleiche_Art,
                                       {Column("Gleiche_Art", QString()).toContent().stretched()},
                                       bindung_, this);
    DBGrid_Gleiche_Art = benannt(new CursorGrid(arten), "DBGrid_Gleiche_Art");
    DBGrid_Gleiche_Art->horizontalHeader()->hide();
    DBGrid_Gleiche_Art->setMinimumWidth(DBGrid_Gleiche_Art->fontMetrics().horizontalAdvance(
                                            QStringLiteral("<> 5-1 , <> 5-1 , 2-1 ")) +
                                        24);

    auto* folgen = new CursorTableModel(
        dm.TdbQuery_Gleiche_Art,
        {Column("Gleiche_Art_Ansicht", QStringLiteral("Chancen"), QStringLiteral("Chance"))
             .toContent()
             .stretched(),
         Column("Anzahl", QStringLiteral("Anz"), QStringLiteral("No.")).right().width(7),
         Column("Anzahl_Prozent", QStringLiteral("%")).right().fits(QStringLiteral("100.0%"))},
        bindung_, this);
    DBGrid_Folgen = benannt(new CursorGrid(folgen), "DBGrid_Folgen");

    auto* ereignisse = new CursorTableModel(
        dm.TdbTable_DM_Folge_Anzeige,
        {Column("Ereignis", QStringLiteral("Ereignisfolge"), QStringLiteral("Sequence"))
             .toContent()
             .width(12),
         Column("Ereignis_Info", QStringLiteral("Zahlen"), QStringLiteral("Numbers"))
             .toContent()
             .stretched(),
         Column("Angriff", QStringLiteral("A")).centre().fits(QStringLiteral("<>"))},
        bindung_, this);
    DBGrid_Folge_Anzeige = benannt(new CursorGrid(ereignisse), "DBGrid_Folge_Anzeige");
    for (CursorGrid* g : {DBGrid_Gleiche_Art, DBGrid_Folgen, DBGrid_Folge_Anzeige}) {
        g->setMinimumHeight(g->heightForRows(12));
    }

    BitBtn_OK = benannt(new QPushButton(QStringLiteral("OK")), "BitBtn_OK");
    BitBtn_OK->setAutoDefault(false);
    connect(BitBtn_OK, &QPushButton::clicked, this, &QDialog::accept);

    auto* listen = new QHBoxLayout;
    listen->addWidget(DBGrid_Gleiche_Art, 2);
    listen->addWidget(DBGrid_Folgen, 3);
    listen->addWidget(DBGrid_Folge_Anzeige, 3);
    auto* unten = new QHBoxLayout;
    unten->addStretch(1);
    unten->addWidget(BitBtn_OK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(listen, 1);
    layout->addLayout(unten);

    // A kind chosen (by key or mouse) shows its sequences; a sequence chosen shows its events.
    artWatch_ = std::make_unique<binding::CursorWatch>(
        dm.TdbTable_DM_Gleiche_Art,
        binding::CursorWatch::Callbacks{
            {}, {}, [this] {
                if (offen_) {
                    Ausfuehren([&] { mining::Folgen_Anzeigen(kontext_, Dezimaltrenner()); });
                }
            }});
    const auto folgeGewaehlt = [this] {
        if (offen_) {
            Ausfuehren([&] { mining::DataSource_Query_Gleiche_ArtDataChange(kontext_, katalog_); });
        }
    };
    folgenWatch_ = std::make_unique<binding::CursorWatch>(
        dm.TdbQuery_Gleiche_Art, binding::CursorWatch::Callbacks{folgeGewaehlt, {}, folgeGewaehlt});
}

Form_Data_Mining_Ereignisfolgen::~Form_Data_Mining_Ereignisfolgen() = default;

template <typename F>
void Form_Data_Mining_Ereignisfolgen::Ausfuehren(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        kontext_.ui.inform(e.what());
    }
}

char Form_Data_Mining_Ereignisfolgen::Dezimaltrenner() const {
    const QString trenner = QLocale().decimalPoint();
    return trenner.size() == 1 && trenner.at(0).unicode() < 0x80
               ? static_cast<char>(trenner.at(0).unicode())
               : '.';
}

int Form_Data_Mining_Ereignisfolgen::Zeigen() {
    const bool englisch = kontext_.sitzung.englisch();
    setWindowTitle(englisch ? QStringLiteral("  Sequence of events")
                            : QStringLiteral("  Ereignisfolgen"));
    offen_ = true;
    Ausfuehren([&] {
        mining::Ereignisfolgen_FormShow(kontext_, Dezimaltrenner());
        mining::DataSource_Query_Gleiche_ArtDataChange(kontext_, katalog_);
    });
    DBGrid_Gleiche_Art->setFocus();
    return Modal_Zeigen(*this);
}

void Form_Data_Mining_Ereignisfolgen::done(int ergebnis) {
    offen_ = false;
    Ausfuehren([&] { mining::Ereignisfolgen_FormClose(kontext_); });
    QDialog::done(ergebnis);
}

}  // namespace spinalyst::app
