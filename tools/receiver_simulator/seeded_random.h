#pragma once
#include <cstdint>
#include <random>

namespace palomind::simulator {

// Random draws that depend only on the seed. The engine is fully specified by
// the language; the standard distributions are not (they differ between
// standard libraries), so the draws are made here from its raw output and a
// seeded run repeats byte for byte wherever it is built.
class SeededRandom {
  public:
    explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}

    // Uniform in [0, bound); bound must be > 0.
    std::uint64_t Below(std::uint64_t bound);
    // Uniform in [low, high], both inclusive.
    int Between(int low, int high);
    // Uniform in [0, 1).
    double Unit();
    // True with the given probability.
    bool Chance(double probability) { return Unit() < probability; }
    // Standard normal (mean 0, deviation 1).
    double Normal();
    std::uint8_t Byte() { return static_cast<std::uint8_t>(engine_() & 0xFF); }

  private:
    std::mt19937_64 engine_;
};

}  // namespace palomind::simulator
