// Online play driven as a player at the table does: the menu entry opens the online window, each
// number is typed and confirmed with Enter, the signals are read after each, Escape closes it.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "app/anwendung.h"
#include "app/binding/cursor_grid.h"
#include "app/form_online_spiel.h"
#include "capture/auswahl.h"
#include "events/ereigniswahl.h"
#include "store/sqlite.h"
#include "tests/app/app_fixture.h"

using spinalyst::binding::CursorGrid;
using spinalyst::store::Value;

class OnlineSpielTest : public QObject, protected spinalyst::testing::AppFixture {
    Q_OBJECT

  private slots:
    void init() { programmverzeichnisAnlegen(); }
    void cleanup() { programmBeenden(); }

    void typedNumbersAdvanceTheSystemAndShowTheNextBet();

  private:
    template <typename T>
    T* im(QWidget* fenster, const char* name) {
        T* w = fenster->findChild<T*>(QString::fromLatin1(name));
        if (w == nullptr) {
            qFatal("missing control %s", name);
        }
        return w;
    }
    // The signals shown: "event stake" per row.
    QStringList signale(QWidget* fenster) {
        auto* g = im<CursorGrid>(fenster, "DBGrid_Online_Angriffe_Satz");
        QStringList s;
        for (int r = 0; r < g->model()->rowCount(); ++r) {
            s << g->model()->data(g->model()->index(r, 0)).toString() + " " +
                     g->model()->data(g->model()->index(r, 2)).toString();
        }
        return s;
    }
    int coupsMitZahl() {
        spinalyst::store::Statement s(dm().TdbDatabase_Roulette.connection(),
                                      "SELECT COUNT(Zahl), COUNT(*) FROM Permanenz");
        s.step();
        return static_cast<int>(s.int64(0) * 1000 + s.int64(1));
    }
};

void OnlineSpielTest::typedNumbersAdvanceTheSystemAndShowTheNextBet() {
    starten();
    // The day so far: 1 2. The system: after a red coup, black with one step of 1 piece.
    tageAnlegen({{fenster().sitzung().gewaehlter_tag, {1, 2}}});
    schwarzNachRotImPanel();

    muss<QAction>("MenuItem_Online_Spiel")->trigger();
    QVERIFY2(meldungen.isEmpty(), qPrintable(meldungen.join('|')));
    QWidget* online = fenster().onlineFenster();
    QVERIFY(online != nullptr);
    QVERIFY(online->isVisible());
    QVERIFY(!fenster().isVisible());
    QVERIFY(online->windowTitle().startsWith(QStringLiteral("  Molvane's Online Spiel,  ")));
    QVERIFY(online->windowTitle().endsWith(QStringLiteral(" - 1 System(e) aktiv")));
    // 1 2 and the coup about to be played: the attack after 1 won on 2, nothing to bet now.
    QCOMPARE(coupsMitZahl(), 2003);
    QCOMPARE(signale(online), QStringList());

    const QString schwarz =
        QString::fromStdString(fenster().katalog().name(2, spinalyst::store::Sprache::Deutsch));
    auto* zahl = im<QLineEdit>(online, "DBEdit_Permanenz_Zahl");
    auto* gesamt = im<QLabel>(online, "Label_Satz_Gesamt");
    auto* hinweis = im<QLabel>(online, "Label_Hinweis");
    const struct {
        const char* getippt;
        QStringList signale;
        QString gesamt;
        bool hinweis;
    } schritte[] = {
        {"3", {schwarz + " 1"}, QStringLiteral("Satz gesamt: 1"), false},  // red: bet black
        {"5", {schwarz + " 1"}, QStringLiteral("Satz gesamt: 1"), false},  // lost; red again
        {"0", {}, QString(), false},                                       // lost; no trigger
        {"40", {}, QString(), true},                                       // refused
        {"7", {schwarz + " 1"}, QStringLiteral("Satz gesamt: 1"), false},
        {"8", {}, QString(), false},  // won; black does not trigger
    };
    int gespeichert = 2;
    for (const auto& s : schritte) {
        QTest::keyClicks(zahl, QString::fromLatin1(s.getippt));
        QTest::keyClick(zahl, Qt::Key_Return);
        const QString was = QString::fromLatin1(s.getippt);
        QCOMPARE(signale(online), s.signale);
        QCOMPARE(gesamt->text(), s.gesamt);
        QCOMPARE(!hinweis->text().isEmpty(), s.hinweis);
        QVERIFY2(zahl->text().isEmpty(), qPrintable(was));
        QVERIFY(zahl->hasFocus() || QApplication::focusWidget() == nullptr);
        gespeichert += s.hinweis ? 0 : 1;
        QCOMPARE(coupsMitZahl(), gespeichert * 1000 + gespeichert + 1);
    }
    QVERIFY(meldungen.isEmpty());

    // Escape closes: the main window is back, the trailing coup without number is gone.
    QTest::keyClick(zahl, Qt::Key_Escape);
    QVERIFY(fenster().onlineFenster() == nullptr);
    QVERIFY(fenster().isVisible());
    QCOMPARE(coupsMitZahl(), gespeichert * 1000 + gespeichert);
    QVERIFY(!fenster().sitzung().eingabemodus);
}

QTEST_MAIN(OnlineSpielTest)
#include "online_spiel_test.moc"
