#include "tools/receiver_simulator/delivery_latency.h"

#include <algorithm>
#include <cmath>

#include "tools/receiver_simulator/monotonic_time.h"

namespace palomind::simulator {

namespace {

// Reads the received bytes one by one across the receptions.
class ReceivedStream {
  public:
    explicit ReceivedStream(const std::vector<RecordedReception>& received) : received_(received) {
        SkipEmpty();
    }
    bool AtEnd() const { return block_ >= received_.size(); }
    std::uint8_t Byte() const { return received_[block_].bytes[offset_]; }
    std::int32_t Tick() const { return received_[block_].tick; }
    std::int64_t Position() const { return position_; }
    void Advance() {
        ++position_;
        if (++offset_ >= received_[block_].bytes.size()) {
            ++block_;
            offset_ = 0;
            SkipEmpty();
        }
    }

  private:
    void SkipEmpty() {
        while (block_ < received_.size() && received_[block_].bytes.empty()) ++block_;
    }
    const std::vector<RecordedReception>& received_;
    std::size_t block_ = 0;
    std::size_t offset_ = 0;
    std::int64_t position_ = 0;
};

}  // namespace

DeliveryReport MatchDeliveries(const std::vector<SendLogEntry>& sent,
                               const std::vector<RecordedReception>& received) {
    DeliveryReport report;
    ReceivedStream stream(received);
    for (const SendLogEntry& entry : sent) {
        const bool pass = entry.kind == TransmissionKind::Pass;
        if (pass) ++report.passesSent;
        if (entry.outcome == SendOutcome::Lost) continue;
        std::int32_t tick = 0;
        for (std::uint8_t b : entry.bytes) {
            if (stream.AtEnd() || stream.Byte() != b) {
                report.error = "received byte " + std::to_string(stream.Position()) +
                               (stream.AtEnd() ? " is missing" : " differs from the byte sent");
                return report;
            }
            tick = stream.Tick();
            stream.Advance();
        }
        if (pass && entry.outcome == SendOutcome::Sent) {
            ++report.passesDelivered;
            // Both are the monotonic clock's milliseconds, wrapped alike.
            report.latenciesMs.push_back(
                static_cast<std::int32_t>(static_cast<std::uint32_t>(tick) -
                                          static_cast<std::uint32_t>(TickAt(entry.nanos))));
        }
    }
    if (!stream.AtEnd()) {
        report.error = "received " + std::to_string(stream.Position()) +
                       " bytes as sent, then bytes that were never sent";
        return report;
    }
    report.ok = true;
    return report;
}

std::int32_t Percentile(std::vector<std::int32_t> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto rank =
        static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

}  // namespace palomind::simulator
