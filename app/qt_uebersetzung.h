#pragma once

#include <QObject>
#include <QTranslator>

#include "kern/sitzung.h"

namespace spinalyst::app {

// Qt's own texts in the interface language: the buttons of the message boxes ("Ja"/"Nein"),
// the file dialog, the context menus of the edits. German installs Qt's German translations
// (Debian package qt6-translations-l10n, found where Qt keeps its translations); English removes
// them again, as Qt's built-in texts are English. Owned by the main window, which applies it
// with its language switch.
class QtUebersetzung : public QObject {
    Q_OBJECT
  public:
    explicit QtUebersetzung(QObject* parent = nullptr);
    ~QtUebersetzung() override;

    // Installs or removes the translations for the language. False when German was asked for
    // and the translations are not installed on this machine (Qt's texts stay English).
    bool anwenden(store::Sprache sprache);

  private:
    QTranslator deutsch_;
    bool geladen_ = false;
    bool installiert_ = false;
};

}  // namespace spinalyst::app
