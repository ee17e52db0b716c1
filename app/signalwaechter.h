#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace spinalyst::app {

// Turns SIGTERM and SIGINT (the end of a desktop session, Ctrl+C in a terminal) into a Qt
// signal on the user-interface thread, so the program can close its main window in the normal
// way and lose no edit. The handler only writes the signal number into a pipe; the notifier on
// the other end emits `beendenAngefordert`. One instance at a time; the previous handlers are
// restored on destruction.
class SignalWaechter : public QObject {
    Q_OBJECT
  public:
    explicit SignalWaechter(QObject* parent = nullptr);
    ~SignalWaechter() override;

  signals:
    void beendenAngefordert(int signalnummer);

  private:
    void lesen();
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace spinalyst::app
