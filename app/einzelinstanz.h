#pragma once

#include <QLockFile>
#include <QString>

namespace spinalyst::app {

// The single-instance guard: a lock file named after the program's lock name
// ("Molvanes_Spinalyst.exe.lock") in a directory every user of the machine shares (the
// system's temporary directory unless another is given). The lock is held from construction
// to destruction; the lock of a process that died is taken over, so a crash never blocks the
// next start.
class EinzelInstanz {
  public:
    explicit EinzelInstanz(const QString& verzeichnis = {});
    EinzelInstanz(const EinzelInstanz&) = delete;
    EinzelInstanz& operator=(const EinzelInstanz&) = delete;

    // True when this process holds the lock; false when another running instance does (or the
    // lock could not be made at all, which is treated the same way).
    bool erworben() const { return erworben_; }
    QString datei() const { return datei_; }

  private:
    QString datei_;
    QLockFile sperre_;
    bool erworben_;
};

}  // namespace spinalyst::app
