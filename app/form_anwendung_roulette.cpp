#include "app/form_anwendung_roulette.h"
#include "app/benannt.h"

#include <QAbstractEventDispatcher>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <map>
#include <set>

#include "app/binding/bound_controls.h"
#include "app/binding/cursor_grid.h"
#include "app/core/beschriftung.h"
#include "app/core/datenort.h"
#include "app/core/hilfe.h"
#include "app/core/sprache.h"
#include "app/core/statuszeile.h"
#include "app/core/texte.h"
#include "app/datumswahl.h"
#include "app/diagrammbereich.h"
#include "app/flaggen.h"
#include "app/qt_uebersetzung.h"
#include "app/qt_user_interface.h"
#include "app/systemfenster.h"

namespace spinalyst::app {

using binding::BoundCheckBox;
using binding::BoundComboBox;
using binding::BoundLineEdit;
using binding::BoundLookupComboBox;
using binding::Column;
using binding::CursorGrid;
using binding::CursorTableModel;
using store::Sprache;

namespace {

// Dynamic property holding a menu item's caption without mnemonic.
constexpr const char* kBeschriftung = "beschriftung";

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QFrame* panel(const char* name) {
    auto* frame = benannt(new QFrame, name);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    return frame;
}

QFrame* trennlinie() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// Width of an edit that holds `zeichen` digits.
int zahlBreite(const QWidget* w, int zeichen) {
    return w->fontMetrics().horizontalAdvance(QString(zeichen, QLatin1Char('0'))) + 14;
}

// Inserts the mnemonic marker before the first letter not yet taken among its siblings.
QString mitKuerzel(const QString& beschriftung, std::set<QChar>& vergeben) {
    QString escaped = beschriftung;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
    for (int i = 0; i < escaped.size(); ++i) {
        const QChar c = escaped.at(i);
        if (c == QLatin1Char('&')) {
            ++i;
            continue;
        }
        if (c.isLetter() && !vergeben.contains(c.toLower())) {
            vergeben.insert(c.toLower());
            return escaped.left(i) + QLatin1Char('&') + escaped.mid(i);
        }
    }
    return escaped;
}

void setzeBeschriftung(QAction* action, const QString& beschriftung) {
    action->setProperty(kBeschriftung, beschriftung);
    action->setText(beschriftung);
}

}  // namespace

QString ohneKuerzel(const QString& text) {
    QString plain;
    plain.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('&')) {
                plain += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        plain += text.at(i);
    }
    return plain;
}

QString Lange_Zeit(const QLocale& locale, const QTime& zeit) {
    // The long format of Qt's locales ends in a time zone ("HH:mm:ss t"); the status bar shows
    // the time of day only, so time-zone fields outside quoted text are dropped.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString ohneZone;
    bool zitat = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) {
            zitat = !zitat;
        }
        if (!zitat && c == QLatin1Char('t')) {
            continue;
        }
        ohneZone += c;
    }
    return locale.toString(zeit, ohneZone.simplified());
}

Form_Anwendung_Roulette::Form_Anwendung_Roulette(kern::Sitzung& sitzung,
                                                 store::DataModule_Roulette& dataModule,
                                                 QtUserInterface& ui, QWidget* parent)
    : QMainWindow(parent),
      sitzung_(sitzung),
      dm_(dataModule),
      ui_(ui),
      bindung_(new binding::BindingContext(this)),
      qtTexte_(new QtUebersetzung(this)),
      kontext_{dataModule, sitzung, ui, *this} {
    setObjectName(QStringLiteral("Form_Anwendung_Roulette"));
    bindung_->setLanguage(sitzung_.sprache);
    connect(bindung_, &binding::BindingContext::errorOccurred, this,
            [this](const QString& message) { ui_.inform(message.toStdString()); });
    // The desktop reports no viewer only when it has no opener at all; a missing file is
    // caught here because the opener would fail on it later, where nobody sees it.
    oeffner_ = [](const QString& pfad) {
        return QFileInfo::exists(pfad) && QDesktopServices::openUrl(QUrl::fromLocalFile(pfad));
    };

    Menue_Bauen();

    auto* zentrale = new QWidget;
    auto* layout = new QVBoxLayout(zentrale);
    layout->setContentsMargins(4, 4, 4, 2);
    layout->setSpacing(4);
    layout->addWidget(Auswahlleiste_Bauen());

    auto* teiler = benannt(new QSplitter(Qt::Horizontal), "Splitter_Hauptfenster");
    teiler->setChildrenCollapsible(false);
    teiler->addWidget(Permanenzspalte_Bauen());
    teiler->addWidget(Auswertung_Bauen());
    teiler->addWidget(Systemteil_Bauen());
    teiler->addWidget(Onlineteil_Bauen());
    // Shares of the width (at 1366 pixels about these widths); fixed once so that a change of
    // language does not move the columns.
    teiler->setSizes({135, 475, 585, 155});
    layout->addWidget(teiler, 1);
    setCentralWidget(zentrale);
    diagramme_ = new Diagrammbereich(kontext_, katalog_, ui_, this);
    addDockWidget(Qt::BottomDockWidgetArea, diagramme_);
    Auswertung_System_Verbinden();
    Systemfenster_Verbinden(*this);

    Statusleiste_Bauen();
    Erfassung_Verbinden();
    Csv_Verbinden();
    Texte_Setzen();
    Kuerzel_Vergeben();
    Sprachwahl_Anzeigen();
    setWindowTitle(text(Hauptfenster_Titel(sitzung_.sprache)));

    // F1 is seen before the controls of this window get it.
    qApp->installEventFilter(this);

    // The idle handler: whenever the event loop runs dry, and once a second so that the clock
    // moves while nothing happens.
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (!statusUhr_.isValid() || statusUhr_.elapsed() >= 250) {
                Statusleiste_Aktualisieren();
            }
        });
    }
    auto* uhr = new QTimer(this);
    connect(uhr, &QTimer::timeout, this, &Form_Anwendung_Roulette::Statusleiste_Aktualisieren);
    uhr->start(1000);
    Statusleiste_Aktualisieren();

    // A size that fits the screen the window opens on (but not below what the layout needs);
    // the show sequence centres it.
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        const QSize verfuegbar = s->availableGeometry().size();
        resize(QSize(std::min(verfuegbar.width(), 1600), std::min(verfuegbar.height(), 900))
                   .expandedTo(minimumSizeHint()));
    }
}

Form_Anwendung_Roulette::~Form_Anwendung_Roulette() {
    qApp->removeEventFilter(this);
}

// --- Building the window --------------------------------------------------------------------

