#pragma once

#include <QApplication>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>

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
    // The databases live in `datenverzeichnis`, the help files beside the program (or in the
    // installed share folder); an empty `datenverzeichnis` means the program directory.
    explicit Anwendung(const std::filesystem::path& programmverzeichnis,
                       const std::filesystem::path& datenverzeichnis = {});
    Anwendung(const Anwendung&) = delete;
    Anwendung& operator=(const Anwendung&) = delete;

    kern::Sitzung sitzung;
    QtUserInterface ui;
    store::DataModule_Roulette dataModule;
    Form_Anwendung_Roulette hauptfenster;
};

// Where a start of the program finds its files and how it reports a refused start.
struct Startumgebung {
    std::filesystem::path programmverzeichnis;  // the executable's directory: help files
    // --data-dir: the directory of the databases, chosen explicitly.
    std::optional<std::filesystem::path> datenverzeichnis;
    // The user's data directory; empty: from XDG_DATA_HOME or HOME (~/.local/share/Spinalyst).
    std::filesystem::path benutzerverzeichnis;
    // Whether the program may write into a directory; the real check unless a test replaces it.
    std::function<bool(const std::filesystem::path&)> beschreibbar;
    std::function<void(const QString& text)> meldung;  // information box with OK
    std::function<bool(const QString& text)> frage;    // confirmation, Yes and No
    // End once the main window has opened the databases (a check of an installation); the exit
    // code is 0 only when they opened.
    bool beendenNachStart = false;
};

// The program start: chooses the directory of the databases (store::Datenverzeichnis_Waehlen:
// the option, the program directory when it is writable and not installed, else the user's data
// directory, created when missing) and offers to copy database files left beside the program
// into it; takes the single-instance lock in that directory (a second instance on the same files
// shows "Anwendung läuft bereits!" and ends with 1 without opening a database), sets the
// application title, creates the windows and the data module, shows the main window and runs the
// event loop until the main window closes, also on SIGTERM or SIGINT. Returns the exit code.
int Programm_Ausfuehren(QApplication& anwendung, const Startumgebung& umgebung);

// The directory of the running executable.
std::filesystem::path Programmverzeichnis();

// Reads the program's options into `umgebung`: --data-dir DIR, --quit-after-start. Returns an
// empty text, or the message for an unknown option or a missing value.
QString Optionen_Lesen(const QStringList& argumente, Startumgebung& umgebung);

}  // namespace spinalyst::app
