#include "window/WindowPlacement.h"

#include <QTest>

// Where the window starts, from its saved corner and the platform's frame.
class TestWindowPlacement : public QObject {
    Q_OBJECT
private slots:
    void outerFrameDecidesWhetherTheTitleBarCanBeGrabbed_data();
    void outerFrameDecidesWhetherTheTitleBarCanBeGrabbed();
};

void TestWindowPlacement::outerFrameDecidesWhetherTheTitleBarCanBeGrabbed_data()
{
    // A client area of 480 by 340 in borders of 8: the outer frame is 496 wide, and 64 pixels
    // of its title bar are enough to grab.
    QTest::addColumn<int>("left");
    QTest::addColumn<bool>("kept");
    QTest::newRow("the grab width of the frame at the left edge") << -(496 - 64) << true;
    QTest::newRow("a pixel less") << -(496 - 63) << false;
    QTest::newRow("the grab width at the right edge") << 1000 - 64 << true;
    QTest::newRow("a pixel less at the right edge") << 1000 - 63 << false;
}

void TestWindowPlacement::outerFrameDecidesWhetherTheTitleBarCanBeGrabbed()
{
    QFETCH(int, left);
    QFETCH(bool, kept);
    const QRect screen(0, 0, 1000, 800);
    const QPoint saved(left, 100);
    QCOMPARE(WindowPlacement::startPosition(saved, QSize(480, 340), {8, 30}, {screen}, screen),
             kept ? saved : screen.topLeft());
}

QTEST_APPLESS_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