void Form_Anwendung_Roulette::Menue_Bauen() {
    QMenuBar* leiste = menuBar();
    leiste->setObjectName(QString::fromLatin1(kHauptmenue));
    PopupMenu_Ereignisfolge = benannt(new QMenu(this), kPopupEreignisfolge);

    std::set<std::string> mitUnterpunkten;
    for (const Menuepunkt& p : Menuepunkte()) {
        if (p.oberpunkt != nullptr) {
            mitUnterpunkten.insert(p.oberpunkt);
        }
    }
    std::map<std::string, QMenu*> menues{{kPopupEreignisfolge, PopupMenu_Ereignisfolge}};
    for (const Menuepunkt& p : Menuepunkte()) {
        QWidget* behaelter = leiste;
        if (p.oberpunkt != nullptr) {
            behaelter = menues.at(p.oberpunkt);
        }
        if (std::string_view(p.name) == kTrenner) {
            static_cast<QMenu*>(behaelter)->addSeparator();
            continue;
        }
        QAction* action = nullptr;
        if (mitUnterpunkten.contains(p.name)) {
            auto* menue = benannt(new QMenu(behaelter), p.name);
            action = menue->menuAction();
            behaelter->addAction(action);
            menues[p.name] = menue;
        } else {
            action = new QAction(behaelter);
            behaelter->addAction(action);
        }
        action->setObjectName(QString::fromLatin1(p.name));
        setzeBeschriftung(action, text(p.deutsch));
    }

    auto find = [this](const char* name) { return findChild<QAction*>(QString::fromLatin1(name)); };
    find("MenuItem_Individuell_Ihr_System")->setEnabled(false);
    // Building a system is possible only in details mode, which is off at start.
    find("MenuItem_Systeme_Erstellung")->setEnabled(false);

    connect(find("MenuItem_Hilfe"), &QAction::triggered, this,
            &Form_Anwendung_Roulette::MenuItem_HilfeClick);
    QAction* deutsch = find("MenuItem_Sprache_Deutsch");
    QAction* englisch = find("MenuItem_Sprache_Englisch");
    auto* gruppe = new QActionGroup(this);
    for (QAction* a : {deutsch, englisch}) {
        a->setCheckable(true);
        gruppe->addAction(a);
    }
    connect(deutsch, &QAction::triggered, this,
            [this, deutsch] { MenuItem_Sprache_DeutschClick(deutsch); });
    connect(englisch, &QAction::triggered, this,
            [this, englisch] { MenuItem_Sprache_EnglischClick(englisch); });
}

QWidget* Form_Anwendung_Roulette::Auswahlleiste_Bauen() {
    QFrame* leiste = panel("Panel_Casino_Tisch_Datum");
    auto* layout = new QHBoxLayout(leiste);
    layout->setContentsMargins(6, 4, 6, 4);

    auto* casino =
        benannt(new BoundLookupComboBox(dm_.TdbTable_Wahl, "ID_Casino", dm_.TdbTable_Casino,
                                        "ID_Casino_AutoInc", "Casino_Name", "", bindung_),
                "DBLookupComboBox_Casino");
    casino->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    casino->setMinimumContentsLength(22);
    QStringList tische;
    for (int i = 1; i <= 25; ++i) {
        tische << QStringLiteral("T %1").arg(i, 2, 10, QLatin1Char('0'));
    }
    auto* tisch = benannt(new BoundComboBox(dm_.TdbTable_Wahl, "Tisch", tische, bindung_),
                          "DBComboBox_Tisch");
    tisch->setMaxVisibleItems(25);

    DateTimePicker = benannt(new Datumswahl, "DateTimePicker");
    Datum_Uebernehmen(DateTimePicker->gewaehlterTag());

    layout->addWidget(casino);
    layout->addWidget(tisch);
    layout->addWidget(DateTimePicker);
    layout->addStretch(1);

    auto flagge = [this](const char* name, const QIcon& icon, const char* tip) {
        auto* knopf = benannt(new QToolButton, name);
        knopf->setIcon(icon);
        knopf->setIconSize(QSize(24, 16));
        knopf->setCheckable(true);
        knopf->setAutoRaise(true);
        knopf->setToolTip(text(tip));
        knopf->setFocusPolicy(Qt::StrongFocus);
        return knopf;
    };
    SpeedButton_Deutsch = flagge("SpeedButton_Deutsch", Flagge_Deutsch(), "Deutsch");
    SpeedButton_Englisch = flagge("SpeedButton_Englisch", Flagge_Englisch(), "English");
    connect(SpeedButton_Deutsch, &QToolButton::clicked, this,
            [this] { MenuItem_Sprache_DeutschClick(SpeedButton_Deutsch); });
    connect(SpeedButton_Englisch, &QToolButton::clicked, this,
            [this] { MenuItem_Sprache_EnglischClick(SpeedButton_Englisch); });
    layout->addWidget(SpeedButton_Deutsch);
    layout->addWidget(SpeedButton_Englisch);
    return leiste;
}

QWidget* Form_Anwendung_Roulette::Permanenzspalte_Bauen() {
    QFrame* spalte = panel("Panel_Permanenzen");
    auto* layout = new QVBoxLayout(spalte);
    layout->setContentsMargins(4, 4, 4, 4);

    layout->addWidget(benannt(new QLabel, "Label_Permanenz"));
    auto* modell = new CursorTableModel(
        dm_.TdbTable_Permanenz,
        {Column("Zahl", "Z", "N").centre().width(2).color([this](const store::RowView& coup) {
             return Permanenz_Zahl_Farbe(coup);
         }),
         Column("Angriff_Satz", "S", "B").right().width(3),
         Column("Gewinn_Verlust", "G/V", "W/L").right().width(4).stretched()},
        bindung_, this);
    permanenzModell_ = modell;
    auto* grid = benannt(new CursorGrid(modell), "DBGrid_Permanenz");
    grid->setMinimumWidth(grid->sizeHint().width());
    layout->addWidget(grid, 1);

    auto* eingabe = new QHBoxLayout;
    auto* zahl = benannt(new BoundLineEdit(dm_.TdbTable_Wahl, "Permanenz_Zahl", bindung_),
                         "DBEdit_Permanenz_Zahl");
    zahl->setIntegerOnly(true);
    zahl->setAlignment(Qt::AlignRight);
    // Typed at the table, often without looking: large digits and room for a slip of the
    // finger.
    QFont gross = zahl->font();
    gross.setPointSizeF(gross.pointSizeF() * 1.6);
    gross.setBold(true);
    zahl->setFont(gross);
    zahl->setMinimumWidth(zahlBreite(zahl, 4));
    auto* speichern = benannt(new QPushButton, "BitBtn_Permanenz_Zahl");
    DBEdit_Permanenz_Zahl = zahl;
    BitBtn_Permanenz_Zahl = speichern;
    // The number-entry mode is off at start.
    speichern->setEnabled(false);
    eingabe->addWidget(zahl, 1);
    eingabe->addWidget(speichern);
    layout->addLayout(eingabe);
    return spalte;
}

