#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "tools/receiver_simulator/receiver_frames.h"
#include "tools/receiver_simulator/seeded_random.h"

namespace palomind::simulator {

// One block the receiver puts on the line.
struct Transmission {
    std::int64_t dueNanos = 0;  // when the receiver starts sending it (monotonic clock)
    TransmissionKind kind = TransmissionKind::Pass;
    Bytes bytes;
};

// Makes the blocks of a run in the order they go on the line.
class TransmissionSource {
  public:
    virtual ~TransmissionSource() = default;
    // The next block; nothing once the source has no more.
    virtual std::optional<Transmission> Next() = 0;
};

struct Transponder {
    std::uint8_t id = 1;
    double meanLapSeconds = 15.0;
    double spreadSeconds = 0.8;  // standard deviation of a lap
};

// Passes within this distance of the finish are moved just past it, so that
// whether a pass comes before or after the end of the race never depends on
// a few milliseconds of delivery.
inline constexpr std::int64_t kFinishGuardNanos = 500'000'000;

// Transponders lapping a track. Each makes its first pass at a random moment
// of its first lap after `beginNanos`, then one pass per lap; a lap is normal
// about the transponder's mean with its spread, cut at three spreads either
// side and never shorter than 50 ms. With a finish, each transponder's first
// pass after it is its last, as a race is finished: the source ends when all
// have finished. Without one it never ends.
class LappingSource final : public TransmissionSource {
  public:
    LappingSource(std::vector<Transponder> transponders, std::int64_t beginNanos,
                  std::optional<std::int64_t> finishNanos, SeededRandom& random);
    std::optional<Transmission> Next() override;

    // One lap of `transponder`, in nanoseconds.
    static std::int64_t DrawLapNanos(const Transponder& transponder, SeededRandom& random);

  private:
    struct Runner {
        Transponder transponder;
        std::int64_t nextPassNanos = 0;
        bool finished = false;
    };
    std::int64_t GuardedAgainstFinish(std::int64_t passNanos) const;

    std::vector<Runner> runners_;
    std::optional<std::int64_t> finishNanos_;
    SeededRandom& random_;
};

// Valid frames back to back at the full line rate, each of a transponder
// drawn at random from `ids`. Never ends.
class SaturatingSource final : public TransmissionSource {
  public:
    SaturatingSource(std::vector<std::uint8_t> ids, SeededRandom& random);
    std::optional<Transmission> Next() override;

  private:
    std::vector<std::uint8_t> ids_;
    SeededRandom& random_;
};

// A block of bytes received at a tick (the rx events of a race journal).
struct RecordedReception {
    std::int32_t tick = 0;
    Bytes bytes;
};

// Plays back recorded receptions with their original spacing, the first at
// `beginNanos`.
class PlaybackSource final : public TransmissionSource {
  public:
    PlaybackSource(std::vector<RecordedReception> receptions, std::int64_t beginNanos);
    std::optional<Transmission> Next() override;

  private:
    std::vector<RecordedReception> receptions_;
    std::size_t next_ = 0;
    std::int64_t beginNanos_;
};

// Puts a burst of noise on the line right before a pass of the inner source,
// with the given probability per pass.
class NoisySource final : public TransmissionSource {
  public:
    NoisySource(std::unique_ptr<TransmissionSource> inner, double probability,
                SeededRandom& random);
    std::optional<Transmission> Next() override;

  private:
    std::unique_ptr<TransmissionSource> inner_;
    double probability_;
    SeededRandom& random_;
    std::optional<Transmission> held_;
};

}  // namespace palomind::simulator
