#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// The operations' link to the windows. The application implements it with Qt; core tests use a
// scripted fake. Texts arrive already in the current language.
namespace spinalyst::kern {

class UserInterface {
  public:
    virtual ~UserInterface() = default;
    // Information box with the single button OK.
    virtual void inform(const std::string& text) = 0;
    // Confirmation with Yes and No; true unless the answer is No.
    virtual bool confirm(const std::string& text) = 0;
    // Confirmation of a step that deletes: Yes and No with No as the default button, so that
    // Enter keeps the data; true unless the answer is No. A user interface without a box of its
    // own asks it as any other question.
    virtual bool confirmDeletion(const std::string& text) { return confirm(text); }
    // File-open dialog; nullopt when cancelled.
    virtual std::optional<std::string> chooseFile(const std::string& filter) = 0;
    // File-save dialog: the filters offered ("CSV, Semikolon (*.csv)"), the name suggested. The
    // chosen path and the index of the chosen filter; nullopt when cancelled. A user interface
    // without such a dialog saves nothing.
    struct SaveChoice {
        std::string path;
        int filter = 0;
    };
    virtual std::optional<SaveChoice> chooseSaveFile(const std::vector<std::string>& /*filters*/,
                                                     const std::string& /*suggested*/) {
        return std::nullopt;
    }
    // Hourglass cursor on (true) or off.
    virtual void setBusy(bool busy) = 0;
    // Lets pending messages be processed; true when Escape was pressed since the last call.
    virtual bool processEventsAndCheckEscape() = 0;
};

// A user who is not there (command line, benchmarks): every question is answered yes, no file is
// chosen, Escape is never pressed. Messages go to the given stream, or nowhere.
class UnattendedUserInterface : public UserInterface {
  public:
    explicit UnattendedUserInterface(std::ostream* messages = nullptr) : messages_(messages) {}
    void inform(const std::string& text) override {
        if (messages_) {
            *messages_ << text << "\n";
        }
    }
    bool confirm(const std::string&) override { return true; }
    std::optional<std::string> chooseFile(const std::string&) override { return std::nullopt; }
    void setBusy(bool) override {}
    bool processEventsAndCheckEscape() override { return false; }

  private:
    std::ostream* messages_;
};

}  // namespace spinalyst::kern
