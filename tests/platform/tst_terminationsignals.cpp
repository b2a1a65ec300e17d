#include "platform/TerminationSignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

namespace {

using Handler = void (*)(int);

Handler handlerOf(int signal)
{
    struct sigaction current {};
    ::sigaction(signal, nullptr, &current);
    return current.sa_handler;
}

} // namespace

class TestTerminationSignals : public QObject {
    Q_OBJECT
private slots:
    void signalsReachTheEventLoopWhileTheObjectLives();
};

void TestTerminationSignals::signalsReachTheEventLoopWhileTheObjectLives()
{
    const Handler interrupt = handlerOf(SIGINT);
    const Handler terminate = handlerOf(SIGTERM);
    {
        TerminationSignals termination(nullptr);
        QSignalSpy requested(&termination, &TerminationSignals::terminationRequested);
        ::raise(SIGTERM);
        QTRY_COMPARE(requested.size(), 1);
        ::raise(SIGINT);
        QTRY_COMPARE(requested.size(), 2);
    }
    // Ctrl-C ends a program again once the object is gone.
    QVERIFY(handlerOf(SIGINT) == interrupt);
    QVERIFY(handlerOf(SIGTERM) == terminate);
}

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "tst_terminationsignals.moc"
