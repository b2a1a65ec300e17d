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

void onTestSignal(int) {}

} // namespace

class TestTerminationSignals : public QObject {
    Q_OBJECT
private slots:
    void signalsReachTheEventLoopWhileTheObjectLives();
    void inheritedIgnoredSignalStaysIgnored();
};

void TestTerminationSignals::signalsReachTheEventLoopWhileTheObjectLives()
{
    // Each signal's own handler comes back: two of them differ from the third.
    const auto restore = [](int signal, Handler handler) { std::signal(signal, handler); };
    const Handler hangup = std::signal(SIGHUP, SIG_DFL);
    const Handler interrupt = handlerOf(SIGINT);
    const Handler terminate = std::signal(SIGTERM, onTestSignal);
    {
        TerminationSignals termination(nullptr);
        QSignalSpy requested(&termination, &TerminationSignals::terminationRequested);
        ::raise(SIGTERM);
        QTRY_COMPARE(requested.size(), 1);
        ::raise(SIGINT);
        QTRY_COMPARE(requested.size(), 2);
        // A closed terminal closes the window as the session's end does.
        ::raise(SIGHUP);
        QTRY_COMPARE(requested.size(), 3);
    }
    // Ctrl-C ends a program again once the object is gone.
    QVERIFY(handlerOf(SIGINT) == interrupt);
    QVERIFY(handlerOf(SIGTERM) == onTestSignal);
    QVERIFY(handlerOf(SIGHUP) == SIG_DFL);
    restore(SIGTERM, terminate);
    restore(SIGHUP, hangup);
}

void TestTerminationSignals::inheritedIgnoredSignalStaysIgnored()
{
    const Handler interrupt = std::signal(SIGINT, SIG_IGN);
    {
        TerminationSignals termination(nullptr);
        QSignalSpy requested(&termination, &TerminationSignals::terminationRequested);
        QVERIFY(handlerOf(SIGINT) == SIG_IGN);
        ::raise(SIGINT);
        ::raise(SIGTERM);
        QTRY_COMPARE(requested.size(), 1);
        QTest::qWait(50);
        QCOMPARE(requested.size(), 1);
    }
    QVERIFY(handlerOf(SIGINT) == SIG_IGN);
    std::signal(SIGINT, interrupt);
}

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "tst_terminationsignals.moc"
