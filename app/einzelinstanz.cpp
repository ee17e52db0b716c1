#include "app/einzelinstanz.h"

#include <QDir>

#include "app/core/texte.h"

namespace spinalyst::app {

namespace {

QString sperrdatei(const QString& verzeichnis) {
    const QString dir = verzeichnis.isEmpty() ? QDir::tempPath() : verzeichnis;
    return QDir(dir).filePath(QString::fromLatin1(kSperrname) + QStringLiteral(".lock"));
}

}  // namespace

EinzelInstanz::EinzelInstanz(const QString& verzeichnis)
    : datei_(sperrdatei(verzeichnis)), sperre_(datei_), erworben_(false) {
    // Age never makes a lock stale: only the death of its owner does (QLockFile checks the
    // owner's process id and name).
    sperre_.setStaleLockTime(0);
    erworben_ = sperre_.tryLock(0);
}

}  // namespace spinalyst::app
