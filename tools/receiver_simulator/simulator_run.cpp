#include "tools/receiver_simulator/simulator_run.h"

#include "tools/receiver_simulator/monotonic_time.h"
#include "tools/receiver_simulator/send_log.h"

namespace palomind::simulator {

RunCounts RunTransmissions(TransmissionSource& source, SerialLine& line, SerialOutput& output,
                           std::FILE* log, StdinWatch& input, const RunLimits& limits) {
    RunCounts counts;
    while (!limits.passLimit || counts.Sent(TransmissionKind::Pass) < *limits.passLimit) {
        std::optional<Transmission> next = source.Next();
        if (!next) break;
        const std::int64_t arrival = line.Carry(next->dueNanos, next->bytes.size());
        if (limits.endNanos && arrival > *limits.endNanos) break;
        if (!input.SleepUntil(arrival, limits.stopWhenStdinCloses)) break;

        const std::size_t written = output.Write(next->bytes);
        SendLogEntry entry;
        entry.nanos = MonotonicNanos();
        entry.kind = next->kind;
        const bool whole = written == next->bytes.size();
        entry.outcome = whole          ? SendOutcome::Sent
                        : written == 0 ? SendOutcome::Lost
                                       : SendOutcome::Cut;
        ++(whole ? counts.sent : counts.lost)[static_cast<std::size_t>(next->kind)];
        counts.bytesSent += static_cast<std::int64_t>(written);
        if (log != nullptr) {
            if (entry.outcome == SendOutcome::Cut) next->bytes.resize(written);
            entry.bytes = std::move(next->bytes);
            std::fprintf(log, "%s\n", FormatSendLogLine(entry).c_str());
        }
    }
    return counts;
}

std::string SummaryOf(const RunCounts& counts) {
    std::int64_t noiseSent = 0;
    std::int64_t lost = 0;
    for (TransmissionKind kind : {TransmissionKind::WrongChecksum, TransmissionKind::BrokenSync,
                                  TransmissionKind::StrayBytes})
        noiseSent += counts.Sent(kind);
    for (std::int64_t n : counts.lost) lost += n;
    return "sent " + std::to_string(counts.Sent(TransmissionKind::Pass)) + " valid frames, " +
           std::to_string(noiseSent) + " noise bursts, " +
           std::to_string(counts.Sent(TransmissionKind::Recorded)) + " recorded blocks (" +
           std::to_string(counts.bytesSent) + " bytes); lost " + std::to_string(lost) +
           " blocks nobody was reading";
}

}  // namespace palomind::simulator
