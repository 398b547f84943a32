#include "services/TerminationSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_pipe[2] = {-1, -1};
std::atomic_int g_received{0};
int g_secondStatus = TerminationSignals::StatusBySignal;

void onSignal(int signal)
{
    // Only async-signal-safe work here: wake the event loop, or end at once.
    if (g_received.fetch_add(1) > 0)
        ::_exit(g_secondStatus == TerminationSignals::StatusBySignal ? 128 + signal
                                                                     : g_secondStatus);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
}

sigset_t terminationSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        sigaddset(&set, signal);
    return set;
}

// Sleeps with the signals open until told to end; the handler runs here.
void take(int quit)
{
    const sigset_t set = terminationSet();
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    pollfd wait = {quit, POLLIN, 0};
    while (::poll(&wait, 1, -1) <= 0) {
    }
}
} // namespace

TerminationSignals::TerminationSignals(int secondStatus, Taker taker, QObject *parent)
    : QObject(parent)
{
    ::pthread_sigmask(SIG_SETMASK, nullptr, &m_callerMask);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    if (taker == Taker::OwnThread && ::pipe2(m_quit, O_CLOEXEC) != 0) {
        ::close(g_pipe[0]);
        ::close(g_pipe[1]);
        return;
    }
    g_received = 0;
    g_secondStatus = secondStatus;
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
    if (taker == Taker::AnyThread)
        return;
    m_taker = std::thread(take, m_quit[0]);
    const sigset_t set = terminationSet();
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        ::signal(signal, SIG_DFL);
    ::pthread_sigmask(SIG_SETMASK, &m_callerMask, nullptr);
    if (m_taker.joinable()) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_quit[1], &byte, 1);
        m_taker.join();
        ::close(m_quit[0]);
        ::close(m_quit[1]);
    }
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignals::readSignal()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(g_pipe[1], &byte, 1);
    emit terminationRequested();
}
