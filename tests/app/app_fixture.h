#pragma once

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/anwendung.h"
#include "store/datamodule.h"
#include "store/zustand.h"

namespace spinalyst::testing {

// The program started as the window tests need it: a program directory of its own per test,
// message boxes answered from a script (information recorded; questions recorded and answered
// with `antwort`, those that delete also recorded apart; documents recorded instead of opened) and
// the main window shown. A Qt Test class derives from QObject and from this, calls
// programmverzeichnisAnlegen() in its init() and programmBeenden() in its cleanup().
class AppFixture {
  protected:
    // A fresh program directory; nothing shown or opened yet, questions answered with no.
    void programmverzeichnisAnlegen() {
        // A template of its own: the default one holds the application name, and the program's
        // title (set by a start) holds a slash.
        dir = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                              QStringLiteral("/spinalyst-app-XXXXXX"));
        QVERIFY(dir->isValid());
        meldungen.clear();
        fragen.clear();
        loeschfragen.clear();
        geoeffnet.clear();
        antwort = false;
        oeffnenGelingt = true;
    }

    // Ends the program (closing the databases) before its directory is removed.
    void programmBeenden() {
        programm.reset();
        dir.reset();
    }

    // Creates the program and shows its main window; the start shows no message.
    void starten() {
        programm = std::make_unique<app::Anwendung>(dir->path().toStdString());
        programm->ui.setInformHandler([this](const QString& t) { meldungen << t; });
        programm->ui.setConfirmHandler([this](const QString& t) {
            fragen << t;
            return antwort;
        });
        programm->ui.setDeletionConfirmHandler([this](const QString& t) {
            fragen << t;
            loeschfragen << t;
            return antwort;
        });
        fenster().setDokumentOeffner([this](const QString& pfad) {
            geoeffnet << pfad;
            return oeffnenGelingt;
        });
        fenster().show();
        QVERIFY(QTest::qWaitForWindowExposed(&fenster()));
        QVERIFY(meldungen.isEmpty());
    }

    app::Form_Anwendung_Roulette& fenster() { return programm->hauptfenster; }
    store::DataModule_Roulette& dm() { return fenster().dataModule(); }

    // The control of the main window by its object name; nullptr when there is none.
    template <typename T>
    T* finde(const char* name) {
        return fenster().findChild<T*>(QString::fromLatin1(name));
    }

    // Opens the databases of the program directory once, without the program, to prepare stored
    // values before a start or to read them after it ended.
    template <typename F>
    void vorbereiten(F&& f) {
        store::Modulzustand s;
        store::DataModule_Roulette daten(dir->path().toStdString(), s);
        daten.open();
        f(daten);
        daten.close();
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<app::Anwendung> programm;
    QStringList meldungen;     // information boxes shown, in order
    QStringList fragen;        // questions asked, in order
    QStringList loeschfragen;  // the questions among them that delete
    bool antwort = false;      // the answer to every question
    QStringList geoeffnet;     // documents the program asked to open

    // Whether opening a document works; false stands for a machine without a PDF viewer.
    bool oeffnenGelingt = true;
};

}  // namespace spinalyst::testing
