#include "app/signalwaechter.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace spinalyst::app {

namespace {

// A signal handler can reach only process-wide state: the pipe and the handlers it replaced.
int pipeEnden[2] = {-1, -1};
struct sigaction vorherTerm;
struct sigaction vorherInt;

void signalHandler(int nummer) {
    const int gespeichert = errno;
    const char byte = static_cast<char>(nummer);
    [[maybe_unused]] const ssize_t n = ::write(pipeEnden[0], &byte, 1);
    errno = gespeichert;
}

}  // namespace

SignalWaechter::SignalWaechter(QObject* parent) : QObject(parent) {
    if (pipeEnden[0] != -1) {
        throw std::logic_error("SignalWaechter: only one instance at a time");
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnden) != 0) {
        throw std::runtime_error("SignalWaechter: socketpair failed");
    }
    ::fcntl(pipeEnden[0], F_SETFL, O_NONBLOCK);
    ::fcntl(pipeEnden[1], F_SETFL, O_NONBLOCK);
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnden[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalWaechter::lesen);

    struct sigaction neu {};
    neu.sa_handler = signalHandler;
    sigemptyset(&neu.sa_mask);
    neu.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &neu, &vorherTerm);
    ::sigaction(SIGINT, &neu, &vorherInt);
}

SignalWaechter::~SignalWaechter() {
    ::sigaction(SIGTERM, &vorherTerm, nullptr);
    ::sigaction(SIGINT, &vorherInt, nullptr);
    notifier_.reset();
    ::close(pipeEnden[0]);
    ::close(pipeEnden[1]);
    pipeEnden[0] = pipeEnden[1] = -1;
}

void SignalWaechter::lesen() {
    char byte = 0;
    while (::read(pipeEnden[1], &byte, 1) == 1) {
        emit beendenAngefordert(static_cast<unsigned char>(byte));
    }
}

}  // namespace spinalyst::app
