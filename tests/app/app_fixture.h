#pragma once

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <utility>
#include <vector>

#include "app/anwendung.h"
#include "capture/auswahl.h"
#include "events/ereigniswahl.h"
#include "store/datamodule.h"
#include "store/sqlite.h"
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

    // A control of the main window that must exist: the test ends at once without it.
    template <typename T>
    T* muss(const char* name) {
        T* w = finde<T>(name);
        if (w == nullptr) {
            qFatal("missing control %s", name);
        }
        return w;
    }

    // A new casino selected, and for each day its coups (oldest first) with the day row, written
    // straight into the tables; then the selection change shows them.
    void tageAnlegen(const std::vector<std::pair<store::Date, std::vector<int>>>& permanenz) {
        auto& k = fenster().kontext();
        capture::BitBtn_NeuClick(k);
        capture::BitBtn_OKClick(k);
        auto& wahl = dm().TdbTable_Wahl;
        const store::Value casino = wahl.value("ID_Casino");
        const store::Value tisch = wahl.value("Tisch");
        auto& db = dm().TdbDatabase_Roulette;
        {
            store::TableCursor p("Testpermanenz", db, "Permanenz");
            store::TableCursor t("Testtage", db, "Permanenz_Tag_Zusammenfassung");
            p.open();
            t.open();
            store::Transaction tx(db.connection());
            for (const auto& [tag, zahlen] : permanenz) {
                for (int z : zahlen) {
                    p.appendRecord({casino, tisch, tag, store::Value(), z});
                }
                t.append();
                t.setValue("ID_Casino", casino);
                t.setValue("Tisch", tisch);
                t.setDate("Datum", tag);
                t.setInteger("Coups_Anzahl", static_cast<int>(zahlen.size()));
                t.post();
            }
            tx.commit();
        }
        capture::Casino_Tisch_DatumChange(k, capture::Ausloeser::Datumsauswahl);
    }

    // Builds in the system panel, as a player does, a new system that bets black on the coup
    // after a red one: the first and the second event of the catalogue taken into the sequence
    // by the sequence button, step 1 with `satz` pieces. Leaves the details mode on.
    void schwarzNachRotImPanel(int satz = 1) {
        auto& k = fenster().kontext();
        auto gewaehlt = std::make_shared<int>(0);
        fenster().setEreigniswahlOeffner([this, &k, gewaehlt](char) {
            auto& ereignisse = dm().TdbTable_Ereignisse;
            ereignisse.first();
            ereignisse.moveBy((*gewaehlt)++);
            events::BitBtn_Aufnahme_EreignisClick(k, true);
        });
        muss<QPushButton>("BitBtn_System_Neu")->click();
        muss<QCheckBox>("CheckBox_Systemdetails")->click();
        auto* folge = muss<QPushButton>("BitBtn_Ereignis_Ereignisfolge");
        folge->click();
        folge->click();
        auto& angriffe = dm().TdbTable_System_Angriffe;
        QVERIFY(angriffe.locate("ID_Angriff", {store::Value("1")}));
        angriffe.setInteger("Satz", satz);
        angriffe.post();
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
