#include "app/views/TerminationSignals.h"

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <thread>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The handler may only write to a descriptor; the event loop reads the
// other end.
int pipeEnds[2] = {-1, -1};
// The watchdog's own pair, written only once exitWithin() armed it.
int watchEnds[2] = {-1, -1};
std::atomic<int> deadlineMs{0};
} // namespace

TerminationSignals& TerminationSignals::install()
{
    static TerminationSignals* instance = new TerminationSignals;
    return *instance;
}

TerminationSignals::TerminationSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0)
        return;
    ::fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
    ::fcntl(pipeEnds[1], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = &TerminationSignals::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(s, &action, nullptr);
}

void TerminationSignals::handle(int signal)
{
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &byte, 1);
    if (deadlineMs.load() > 0 && watchEnds[0] >= 0)
        [[maybe_unused]] const ssize_t told = ::write(watchEnds[0], &byte, 1);
}

void TerminationSignals::exitWithin(int ms)
{
    if (deadlineMs.exchange(ms) > 0 || ms <= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, watchEnds) != 0) {
        deadlineMs = 0;
        return;
    }
    ::fcntl(watchEnds[0], F_SETFL, O_NONBLOCK);
    std::thread([] {
        unsigned char byte = 0;
        ssize_t n = 0;
        while ((n = ::read(watchEnds[1], &byte, 1)) < 0 && errno == EINTR) {
        }
        if (n != 1)
            return;
        // The main thread quits in an orderly way when it can; past the
        // deadline the process ends here.
        std::this_thread::sleep_for(std::chrono::milliseconds(deadlineMs.load()));
        ::_exit(0);
    }).detach();
}

void TerminationSignals::readSignal()
{
    unsigned char byte = 0;
    while (::read(pipeEnds[1], &byte, 1) == 1)
        Q_EMIT terminationRequested(int(byte));
}
