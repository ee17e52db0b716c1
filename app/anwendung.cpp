#include "app/anwendung.h"

#include <QMessageBox>
#include <memory>

#include "app/core/texte.h"
#include "app/einzelinstanz.h"
#include "app/signalwaechter.h"

namespace spinalyst::app {

Anwendung::Anwendung(const std::filesystem::path& programmverzeichnis)
    : dataModule(programmverzeichnis, sitzung), hauptfenster(sitzung, dataModule, ui) {
    ui.setParentWidget(&hauptfenster);
}

std::filesystem::path Programmverzeichnis() {
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

int Programm_Ausfuehren(QApplication& anwendung, const Startumgebung& umgebung) {
    // 1. One instance per program directory, before any window exists.
    const EinzelInstanz sperre(QString::fromStdString(umgebung.programmverzeichnis.string()));
    if (sperre.besetzt()) {
        const QString text = QString::fromUtf8(kMeldungLaeuftBereits);
        if (umgebung.meldung) {
            umgebung.meldung(text);
        } else {
            QMessageBox::information(nullptr, QString(), text, QMessageBox::Ok);
        }
        return 1;
    }
    // 2. Application title (message boxes take it as their caption).
    QApplication::setApplicationName(QString::fromUtf8(kAnwendungstitel));

    // 3. Windows and data module, created once.
    Anwendung programm(umgebung.programmverzeichnis);
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

    // 4. The event loop; showing the main window runs its show sequence.
    programm.hauptfenster.show();
    if (geschlossen) {
        return 0;
    }
    return anwendung.exec();
}

}  // namespace spinalyst::app
