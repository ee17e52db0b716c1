#pragma once

#include <optional>
#include <string>

// The operations' link to the windows. The application implements it with Qt; core tests use a
// scripted fake. Texts arrive already in the current language.
namespace spinalyst::store {

class UserInterface {
  public:
    virtual ~UserInterface() = default;
    // Information box with the single button OK.
    virtual void inform(const std::string& text) = 0;
    // Confirmation with Yes and No; true unless the answer is No.
    virtual bool confirm(const std::string& text) = 0;
    // File-open dialog; nullopt when cancelled.
    virtual std::optional<std::string> chooseFile(const std::string& filter) = 0;
    // Hourglass cursor on (true) or off.
    virtual void setBusy(bool busy) = 0;
    // Lets pending messages be processed; true when Escape was pressed since the last call.
    virtual bool processEventsAndCheckEscape() = 0;
};

}  // namespace spinalyst::store
