#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kern/ui.h"

namespace spinalyst::app {

// The operations' link to the windows, realised with Qt: message boxes parented to the main
// window, the file-open dialog, the hourglass cursor and the Escape poll of long operations.
// The boxes and the dialog can be replaced by handlers, so that tests script the answers.
// Created once at start and owned with the windows.
class QtUserInterface : public QObject, public kern::UserInterface {
    Q_OBJECT
  public:
    explicit QtUserInterface(QObject* parent = nullptr);
    ~QtUserInterface() override;

    void setParentWidget(QWidget* parent) { parent_ = parent; }

    // Replacements for the boxes and the dialog; an empty function restores the real one.
    void setInformHandler(std::function<void(const QString& text)> handler) {
        informHandler_ = std::move(handler);
    }
    void setConfirmHandler(std::function<bool(const QString& text)> handler) {
        confirmHandler_ = std::move(handler);
    }
    // Replaces the box of the questions that delete; without it they go to the confirm handler.
    void setDeletionConfirmHandler(std::function<bool(const QString& text)> handler) {
        deletionConfirmHandler_ = std::move(handler);
    }
    void setFileChooser(std::function<std::optional<QString>(const QString& filter)> chooser) {
        fileChooser_ = std::move(chooser);
    }

    // Replaces the save dialog: the filters offered and the name suggested give the chosen path
    // and filter.
    using SaveChooser = std::function<std::optional<SaveChoice>(const QStringList& filters,
                                                                const QString& suggested)>;
    void setSaveFileChooser(SaveChooser chooser) { saveChooser_ = std::move(chooser); }

    void inform(const std::string& text) override;
    bool confirm(const std::string& text) override;
    bool confirmDeletion(const std::string& text) override;
    std::optional<std::string> chooseFile(const std::string& filter) override;
    std::optional<SaveChoice> chooseSaveFile(const std::vector<std::string>& filters,
                                             const std::string& suggested) override;
    // Also forgets an Escape pressed before the operation began.
    void setBusy(bool busy) override;
    bool processEventsAndCheckEscape() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QWidget> parent_;
    std::function<void(const QString&)> informHandler_;
    std::function<bool(const QString&)> confirmHandler_;
    std::function<bool(const QString&)> deletionConfirmHandler_;
    std::function<std::optional<QString>(const QString&)> fileChooser_;
    SaveChooser saveChooser_;
    int busyDepth_ = 0;
    bool escapePressed_ = false;
};

// Shows a window modally and returns its result; afterwards its parent window is active again
// and the control that had the focus before has it back. (Hiding a modal window does not give
// the activation back on every platform: the offscreen one and some window managers leave it
// with the hidden window, whose control then keeps the keyboard.)
int Modal_Zeigen(QDialog& fenster);

// Widens a message box so that the window manager can show its whole title: the width of the
// title plus kTitelleistenRand for the decoration's buttons and icon.
inline constexpr int kTitelleistenRand = 150;
void Titel_Platz_Geben(QMessageBox& box);

}  // namespace spinalyst::app
