#include <QApplication>

#include "app/anwendung.h"

int main(int argc, char* argv[]) {
    QApplication anwendung(argc, argv);
    spinalyst::app::Startumgebung umgebung;
    umgebung.programmverzeichnis = spinalyst::app::Programmverzeichnis();
    return spinalyst::app::Programm_Ausfuehren(anwendung, umgebung);
}
