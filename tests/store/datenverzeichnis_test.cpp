#include "store/datenverzeichnis.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "store/database.h"
#include "tests/store/store_fixture.h"

namespace spinalyst::store {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

const char* const kRoulette = "Datenbank_Roulette.tdbd";
const char* const kDm = "Datenbank_DM_Modul.tdbd";

std::string lesen(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void schreiben(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A program directory (bin of a prefix) and a user's data directory under one temporary folder.
struct Orte {
    TempDir wurzel;
    fs::path programm = wurzel.path() / "prefix" / "bin";
    fs::path benutzer = wurzel.path() / "home" / ".local" / "share" / "Spinalyst";
    Orte() { fs::create_directories(programm); }
};

struct Fall {
    const char* name;
    bool option;
    bool installiert;        // share/spinalyst beside bin
    bool beschreibbar;       // the program directory may be written
    bool datenBeimProgramm;  // a database file beside the program
    bool datenBeimBenutzer;  // a database file in the user's directory
    Datenort ort;
    Programmordner grund;
    bool kopieAnbieten;
};

TEST(Datenverzeichnis_Waehlen, folgtOptionInstallationUndSchreibrecht) {
    using enum Datenort;
    using enum Programmordner;
    const Fall faelle[] = {
        {"portable, writable", false, false, true, true, false, Programmverzeichnis, Installiert,
         false},
        {"portable, empty, writable", false, false, true, false, false, Programmverzeichnis,
         Installiert, false},
        {"read-only with databases", false, false, false, true, false, Benutzerverzeichnis,
         NichtBeschreibbar, true},
        {"read-only, user already has data", false, false, false, true, true, Benutzerverzeichnis,
         NichtBeschreibbar, false},
        {"read-only without databases", false, false, false, false, false, Benutzerverzeichnis,
         NichtBeschreibbar, false},
        // Installed: the user's directory even when the folder can be written (root, a prefix
        // in the home).
        {"installed, writable", false, true, true, false, false, Benutzerverzeichnis, Installiert,
         false},
        {"installed with databases beside it", false, true, true, true, false, Benutzerverzeichnis,
         Installiert, true},
        {"option wins over everything", true, true, false, true, false, Option, Installiert, false},
        {"option on a portable program", true, false, true, true, false, Option, Installiert,
         false},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        Orte orte;
        if (f.installiert) {
            fs::create_directories(orte.programm / ".." / "share" / "spinalyst");
        }
        if (f.datenBeimProgramm) {
            schreiben(orte.programm / kRoulette, "alt");
        }
        if (f.datenBeimBenutzer) {
            fs::create_directories(orte.benutzer);
            schreiben(orte.benutzer / kDm, "schon da");
        }
        Datenverzeichnis_Eingaben eingaben;
        eingaben.programmverzeichnis = orte.programm;
        eingaben.benutzerverzeichnis = orte.benutzer;
        if (f.option) {
            eingaben.option = orte.wurzel.path() / "gewaehlt";
        }
        fs::path gefragt;
        eingaben.beschreibbar = [&](const fs::path& p) {
            gefragt = p;
            return f.beschreibbar;
        };

        const Datenverzeichnis_Wahl wahl = Datenverzeichnis_Waehlen(eingaben);

        EXPECT_EQ(wahl.ort, f.ort);
        const fs::path erwartet = f.ort == Option                ? *eingaben.option
                                  : f.ort == Programmverzeichnis ? orte.programm
                                                                 : orte.benutzer;
        EXPECT_EQ(wahl.verzeichnis, erwartet);
        if (f.ort == Benutzerverzeichnis) {
            EXPECT_EQ(wahl.grund, f.grund);
        }
        EXPECT_EQ(wahl.kopieAnbieten, f.kopieAnbieten);
        // The decision writes nothing: no directory made, the option's directory included.
        EXPECT_EQ(fs::exists(orte.benutzer), f.datenBeimBenutzer);
        EXPECT_FALSE(fs::exists(orte.wurzel.path() / "gewaehlt"));
        if (!f.option && !f.installiert) {
            EXPECT_EQ(gefragt, orte.programm);
        }
    }
}

TEST(Datenverzeichnis_Waehlen, ohneErsatzPrueftDasEchteSchreibrecht) {
    Orte orte;
    Datenverzeichnis_Eingaben eingaben;
    eingaben.programmverzeichnis = orte.programm;
    eingaben.benutzerverzeichnis = orte.benutzer;
    EXPECT_EQ(Datenverzeichnis_Waehlen(eingaben).ort, Datenort::Programmverzeichnis);
    eingaben.programmverzeichnis = orte.wurzel.path() / "fehlt";
    EXPECT_EQ(Datenverzeichnis_Waehlen(eingaben).ort, Datenort::Benutzerverzeichnis);
}

TEST(Benutzerdatenverzeichnis, folgtXdgDataHomeSonstHome) {
    struct {
        const char* xdg;
        const char* home;
        const char* erwartet;
    } const faelle[] = {
        {"/daten", "/home/ute", "/daten/Spinalyst"},
        {nullptr, "/home/ute", "/home/ute/.local/share/Spinalyst"},
        {"", "/home/ute", "/home/ute/.local/share/Spinalyst"},
        // A relative XDG_DATA_HOME is invalid and ignored.
        {"daten", "/home/ute", "/home/ute/.local/share/Spinalyst"},
        {"/daten", nullptr, "/daten/Spinalyst"},
        {nullptr, nullptr, ""},
        {"", "", ""},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(Benutzerdatenverzeichnis(f.xdg, f.home), fs::path(f.erwartet))
            << (f.xdg ? f.xdg : "(null)") << " " << (f.home ? f.home : "(null)");
    }
}

TEST(Verzeichnis_Beschreibbar, nurEinVerzeichnisMitSchreibrecht) {
    TempDir dir;
    EXPECT_TRUE(Verzeichnis_Beschreibbar(dir.path()));
    EXPECT_FALSE(Verzeichnis_Beschreibbar(dir.path() / "fehlt"));
    schreiben(dir.path() / "datei", "x");
    EXPECT_FALSE(Verzeichnis_Beschreibbar(dir.path() / "datei"));
    if (::geteuid() != 0) {  // root writes whatever the mode says
        fs::create_directories(dir.path() / "nur_lesen");
        fs::permissions(dir.path() / "nur_lesen", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(Verzeichnis_Beschreibbar(dir.path() / "nur_lesen"));
    }
}

TEST(Datenbanken_Kopieren, kopiertBeideUndLaesstDieOriginaleUnberuehrt) {
    TempDir dir;
    const fs::path von = dir.path() / "programm";
    const fs::path nach = dir.path() / "benutzer" / "Spinalyst";
    fs::create_directories(von);
    for (DatabaseFile datei : {DatabaseFile::Roulette, DatabaseFile::DmModul}) {
        Database db(datei);
        db.setLocation(von / Database::fileName(datei));
        db.connect();
    }
    const std::string roulette = lesen(von / kRoulette);
    const std::string dm = lesen(von / kDm);
    const auto zeit = fs::last_write_time(von / kRoulette);

    EXPECT_EQ(Datenbanken_Kopieren(von, nach), "");

    EXPECT_EQ(lesen(nach / kRoulette), roulette);
    EXPECT_EQ(lesen(nach / kDm), dm);
    EXPECT_EQ(lesen(von / kRoulette), roulette);
    EXPECT_EQ(lesen(von / kDm), dm);
    EXPECT_EQ(fs::last_write_time(von / kRoulette), zeit);
    // Only the two files arrived: no temporary name is left.
    int dateien = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(nach)) {
        ++dateien;
    }
    EXPECT_EQ(dateien, 2);
    // The copies are working databases.
    Database kopie(DatabaseFile::Roulette);
    kopie.setLocation(nach / kRoulette);
    EXPECT_EQ(kopie.connect(), ConnectResult::Opened);
}

TEST(Datenbanken_Kopieren, ueberschreibtNichtsUndMeldetFehlerMitNamen) {
    TempDir dir;
    const fs::path von = dir.path() / "programm";
    fs::create_directories(von);
    schreiben(von / kRoulette, "alt");
    schreiben(von / kDm, "alt dm");

    // A database already in the target stays; the missing one is copied.
    const fs::path nach = dir.path() / "benutzer";
    fs::create_directories(nach);
    schreiben(nach / kRoulette, "eigene");
    EXPECT_EQ(Datenbanken_Kopieren(von, nach), "");
    EXPECT_EQ(lesen(nach / kRoulette), "eigene");
    EXPECT_EQ(lesen(nach / kDm), "alt dm");

    // A target that cannot be a directory: the message names it; the originals stay.
    schreiben(dir.path() / "datei", "x");
    const std::string fehler = Datenbanken_Kopieren(von, dir.path() / "datei" / "Spinalyst");
    EXPECT_NE(fehler.find((dir.path() / "datei" / "Spinalyst").string()), std::string::npos)
        << fehler;
    EXPECT_EQ(lesen(von / kRoulette), "alt");
    EXPECT_EQ(lesen(von / kDm), "alt dm");
}

}  // namespace
}  // namespace spinalyst::store
