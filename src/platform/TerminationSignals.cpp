#include "platform/TerminationSignals.h"

// The program's only POSIX code: signals exist only there.
#ifdef Q_OS_UNIX

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <iterator>
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

// A closed terminal (SIGHUP) ends the program as the session's end does.
constexpr int Handled[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

struct TerminationSignals::Previous {
    struct sigaction actions[std::size(Handled)]{};
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
    for (std::size_t i = 0; i < std::size(Handled); ++i) {
        struct sigaction& previous = m_previous->actions[i];
        ::sigaction(Handled[i], nullptr, &previous);
        // A signal inherited as ignored (SIGINT of a background job, SIGHUP under nohup) was
        // meant not to end the program.
        if (previous.sa_handler != SIG_IGN)
            ::sigaction(Handled[i], &action, nullptr);
    }
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
    for (std::size_t i = 0; i < std::size(Handled); ++i)
        ::sigaction(Handled[i], &m_previous->actions[i], nullptr);
}

#else

struct TerminationSignals::Previous {};

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
}

TerminationSignals::~TerminationSignals() = default;

#endif
