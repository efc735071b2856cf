#include "tools/receiver_simulator/serial_line.h"

#include <gtest/gtest.h>

#include "tools/receiver_simulator/monotonic_time.h"

namespace palomind::simulator {
namespace {

TEST(SerialLine, ByteAndFrameTimesAreThoseOf19200Baud8N1) {
    EXPECT_EQ(LineNanos(1), 520'833);    // 10 bits at 19200 baud
    EXPECT_EQ(LineNanos(7), 3'645'833);  // one frame
    EXPECT_NEAR(kFramesPerSecond, 274.2857, 1e-4);
}

TEST(SerialLine, BackToBackFramesNeverDriftFromTheLineRate) {
    SerialLine line(0);
    std::int64_t arrival = 0;
    // One hour of frames at the full rate: 987428 frames, offered all at once.
    const std::int64_t frames = 987'428;
    for (std::int64_t n = 0; n < frames; ++n) arrival = line.Carry(0, 7);
    // Exactly 70 bits per frame at 19200 baud, to the nanosecond.
    EXPECT_EQ(arrival, frames * 70 * kNanosPerSecond / 19200);
    EXPECT_EQ(line.IdleFrom(), arrival);
}

TEST(SerialLine, BlockOfferedWhileBusyWaitsAndIdleLineStartsAtOnce) {
    SerialLine line(1'000'000);
    // Offered before the line is idle: starts when it is.
    EXPECT_EQ(line.Carry(0, 7), 1'000'000 + LineNanos(7));
    // Offered while the first is still going: queued behind it.
    EXPECT_EQ(line.Carry(2'000'000, 7), 1'000'000 + LineNanos(14));
    // Offered after a pause: the line starts on it at once.
    EXPECT_EQ(line.Carry(50'000'000, 3), 50'000'000 + LineNanos(3));
}

TEST(MonotonicTime, TicksNameTheMillisecondAcrossTheCounterWrap) {
    const std::int64_t ms = 1'000'000;
    EXPECT_EQ(TickAt(1234 * ms + 999'999), 1234);
    // 2^31 ms after the clock's origin the tick reads negative, like the
    // application's counter.
    const std::int64_t wrap = (std::int64_t{1} << 31) * ms;
    EXPECT_EQ(TickAt(wrap), std::numeric_limits<std::int32_t>::min());
    // A tick just past the wrap, asked for just before it, is the moment after.
    EXPECT_EQ(NanosOfTick(TickAt(wrap + 5 * ms), wrap - 3 * ms), wrap + 5 * ms);
    EXPECT_EQ(NanosOfTick(TickAt(wrap - 5 * ms), wrap + 3 * ms), wrap - 5 * ms);
    EXPECT_EQ(NanosOfTick(1200, 1234 * ms + 400), 1200 * ms);
}

}  // namespace
}  // namespace palomind::simulator
