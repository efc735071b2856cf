// The drivers' stand display ("大型表示"): its text scales with the window,
// the countdown's digits, and its placement kept for the next run.
#include "shell/stand_display.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>

#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

class StandDisplayTest : public StartedShellTest {
  protected:
    StandDisplay& Open() {
        h.Choose("mnuViewStandDisplay");
        StandDisplay* display = h.window->Stand();
        EXPECT_NE(display, nullptr);
        return *display;
    }
    // Drawn at the size, as the screen shows it.
    static QImage Drawn(StandDisplay& display, QSize size) {
        display.resize(size);
        return display.grab().toImage();
    }
    // A race that is timing with `entrants` entrants on the track.
    void RaceWith(int entrants) {
        h.Press("レース開始");
        h.RunClockUntil(h.Now() + 11'000);
        for (int i = 0; i < entrants; ++i) h.Press("ＩＤ１");
    }
    // The share of the rows of `image` from `top` down with any lit pixel.
    static bool AnyLit(const QImage& image, int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < image.width(); x += 2)
                if (qGray(image.pixel(x, y)) > 128) return true;
        return false;
    }
};

TEST_F(StandDisplayTest, TenPlacesFillTheHeightAtEachSizeAndMoreShowTheFirstThatFit) {
    StandDisplay& display = Open();
    RaceWith(12);
    for (const QSize size : {QSize(1920, 1080), QSize(1280, 720)}) {
        const QImage image = Drawn(display, size);
        const StandLayout layout = display.Layout();
        ASSERT_EQ(display.Board().rows.size(), 12u) << size.height();
        EXPECT_EQ(layout.placesShown, 10) << size.height();
        EXPECT_GE(layout.rowHeight * 14, size.height()) << size.height();
        EXPECT_GE(layout.textPixels * 2, layout.rowHeight) << size.height();
        // The tenth row is drawn and nothing below the last row that fits.
        const int tenthTop = (StandLayout::kBandUnits + 9) * layout.rowHeight;
        EXPECT_TRUE(AnyLit(image, tenthTop, tenthTop + layout.rowHeight)) << size.height();
        EXPECT_FALSE(AnyLit(image, tenthTop + layout.rowHeight, size.height())) << size.height();
    }
}

TEST_F(StandDisplayTest, TheCountdownShowsTheSecondsToTheStartInLargeDigits) {
    StandDisplay& display = Open();
    h.Press("レース開始");
    h.RunClockUntil(h.Now() + 3'000);
    const QImage image = Drawn(display, QSize(1920, 1080));
    EXPECT_EQ(display.Board().secondsToStart, 7);
    EXPECT_GE(display.Layout().countdownPixels, 1080 / 2);
    // The digits stand in the middle, where the places would be.
    const QImage middle = image.copy(0, 1080 / 3, 1920, 1080 / 3);
    EXPECT_TRUE(AnyLit(middle, 0, middle.height()));

    h.RunClockUntil(h.Now() + 8'000);
    Drawn(display, QSize(1920, 1080));
    EXPECT_EQ(display.Board().secondsToStart, std::nullopt);
}

TEST_F(StandDisplayTest, ItsPlaceAndFullScreenAreKeptWhenItCloses) {
    StandDisplay& display = Open();
    display.move(40, 30);
    display.resize(800, 450);
    display.close();
    EXPECT_EQ(h.settings.values.count({"Settings", "StandWidth"}), 1u);
    EXPECT_EQ(h.settings.values.at({"Settings", "StandFullScreen"}), "0");
    EXPECT_EQ(h.settings.values.count({"Settings", "MainWidth"}), 0u);
}

}  // namespace
}  // namespace palomind::testing
