// The window's timed work: each runs once, from the event loop, unless cancelled first; a work
// may ask for more, and work still waiting goes with the service.
#include "app/qt_services.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

TEST(QtLater, EachWorkRunsOnceFromTheEventLoopUnlessCancelled) {
    QtLater later;
    std::vector<int> ran;
    later.After(0, [&] {
        ran.push_back(1);
        later.After(0, [&] { ran.push_back(3); });
    });
    const QtLater::Ticket dropped = later.After(0, [&] { ran.push_back(2); });
    later.Cancel(dropped);
    later.Cancel(dropped); // spent
    later.Cancel(12345);   // unknown
    EXPECT_TRUE(ran.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ran.size() >= 2; }, 1000));
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
}

TEST(QtLater, WorkStillWaitingGoesWithTheService) {
    bool ran = false;
    {
        QtLater later;
        later.After(0, [&] { ran = true; });
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}
