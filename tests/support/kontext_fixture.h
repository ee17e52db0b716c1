#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "kern/kontext.h"
#include "tests/store/store_fixture.h"

namespace spinalyst::testing {

// A user that answers from a script: confirmations in order (yes when the script is empty),
// chosen files in order (cancel when empty), Escape after a number of polls. Every text shown is
// recorded; the questions that delete also in `askedDeletion`.
class ScriptedUi : public kern::UserInterface {
  public:
    void inform(const std::string& text) override { informed.push_back(text); }
    bool confirm(const std::string& text) override {
        asked.push_back(text);
        if (answers.empty()) {
            return true;
        }
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    bool confirmDeletion(const std::string& text) override {
        askedDeletion.push_back(text);
        return confirm(text);
    }
    std::optional<std::string> chooseFile(const std::string&) override {
        if (files.empty()) {
            return std::nullopt;
        }
        auto f = files.front();
        files.pop_front();
        return f;
    }
    void setBusy(bool b) override { busy = b; }
    bool processEventsAndCheckEscape() override {
        ++polls;
        return escapeAfter >= 0 && polls > escapeAfter;
    }

    std::vector<std::string> informed;
    std::vector<std::string> asked;
    std::vector<std::string> askedDeletion;
    std::deque<bool> answers;
    std::deque<std::string> files;
    bool busy = false;
    int polls = 0;
    int escapeAfter = -1;
};

// Records which view steps an operation asked for.
class RecordingAnsicht : public kern::Ansicht {
  public:
    void systemdetailsAus() override { calls.push_back("systemdetailsAus"); }
    void eingabemodusGeaendert() override { calls.push_back("eingabemodusGeaendert"); }
    void zahlfeldLeeren() override { calls.push_back("zahlfeldLeeren"); }
    void permanenzGridsTrennen() override { calls.push_back("permanenzGridsTrennen"); }
    void permanenzGridsVerbinden() override { calls.push_back("permanenzGridsVerbinden"); }
    void auswertungAnzeigen() override { calls.push_back("auswertungAnzeigen"); }
    void neuZeichnen() override { calls.push_back("neuZeichnen"); }
    std::vector<std::string> calls;
};

// An opened data module in a temporary program directory, with a Kontext over a scripted user.
class KontextTest : public ::testing::Test {
  protected:
    KontextTest() : dm(dir.path(), sitzung), k{dm, sitzung, ui, ansicht} {
        dm.open();
        sitzung.gewaehlter_tag = dm.TdbTable_Wahl.date("Datum");
    }

    store::testing::TempDir dir;
    kern::Sitzung sitzung;
    store::DataModule_Roulette dm;
    ScriptedUi ui;
    RecordingAnsicht ansicht;
    kern::Kontext k;
};

}  // namespace spinalyst::testing
