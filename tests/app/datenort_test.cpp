// Where a start of the program keeps its databases: beside a writable program, in the user's
// data directory otherwise, or where --data-dir says; the offer to copy databases left beside a
// program whose folder is not used, which never changes the originals; the status bar naming the
// directory in use.
#include <unistd.h>

#include <QDir>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/anwendung.h"
#include "app/form_anwendung_roulette.h"
#include "store/database.h"
#include "store/sqlite.h"

using spinalyst::app::Form_Anwendung_Roulette;
using spinalyst::app::Startumgebung;
namespace fs = std::filesystem;
namespace store = spinalyst::store;

namespace {

const char* const kRoulette = "Datenbank_Roulette.tdbd";
const char* const kDm = "Datenbank_DM_Modul.tdbd";

std::string lesen(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Both databases in `verzeichnis`, the selection's gaming table set to `tisch` so that a copy can
// be told from a new file.
void datenbankenAnlegen(const fs::path& verzeichnis, const char* tisch) {
    for (store::DatabaseFile datei :
         {store::DatabaseFile::Roulette, store::DatabaseFile::DmModul}) {
        store::Database db(datei);
        db.setLocation(verzeichnis / store::Database::fileName(datei));
        db.connect();
        if (datei == store::DatabaseFile::Roulette) {
            db.connection().exec(std::string("UPDATE Wahl SET Tisch = '") + tisch + "'");
        }
    }
}

std::string tischIn(const fs::path& verzeichnis) {
    store::Database db(store::DatabaseFile::Roulette);
    db.setLocation(verzeichnis / kRoulette);
    db.connect();
    store::Statement s(db.connection(), "SELECT Tisch FROM Wahl");
    return s.step() ? s.text(0) : std::string();
}

}  // namespace

class DatenortTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void aWritableProgramDirectoryKeepsTheDatabases();
    void aProgramDirectoryThatCannotBeWrittenOffersTheCopy_data();
    void aProgramDirectoryThatCannotBeWrittenOffersTheCopy();
    void theOptionChoosesTheDirectoryAndTheLockFollowsIt();
    void theStatusBarNamesTheDirectoryInBothLanguages();
    void optionsAreReadOrRefused();

  private:
    // Runs a start that ends by itself once the databases are open; returns its exit code.
    int starten(Startumgebung& umgebung);

    std::unique_ptr<QTemporaryDir> wurzel;
    fs::path programm;
    fs::path benutzer;
    QStringList meldungen;
    QStringList fragen;
};

void DatenortTest::init() {
    // An explicit template: the default one takes the application name, which the program's
    // title (with a slash) replaces.
    wurzel = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                             QStringLiteral("/spinalyst-datenort-XXXXXX"));
    QVERIFY(wurzel->isValid());
    programm = fs::path(wurzel->path().toStdString()) / "programm";
    benutzer = fs::path(wurzel->path().toStdString()) / "home" / ".local" / "share" / "Spinalyst";
    fs::create_directories(programm);
    meldungen.clear();
    fragen.clear();
}

int DatenortTest::starten(Startumgebung& umgebung) {
    umgebung.programmverzeichnis = programm;
    umgebung.benutzerverzeichnis = benutzer;
    umgebung.beendenNachStart = true;
    umgebung.meldung = [this](const QString& t) { meldungen << t; };
    auto* app = static_cast<QApplication*>(QCoreApplication::instance());
    return spinalyst::app::Programm_Ausfuehren(*app, umgebung);
}

void DatenortTest::aWritableProgramDirectoryKeepsTheDatabases() {
    Startumgebung umgebung;
    umgebung.frage = [this](const QString& t) {
        fragen << t;
        return true;
    };
    QCOMPARE(starten(umgebung), 0);
    QVERIFY(fs::exists(programm / kRoulette));
    QVERIFY(fs::exists(programm / kDm));
    QVERIFY(!fs::exists(benutzer));
    QVERIFY(fragen.isEmpty());
    QVERIFY(meldungen.isEmpty());
}

void DatenortTest::aProgramDirectoryThatCannotBeWrittenOffersTheCopy_data() {
    QTest::addColumn<bool>("antwort");
    QTest::addColumn<QString>("tischDanach");
    QTest::newRow("yes: the copy is used") << true << QStringLiteral("T 07");
    QTest::newRow("no: new databases") << false << QStringLiteral("T 01");
}

