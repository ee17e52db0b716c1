#include "app/form_online_spiel.h"
#include "app/benannt.h"

#include <QDate>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/binding/bound_controls.h"
#include "app/binding/cursor_grid.h"
#include "app/binding/cursor_table_model.h"
#include "app/form_anwendung_roulette.h"

namespace spinalyst::app {

using binding::Column;
using binding::CursorGrid;
using binding::CursorTableModel;

namespace {

// A font a few points larger than the window's, for what is read at the table.
QFont groesser(QFont f, qreal faktor) {
    f.setPointSizeF(f.pointSizeF() * faktor);
    return f;
}

}  // namespace

Form_Online_Spiel::Form_Online_Spiel(Form_Anwendung_Roulette& hauptfenster,
                                     online::Onlinespiel spiel)
    : QDialog(&hauptfenster), haupt_(hauptfenster), spiel_(spiel) {
    setObjectName(QStringLiteral("Form_Online_Spiel"));
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose);
    auto& dm = haupt_.dataModule();
    auto* bindung = &haupt_.bindung();
    const QFont gross = groesser(font(), 1.25);

    auto* permanenz = new CursorTableModel(
        dm.TdbTable_Permanenz,
        {Column("Zahl", "Z", "N").centre().width(3).color([this](const store::RowView& coup) {
             return haupt_.Zahl_Farbe(coup);
         }),
         Column("Angriff_Satz", "S", "B").right().width(4),
         Column("Gewinn_Verlust", "G/V", "W/L").right().width(5).stretched()},
        bindung, this);
    DBGrid_Permanenz = benannt(new CursorGrid(permanenz), "DBGrid_Permanenz");
    DBGrid_Permanenz->setFont(gross);

    std::vector<Column> spalten = {
        Column("Ereignis", "Ereignis", "Event").width(12),
        Column("Ereignis_Info", "Zahlen", "Numbers").width(14).stretched(),
        Column("Satz", "Satz", "Bet").right().width(4)};
    for (Column& c : spalten) {
        c.color(Einsatz_Farbe);
    }
    auto* signale =
        new CursorTableModel(dm.TdbTable_Systeme_Abarbeitung, std::move(spalten), bindung, this);
    DBGrid_Online_Angriffe_Satz = benannt(new CursorGrid(signale), "DBGrid_Online_Angriffe_Satz");
    DBGrid_Online_Angriffe_Satz->setFont(gross);
    DBGrid_Online_Angriffe_Satz->setFocusPolicy(Qt::NoFocus);
    // The signals are read, not chosen: no highlight hides their colour.
    DBGrid_Online_Angriffe_Satz->setSelectionMode(QAbstractItemView::NoSelection);

    Label_Satz_Gesamt = benannt(new QLabel, "Label_Satz_Gesamt");
    QFont fett = groesser(font(), 1.6);
    fett.setBold(true);
    Label_Satz_Gesamt->setFont(fett);
    Label_Hinweis = benannt(new QLabel, "Label_Hinweis");
    Label_Hinweis->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0);"));

    DBEdit_Permanenz_Zahl =
        benannt(new binding::BoundLineEdit(dm.TdbTable_Wahl, "Permanenz_Zahl", bindung),
                "DBEdit_Permanenz_Zahl");
    DBEdit_Permanenz_Zahl->setIntegerOnly(true);
    DBEdit_Permanenz_Zahl->setAlignment(Qt::AlignRight);
    DBEdit_Permanenz_Zahl->setFont(fett);
    DBEdit_Permanenz_Zahl->setFixedWidth(
        QFontMetrics(fett).horizontalAdvance(QStringLiteral("0000")) + 16);
    BitBtn_Permanenz_Zahl = benannt(new QPushButton, "BitBtn_Permanenz_Zahl");
    BitBtn_Permanenz_Zahl->setDefault(true);
    BitBtn_Beenden = benannt(new QPushButton, "BitBtn_Beenden");
    BitBtn_Beenden->setAutoDefault(false);
    connect(BitBtn_Permanenz_Zahl, &QPushButton::clicked, this,
            &Form_Online_Spiel::BitBtn_Permanenz_ZahlClick);
    connect(BitBtn_Beenden, &QPushButton::clicked, this, &QDialog::reject);

    auto* oben = new QHBoxLayout;
    oben->addWidget(DBGrid_Permanenz, 2);
    auto* rechts = new QVBoxLayout;
    rechts->addWidget(DBGrid_Online_Angriffe_Satz, 1);
    rechts->addWidget(Label_Satz_Gesamt);
    oben->addLayout(rechts, 5);
    auto* unten = new QHBoxLayout;
    unten->addWidget(DBEdit_Permanenz_Zahl);
    unten->addWidget(BitBtn_Permanenz_Zahl);
    unten->addWidget(Label_Hinweis, 1);
    unten->addWidget(BitBtn_Beenden);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(oben, 1);
    layout->addLayout(unten);

    if (dm.TdbTable_Wahl.text("Online_Vordergrund") == "t") {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    Texte_Setzen();
    Satz_Zeigen();
    resize(520, 260);
    Platzieren();
    DBEdit_Permanenz_Zahl->setFocus();
}

