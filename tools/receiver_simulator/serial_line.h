#pragma once
#include <cstddef>
#include <cstdint>

namespace palomind::simulator {

// The receiver's line: 19200 baud, 8 data bits, no parity, 1 stop bit, so
// every byte takes 10 bit times (start, 8 data, stop), about 0.52 ms.
inline constexpr std::int64_t kBaudRate = 19200;
inline constexpr std::int64_t kBitsPerByte = 10;
inline constexpr std::size_t kFrameBytes = 7;
inline constexpr std::int64_t kNanosPerSecond = 1'000'000'000;

// Time the line needs to carry `bytes` bytes, in nanoseconds (rounded down).
constexpr std::int64_t LineNanos(std::int64_t bytes) {
    return bytes * kBitsPerByte * kNanosPerSecond / kBaudRate;
}

// Frames per second a saturated line carries: 19200 / 70 = 274.28...
constexpr double kFramesPerSecond =
    static_cast<double>(kBaudRate) / static_cast<double>(kBitsPerByte * kFrameBytes);

// When bytes offered to the line arrive at the far end. Bytes are carried in
// the order offered; a block offered while the line is still busy waits for
// it. Times are nanoseconds on one monotonic clock.
class SerialLine {
  public:
    // The line is idle from `idleFromNanos` on.
    explicit SerialLine(std::int64_t idleFromNanos);

    // Offers `bytes` bytes at `wantedNanos`; returns when the last of them has
    // arrived, and keeps the line busy until then.
    std::int64_t Carry(std::int64_t wantedNanos, std::size_t bytes);

    // When the line is next idle.
    std::int64_t IdleFrom() const;

  private:
    // A busy stretch is kept as its start and the bytes carried since, so that
    // back-to-back blocks never accumulate rounding: byte n of a stretch
    // arrives at exactly start + n byte times.
    std::int64_t busySince_;
    std::int64_t bytesSince_ = 0;
};

}  // namespace palomind::simulator
