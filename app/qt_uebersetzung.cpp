#include "app/qt_uebersetzung.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace spinalyst::app {

QtUebersetzung::QtUebersetzung(QObject* parent) : QObject(parent) {
    // qtbase holds the texts of the widgets and dialogs this program uses.
    geladen_ =
        deutsch_.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

QtUebersetzung::~QtUebersetzung() {
    anwenden(store::Sprache::Englisch);
}

bool QtUebersetzung::anwenden(store::Sprache sprache) {
    const bool deutsch = sprache == store::Sprache::Deutsch;
    if (deutsch && geladen_ && !installiert_) {
        installiert_ = QCoreApplication::installTranslator(&deutsch_);
    } else if (!deutsch && installiert_) {
        QCoreApplication::removeTranslator(&deutsch_);
        installiert_ = false;
    }
    return !deutsch || installiert_;
}

}  // namespace spinalyst::app