QWidget* Form_Anwendung_Roulette::Auswertung_Bauen() {
    QFrame* teil = panel("Panel_Permanenzen_System_Auswertung");
    auto* layout = new QVBoxLayout(teil);
    layout->setContentsMargins(4, 4, 4, 4);

    // Permanence evaluation: mode, coups or days, chance class.
    auto* zeile1 = new QHBoxLayout;
    auto* modus = benannt(
        new BoundComboBox(dm_.TdbTable_Wahl, "Auswertung_H_S_R", {"H", "S", "R", "A"}, bindung_),
        "DBComboBox_Haufigkeit_Serien_Rueckstaendigkeit");
    auto* coupsLabel = benannt(new QLabel, "Label_Coups_Permanenz");
    auto* coups = benannt(new BoundLineEdit(dm_.TdbTable_Wahl, "Auswertung_Coups_Anzahl", bindung_),
                          "DBEdit_Coups_Permanenz");
    auto* tageLabel = benannt(new QLabel, "Label_Tage_Permenenz");
    auto* tage = benannt(new BoundLineEdit(dm_.TdbTable_Wahl, "Auswertung_Tage_Anzahl", bindung_),
                         "DBEdit_Tage_Permanenz");
    for (BoundLineEdit* e : {coups, tage}) {
        e->setIntegerOnly(true);
        e->setAlignment(Qt::AlignRight);
        e->setFixedWidth(zahlBreite(e, 5));
    }
    coupsLabel->setBuddy(coups);
    tageLabel->setBuddy(tage);
    auto* uebergreifend =
        benannt(new BoundCheckBox(dm_.TdbTable_Wahl, "Auswertung_Tage_uebergreifend", {}, bindung_),
                "DBCheckBox_Tage_Permanenz_uebergreifend");
    zeile1->addWidget(modus);
    zeile1->addSpacing(6);
    zeile1->addWidget(coupsLabel);
    zeile1->addWidget(coups);
    zeile1->addSpacing(6);
    zeile1->addWidget(tageLabel);
    zeile1->addWidget(tage);
    zeile1->addStretch(1);
    layout->addLayout(zeile1);

    auto* zeile2 = new QHBoxLayout;
    auto* chance = benannt(new BoundLookupComboBox(dm_.TdbTable_Wahl, "ID_Chancen_Auswertung",
                                                   dm_.TdbTable_System_Chancen, "ID_System_Chancen",
                                                   "Chancen", "", bindung_),
                           "DBLookupComboBox_Chancen_Permanenz");
    chance->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    chance->setMinimumContentsLength(10);
    auto* rechnen = benannt(new QPushButton, "BitBtn_Berechnung_Permanenz_Auswertung");
    zeile2->addWidget(chance);
    zeile2->addSpacing(6);
    zeile2->addWidget(uebergreifend);
    zeile2->addStretch(1);
    zeile2->addWidget(rechnen);
    layout->addLayout(zeile2);

    // The three statistics lists share one place; the evaluation shows one at a time. Beside
    // the counts stand what a fair wheel would give (computed by the evaluation, shown here).
    auto statistikspalte = [this](events::Ereignisspalte spalte, const char* heading,
                                  const char* headingEnglish, int breite) {
        // Sized to the figures shown: a month's expected hits or a marked value take more.
        return Column("", heading, headingEnglish)
            .right()
            .width(breite)
            .toContent()
            .computed([this, spalte](const store::RowView& r) {
                return auswertung_ != nullptr
                           ? QString::fromStdString(auswertung_->Ereignis_Text(r, spalte))
                           : QString();
            });
    };
    // An event whose adjusted value is below 0.05 shows its name and that value in red.
    auto auffaellig = [this](const store::RowView& r) -> std::optional<QColor> {
        if (auswertung_ != nullptr && auswertung_->Auffaellig(r)) {
            return QColor(200, 0, 0);
        }
        return std::nullopt;
    };
    auto erwartungsspalte = [this](events::Auswertungsliste liste) {
        return Column("", "Erw.", "Exp.")
            .right()
            .width(8)
            .computed([this, liste](const store::RowView& r) {
                return auswertung_ != nullptr
                           ? QString::fromStdString(auswertung_->Erwartet_Text(liste, r))
                           : QString();
            });
    };
    auto* haeufigkeit = new CursorTableModel(
        dm_.TdbQuery_Ereignisse_Haeufigkeit,
        {Column("Ereignis", "Ereignisse", "Events")
             .englishField("Ereignis_Englisch")
             .width(8)
             .toContent()
             .color(auffaellig),
         // The numbers give way to the figures beside the counts.
         Column("Ereignis_Info", "Zahlen", "Numbers")
             .englishField("Ereignis_Info_Englisch")
             .width(5)
             .stretched(),
         Column("", "").width(1), Column("Zahlen_Anzahl", "Anzahl", "Number").right().width(5),
         Column("Zahlen_Prozent", "% ").right().width(5).toContent(),
         statistikspalte(events::Ereignisspalte::Erwartet, "Erw.", "Exp.", 5)
             .tips("Erwartete Treffer bei einem fairen Kessel: Coups × Zahlen / 37",
                   "Expected hits on a fair wheel: coups × numbers / 37"),
         statistikspalte(events::Ereignisspalte::Z, "z", "z", 5)
             .tips("z-Wert: Abweichung der Treffer vom Erwarteten in Standardabweichungen",
                   "z-score: deviation of the hits from the expected in standard deviations"),
         statistikspalte(events::Ereignisspalte::P, "p", "p", 5)
             .tips("p-Wert (zweiseitig, exakte Binomialverteilung): wie wahrscheinlich eine "
                   "mindestens so große Abweichung beim fairen Kessel ist",
                   "p-value (two-sided, exact binomial): how likely a deviation at least this "
                   "large is on a fair wheel"),
         statistikspalte(events::Ereignisspalte::Q, "q", "q", 5)
             .tips("p-Wert nach Benjamini-Hochberg über die gezeigten Ereignisse bereinigt; "
                   "rot (auch das Ereignis): unter 0,05, auffällig",
                   "p-value adjusted by Benjamini-Hochberg over the events shown; red (the "
                   "event too): below 0.05, unusual")
             .color(auffaellig)},
        bindung_, this);
    const QString erwartetTipp =
        QStringLiteral("Erwartete Anzahl dieser Länge bei einem fairen Kessel (unabhängige Coups)");
    const QString erwartetTippEnglisch =
        QStringLiteral("Expected count of this length on a fair wheel (independent coups)");
    auto* serien = new CursorTableModel(
        dm_.TdbQuery_Ereignisse_Serien,
        {Column("Ereignis_Info", "Zahlen", "Numbers").width(14).stretched(),
         Column("", "").width(1), Column("Serie", "Serie", "Series").right().width(5),
         Column("Serie_Anzahl", "Anzahl", "Number").right().width(5),
         Column("Serie_Prozent", "% ").right().width(6),
         erwartungsspalte(events::Auswertungsliste::Serien)
             .tips(erwartetTipp, erwartetTippEnglisch)},
        bindung_, this);
    auto* rueck = new CursorTableModel(
        dm_.TdbQuery_Ereignisse_Rueckstaendigkeit,
        {Column("Ereignis_Info", "Zahlen", "Numbers").width(14).stretched(),
         Column("", "").width(1), Column("Rueckstaendigkeit", "Rst", "Abs").right().width(5),
         Column("Rueckstaendigkeit_Anzahl", "Anzahl", "Number").right().width(5),
         Column("Rueckstaendigkeit_Prozent", "% ").right().width(6),
         erwartungsspalte(events::Auswertungsliste::Rueckstaendigkeit)
             .tips(erwartetTipp, erwartetTippEnglisch)},
        bindung_, this);
    auto* haeufigkeitGrid = benannt(new CursorGrid(haeufigkeit), "DBGrid_Ereignisse_Auswertung");
    auto* serienGrid = benannt(new CursorGrid(serien), "DBGrid_Ereignisse_Serien_Auswertung");
    auto* rueckGrid =
        benannt(new CursorGrid(rueck), "DBGrid_Ereignisse_Rueckstaendigkeit_Auswertung");
    serienGrid->hide();
    rueckGrid->hide();
    layout->addWidget(haeufigkeitGrid, 3);
    layout->addWidget(serienGrid, 3);
    layout->addWidget(rueckGrid, 3);
    // The chi-square test of the 37 numbers of the evaluated stretch, once there are results.
    auto* chiQuadrat = benannt(new QLabel, "Label_Chi_Quadrat");
    chiQuadrat->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(chiQuadrat);

    layout->addWidget(trennlinie());

    // System evaluation: days, options, the day list and the totals row.
    auto* zeile3 = new QHBoxLayout;
    auto* tageSystemLabel = benannt(new QLabel, "Label_Tage_System");
    auto* tageSystem = benannt(new BoundLineEdit(dm_.TdbTable_Wahl, "System_Tage_Anzahl", bindung_),
                               "DBEdit_Tage_System");
    tageSystem->setIntegerOnly(true);
    tageSystem->setAlignment(Qt::AlignRight);
    tageSystem->setFixedWidth(zahlBreite(tageSystem, 5));
    tageSystemLabel->setBuddy(tageSystem);
    auto* systemUeber = benannt(
        new BoundCheckBox(dm_.TdbTable_Wahl, "System_Online_Tage_uebergreifend", {}, bindung_),
        "DBCheckBox_Tage_System_uebergreifend");
    auto* alle = benannt(new BoundCheckBox(dm_.TdbTable_Wahl, "System_Online_Alle",
                                           QStringLiteral("x (A)"), bindung_),
                         "DBCheckBox_Auswertung_Alle_Systeme");
    auto* systemRechnen =
        benannt(new QPushButton(QStringLiteral("(System)")), "BitBtn_Berechnung_System_Auswertung");
    auto* ueberblick = benannt(new QPushButton(QStringLiteral("Σ")), "BitBtn_Gesamtauswertungen");
    ueberblick->setFixedWidth(ueberblick->fontMetrics().horizontalAdvance(QStringLiteral("ΣΣ")) +
                              20);
    zeile3->addWidget(tageSystemLabel);
    zeile3->addWidget(tageSystem);
    zeile3->addSpacing(6);
    zeile3->addWidget(systemUeber);
    zeile3->addWidget(alle);
    zeile3->addStretch(1);
    zeile3->addWidget(systemRechnen);
    zeile3->addWidget(ueberblick);
    layout->addLayout(zeile3);

    auto tagesSpalten = [](const char* erstesFeld, const char* erste, const char* ersteEnglisch) {
        return std::vector<Column>{
            Column(erstesFeld, erste, ersteEnglisch).width(10),
            // Where a system won and lost shows at a glance: results by sign, the best value
            // reached in green, the worst in red.
            Column("Gewinn_Verlust", "G/V", "W/L").right().width(5).color(Einsatz_Farbe),
            Column("Gewinn_Maximal", "Max +")
                .right()
                .width(5)
                .color([](const store::RowView& r) -> std::optional<QColor> {
                    return r.integer("Gewinn_Maximal") > 0 ? QColor(0, 128, 0) : QColor(Qt::black);
                }),
            Column("Verlust_Maximal", "Max -")
                .right()
                .width(5)
                .color([](const store::RowView& r) -> std::optional<QColor> {
                    return r.integer("Verlust_Maximal") < 0 ? QColor(200, 0, 0) : QColor(Qt::black);
                }),
            Column("Coups_Anzahl", "Coups", "No.").right().width(5),
            Column("Angriffe", "Angriffe", "Attacks").right().width(5).stretched()};
    };
    auto* tageModell = new CursorTableModel(dm_.TdbTable_Permanenz_Tag_Zusammenfassung,
                                            tagesSpalten("Datum", "Tag", "Day"), bindung_, this);
    tageModell_ = tageModell;
    std::vector<Column> gesamtSpalten = tagesSpalten("Tage", "Tage", "Days");
    gesamtSpalten.front().right();
    auto* gesamtModell = new CursorTableModel(dm_.TdbTable_Permanenz_Tag_Zusammenfassung_G,
                                              std::move(gesamtSpalten), bindung_, this);
    auto* tageGrid = benannt(new CursorGrid(tageModell), "DBGrid_System_Auswertung");
    // The ten days the evaluation covers by default, whole; the frequency list above gives way.
    tageGrid->setMinimumHeight(tageGrid->heightForRows(10));
    auto* gesamtGrid = benannt(new CursorGrid(gesamtModell), "DBGrid_System_Auswertung_Gesamt");
    gesamtGrid->setFixedHeight(gesamtGrid->heightForRows(1));
    gesamtGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // One row to read: no highlight hides the colours of the results.
    gesamtGrid->setSelectionMode(QAbstractItemView::NoSelection);
    layout->addWidget(tageGrid, 2);
    layout->addWidget(gesamtGrid);
    return teil;
}

