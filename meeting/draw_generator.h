#pragma once
#include <cstdint>

namespace palomind {

// The random numbers of the heat draw, the same on every platform for one
// seed (docs/meeting.md, "The draw"): SplitMix64, and a bounded draw that
// rejects the values that would make it uneven.
class DrawGenerator {
  public:
    explicit DrawGenerator(std::uint64_t seed) : state_(seed) {}
    // The next 64-bit value of SplitMix64.
    std::uint64_t Next();
    // A value from 0 to bound - 1, each as likely; bound >= 1.
    std::uint64_t Below(std::uint64_t bound);

  private:
    std::uint64_t state_;
};

}  // namespace palomind
