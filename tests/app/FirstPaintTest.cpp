// What the program leaves until its window is on the screen (app/FirstPaint).
#include "app/FirstPaint.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace std::chrono_literals;

// A window that counts its paint events, and at which paint the work ran.
class CountingWindow : public QLabel {
public:
    CountingWindow() : QLabel(QStringLiteral("Albisko")) { resize(200, 100); }
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paints;
        QLabel::paintEvent(event);
    }
};

TEST(FirstPaint, TheWorkRunsOnceAfterTheFirstPaintAndNotBefore)
{
    CountingWindow window;
    int runs = 0;
    int paintsBeforeTheWork = -1;
    afterFirstPaint(window, [&] {
        ++runs;
        paintsBeforeTheWork = window.paints;
    });
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 0) << "not before the window is shown";

    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs > 0; }, 5000));
    EXPECT_EQ(paintsBeforeTheWork, 1) << "right after the first paint, with the picture done";

    window.repaint();
    window.hide();
    window.show();
    QTest::qWait(50);
    EXPECT_GT(window.paints, 1);
    EXPECT_EQ(runs, 1) << "later paints run nothing again";
}

TEST(FirstPaint, AWindowNeverPaintedRunsTheWorkOnceTheLatestTimeHasPassed)
{
    CountingWindow window;  // never shown
    int runs = 0;
    afterFirstPaint(window, [&] { ++runs; }, 30ms);
    QTest::qWait(5);
    EXPECT_EQ(runs, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs > 0; }, 2000));
    window.show();
    QTest::qWait(50);
    EXPECT_EQ(runs, 1) << "the paint that comes after runs nothing again";
}

TEST(FirstPaint, AWindowClosedForGoodFirstRunsNothing)
{
    auto window = std::make_unique<CountingWindow>();
    bool ran = false;
    afterFirstPaint(*window, [&] { ran = true; }, 20ms);
    window->show();
    window.reset();  // before the event loop had a turn: painted or not, the work goes with it
    QTest::qWait(60);
    EXPECT_FALSE(ran);
}

}  // namespace
