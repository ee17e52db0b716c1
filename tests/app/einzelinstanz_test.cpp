// The single-instance guard, the refused second start and the end of a start on a signal. Other
// instances are real processes: this executable started again in a helper role (see main below).
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/anwendung.h"
#include "app/einzelinstanz.h"

using spinalyst::app::EinzelInstanz;

namespace {

const char* const kSperreHalten = "--sperre-halten";
const char* const kProgramm = "--programm";

// Helper role: takes the guard of `verzeichnis`, reports "erworben" or "besetzt" on stdout and
// keeps the lock until stdin ends or the process is killed.
int sperreHalten(const char* verzeichnis) {
    const EinzelInstanz sperre(QString::fromLocal8Bit(verzeichnis));
    std::puts(sperre.erworben() ? "erworben" : (sperre.besetzt() ? "besetzt" : "ohne"));
    std::fflush(stdout);
    char puffer[64];
    while (::read(STDIN_FILENO, puffer, sizeof puffer) > 0) {
    }
    return 0;
}

// Helper role: the program started on `verzeichnis`, reporting "box" on stdout once a modal box
// is shown, so that the test knows when to send its signal.
int programmStarten(QApplication& app, const char* verzeichnis) {
    QTimer beobachter;
    QObject::connect(&beobachter, &QTimer::timeout, [&beobachter] {
        if (QApplication::activeModalWidget() != nullptr) {
            beobachter.stop();
            std::puts("box");
            std::fflush(stdout);
        }
    });
    beobachter.start(20);
    spinalyst::app::Startumgebung umgebung;
    umgebung.programmverzeichnis = verzeichnis;
    return spinalyst::app::Programm_Ausfuehren(app, umgebung);
}

}  // namespace

class EinzelInstanzTest : public QObject {
    Q_OBJECT

  private slots:
    void aSecondStartIsRefusedWithoutTouchingTheDatabase();
    void theLockIsFreeAgainWhenItsHolderEnds();
    void anotherTemporaryDirectoryDoesNotBypassTheLock();
    void aLockFileWithoutHolderDoesNotBlock();
    void aSignalDuringTheStartUpErrorBoxEndsTheProgram_data();
    void aSignalDuringTheStartUpErrorBoxEndsTheProgram();

  private:
    // Starts this executable as a holder of the guard of `verzeichnis` with TMPDIR set to
    // `tmpdir`; returns once it has reported.
    void halterStarten(QProcess& halter, const QString& verzeichnis, const QString& tmpdir);
};

void EinzelInstanzTest::halterStarten(QProcess& halter, const QString& verzeichnis,
                                      const QString& tmpdir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmpdir);
    halter.setProcessEnvironment(env);
    halter.start(QCoreApplication::applicationFilePath(),
                 {QString::fromLatin1(kSperreHalten), verzeichnis});
    QVERIFY(halter.waitForStarted(10000));
    QVERIFY(halter.waitForReadyRead(10000));
    QCOMPARE(halter.readLine().trimmed(), QByteArray("erworben"));
}

