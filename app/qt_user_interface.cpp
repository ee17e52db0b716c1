#include "app/qt_user_interface.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTreeView>
#include <algorithm>

namespace spinalyst::app {

QtUserInterface::QtUserInterface(QObject* parent) : QObject(parent) {
    // Key presses are seen by the application before any widget, so Escape is noticed
    // wherever the focus is.
    qApp->installEventFilter(this);
}

QtUserInterface::~QtUserInterface() {
    while (busyDepth_ > 0) {
        setBusy(false);
    }
}

int Modal_Zeigen(QDialog& fenster) {
    const QPointer<QWidget> vorher = QApplication::focusWidget();
    const int ergebnis = fenster.exec();
    QWidget* zurueck =
        fenster.parentWidget() != nullptr ? fenster.parentWidget()->window() : nullptr;
    if (zurueck != nullptr && zurueck->isVisible()) {
        zurueck->activateWindow();
        // The activation arrives as a window-system event.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (vorher != nullptr && vorher->window() == zurueck && vorher->isVisible() &&
            vorher->isEnabled()) {
            vorher->setFocus(Qt::ActiveWindowFocusReason);
        }
    }
    return ergebnis;
}

void Titel_Platz_Geben(QMessageBox& box) {
    // The title bar belongs to the window manager: its font is taken as the box's (bold, as
    // most decorations draw it) and its buttons and icon as about 150 pixels.
    QFont titelSchrift = box.font();
    titelSchrift.setBold(true);
    const int breite =
        QFontMetrics(titelSchrift).horizontalAdvance(box.windowTitle()) + kTitelleistenRand;
    // A message box sizes itself from its texts and ignores a minimum width; a spacer below
    // its contents holds it open.
    if (auto* raster = qobject_cast<QGridLayout*>(box.layout())) {
        raster->addItem(new QSpacerItem(breite, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                        raster->rowCount(), 0, 1, raster->columnCount());
    }
}

void QtUserInterface::inform(const std::string& text) {
    const QString message = QString::fromStdString(text);
    if (informHandler_) {
        informHandler_(message);
        return;
    }
    QMessageBox box(QMessageBox::Information, QApplication::applicationName(), message,
                    QMessageBox::Ok, parent_);
    Titel_Platz_Geben(box);
    Modal_Zeigen(box);
}

namespace {

// A question with Yes and No; any answer other than No counts as yes.
bool fragen(QWidget* parent, const QString& message, QMessageBox::StandardButton vorgabe) {
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), message,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(vorgabe);
    Titel_Platz_Geben(box);
    return Modal_Zeigen(box) != QMessageBox::No;
}

}  // namespace

bool QtUserInterface::confirm(const std::string& text) {
    const QString message = QString::fromStdString(text);
    if (confirmHandler_) {
        return confirmHandler_(message);
    }
    return fragen(parent_, message, QMessageBox::Yes);
}

bool QtUserInterface::confirmDeletion(const std::string& text) {
    const QString message = QString::fromStdString(text);
    if (deletionConfirmHandler_) {
        return deletionConfirmHandler_(message);
    }
    if (confirmHandler_) {
        return confirmHandler_(message);
    }
    // Enter answers No: nothing is deleted by a key pressed too soon.
    return fragen(parent_, message, QMessageBox::No);
}

std::optional<std::string> QtUserInterface::chooseFile(const std::string& filter) {
    const QString f = QString::fromStdString(filter);
    std::optional<QString> chosen;
    if (fileChooser_) {
        chosen = fileChooser_(f);
    } else {
        QFileDialog dialog(parent_, QString(), QString(), f);
        dialog.setFileMode(QFileDialog::ExistingFile);
        // Wide enough for the columns of the detail view (type, date) uncut; Qt's own dialog
        // (no desktop dialog at hand) sizes them to their texts.
        dialog.resize(860, 520);
        if (auto* liste = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
            liste->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
            liste->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        }
        if (Modal_Zeigen(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            chosen = dialog.selectedFiles().constFirst();
        }
    }
    if (!chosen) {
        return std::nullopt;
    }
    return chosen->toStdString();
}

std::optional<kern::UserInterface::SaveChoice> QtUserInterface::chooseSaveFile(
    const std::vector<std::string>& filters, const std::string& suggested) {
    QStringList filter;
    for (const std::string& f : filters) {
        filter << QString::fromStdString(f);
    }
    const QString name = QString::fromStdString(suggested);
    if (saveChooser_) {
        return saveChooser_(filter, name);
    }
    QFileDialog dialog(parent_, QString(), name);
    dialog.setObjectName(QStringLiteral("SaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filter);
    dialog.selectFile(name);
    dialog.resize(860, 520);
    if (Modal_Zeigen(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    SaveChoice wahl;
    wahl.path = dialog.selectedFiles().constFirst().toStdString();
    wahl.filter = std::max(0, static_cast<int>(filter.indexOf(dialog.selectedNameFilter())));
    return wahl;
}

void QtUserInterface::setBusy(bool busy) {
    if (busy) {
        escapePressed_ = false;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busyDepth_;
    } else if (busyDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --busyDepth_;
    }
}

bool QtUserInterface::processEventsAndCheckEscape() {
    QCoreApplication::processEvents();
    const bool pressed = escapePressed_;
    escapePressed_ = false;
    return pressed;
}

bool QtUserInterface::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        escapePressed_ = true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace spinalyst::app
