#include "shell/program_icon.h"

#include <gtest/gtest.h>

namespace palomind {
namespace {

// The flag keeps its look at every size the desktop asks for: black and
// white squares on a transparent ground, nothing cut off at the edges.
TEST(ProgramIconTest, FlagIsDrawnWholeAtEverySize) {
    for (const int pixels : {16, 22, 32, 48, 256}) {
        const QImage image = ProgramIconImage(pixels);
        ASSERT_EQ(image.size(), QSize(pixels, pixels));
        const auto at = [&](double x, double y) {
            return image.pixelColor(static_cast<int>(x * pixels / 32),
                                    static_cast<int>(y * pixels / 32));
        };
        EXPECT_EQ(at(9.5, 6.5), QColor(Qt::black)) << pixels;   // first square
        EXPECT_EQ(at(14.5, 6.5), QColor(Qt::white)) << pixels;  // second square
        EXPECT_EQ(at(30.5, 30.5).alpha(), 0) << pixels;         // ground
        EXPECT_EQ(at(0.5, 0.5).alpha(), 0) << pixels;
    }
    EXPECT_FALSE(ProgramIcon().pixmap(32).isNull());
}

}  // namespace
}  // namespace palomind
