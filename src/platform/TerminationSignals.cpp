#include "platform/TerminationSignals.h"

// The program's only POSIX code: signals exist only there.
#ifdef Q_OS_UNIX

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A signal handler can only reach the event loop through a file descriptor: the write end of
// this pipe is the one piece of process-wide state, created once.
int pipeFds[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
}

bool makePipe()
{
    if (::pipe(pipeFds) != 0)
        return false;
    ::fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
    ::fcntl(pipeFds[1], F_SETFL, O_NONBLOCK);
    return true;
}

} // namespace

struct TerminationSignals::Previous {
    struct sigaction terminate {};
    struct sigaction interrupt {};
};

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
    static const bool piped = makePipe();
    if (!piped)
        return;
    m_previous = std::make_unique<Previous>();
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &m_previous->terminate);
    ::sigaction(SIGINT, &action, &m_previous->interrupt);
    auto* notifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char buffer[16];
        while (::read(pipeFds[0], buffer, sizeof buffer) > 0) {
        }
        emit terminationRequested();
    });
}

TerminationSignals::~TerminationSignals()
{
    if (!m_previous)
        return;
    ::sigaction(SIGTERM, &m_previous->terminate, nullptr);
    ::sigaction(SIGINT, &m_previous->interrupt, nullptr);
}

#else

struct TerminationSignals::Previous {};

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
}

TerminationSignals::~TerminationSignals() = default;

#endif
