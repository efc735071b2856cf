#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "tools/receiver_simulator/serial_line.h"
#include "tools/receiver_simulator/serial_output.h"
#include "tools/receiver_simulator/stdin_watch.h"
#include "tools/receiver_simulator/transmission_sources.h"

namespace palomind::simulator {

struct RunLimits {
    std::optional<std::int64_t> endNanos;   // send nothing that would arrive later
    std::optional<std::int64_t> passLimit;  // stop after this many valid frames sent
    bool stopWhenStdinCloses = false;
};

struct RunCounts {
    static constexpr std::size_t kKinds = 5;
    std::array<std::int64_t, kKinds> sent{};  // by TransmissionKind: went out whole
    std::array<std::int64_t, kKinds> lost{};  // did not go out, or only in part
    std::int64_t bytesSent = 0;               // every byte that went out

    std::int64_t Sent(TransmissionKind kind) const { return sent[static_cast<std::size_t>(kind)]; }
    std::int64_t Lost(TransmissionKind kind) const { return lost[static_cast<std::size_t>(kind)]; }
};

// Puts the source's blocks on the line: each is written when its last byte
// would have arrived over the 19200 baud line (so the far end sees them no
// sooner than a real receiver's), and logged with the time of the write.
RunCounts RunTransmissions(TransmissionSource& source, SerialLine& line, SerialOutput& output,
                           std::FILE* log, StdinWatch& input, const RunLimits& limits);

// One line for the operator, e.g. "sent 812 valid frames, 40 noise bursts; lost 0".
std::string SummaryOf(const RunCounts& counts);

}  // namespace palomind::simulator