QWidget* Form_Anwendung_Roulette::Systemteil_Bauen() {
    QFrame* teil = panel("Panel_System");
    auto* layout = new QVBoxLayout(teil);
    layout->setContentsMargins(4, 4, 4, 4);

    // Systems list with its information memo, and the selection of kind, chance and instance.
    auto* oben = new QHBoxLayout;
    auto* liste = new QVBoxLayout;
    auto* systeme =
        new CursorTableModel(dm_.TdbTable_Systeme,
                             {Column("ID_System_Nummer", "Nr.", "No.").right().width(4),
                              Column("System_Name", "Name").width(24).stretched().editableCell(),
                              Column("System_Online_Aktiv", "A")
                                  .centre()
                                  .width(2)
                                  .editableMark()
                                  .tips(text("A: mit \"x\" markiert für Modus A und das "
                                             "Online-Spiel"),
                                        text("A: marked \"x\" for mode A and online play"))},
                             bindung_, this);
    auto* systemGrid = benannt(new CursorGrid(systeme), "DBGrid_Systeme");
    liste->addWidget(systemGrid, 1);
    auto* info = panel("Panel_System_Informationen");
    auto* infoLayout = new QVBoxLayout(info);
    infoLayout->setContentsMargins(4, 2, 4, 4);
    infoLayout->addWidget(benannt(new QLabel(QStringLiteral("Info")), "Label_Info"));
    auto* memo = benannt(
        new binding::BoundPlainTextEdit(dm_.TdbTable_Systeme, "System_Informationen", bindung_),
        "DBMemo_System_Informationen");
    infoLayout->addWidget(memo);
    // Shown only in information mode.
    info->hide();
    liste->addWidget(info, 1);
    oben->addLayout(liste, 1);

    auto* wahl = new QVBoxLayout;
    auto* art =
        benannt(new BoundLookupComboBox(dm_.TdbTable_Wahl, "ID_System_Art", dm_.TdbTable_System_Art,
                                        "ID_System_Art_AutoInc", "System_Art_Name",
                                        "System_Art_Name_Englisch", bindung_),
                "DBLookupComboBox_System_Art");
    art->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    art->setMinimumContentsLength(14);
    auto* chancen = benannt(
        new BoundLookupComboBox(dm_.TdbTable_Wahl, "ID_System_Chancen", dm_.TdbTable_System_Chancen,
                                "ID_System_Chancen", "Chancen", "", bindung_),
        "DBLookupComboBox_System_Chancen");
    chancen->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    chancen->setMinimumContentsLength(14);
    auto* instanzZeile = new QHBoxLayout;
    auto* instanzLabel = benannt(new QLabel(QStringLiteral("I")), "Label_Instanz");
    auto* instanz =
        benannt(new BoundComboBox(dm_.TdbTable_Wahl, "ID_Instanz", {"1", "2", "3"}, bindung_),
                "DBComboBox_Instanz_System_Daten");
    instanzLabel->setBuddy(instanz);
    instanzZeile->addWidget(instanzLabel);
    instanzZeile->addWidget(instanz, 1);
    auto* neu = benannt(new QPushButton, "BitBtn_System_Neu");
    CheckBox_Systemdetails = benannt(new QCheckBox, "CheckBox_Systemdetails");
    wahl->addWidget(art);
    wahl->addWidget(chancen);
    wahl->addLayout(instanzZeile);
    wahl->addWidget(neu);
    wahl->addWidget(CheckBox_Systemdetails);
    wahl->addStretch(1);
    oben->addLayout(wahl);
    layout->addLayout(oben, 3);

    // Filter rows H, S, R and the sequence-history row "Ef".
    struct Filterzeile {
        const char* knopf;
        const char* knopfText;
        const char* info;
        const char* anzahlVon;
        const char* anzahlBis;
        const char* serieVon;
        const char* serieBis;
        const char* coupsVon;
        const char* coupsBis;
        const char* ungleich;
        const char* vorEreignisfolge;
        const char* aktiv;
    };
    static constexpr Filterzeile kZeilen[] = {
        {"BitBtn_Ereignis_Haeufigkeit", "H", "Ereignis_Haeufigkeit_Info", "Haeufigkeit_Anzahl_von",
         "Haeufigkeit_Anzahl_bis", nullptr, nullptr, "Haeufigkeit_Coups_zurueck_von",
         "Haeufigkeit_Coups_zurueck_bis", "Haeufigkeit_ungleich", "Haeufigkeit_vor_Ereignisfolge",
         "Haeufigkeit_Filterung_aktiv"},
        {"BitBtn_Ereignis_Serien", "S", "Ereignis_Serien_Info", "Serien_Anzahl_von",
         "Serien_Anzahl_bis", "Serien_von", "Serien_bis", "Serien_Coups_zurueck_von",
         "Serien_Coups_zurueck_bis", "Serien_ungleich", "Serien_vor_Ereignisfolge",
         "Serien_Filterung_aktiv"},
        {"BitBtn_Ereignis_Rueckstaendigkeit", "R", "Ereignis_Rueckstaendigkeit_Info",
         "Rueckstaendigkeit_Anzahl_von", "Rueckstaendigkeit_Anzahl_bis", nullptr, nullptr,
         "Rueckstaendigkeit_Coups_zurueck_von", "Rueckstaendigkeit_Coups_zurueck_bis",
         "Rueckstaendigkeit_ungleich", "Rueckstaendigkeit_vor_Ereignisfolge",
         "Rueckstaendigkeit_Filterung_aktiv"},
        {"BitBtn_Ereignis_Ereignisfolge", "Ef", nullptr, "Ereignisfolge_Angriff_OK_von",
         "Ereignisfolge_Angriff_OK_bis", nullptr, nullptr, "Ereignisfolgen_zurueck_von",
         "Ereignisfolgen_zurueck_bis", "Ereignisfolge_ungleich", nullptr,
         "Ereignisfolge_Filterung_aktiv"},
    };
    auto* filter = panel("Panel_System_Filter");
    auto* raster = new QGridLayout(filter);
    raster->setContentsMargins(4, 2, 4, 4);
    raster->setHorizontalSpacing(4);
    raster->setVerticalSpacing(2);
    enum Spalte {
        Knopf,
        Info,
        AnzahlVon,
        AnzahlBis,
        SerieVon,
        SerieBis,
        CoupsVon,
        CoupsBis,
        Ungleich,
        VorEf,
        Aktiv
    };
    auto kopf = [raster](QLabel* label, int spalte, int breite = 1) {
        label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        raster->addWidget(label, 0, spalte, 1, breite);
    };
    kopf(benannt(new QLabel, "Label_Zahlen"), Info);
    kopf(benannt(new QLabel, "Label_von1"), AnzahlVon);
    kopf(benannt(new QLabel, "Label_bis1"), AnzahlBis);
    kopf(benannt(new QLabel, "Label_Serie"), SerieVon, 2);
    kopf(benannt(new QLabel, "Label_von2"), CoupsVon);
    kopf(benannt(new QLabel, "Label_bis2"), CoupsBis);

    auto& daten = dm_.TdbTable_System_Daten;
    auto zahlFeld = [this, &daten](const char* feld) {
        const std::string name = std::string("DBEdit_") + feld;
        auto* edit = benannt(new BoundLineEdit(daten, feld, bindung_), name.c_str());
        edit->setIntegerOnly(true);
        edit->setAlignment(Qt::AlignRight);
        edit->setFixedWidth(zahlBreite(edit, 3));
        detailsFilter_.push_back(edit);
        return edit;
    };
    auto haken = [this, &daten](const char* feld, const char* beschriftung) {
        const std::string name = std::string("DBCheckBox_") + feld;
        auto* box =
            benannt(new BoundCheckBox(daten, feld, text(beschriftung), bindung_), name.c_str());
        detailsFilter_.push_back(box);
        return box;
    };
    int zeile = 1;
    for (const Filterzeile& z : kZeilen) {
        auto* knopf = benannt(new QPushButton(text(z.knopfText)), z.knopf);
        knopf->setFixedWidth(knopf->fontMetrics().horizontalAdvance(QStringLiteral("Ef")) + 22);
        detailsFilter_.push_back(knopf);
        raster->addWidget(knopf, zeile, Knopf);
        if (z.info != nullptr) {
            const std::string name = std::string("DBEdit_") + z.info;
            auto* infoText = benannt(new BoundLineEdit(daten, z.info, bindung_), name.c_str());
            infoText->setReadOnly(true);
            // Room for the common texts ("18 schwarze Zahlen"; the info field is disabled, so
            // it cannot show a tool tip with a longer one).
            infoText->setMinimumWidth(
                infoText->fontMetrics().horizontalAdvance(QStringLiteral("18 schwarze Zahlen")) +
                14);
            // Written only through the event choice: disabled in details mode too.
            infoText->setEnabled(false);
            raster->addWidget(infoText, zeile, Info);
        }
        raster->addWidget(zahlFeld(z.anzahlVon), zeile, AnzahlVon);
        raster->addWidget(zahlFeld(z.anzahlBis), zeile, AnzahlBis);
        if (z.serieVon != nullptr) {
            raster->addWidget(zahlFeld(z.serieVon), zeile, SerieVon);
            raster->addWidget(zahlFeld(z.serieBis), zeile, SerieBis);
        }
        raster->addWidget(zahlFeld(z.coupsVon), zeile, CoupsVon);
        raster->addWidget(zahlFeld(z.coupsBis), zeile, CoupsBis);
        raster->addWidget(haken(z.ungleich, "<>"), zeile, Ungleich);
        if (z.vorEreignisfolge != nullptr) {
            raster->addWidget(haken(z.vorEreignisfolge, "vEf"), zeile, VorEf);
        }
        raster->addWidget(haken(z.aktiv, "A"), zeile, Aktiv);
        ++zeile;
    }
    raster->setColumnStretch(Info, 1);
    layout->addWidget(filter);

    // Event sequence and stake progression of the current instance.
    auto* unten = new QHBoxLayout;
    auto* folge = new QVBoxLayout;
    auto* folgeModell =
        new CursorTableModel(dm_.TdbTable_System_Ereignisse,
                             {Column("Ereignis", "Ereignisfolge", "Sequence").width(12).stretched(),
                              Column("Ereignis_Info", "Zahlen", "Numbers").width(12).stretched(),
                              Column("Angriff", "A")
                                  .centre()
                                  .width(2)
                                  .fits(QStringLiteral("<>"))
                                  .tips(text("A: \"x\" angegriffenes Ereignis, \"<>\" "
                                             "Ereignis darf nicht fallen"),
                                        text("A: \"x\" attacked event, \"<>\" the event "
                                             "must not hit"))},
                             bindung_, this);
    auto* folgeGrid = benannt(new CursorGrid(folgeModell), "DBGrid_System_Ereignisfolge");
    folgeGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(folgeGrid, &QWidget::customContextMenuRequested, this, [this, folgeGrid](QPoint p) {
        PopupMenu_Ereignisfolge->popup(folgeGrid->viewport()->mapToGlobal(p));
    });
    auto* ungleich = benannt(new QCheckBox(QStringLiteral("<>")), "CheckBox_ungleich_Ereignis");
    folge->addWidget(folgeGrid, 1);
    folge->addWidget(ungleich);
    unten->addLayout(folge, 3);

    auto* angriffe = new QVBoxLayout;
    auto* angriffModell = new CursorTableModel(
        dm_.TdbTable_System_Angriffe,
        {Column("ID_Angriff", "A")
             .centre()
             .width(3)
             .tips(text("A: Angriffsstufe (1 bis 50; G Gewinn-, V Verlustgrenze)"),
                   text("A: attack step (1 to 50; G win limit, V loss limit)")),
         Column("Satz", "Satz", "Bet").right().width(6).editableCell().stretched()},
        bindung_, this);
    auto* angriffGrid = benannt(new CursorGrid(angriffModell), "DBGrid_System_Angriffe");
    angriffGrid->setEditing(true);
    auto* setzart = benannt(new BoundComboBox(daten, "Setzart", {"E", "K", "P"}, bindung_),
                            "DBComboBox_Setzart");
    auto* beendung =
        benannt(new BoundCheckBox(dm_.TdbTable_Systeme, "Systemangriff_Beendung_Einzeln_Alle",
                                  QStringLiteral("A"), bindung_),
                "DBCheckBox_Systemangriff_Beendung_Einzeln_Alle");
    auto* setzZeile = new QHBoxLayout;
    setzZeile->addWidget(setzart);
    setzZeile->addWidget(beendung);
    angriffe->addWidget(angriffGrid, 1);
    angriffe->addLayout(setzZeile);
    unten->addLayout(angriffe, 1);
    layout->addLayout(unten, 4);

    CheckBox_ungleich_Ereignis = ungleich;
    detailsFilter_.push_back(instanz);
    detailsFilter_.push_back(ungleich);
    detailsFilter_.push_back(folgeGrid);
    detailsEinsaetze_ = {setzart, beendung, angriffGrid};
    // Details mode is off at start.
    systemdetailsFreigeben(false, false);
    return teil;
}

