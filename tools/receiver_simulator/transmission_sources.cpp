#include "tools/receiver_simulator/transmission_sources.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "tools/receiver_simulator/serial_line.h"

namespace palomind::simulator {

namespace {

constexpr std::int64_t kShortestLapNanos = 50'000'000;

std::int64_t SecondsToNanos(double seconds) {
    return static_cast<std::int64_t>(std::llround(seconds * static_cast<double>(kNanosPerSecond)));
}

}  // namespace

LappingSource::LappingSource(std::vector<Transponder> transponders, std::int64_t beginNanos,
                             std::optional<std::int64_t> finishNanos, SeededRandom& random)
    : finishNanos_(finishNanos), random_(random) {
    for (const Transponder& t : transponders) {
        Runner runner{
            t, beginNanos + static_cast<std::int64_t>(
                                random_.Unit() * static_cast<double>(DrawLapNanos(t, random_)))};
        runner.nextPassNanos = GuardedAgainstFinish(runner.nextPassNanos);
        runners_.push_back(runner);
    }
}

std::int64_t LappingSource::DrawLapNanos(const Transponder& transponder, SeededRandom& random) {
    const double deviation = std::clamp(random.Normal(), -3.0, 3.0);
    const double seconds = transponder.meanLapSeconds + deviation * transponder.spreadSeconds;
    return std::max(SecondsToNanos(seconds), kShortestLapNanos);
}

std::int64_t LappingSource::GuardedAgainstFinish(std::int64_t passNanos) const {
    if (!finishNanos_) return passNanos;
    if (passNanos > *finishNanos_ - kFinishGuardNanos &&
        passNanos < *finishNanos_ + kFinishGuardNanos)
        return *finishNanos_ + kFinishGuardNanos;
    return passNanos;
}

std::optional<Transmission> LappingSource::Next() {
    Runner* soonest = nullptr;
    for (Runner& r : runners_) {
        if (!r.finished && (soonest == nullptr || r.nextPassNanos < soonest->nextPassNanos))
            soonest = &r;
    }
    if (soonest == nullptr) return std::nullopt;

    Transmission pass{soonest->nextPassNanos, TransmissionKind::Pass,
                      MakePassFrame(soonest->transponder.id, random_)};
    if (finishNanos_ && pass.dueNanos > *finishNanos_) {
        soonest->finished = true;
    } else {
        soonest->nextPassNanos =
            GuardedAgainstFinish(pass.dueNanos + DrawLapNanos(soonest->transponder, random_));
    }
    return pass;
}

SaturatingSource::SaturatingSource(std::vector<std::uint8_t> ids, SeededRandom& random)
    : ids_(std::move(ids)), random_(random) {}

std::optional<Transmission> SaturatingSource::Next() {
    if (ids_.empty()) return std::nullopt;
    const std::uint8_t id = ids_[random_.Below(ids_.size())];
    // Due since forever: the line sends it the moment it is free.
    return Transmission{std::numeric_limits<std::int64_t>::min(), TransmissionKind::Pass,
                        MakePassFrame(id, random_)};
}

PlaybackSource::PlaybackSource(std::vector<RecordedReception> receptions, std::int64_t beginNanos)
    : receptions_(std::move(receptions)), beginNanos_(beginNanos) {}

std::optional<Transmission> PlaybackSource::Next() {
    if (next_ >= receptions_.size()) return std::nullopt;
    const RecordedReception& r = receptions_[next_++];
    // Ticks are milliseconds of a counter that wraps at 32 bits: the spacing
    // is the wrapped difference.
    const auto sinceFirst = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(r.tick) - static_cast<std::uint32_t>(receptions_.front().tick));
    return Transmission{beginNanos_ + static_cast<std::int64_t>(sinceFirst) * 1'000'000,
                        TransmissionKind::Recorded, r.bytes};
}

NoisySource::NoisySource(std::unique_ptr<TransmissionSource> inner, double probability,
                         SeededRandom& random)
    : inner_(std::move(inner)), probability_(probability), random_(random) {}

std::optional<Transmission> NoisySource::Next() {
    if (held_) {
        std::optional<Transmission> pass = std::move(held_);
        held_.reset();
        return pass;
    }
    std::optional<Transmission> next = inner_->Next();
    if (!next || next->kind != TransmissionKind::Pass || !random_.Chance(probability_)) return next;
    Noise noise = MakeRandomNoise(random_);
    const std::int64_t due = next->dueNanos;
    held_ = std::move(next);
    return Transmission{due, noise.kind, std::move(noise.bytes)};
}

}  // namespace palomind::simulator
