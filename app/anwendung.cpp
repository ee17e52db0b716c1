#include "app/anwendung.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <system_error>

#include "app/core/datenort.h"
#include "app/core/texte.h"
#include "app/einzelinstanz.h"
#include "app/signalwaechter.h"
#include "store/datenverzeichnis.h"

namespace spinalyst::app {

Anwendung::Anwendung(const std::filesystem::path& programmverzeichnis,
                     const std::filesystem::path& datenverzeichnis)
    : dataModule(datenverzeichnis.empty() ? programmverzeichnis : datenverzeichnis, sitzung),
      hauptfenster(sitzung, dataModule, ui) {
    ui.setParentWidget(&hauptfenster);
    hauptfenster.setProgrammverzeichnis(programmverzeichnis);
}

namespace {

// The copy question with buttons in both languages (no language is chosen yet); only an
// explicit "copy" copies.
bool Kopie_Erfragen(const QString& text) {
    QMessageBox box(QMessageBox::Question, QString(), text);
    QPushButton* ja = box.addButton(QStringLiteral("Kopieren / Copy"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("Nicht kopieren / Don't copy"), QMessageBox::NoRole);
    box.setDefaultButton(ja);
    box.exec();
    return box.clickedButton() == ja;
}

}  // namespace

QString Optionen_Lesen(const QStringList& argumente, Startumgebung& umgebung) {
    for (qsizetype i = 1; i < argumente.size(); ++i) {
        const QString& a = argumente[i];
        if (a == QLatin1String("--quit-after-start")) {
            umgebung.beendenNachStart = true;
        } else if (a == QLatin1String("--data-dir") || a.startsWith(QLatin1String("--data-dir="))) {
            QString wert;
            if (a.contains(QLatin1Char('='))) {
                wert = a.section(QLatin1Char('='), 1);
            } else if (i + 1 < argumente.size()) {
                wert = argumente[++i];
            }
            if (wert.isEmpty()) {
                return QStringLiteral("--data-dir needs a directory");
            }
            std::error_code ec;
            const std::filesystem::path pfad(wert.toStdString());
            const std::filesystem::path absolut = std::filesystem::absolute(pfad, ec);
            umgebung.datenverzeichnis = ec ? pfad : absolut;
        } else {
            return QStringLiteral("unknown option '%1'").arg(a);
        }
    }
    return {};
}

std::filesystem::path Programmverzeichnis() {
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

int Programm_Ausfuehren(QApplication& anwendung, const Startumgebung& umgebung) {
    const auto melden = [&umgebung](const QString& text) {
        if (umgebung.meldung) {
            umgebung.meldung(text);
        } else {
            QMessageBox::information(nullptr, QString(), text, QMessageBox::Ok);
        }
    };
    // 1. The directory of the databases; nothing is written beside an installed program.
    store::Datenverzeichnis_Eingaben eingaben;
    eingaben.programmverzeichnis = umgebung.programmverzeichnis;
    eingaben.benutzerverzeichnis =
        umgebung.benutzerverzeichnis.empty()
            ? store::Benutzerdatenverzeichnis(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"))
            : umgebung.benutzerverzeichnis;
    eingaben.option = umgebung.datenverzeichnis;
    eingaben.beschreibbar = umgebung.beschreibbar;
    const store::Datenverzeichnis_Wahl wahl = store::Datenverzeichnis_Waehlen(eingaben);
    if (wahl.ort != store::Datenort::Programmverzeichnis) {
        std::error_code ec;
        if (wahl.verzeichnis.empty()) {
            ec = std::make_error_code(std::errc::no_such_file_or_directory);
        } else {
            std::filesystem::create_directories(wahl.verzeichnis, ec);
        }
        if (ec) {
            melden(QString::fromStdString(
                Datenverzeichnis_Unbrauchbar(wahl.verzeichnis.string(), ec.message())));
            return 1;
        }
    }

    // 2. One instance per data directory, before any window exists.
    const EinzelInstanz sperre(QString::fromStdString(wahl.verzeichnis.string()));
    if (sperre.besetzt()) {
        melden(QString::fromUtf8(kMeldungLaeuftBereits));
        return 1;
    }
    // 3. Application title (message boxes take it as their caption).
    QApplication::setApplicationName(QString::fromUtf8(kAnwendungstitel));

    // 4. Database files left beside the program: offered for copying, never moved or changed.
    if (wahl.kopieAnbieten) {
        const QString text = QString::fromStdString(Kopie_Anbieten(
            wahl.grund, umgebung.programmverzeichnis.string(), wahl.verzeichnis.string()));
        const bool kopieren = umgebung.frage ? umgebung.frage(text) : Kopie_Erfragen(text);
        if (kopieren) {
            const std::string fehler =
                store::Datenbanken_Kopieren(umgebung.programmverzeichnis, wahl.verzeichnis);
            if (!fehler.empty()) {
                melden(QString::fromStdString(Kopie_Fehlgeschlagen(fehler)));
            }
        }
    }

    // 5. Windows and data module, created once.
    Anwendung programm(umgebung.programmverzeichnis, wahl.verzeichnis);
    // The window may close before the event loop runs (a signal while the start shows an error
    // box), when quitting the loop has no effect yet: then the loop is not entered at all.
    bool geschlossen = false;
    QObject::connect(&programm.hauptfenster, &Form_Anwendung_Roulette::geschlossen, &anwendung,
                     [&geschlossen] {
                         geschlossen = true;
                         QCoreApplication::quit();
                     });

    // The end of the desktop session closes the window like the user would.
    SignalWaechter waechter;
    QObject::connect(&waechter, &SignalWaechter::beendenAngefordert, &programm.hauptfenster,
                     [&programm] {
                         // Modal boxes first (a bounded number: a box that refuses to close
                         // must not hang the end).
                         for (int i = 0; i < 16; ++i) {
                             QWidget* modal = QApplication::activeModalWidget();
                             if (modal == nullptr || !modal->close()) {
                                 break;
                             }
                         }
                         programm.hauptfenster.close();
                     });

    // 6. The event loop; showing the main window runs its show sequence.
    programm.hauptfenster.show();
    if (geschlossen) {
        return 0;
    }
    if (umgebung.beendenNachStart) {
        const bool geoeffnet = programm.dataModule.isOpen();
        QTimer::singleShot(0, &programm.hauptfenster,
                           [&programm] { programm.hauptfenster.close(); });
        const int code = anwendung.exec();
        return geoeffnet ? code : 1;
    }
    return anwendung.exec();
}

}  // namespace spinalyst::app