QWidget* Form_Anwendung_Roulette::Onlineteil_Bauen() {
    QFrame* teil = panel("Panel_Online");
    auto* layout = new QVBoxLayout(teil);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(benannt(new QLabel, "Label_Satzsignale"));

    std::vector<Column> spalten = {
        Column("Ereignis", "Ereignis", "Event").width(8).toContent(),
        Column("Ereignis_Info", "Zahlen", "Numbers").width(9).stretched(),
        Column("Satz", "Satz", "Bet").right().width(3)};
    for (Column& c : spalten) {
        c.color(Einsatz_Farbe);
    }
    auto* modell =
        new CursorTableModel(dm_.TdbTable_Systeme_Abarbeitung, std::move(spalten), bindung_, this);
    layout->addWidget(benannt(new CursorGrid(modell), "DBGrid_Online_Angriffe_Satz"), 1);

    auto* optionen = new QHBoxLayout;
    optionen->addWidget(benannt(
        new BoundCheckBox(dm_.TdbTable_Wahl, "System_Online_Tage_uebergreifend", {}, bindung_),
        "DBCheckBox_Online_Tage_System_uebergreifend"));
    optionen->addWidget(
        benannt(new BoundCheckBox(dm_.TdbTable_Wahl, "Online_Vordergrund", {}, bindung_),
                "DBCheckBox_Online_Vordergrund"));
    optionen->addWidget(benannt(new BoundCheckBox(dm_.TdbTable_Wahl, "System_Online_Alle",
                                                  QStringLiteral("x (A)"), bindung_),
                                "DBCheckBox_Online_Alle_Systeme"));
    optionen->addStretch(1);
    layout->addLayout(optionen);
    return teil;
}

