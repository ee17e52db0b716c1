#pragma once

#include <QApplication>
#include <QString>
#include <filesystem>
#include <functional>

#include "app/form_anwendung_roulette.h"
#include "app/qt_user_interface.h"
#include "kern/sitzung.h"
#include "store/datamodule.h"

namespace spinalyst::app {

// Everything the program creates once at start and keeps until it ends: the session state, the
// link of the operations to the windows, the data module and the windows. Creating it touches
// no database (the data module opens on the main window's first show). The data module object
// is made before the windows because they bind their controls to its cursors; it stays closed
// until then.
class Anwendung {
  public:
    explicit Anwendung(const std::filesystem::path& programmverzeichnis);
    Anwendung(const Anwendung&) = delete;
    Anwendung& operator=(const Anwendung&) = delete;

    kern::Sitzung sitzung;
    QtUserInterface ui;
    store::DataModule_Roulette dataModule;
    Form_Anwendung_Roulette hauptfenster;
};

// Where a start of the program finds its files and how it reports a refused start.
struct Startumgebung {
    std::filesystem::path programmverzeichnis;  // the databases, help files and instance lock
    std::function<void(const QString& text)> meldung;  // information box with OK
};

// The program start: takes the single-instance lock in the program directory (a second instance
// shows "Anwendung läuft bereits!" and ends with 1 without opening a database), sets the
// application title, creates the windows and the data module, shows the main window and runs the
// event loop until the main window closes, also on SIGTERM or SIGINT. Returns the exit code.
int Programm_Ausfuehren(QApplication& anwendung, const Startumgebung& umgebung);

// The directory of the running executable.
std::filesystem::path Programmverzeichnis();

}  // namespace spinalyst::app
