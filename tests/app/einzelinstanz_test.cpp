// The single-instance guard and the refused second start.
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/anwendung.h"
#include "app/einzelinstanz.h"

using spinalyst::app::EinzelInstanz;

class EinzelInstanzTest : public QObject {
    Q_OBJECT

  private slots:
    void aSecondStartIsRefusedWithoutTouchingTheDatabase();
    void theLockIsFreeAgainWhenItsHolderEnds();
    void theLockOfADeadProcessDoesNotBlock();
};

void EinzelInstanzTest::aSecondStartIsRefusedWithoutTouchingTheDatabase() {
    QTemporaryDir sperre;
    QTemporaryDir programm;
    const EinzelInstanz erste(sperre.path());
    QVERIFY(erste.erworben());
    QCOMPARE(QFileInfo(erste.datei()).fileName(), QStringLiteral("Molvanes_Spinalyst.exe.lock"));

    QStringList meldungen;
    spinalyst::app::Startumgebung umgebung;
    umgebung.programmverzeichnis = programm.path().toStdString();
    umgebung.sperrverzeichnis = sperre.path();
    umgebung.meldung = [&](const QString& t) { meldungen << t; };
    auto* app = static_cast<QApplication*>(QCoreApplication::instance());
    QCOMPARE(spinalyst::app::Programm_Ausfuehren(*app, umgebung), 1);

    QCOMPARE(meldungen, QStringList{QString::fromUtf8("Anwendung läuft bereits!")});
    QVERIFY(QDir(programm.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
    // The first instance still holds its lock.
    QVERIFY(erste.erworben());
    QVERIFY(!EinzelInstanz(sperre.path()).erworben());
}

void EinzelInstanzTest::theLockIsFreeAgainWhenItsHolderEnds() {
    QTemporaryDir sperre;
    {
        const EinzelInstanz erste(sperre.path());
        QVERIFY(erste.erworben());
    }
    QVERIFY(EinzelInstanz(sperre.path()).erworben());
}

void EinzelInstanzTest::theLockOfADeadProcessDoesNotBlock() {
    QTemporaryDir sperre;
    const QString datei =
        QDir(sperre.path()).filePath(QStringLiteral("Molvanes_Spinalyst.exe.lock"));
    // A process that takes the lock and dies without releasing it, as in a crash.
    const pid_t kind = ::fork();
    QVERIFY(kind >= 0);
    if (kind == 0) {
        QLockFile lock(datei);
        lock.setStaleLockTime(0);
        ::_exit(lock.tryLock(0) ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(::waitpid(kind, &status, 0), kind);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QVERIFY(QFileInfo::exists(datei));

    const EinzelInstanz naechste(sperre.path());
    QVERIFY(naechste.erworben());
}

QTEST_MAIN(EinzelInstanzTest)
#include "einzelinstanz_test.moc"
