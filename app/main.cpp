#include <QApplication>
#include <QMessageBox>

#include "app/anwendung.h"
#include "app/programmsymbol.h"

int main(int argc, char* argv[]) {
    QApplication anwendung(argc, argv);
    // The desktop entry the window belongs to (its icon in the task bar) and its own icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.molvane.Spinalyst"));
    QApplication::setWindowIcon(spinalyst::app::Programmsymbol());
    spinalyst::app::Startumgebung umgebung;
    umgebung.programmverzeichnis = spinalyst::app::Programmverzeichnis();
    if (const QString fehler =
            spinalyst::app::Optionen_Lesen(QCoreApplication::arguments(), umgebung);
        !fehler.isEmpty()) {
        QMessageBox::information(
            nullptr, QString(),
            QStringLiteral("spinalyst: %1\nusage: spinalyst [--data-dir DIR] [--quit-after-start]")
                .arg(fehler),
            QMessageBox::Ok);
        return 2;
    }
    return spinalyst::app::Programm_Ausfuehren(anwendung, umgebung);
}