void Form_Anwendung_Roulette::Statusleiste_Bauen() {
    QStatusBar* leiste = statusBar();
    leiste->setObjectName(QStringLiteral("StatusBar"));
    leiste->setSizeGripEnabled(true);
    for (int i = 0; i < 3; ++i) {
        auto* feld = new QLabel;
        feld->setObjectName(QStringLiteral("StatusBar_Panel_%1").arg(i));
        feld->setFrameShape(QFrame::StyledPanel);
        feld->setFrameShadow(QFrame::Sunken);
        feld->setContentsMargins(6, 0, 6, 0);
        statusPanels_[i] = feld;
    }
    statusPanels_[1]->setMinimumWidth(
        statusPanels_[1]->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000")) + 16);
    statusPanels_[2]->setMinimumWidth(
        statusPanels_[2]->fontMetrics().horizontalAdvance(QStringLiteral("00:00 MM")) + 16);
    statusPanels_[1]->setAlignment(Qt::AlignCenter);
    statusPanels_[2]->setAlignment(Qt::AlignCenter);
    leiste->addWidget(statusPanels_[0]);
    // The directory of the databases, so that the user knows which files the window shows.
    statusDatenverzeichnis_ = new QLabel;
    statusDatenverzeichnis_->setObjectName(QStringLiteral("StatusBar_Datenverzeichnis"));
    statusDatenverzeichnis_->setFrameShape(QFrame::StyledPanel);
    statusDatenverzeichnis_->setFrameShadow(QFrame::Sunken);
    statusDatenverzeichnis_->setContentsMargins(6, 0, 6, 0);
    statusDatenverzeichnis_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusDatenverzeichnis_->setMinimumWidth(0);
    statusDatenverzeichnis_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    leiste->addWidget(statusDatenverzeichnis_, 1);
    leiste->addPermanentWidget(statusPanels_[1]);
    leiste->addPermanentWidget(statusPanels_[2]);
}

// --- Texts and language ------------------------------------------------------------------------

void Form_Anwendung_Roulette::Texte_Setzen() {
    const bool englisch = sitzung_.englisch();
    for (const FesterText& t : Feste_Texte()) {
        QWidget* w = findChild<QWidget*>(QString::fromLatin1(t.objekt));
        if (w == nullptr) {
            continue;
        }
        const QString beschriftung = text(englisch ? t.englisch : t.deutsch);
        if (auto* label = qobject_cast<QLabel*>(w)) {
            label->setText(beschriftung);
        } else if (auto* knopf = qobject_cast<QAbstractButton*>(w)) {
            knopf->setText(beschriftung);
        }
    }
    for (QWidget* w : findChildren<QWidget*>()) {
        const std::string name = w->objectName().toStdString();
        for (const FesterText& h : Kurzhilfen()) {
            if (Kurzhilfe_Gilt(h, name)) {
                w->setToolTip(text(englisch ? h.englisch : h.deutsch));
                break;
            }
        }
    }
}

void Form_Anwendung_Roulette::Kuerzel_Vergeben() {
    std::vector<QWidget*> behaelter{menuBar()};
    for (QMenu* m : findChildren<QMenu*>()) {
        behaelter.push_back(m);
    }
    for (QWidget* b : behaelter) {
        std::set<QChar> vergeben;
        for (QAction* a : b->actions()) {
            if (a->isSeparator()) {
                continue;
            }
            a->setText(mitKuerzel(a->property(kBeschriftung).toString(), vergeben));
        }
    }
}

void Form_Anwendung_Roulette::Sprachwahl_Anzeigen() {
    const bool englisch = sitzung_.englisch();
    SpeedButton_Deutsch->setChecked(!englisch);
    SpeedButton_Englisch->setChecked(englisch);
    findChild<QAction*>(QStringLiteral("MenuItem_Sprache_Deutsch"))->setChecked(!englisch);
    findChild<QAction*>(QStringLiteral("MenuItem_Sprache_Englisch"))->setChecked(englisch);
}

void Form_Anwendung_Roulette::Sprache_Anwenden() {
    const Sprache sprache = sitzung_.sprache;
    // Qt's own texts (message-box buttons, the file dialog) follow too.
    qtTexte_->anwenden(sprache);
    setWindowTitle(text(Hauptfenster_Titel(sprache)));

    for (const char* name : Sprachabhaengige_Menuepunkte()) {
        auto* action = findChild<QAction*>(QString::fromLatin1(name));
        if (action == nullptr) {
            continue;
        }
        const std::string bisher = action->property(kBeschriftung).toString().toStdString();
        try {
            setzeBeschriftung(action, QString::fromStdString(Beschriftung_Holen(
                                          dm_.TdbTable_Deutsch_Englisch, name, sprache, bisher)));
        } catch (const std::exception& e) {
            ui_.inform(e.what());
            break;
        }
    }
    Csv_Beschriften();
    Kuerzel_Vergeben();
    Texte_Setzen();
    diagramme_->Sprache_Anwenden();
    // Grid headings, language-dependent grid fields and lookup lists.
    bindung_->setLanguage(sprache);
    Sprachwahl_Anzeigen();

    try {
        Systemtexte_Sprache_Anwenden(dm_, sprache);
    } catch (const std::exception& e) {
        ui_.inform(e.what());
    }
}

void Form_Anwendung_Roulette::MenuItem_Sprache_DeutschClick(QObject* sender) {
    sitzung_.sprache = Sprache::Deutsch;
    Sprache_Anwenden();
    Casino_Tisch_DatumChange(sender);
}

void Form_Anwendung_Roulette::MenuItem_Sprache_EnglischClick(QObject* sender) {
    sitzung_.sprache = Sprache::Englisch;
    Sprache_Anwenden();
    Casino_Tisch_DatumChange(sender);
}

// --- Help, status bar ----------------------------------------------------------------------------

void Form_Anwendung_Roulette::MenuItem_HilfeClick() {
    Hilfe_Anzeigen(sitzung_, ui_, [this](const std::string& pfad) {
        return oeffner_(QString::fromStdString(pfad));
    });
}

void Form_Anwendung_Roulette::Statusleiste_Aktualisieren() {
    statusUhr_.start();
    const QLocale locale = QLocale::system();
    const QString texte[3] = {
        text(kStatusFirma),
        locale.toString(QDate::currentDate(), QLocale::ShortFormat),
        QString::fromStdString(
            Zeit_Kuerzen(Lange_Zeit(locale, QTime::currentTime()).toStdString())),
    };
    for (int i = 0; i < 3; ++i) {
        if (statusPanels_[i]->text() != texte[i]) {
            statusPanels_[i]->setText(texte[i]);
        }
    }
    const QString daten = QString::fromStdString(
        Status_Datenverzeichnis(sitzung_.sprache, dm_.programDirectory().string()));
    if (statusDatenverzeichnis_->text() != daten) {
        statusDatenverzeichnis_->setText(daten);
        statusDatenverzeichnis_->setToolTip(daten);
    }
}

// --- The view of the operations ----------------------------------------------------------------

void Form_Anwendung_Roulette::systemdetailsAus() {
    const QSignalBlocker block(CheckBox_Systemdetails);
    CheckBox_Systemdetails->setChecked(false);
}

void Form_Anwendung_Roulette::systemdetailsFreigeben(bool filterUndFolge, bool einsaetze) {
    for (QWidget* w : detailsFilter_) {
        w->setEnabled(filterUndFolge);
    }
    for (QWidget* w : detailsEinsaetze_) {
        w->setEnabled(einsaetze);
    }
    findChild<QAction*>(QStringLiteral("MenuItem_Systeme_Erstellung"))->setEnabled(filterUndFolge);
}

void Form_Anwendung_Roulette::systemdetailsKastenFreigeben(bool an) {
    CheckBox_Systemdetails->setEnabled(an);
    findChild<QLabel*>(QStringLiteral("Label_Satzsignale"))->setEnabled(an);
}

void Form_Anwendung_Roulette::ungleichEreignisZeigen(bool angehakt) {
    const QSignalBlocker block(CheckBox_ungleich_Ereignis);
    CheckBox_ungleich_Ereignis->setChecked(angehakt);
}

void Form_Anwendung_Roulette::eingabemodusGeaendert() {
    BitBtn_Permanenz_Zahl->setEnabled(sitzung_.eingabemodus);
    BitBtn_Permanenz_Zahl->setDefault(sitzung_.eingabemodus);
}

void Form_Anwendung_Roulette::zahlfeldLeeren() {
    if (!isVisible()) {
        return;
    }
    DBEdit_Permanenz_Zahl->clear();
    DBEdit_Permanenz_Zahl->setModified(false);
    DBEdit_Permanenz_Zahl->setFocus();
}

void Form_Anwendung_Roulette::permanenzGridsTrennen() {
    permanenzModell_->setAttached(false);
    tageModell_->setAttached(false);
}

void Form_Anwendung_Roulette::permanenzGridsVerbinden() {
    permanenzModell_->setAttached(true);
    tageModell_->setAttached(true);
}

// --- Show, close, keys ---------------------------------------------------------------------------

void Form_Anwendung_Roulette::Datum_Uebernehmen(const QDate& tag) {
    if (tag.isValid()) {
        sitzung_.gewaehlter_tag = store::Date::fromYmd(tag.year(), tag.month(), tag.day());
    }
}

void Form_Anwendung_Roulette::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A window restored from the task bar is shown by the system, not by the program.
    if (!event->spontaneous()) {
        Anzeigen();
    }
}

