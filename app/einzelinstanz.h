#pragma once

#include <QString>

namespace spinalyst::app {

// The single-instance guard: an exclusive `flock` on a lock file named after the program's lock
// name ("Molvanes_Spinalyst.exe.lock") in the program directory, beside the database files that
// two instances must never write at once. The lock is held from construction to destruction.
// The kernel releases it when the process ends in any way (also on a crash or kill -9), so a
// lock file left behind, by this user or another one, never blocks a start; only a running
// process that holds the lock does. The descriptor is closed on exec, so programs started from
// here (a PDF viewer) do not keep the lock alive.
class EinzelInstanz {
  public:
    explicit EinzelInstanz(const QString& verzeichnis);
    ~EinzelInstanz();
    EinzelInstanz(const EinzelInstanz&) = delete;
    EinzelInstanz& operator=(const EinzelInstanz&) = delete;

    // True when this process holds the lock.
    bool erworben() const { return fd_ != -1; }
    // True when another running instance holds the lock. A lock file that cannot be opened at
    // all (a directory that cannot be written) guards nothing and refuses nothing: the data
    // store reports such a directory when it opens.
    bool besetzt() const { return besetzt_; }
    QString datei() const { return datei_; }

  private:
    QString datei_;
    int fd_ = -1;
    bool besetzt_ = false;
};

}  // namespace spinalyst::app