void Form_Online_Spiel::Texte_Setzen() {
    auto& k = haupt_.kontext();
    const bool en = k.sitzung.englisch();
    const QLocale locale;
    const store::Date d = k.sitzung.gewaehlter_tag;
    const QString datum =
        locale.toString(QDate(d.year(), d.month(), d.day()), QLocale::ShortFormat);
    setWindowTitle(QString::fromStdString(online::Online_Titel(
        k, online::Casino_Name(k), datum.toStdString(), spiel_.aktiveSysteme)));
    BitBtn_Permanenz_Zahl->setText(en ? QStringLiteral("No.") : QStringLiteral("Zahl"));
    BitBtn_Beenden->setText(en ? QStringLiteral("Close") : QStringLiteral("Beenden"));
}

void Form_Online_Spiel::Satz_Zeigen() {
    const bool en = haupt_.sitzung().englisch();
    const std::optional<int> satz = online::Satz_Gesamt(haupt_.kontext());
    Label_Satz_Gesamt->setText(
        satz ? (en ? QStringLiteral("Total bet: %1") : QStringLiteral("Satz gesamt: %1")).arg(*satz)
             : QString());
}

void Form_Online_Spiel::Platzieren() {
    // Near the lower right corner, inside the screen.
    QScreen* bildschirm = QGuiApplication::primaryScreen();
    if (bildschirm == nullptr) {
        return;
    }
    const QRect frei = bildschirm->availableGeometry();
    const QRect ganz = bildschirm->geometry();
    const int x =
        std::clamp(ganz.width() - 550, frei.left(), std::max(frei.left(), frei.right() - width()));
    const int y =
        std::clamp(ganz.height() - 300, frei.top(), std::max(frei.top(), frei.bottom() - height()));
    move(x, y);
}

void Form_Online_Spiel::BitBtn_Permanenz_ZahlClick() {
    if (gibtEin_) {
        return;
    }
    gibtEin_ = true;
    DBEdit_Permanenz_Zahl->commit();
    auto& k = haupt_.kontext();
    bool gespeichert = false;
    try {
        gespeichert = online::BitBtn_Permanenz_ZahlClick(k, haupt_.katalog(), spiel_);
    } catch (const std::exception& e) {
        k.ui.inform(e.what());
    }
    const bool en = k.sitzung.englisch();
    Label_Hinweis->setText(gespeichert ? QString()
                                       : (en ? QStringLiteral("Only numbers 0 to 36")
                                             : QStringLiteral("Nur Zahlen von 0 bis 36")));
    Satz_Zeigen();
    DBEdit_Permanenz_Zahl->clear();
    DBEdit_Permanenz_Zahl->setModified(false);
    DBEdit_Permanenz_Zahl->setFocus();
    gibtEin_ = false;
}

}  // namespace spinalyst::app
