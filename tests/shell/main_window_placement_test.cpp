#include "shell/main_window_placement.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMoveEvent>
#include <QTest>
#include <QWidget>
#include <string>

#include "tests/support/platform_fakes.h"

namespace palomind {
namespace {

// The offscreen screen has 96 logical dots per inch: 15 twips a pixel. It has
// no window manager, so the frame is whatever the test says it is.
class MainWindowPlacementTest : public ::testing::Test {
  protected:
    std::string& Stored(const char* key) { return settings.values[{"Settings", key}]; }
    void StorePlacement(int left, int top, int width, int height) {
        Stored("MainLeft") = std::to_string(left);
        Stored("MainTop") = std::to_string(top);
        Stored("MainWidth") = std::to_string(width);
        Stored("MainHeight") = std::to_string(height);
    }

    testing::MemorySettingsStore settings;
    QMargins frame{4, 30, 4, 4};
    MainWindowPlacement placement{settings, [this](const QWidget&) { return frame; }};
    QWidget window;
};

TEST_F(MainWindowPlacementTest, SizeIsTheOuterWindowsFrameIncluded) {
    StorePlacement(1500, 750, 9000, 6000);
    placement.Restore(window);
    EXPECT_EQ(window.pos(), QPoint(100, 50));
    EXPECT_EQ(window.size(), QSize(600 - 8, 400 - 34));

    window.resize(window.width() + 10, window.height() - 20);
    window.move(30, 45);
    placement.Store(window);
    EXPECT_EQ(Stored("MainLeft"), "450");
    EXPECT_EQ(Stored("MainTop"), "675");
    EXPECT_EQ(Stored("MainWidth"), "9150");
    EXPECT_EQ(Stored("MainHeight"), "5700");
}

TEST_F(MainWindowPlacementTest, ValuesOfAnUnchangedWindowAreStoredAsTheyWereRead) {
    // None of these is a whole number of pixels.
    StorePlacement(1510, 1007, 10000, 9001);
    for (int run = 0; run < 3; ++run) {
        placement.Restore(window);
        placement.Store(window);
    }
    EXPECT_EQ(Stored("MainLeft"), "1510");
    EXPECT_EQ(Stored("MainTop"), "1007");
    EXPECT_EQ(Stored("MainWidth"), "10000");
    EXPECT_EQ(Stored("MainHeight"), "9001");

    // Moved, not resized: only the position is the window's own.
    placement.Restore(window);
    window.move(window.x() + 1, window.y());
    placement.Store(window);
    EXPECT_EQ(Stored("MainLeft"), "1530");
    EXPECT_EQ(Stored("MainTop"), "1007");
    EXPECT_EQ(Stored("MainWidth"), "10000");
}

TEST_F(MainWindowPlacementTest, FrameAddedOnlyOnceShownStillLeavesTheStoredOuterSize) {
    StorePlacement(0, 0, 9000, 6000);
    frame = {};  // as on X11, where the frame comes with the showing
    placement.Restore(window);
    EXPECT_EQ(window.size(), QSize(600, 400));
    window.show();
    frame = {4, 30, 4, 4};
    QMoveEvent framed(window.pos(), window.pos());
    QCoreApplication::sendEvent(&window, &framed);
    EXPECT_EQ(window.size(), QSize(592, 366));
    placement.Store(window);
    EXPECT_EQ(Stored("MainWidth"), "9000");
    EXPECT_EQ(Stored("MainHeight"), "6000");

    // A size the operator chose is not corrected any more.
    window.resize(500, 300);
    frame = {2, 20, 2, 2};
    QCoreApplication::sendEvent(&window, &framed);
    EXPECT_EQ(window.size(), QSize(500, 300));
    placement.Store(window);
    EXPECT_EQ(Stored("MainWidth"), "7560");
    EXPECT_EQ(Stored("MainHeight"), "4830");
}

// A crash loses at most a second of moving the window: while it is shown,
// moves are stored at most once per interval, and the last one always.
TEST(MainWindowPlacementWhileMoving, StoresAtMostOncePerIntervalAndAlwaysTheLastPlace) {
    testing::MemorySettingsStore settings;
    MainWindowPlacement placement{settings, [](const QWidget&) { return QMargins(); }};
    const int interval = static_cast<int>(MainWindowPlacement::kStoreInterval.count());
    QWidget window;
    placement.Restore(window);
    window.move(15, 15);  // not shown yet: being placed, not moved
    QCoreApplication::processEvents();
    EXPECT_EQ(settings.saves, 0);

    window.show();
    QCoreApplication::processEvents();
    QTest::qWait(interval + 100);  // whatever showing it stored is a while ago
    const int beforeMoving = settings.saves;
    for (int x = 1; x <= 20; ++x) {
        window.move(x * 10, 30);
        QCoreApplication::processEvents();
    }
    QTest::qWait(50);
    // Moving for far less than the interval: the first store and no other yet.
    EXPECT_EQ((settings.saves - beforeMoving) / 4, 1);
    QTest::qWait(interval + 200);  // the trailing store
    EXPECT_EQ((settings.saves - beforeMoving) / 4, 2);
    const auto stored = [&settings](const char* key) { return settings.values[{"Settings", key}]; };
    EXPECT_EQ(stored("MainLeft"), "3000");  // 200 px
    EXPECT_EQ(stored("MainTop"), "450");
}

}  // namespace
}  // namespace palomind