// The program folder is made read-only for real where that stops this process (not as root);
// as root, where the mode stops no write, the folder is declared unwritable through the check
// the start takes, and the files' bytes and times show that nothing touched them.
void DatenortTest::aProgramDirectoryThatCannotBeWrittenOffersTheCopy() {
    QFETCH(bool, antwort);
    QFETCH(QString, tischDanach);
    datenbankenAnlegen(programm, "T 07");
    const std::string roulette = lesen(programm / kRoulette);
    const std::string dm = lesen(programm / kDm);
    const auto zeit = fs::last_write_time(programm / kRoulette);
    const bool alsRoot = ::geteuid() == 0;
    Startumgebung umgebung;
    if (alsRoot) {
        umgebung.beschreibbar = [this](const fs::path& p) { return p != programm; };
    } else {
        fs::permissions(programm, fs::perms::owner_read | fs::perms::owner_exec);
    }
    umgebung.frage = [this, antwort](const QString& t) {
        fragen << t;
        return antwort;
    };

    const int code = starten(umgebung);
    fs::permissions(programm, fs::perms::owner_all);

    QCOMPARE(code, 0);
    QCOMPARE(fragen.size(), 1);
    // Both places named, in both languages.
    QVERIFY(fragen[0].contains(QString::fromStdString(programm.string())));
    QVERIFY(fragen[0].contains(QString::fromStdString(benutzer.string())));
    QVERIFY(fragen[0].contains(QStringLiteral("kopiert")));
    QVERIFY(fragen[0].contains(QStringLiteral("Copy the existing databases")));
    QVERIFY(meldungen.isEmpty());
    // The originals are as they were; nothing else appeared beside them.
    QCOMPARE(lesen(programm / kRoulette), roulette);
    QCOMPARE(lesen(programm / kDm), dm);
    QCOMPARE(fs::last_write_time(programm / kRoulette), zeit);
    QStringList daneben;
    for (const auto& e : fs::directory_iterator(programm)) {
        daneben << QString::fromStdString(e.path().filename().string());
    }
    daneben.sort();
    QCOMPARE(daneben, (QStringList{QString::fromLatin1(kDm), QString::fromLatin1(kRoulette)}));
    // The program worked in the user's directory: on the copy, or on new files.
    QVERIFY(fs::exists(benutzer / kDm));
    QCOMPARE(QString::fromStdString(tischIn(benutzer)), tischDanach);

    // The next start finds databases in the user's directory and asks no more.
    fragen.clear();
    Startumgebung wieder;
    wieder.beschreibbar = umgebung.beschreibbar;
    wieder.frage = umgebung.frage;
    if (!alsRoot) {
        fs::permissions(programm, fs::perms::owner_read | fs::perms::owner_exec);
    }
    QCOMPARE(starten(wieder), 0);
    fs::permissions(programm, fs::perms::owner_all);
    QVERIFY(fragen.isEmpty());
}

void DatenortTest::theOptionChoosesTheDirectoryAndTheLockFollowsIt() {
    const fs::path eigen = fs::path(wurzel->path().toStdString()) / "eigen" / "daten";
    Startumgebung umgebung;
    umgebung.datenverzeichnis = eigen;
    QCOMPARE(starten(umgebung), 0);
    QVERIFY(fs::exists(eigen / kRoulette));
    QVERIFY(fs::exists(eigen / "Molvanes_Spinalyst.exe.lock"));
    QVERIFY(fs::is_empty(programm));
    QVERIFY(!fs::exists(benutzer));
}

void DatenortTest::theStatusBarNamesTheDirectoryInBothLanguages() {
    fs::create_directories(programm / ".." / "share" / "spinalyst");  // an installed program
    QStringList texte;
    QTimer::singleShot(0, [&texte] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* f = qobject_cast<Form_Anwendung_Roulette*>(w)) {
                auto* feld = f->findChild<QLabel*>(QStringLiteral("StatusBar_Datenverzeichnis"));
                f->Statusleiste_Aktualisieren();
                texte << feld->text();
                f->MenuItem_Sprache_EnglischClick(f);
                f->Statusleiste_Aktualisieren();
                texte << feld->text();
            }
        }
    });
    Startumgebung umgebung;
    QCOMPARE(starten(umgebung), 0);
    const QString pfad = QString::fromStdString(benutzer.string());
    QCOMPARE(texte,
             (QStringList{QStringLiteral("Daten: ") + pfad, QStringLiteral("Data: ") + pfad}));
    QVERIFY(fs::is_empty(programm));
}

void DatenortTest::optionsAreReadOrRefused() {
    const struct {
        QStringList argumente;
        QString fehler;
        std::optional<fs::path> daten;
        bool beenden;
    } faelle[] = {
        {{"spinalyst"}, {}, std::nullopt, false},
        {{"spinalyst", "--data-dir", "/srv/daten"}, {}, fs::path("/srv/daten"), false},
        {{"spinalyst", "--data-dir=/srv/daten", "--quit-after-start"},
         {},
         fs::path("/srv/daten"),
         true},
        {{"spinalyst", "--data-dir"}, QStringLiteral("--data-dir needs a directory"), {}, false},
        {{"spinalyst", "--fenster"}, QStringLiteral("unknown option '--fenster'"), {}, false},
    };
    for (const auto& f : faelle) {
        Startumgebung umgebung;
        QCOMPARE(spinalyst::app::Optionen_Lesen(f.argumente, umgebung), f.fehler);
        if (f.fehler.isEmpty()) {
            QCOMPARE(umgebung.datenverzeichnis, f.daten);
            QCOMPARE(umgebung.beendenNachStart, f.beenden);
        }
    }
    // A relative directory is taken from where the program was started.
    Startumgebung umgebung;
    QCOMPARE(spinalyst::app::Optionen_Lesen({"spinalyst", "--data-dir", "relativ"}, umgebung),
             QString());
    QCOMPARE(*umgebung.datenverzeichnis, fs::current_path() / "relativ");
}

QTEST_MAIN(DatenortTest)
#include "datenort_test.moc"