void EinzelInstanzTest::aSecondStartIsRefusedWithoutTouchingTheDatabase() {
    QTemporaryDir programm;
    const EinzelInstanz erste(programm.path());
    QVERIFY(erste.erworben());
    QCOMPARE(QFileInfo(erste.datei()).fileName(), QStringLiteral("Molvanes_Spinalyst.exe.lock"));
    QCOMPARE(QFileInfo(erste.datei()).absolutePath(), QDir(programm.path()).absolutePath());

    QStringList meldungen;
    spinalyst::app::Startumgebung umgebung;
    umgebung.programmverzeichnis = programm.path().toStdString();
    umgebung.meldung = [&](const QString& t) { meldungen << t; };
    auto* app = static_cast<QApplication*>(QCoreApplication::instance());
    QCOMPARE(spinalyst::app::Programm_Ausfuehren(*app, umgebung), 1);

    QCOMPARE(meldungen, QStringList{QString::fromUtf8("Anwendung läuft bereits!")});
    // No database was made: the lock file is all the directory holds.
    QCOMPARE(QDir(programm.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList{QStringLiteral("Molvanes_Spinalyst.exe.lock")});
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
    // The first instance still holds its lock.
    QVERIFY(erste.erworben());
    const EinzelInstanz zweite(programm.path());
    QVERIFY(!zweite.erworben());
    QVERIFY(zweite.besetzt());
}

void EinzelInstanzTest::theLockIsFreeAgainWhenItsHolderEnds() {
    QTemporaryDir programm;
    {
        const EinzelInstanz erste(programm.path());
        QVERIFY(erste.erworben());
    }
    QVERIFY(EinzelInstanz(programm.path()).erworben());

    // A holder killed without any chance to clean up: the kernel releases its lock.
    QTemporaryDir tmp;
    QProcess halter;
    halterStarten(halter, programm.path(), tmp.path());
    QVERIFY(EinzelInstanz(programm.path()).besetzt());
    halter.kill();
    QVERIFY(halter.waitForFinished(10000));
    const EinzelInstanz naechste(programm.path());
    QVERIFY(naechste.erworben());
}

void EinzelInstanzTest::anotherTemporaryDirectoryDoesNotBypassTheLock() {
    // Each instance sees its own TMPDIR; both start from the same program directory.
    QTemporaryDir programm;
    QTemporaryDir tmpErste;
    QTemporaryDir tmpZweite;
    QProcess halter;
    halterStarten(halter, programm.path(), tmpErste.path());

    const QByteArray vorher = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(tmpZweite.path()));
    QStringList meldungen;
    spinalyst::app::Startumgebung umgebung;
    umgebung.programmverzeichnis = programm.path().toStdString();
    umgebung.meldung = [&](const QString& t) { meldungen << t; };
    auto* app = static_cast<QApplication*>(QCoreApplication::instance());
    const int code = spinalyst::app::Programm_Ausfuehren(*app, umgebung);
    if (vorher.isNull()) {
        qunsetenv("TMPDIR");
    } else {
        qputenv("TMPDIR", vorher);
    }
    QCOMPARE(code, 1);
    QCOMPARE(meldungen, QStringList{QString::fromUtf8("Anwendung läuft bereits!")});

    halter.closeWriteChannel();
    QVERIFY(halter.waitForFinished(10000));
    QCOMPARE(halter.exitCode(), 0);
}

void EinzelInstanzTest::aLockFileWithoutHolderDoesNotBlock() {
    // A lock file left behind, e.g. by another user: present, held by no process, possibly not
    // writable or not even readable for this user.
    const mode_t rechte[] = {0644, 0444, 0000};
    for (const mode_t r : rechte) {
        QTemporaryDir programm;
        const QString datei =
            QDir(programm.path()).filePath(QStringLiteral("Molvanes_Spinalyst.exe.lock"));
        {
            QFile f(datei);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("4711\nanderer-rechner\n");
        }
        QCOMPARE(::chmod(QFile::encodeName(datei).constData(), r), 0);

        const EinzelInstanz naechste(programm.path());
        QVERIFY2(!naechste.besetzt(), qPrintable(QString::number(r, 8)));
        QVERIFY(QFileInfo::exists(datei));
    }
}

void EinzelInstanzTest::aSignalDuringTheStartUpErrorBoxEndsTheProgram_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
}

void EinzelInstanzTest::aSignalDuringTheStartUpErrorBoxEndsTheProgram() {
    QFETCH(int, signal);
    // A damaged database: the start shows its error box while it holds the lock.
    QTemporaryDir programm;
    {
        QFile f(QDir(programm.path()).filePath(QStringLiteral("Datenbank_Roulette.tdbd")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("beschädigt");
    }
    QProcess kind;
    kind.start(QCoreApplication::applicationFilePath(),
               {QString::fromLatin1(kProgramm), programm.path()});
    QVERIFY(kind.waitForStarted(10000));
    QVERIFY(kind.waitForReadyRead(60000));
    QCOMPARE(kind.readLine().trimmed(), QByteArray("box"));
    QVERIFY(EinzelInstanz(programm.path()).besetzt());

    QCOMPARE(::kill(static_cast<pid_t>(kind.processId()), signal), 0);
    // (A generous bound: the fault is a program that never ends.)
    const bool beendet = kind.waitForFinished(30000);
    if (!beendet) {
        kind.kill();
        kind.waitForFinished(10000);
    }
    QVERIFY(beendet);
    QCOMPARE(kind.exitStatus(), QProcess::NormalExit);
    QCOMPARE(kind.exitCode(), 0);
    // The next start is not refused.
    QVERIFY(EinzelInstanz(programm.path()).erworben());
}

int main(int argc, char* argv[]) {
    if (argc == 3 && std::strcmp(argv[1], kSperreHalten) == 0) {
        return sperreHalten(argv[2]);
    }
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], kProgramm) == 0) {
        return programmStarten(app, argv[2]);
    }
    EinzelInstanzTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "einzelinstanz_test.moc"
