// The run side of the data-mining window: the question with the estimate, the scoring on a thread
// of its own with the progress on the panel "Auswertung", the cancel, and the results written.
#include <QApplication>
#include <QDate>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGroupBox>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <exception>
#include <limits>
#include <optional>
#include <string>

#include "app/binding/binding_context.h"
#include "app/form_data_mining.h"
#include "app/form_data_mining_auswertung.h"
#include "mining/kandidaten.h"
#include "mining/lauf.h"
#include "mining/schaetzung.h"

namespace spinalyst::app {

namespace {

std::optional<store::Date> tagVon(const QDateEdit* feld) {
    const QDate d = feld->date();
    if (!d.isValid()) {
        return std::nullopt;
    }
    return store::Date::fromYmd(d.year(), d.month(), d.day());
}

// How often the window looks at the scoring while it runs.
constexpr int kTaktMs = 100;

}  // namespace

void Form_Data_Mining::BitBtn_Data_MiningClick() {
    if (laeuft_) {
        return;
    }
    const bool englisch = kontext_.sitzung.englisch();
    store::DataModule_Roulette& dm = kontext_.dm;
    bindung_->commitAll();
    const std::optional<store::Date> von = tagVon(DateTimePicker_Datum_von);
    const std::optional<store::Date> bis = tagVon(DateTimePicker_Datum_bis);

    // Read what the run works on; nothing is written before the answer.
    mining::Laufdaten daten;
    try {
        // The options and the range stored as the window shows them.
        mining::Data_Mining_FormClose(kontext_, von, bis);
        store::TableCursor& wahl = dm.TdbTable_Wahl;
        mining::Laufauftrag auftrag;
        auftrag.casino = wahl.value("ID_Casino").toInt64();
        auftrag.tisch = wahl.text("Tisch");
        auftrag.von = von.value_or(kontext_.sitzung.gewaehlter_tag);
        auftrag.bis = bis.value_or(kontext_.sitzung.gewaehlter_tag);
        auftrag.system = systemId_;
        auftrag.dezimaltrenner = QLocale().decimalPoint().at(0).toLatin1();
        daten = mining::Data_Mining_Laden(dm, auftrag);
    } catch (const std::exception& e) {
        kontext_.ui.inform(e.what());
        return;
    }
    if (daten.status != mining::Laufergebnis::Status::Gelaufen) {
        kontext_.ui.inform(
            kontext_.text("Systemgruppe Data Mining / System (Instanz = 1) wählen "
                          "oder anlegen!",
                          "System Group Data Mining / System (Instance = 1) "
                          "selected!?"));
        return;
    }

    // The count and the estimate; a run that would not fit is not started.
    const std::int64_t anzahl = mining::Kombinationen_Anzahl(daten.parameter);
    const mining::Schaetzung schaetzung =
        mining::Lauf_Schaetzen(daten.parameter, daten.bereich.size(), daten.katalog);
    constexpr std::uint64_t kUnbekannt = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t platte =
        mining::Freier_Plattenplatz(dm.programDirectory()).value_or(kUnbekannt);
    const std::uint64_t speicher = mining::Freier_Arbeitsspeicher().value_or(kUnbekannt);
    const mining::Laufpruefung pruefung = mining::Lauf_Pruefen(schaetzung, platte, speicher);
    if (pruefung != mining::Laufpruefung::Erlaubt) {
        kontext_.ui.inform(mining::Ablehnung_Text(
            pruefung, schaetzung,
            pruefung == mining::Laufpruefung::ZuWenigPlatte ? platte : speicher, englisch));
        return;
    }
    // The run replaces the results of the last one: Enter keeps them.
    if (!kontext_.ui.confirmDeletion(mining::Kombinationen_Frage(anzahl, englisch) + "\n(" +
                                     mining::Schaetzung_Text(schaetzung, englisch) + ")")) {
        return;
    }

    // The list shows the tables the run rewrites.
    Panel_Ergebnisse->Liste_Schliessen();
    setWindowTitle(englisch ? QStringLiteral("  Pattern recognition is run!")
                            : QStringLiteral("  Data Mining - Mustererkennung läuft!"));
    laeuft_ = true;
    Sperren(true);
    BitBtn_Abbrechen->show();
    BitBtn_Abbrechen->setFocus();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    bool abgebrochen = false;
    try {
        mining::Kandidaten_Schreiben(dm, daten);
        mining::Bewertung bewertung;
        {
            mining::Hintergrundbewertung lauf(daten);
            lauf_ = &lauf;
            QElapsedTimer uhr;
            uhr.start();
            QEventLoop schleife;
            QTimer takt;
            takt.setInterval(kTaktMs);
            connect(&takt, &QTimer::timeout, &schleife, [&] {
                Fortschritt_Zeigen(lauf.erledigt(), lauf.coups(), uhr.elapsed());
                if (lauf.fertig()) {
                    schleife.quit();
                }
            });
            takt.start();
            if (!lauf.fertig()) {
                schleife.exec();
            }
            lauf_ = nullptr;
            bewertung = lauf.ergebnis();
            abgebrochen = bewertung.coups - 1 < static_cast<std::int64_t>(daten.bereich.size());
        }
        if (abgebrochen) {
            kontext_.ui.inform(
                kontext_.text("Berechnung abgebrochen!", "Calculation is canceled!"));
        }
        mining::Data_Mining_Schreiben(dm, daten, bewertung);
    } catch (const std::exception& e) {
        lauf_ = nullptr;
        kontext_.ui.inform(e.what());
    }
    QApplication::restoreOverrideCursor();
    laeuft_ = false;
    BitBtn_Abbrechen->hide();
    Sperren(false);
    // The title with the summary of this run, the panel's own caption.
    Beschriften();
    BitBtn_Data_Mining->setFocus();
}

void Form_Data_Mining::Fortschritt_Zeigen(std::size_t erledigt, std::size_t coups,
                                          std::int64_t ms) {
    if (const std::optional<std::string> text =
            mining::Fortschritt_Text(erledigt, coups, ms, kontext_.sitzung.englisch())) {
        Panel_Auswertung->setTitle(QString::fromStdString(*text));
    }
}

void Form_Data_Mining::Sperren(bool sperren) {
    if (!sperren) {
        for (const QPointer<QWidget>& w : gesperrt_) {
            if (w != nullptr) {
                w->setEnabled(true);
            }
        }
        gesperrt_.clear();
        return;
    }
    // Each child of the window is disabled unless it is the cancel button or holds it; the
    // children of those that hold it are gone through the same way. Windows of their own (message
    // boxes) are left alone; a control disabled already stays so afterwards.
    const auto durchgehen = [this](QWidget* eltern, const auto& selbst) -> void {
        for (QWidget* kind : eltern->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (kind == BitBtn_Abbrechen || kind->isWindow()) {
                continue;
            }
            if (kind->isAncestorOf(BitBtn_Abbrechen)) {
                selbst(kind, selbst);
                continue;
            }
            if (!kind->testAttribute(Qt::WA_ForceDisabled)) {
                kind->setEnabled(false);
                gesperrt_.emplace_back(kind);
            }
        }
    };
    gesperrt_.clear();
    durchgehen(this, durchgehen);
}

}  // namespace spinalyst::app