void Form_Anwendung_Roulette::Anzeigen() {
    // 1. Centre on the screen (whole pixels, toward zero), at the size the layout will take.
    if (const QScreen* s = screen()) {
        if (const QSize mindestens = minimumSizeHint();
            width() < mindestens.width() || height() < mindestens.height()) {
            resize(size().expandedTo(mindestens));
        }
        const QRect bildschirm = s->geometry();
        const QSize fenster = frameGeometry().size();
        move(bildschirm.x() + (bildschirm.width() - fenster.width()) / 2,
             bildschirm.y() + (bildschirm.height() - fenster.height()) / 2);
    }
    // 2. Program directory, with a trailing separator.
    std::string verzeichnis =
        (programmverzeichnis_.empty() ? dm_.programDirectory() : programmverzeichnis_).string();
    if (!verzeichnis.empty() && verzeichnis.back() != '/') {
        verzeichnis += '/';
    }
    sitzung_.programmverzeichnis = verzeichnis;
    // 3. Flags.
    sitzung_.massenschreiben = false;
    sitzung_.negationssperre = false;
    sitzung_.loeschpflege = true;

    // 4. First show: open the data store, German.
    const bool ersteAnzeige = !dm_.TdbTable_Wahl.isOpen();
    if (ersteAnzeige) {
        try {
            dm_.open();
            Erfassung_Nach_Oeffnen();
            Auswertung_System_Oeffnen();
        } catch (const std::exception& e) {
            ui_.inform(e.what());
        }
        // The window was closed while the message was shown (the session ended).
        if (geschlossen_) {
            return;
        }
        sitzung_.sprache = Sprache::Deutsch;
        Sprache_Anwenden();
    }
    // Without the selection row the window stays without data.
    if (!dm_.TdbTable_Wahl.isOpen() || dm_.TdbTable_Wahl.isEmpty()) {
        return;
    }
    try {
        // 5. Kind 1, chance class 1, instance 1.
        Systemwahl_Startwerte(dm_.TdbTable_Wahl);
        // 6. The systems list shows kind 1, chance class 1.
        if (ersteAnzeige) {
            DBLookupComboBox_System_Art_ChancenCloseUp();
        }
        // 7. Details mode off.
        systemdetailsAus();
        CheckBox_SystemdetailsClick();
        // 8. The stored day, then the selection change; later shows: focus on the day.
        if (ersteAnzeige) {
            const store::Date tag = dm_.TdbTable_Wahl.date("Datum");
            DateTimePicker->setzen(QDate(tag.year(), tag.month(), tag.day()));
            Datum_Uebernehmen(DateTimePicker->gewaehlterTag());
            Casino_Tisch_DatumChange(this);
        } else {
            DateTimePicker->setFocus();
        }
    } catch (const std::exception& e) {
        ui_.inform(e.what());
    }
}

void Form_Anwendung_Roulette::closeEvent(QCloseEvent* event) {
    event->accept();
    if (geschlossen_) {
        return;
    }
    geschlossen_ = true;
    // Typed text that has not reached its field yet is an edit too.
    bindung_->commitAll();
    try {
        dm_.close();
    } catch (const std::exception& e) {
        ui_.inform(e.what());
    }
    emit geschlossen();
}

bool Form_Anwendung_Roulette::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier &&
            static_cast<QWidget*>(watched)->window() == this) {
            MenuItem_HilfeClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

std::optional<QColor> Einsatz_Farbe(const store::RowView& row) {
    const int gv = row.integer("Gewinn_Verlust");
    if (gv > 0) {
        return QColor(0, 128, 0);
    }
    if (gv < 0) {
        return QColor(200, 0, 0);
    }
    return QColor(Qt::black);
}

}  // namespace spinalyst::app
