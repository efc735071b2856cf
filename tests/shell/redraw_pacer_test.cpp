#include "shell/redraw_pacer.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

namespace palomind {
namespace {

TEST(RedrawPacerTest, BurstIsDrawnAtOnceThenOnceMoreWithinTheInterval) {
    int redraws = 0;
    int undrawnChanges = 0;
    RedrawPacer pacer([&] {
        ++redraws;
        undrawnChanges = 0;
    });
    ++undrawnChanges;
    pacer.Changed();
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(undrawnChanges, 0);

    QElapsedTimer burst;
    burst.start();
    for (int i = 0; i < 200; ++i) {
        ++undrawnChanges;
        pacer.Changed();
    }
    // One redraw per interval at most, however long a busy machine took.
    EXPECT_LE(redraws, 2 + burst.elapsed() / RedrawPacer::kIntervalMs);
    // The last change of the burst is drawn without a further change.
    for (int waited = 0; undrawnChanges != 0 && waited < 2000; waited += 10) QTest::qWait(10);
    EXPECT_EQ(undrawnChanges, 0);
}

}  // namespace
}  // namespace palomind
