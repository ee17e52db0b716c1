#include "app/core/hilfe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/core/datenort.h"
#include "kern/ui.h"

namespace spinalyst::app {
namespace {

// Answers every confirmation with a scripted answer and records the questions.
class SkriptUi : public kern::UserInterface {
  public:
    explicit SkriptUi(bool antwort) : antwort_(antwort) {}
    void inform(const std::string& text) override { meldungen.push_back(text); }
    bool confirm(const std::string& text) override {
        fragen.push_back(text);
        return antwort_;
    }
    std::optional<std::string> chooseFile(const std::string&) override { return std::nullopt; }
    void setBusy(bool) override {}
    bool processEventsAndCheckEscape() override { return false; }

    std::vector<std::string> fragen;
    std::vector<std::string> meldungen;

  private:
    bool antwort_;
};

struct Fall {
    store::Sprache sprache;
    bool antwort;
    const char* frage;
    const char* geoeffnet;  // nullptr: nothing opened
    bool gelingt = true;    // whether opening works
    const char* meldung = nullptr;
};

TEST(Hilfe_Anzeigen, fragtInDerSpracheUndOeffnetNurOhneNein) {
    const char* deutsch =
        "Die vollständige Hilfe liegt als pdf-Datei im Installationsverzeichnis vor!\nStarten?";
    const char* englisch =
        "The help is available as a pdf-file from the installation directory!\nStart?";
    const Fall faelle[] = {
        {store::Sprache::Deutsch, false, deutsch, nullptr},
        {store::Sprache::Deutsch, true, deutsch, "/opt/spinalyst/Hilfe_Roulette.pdf"},
        {store::Sprache::Englisch, false, englisch, nullptr},
        {store::Sprache::Englisch, true, englisch, "/opt/spinalyst/Help_Roulette.pdf"},
        // No viewer on the machine: the file and its place are named, in the language.
        {store::Sprache::Deutsch, true, deutsch, "/opt/spinalyst/Hilfe_Roulette.pdf", false,
         "Die Hilfe konnte nicht geöffnet werden: Auf diesem Rechner ist kein Programm für "
         "pdf-Dateien eingerichtet, oder die Datei fehlt.\n\nDie Hilfedatei "
         "\"Hilfe_Roulette.pdf\" gehört in das Programmverzeichnis:\n/opt/spinalyst/"},
        {store::Sprache::Englisch, true, englisch, "/opt/spinalyst/Help_Roulette.pdf", false,
         "The help could not be opened: no program for pdf files is set up on this computer, "
         "or the file is missing.\n\nThe help file \"Help_Roulette.pdf\" is expected in the "
         "program directory:\n/opt/spinalyst/"},
    };
    for (const Fall& f : faelle) {
        kern::Sitzung sitzung;
        sitzung.sprache = f.sprache;
        sitzung.programmverzeichnis = "/opt/spinalyst/";
        SkriptUi ui(f.antwort);
        std::vector<std::string> geoeffnet;
        Hilfe_Anzeigen(sitzung, ui, [&](const std::string& pfad) {
            geoeffnet.push_back(pfad);
            return f.gelingt;
        });

        ASSERT_EQ(ui.fragen.size(), 1u);
        EXPECT_EQ(ui.fragen[0], f.frage);
        if (f.meldung == nullptr) {
            EXPECT_TRUE(ui.meldungen.empty());
        } else {
            EXPECT_EQ(ui.meldungen, std::vector<std::string>{f.meldung});
        }
        if (f.geoeffnet == nullptr) {
            EXPECT_TRUE(geoeffnet.empty());
        } else {
            EXPECT_EQ(geoeffnet, std::vector<std::string>{f.geoeffnet});
        }
    }
}

// The help of an installed program lies in its share folder; a copy beside the program (the
// build folder, a portable copy) comes first.
TEST(Hilfe_Pfad, besideTheProgramThenTheInstalledShareFolder) {
    const struct {
        std::vector<std::string> vorhanden;
        const char* erwartet;
    } faelle[] = {
        {{"/usr/bin/Hilfe_Roulette.pdf", "/usr/share/spinalyst/Hilfe_Roulette.pdf"},
         "/usr/bin/Hilfe_Roulette.pdf"},
        {{"/usr/share/spinalyst/Hilfe_Roulette.pdf"}, "/usr/share/spinalyst/Hilfe_Roulette.pdf"},
        // Neither: the place beside the program, which the message then names.
        {{}, "/usr/bin/Hilfe_Roulette.pdf"},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(Hilfe_Pfad("/usr/bin/", "Hilfe_Roulette.pdf",
                             [&](const std::filesystem::path& p) {
                                 return std::find(f.vorhanden.begin(), f.vorhanden.end(),
                                                  p.string()) != f.vorhanden.end();
                             }),
                  f.erwartet);
    }
}

}  // namespace
}  // namespace spinalyst::app
