#include "app/einzelinstanz.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>

#include "app/core/texte.h"

namespace spinalyst::app {

EinzelInstanz::EinzelInstanz(const QString& verzeichnis)
    : datei_(
          QDir(verzeichnis).filePath(QString::fromLatin1(kSperrname) + QStringLiteral(".lock"))) {
    const QByteArray pfad = QFile::encodeName(datei_);
    int fd = ::open(pfad.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd == -1) {
        // A lock file another user left behind may not be writable; a lock needs only reading.
        fd = ::open(pfad.constData(), O_RDONLY | O_CLOEXEC);
    }
    if (fd == -1) {
        return;
    }
    int ergebnis = 0;
    do {
        ergebnis = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (ergebnis == -1 && errno == EINTR);
    if (ergebnis == 0) {
        fd_ = fd;
        return;
    }
    besetzt_ = errno == EWOULDBLOCK;
    ::close(fd);
}

EinzelInstanz::~EinzelInstanz() {
    // Closing the only descriptor of the open file releases the lock. The file stays: removing
    // it could let a third start lock a new file while a second one still waits on the old one.
    if (fd_ != -1) {
        ::close(fd_);
    }
}

}  // namespace spinalyst::app
