// Development tool: screenshots of the number-list window and of the menu "Export" (opened over
// the main window), in German and in English.
// Usage: spinalyst_csvfoto <output directory>
// Run under a real display (e.g. xvfb-run -s "-screen 0 1366x768x24") to see the real layout.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/anwendung.h"
#include "capture/auswahl.h"

namespace {

// Opens the window by its menu entry, saves a picture with its caption drawn above it as a
// title bar, and closes it without taking its values.
void fensterFoto(spinalyst::app::Form_Anwendung_Roulette& haupt, const char* aktion,
                 const char* name, const QString& datei) {
    QTimer::singleShot(300, [&haupt, name, datei] {
        auto* d = haupt.findChild<QDialog*>(QString::fromLatin1(name));
        if (d == nullptr || !d->isVisible()) {
            std::fprintf(stderr, "%s not shown\n", name);
            return;
        }
        const QPixmap inhalt = d->grab();
        const int hoehe = d->fontMetrics().height() + 12;
        QPixmap bild(inhalt.width(), inhalt.height() + hoehe);
        bild.fill(QColor(60, 60, 70));
        QPainter maler(&bild);
        maler.setPen(Qt::white);
        maler.setFont(d->font());
        maler.drawText(QRect(4, 0, inhalt.width() - 8, hoehe), Qt::AlignVCenter | Qt::AlignLeft,
                       d->windowTitle());
        maler.drawPixmap(0, hoehe, inhalt);
        maler.end();
        bild.save(datei);
        d->reject();
    });
    haupt.findChild<QAction*>(QString::fromLatin1(aktion))->trigger();
}

// Opens the menu below its entry in the menu bar and saves the upper left part of the main
// window with the open menu drawn over it.
void menueFoto(spinalyst::app::Form_Anwendung_Roulette& haupt, const char* name,
               const QString& datei) {
    QMenuBar* leiste = haupt.menuBar();
    auto* menue = haupt.findChild<QMenu*>(QString::fromLatin1(name));
    const QRect eintrag = leiste->actionGeometry(menue->menuAction());
    leiste->setActiveAction(menue->menuAction());
    QTest::qWait(300);
    if (!menue->isVisible()) {
        menue->popup(leiste->mapToGlobal(eintrag.bottomLeft()));
        QTest::qWait(300);
    }
    const QPoint ecke = haupt.mapToGlobal(QPoint(0, 0));
    const QPoint ort = menue->mapToGlobal(QPoint(0, 0)) - ecke;
    const QPixmap fenster = haupt.grab();
    const QPixmap inhalt = menue->grab();
    const int breite = std::min(fenster.width(), std::max(ort.x() + inhalt.width() + 200, 700));
    const int hoehe = std::min(fenster.height(), ort.y() + inhalt.height() + 120);
    QPixmap bild(breite, hoehe);
    QPainter maler(&bild);
    maler.drawPixmap(0, 0, fenster, 0, 0, breite, hoehe);
    maler.drawPixmap(ort, inhalt);
    maler.end();
    bild.save(datei);
    menue->hide();
    leiste->setActiveAction(nullptr);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    const QDir ausgabe(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(ausgabe.path());
    QTemporaryDir temp;
    spinalyst::app::Anwendung programm(temp.path().toStdString());
    programm.ui.setInformHandler(
        [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });
    programm.ui.setConfirmHandler([](const QString&) { return true; });
    auto& haupt = programm.hauptfenster;
    haupt.show();
    if (!QTest::qWaitForWindowExposed(&haupt)) {
        std::fprintf(stderr, "window not exposed\n");
        return 1;
    }
    auto& k = haupt.kontext();
    spinalyst::capture::BitBtn_NeuClick(k);
    k.dm.TdbTable_Casino.setText("Casino_Name", "Casino Nord");
    k.dm.TdbTable_Casino.post();
    spinalyst::capture::BitBtn_OKClick(k);
    for (const char* sprache : {"de", "en"}) {
        if (QLatin1String(sprache) == QLatin1String("en")) {
            haupt.MenuItem_Sprache_EnglischClick(nullptr);
        }
        fensterFoto(haupt, "MenuItem_Permanenzen_Zahlenliste", "Form_Zahlenliste",
                    ausgabe.filePath(QStringLiteral("zahlenliste-%1.png").arg(sprache)));
        fensterFoto(haupt, "MenuItem_Export_Permanenz", "Form_Permanenz_Export",
                    ausgabe.filePath(QStringLiteral("permanenz-export-%1.png").arg(sprache)));
        menueFoto(haupt, "MenuItem_Export",
                  ausgabe.filePath(QStringLiteral("menue-export-%1.png").arg(sprache)));
        menueFoto(haupt, "MenuItem_Permanenzen",
                  ausgabe.filePath(QStringLiteral("menue-permanenzen-%1.png").arg(sprache)));
    }
    return 0;
}
