#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/receiver_simulator/send_log.h"
#include "tools/receiver_simulator/transmission_sources.h"

namespace palomind::simulator {

// What became of the simulator's blocks at the application, from the
// simulator's send log and the receptions the application journaled.
struct DeliveryReport {
    bool ok = false;
    std::string error;  // why the two do not line up (a byte lost, changed or added)
    std::int64_t passesSent = 0;
    std::int64_t passesDelivered = 0;
    // Per delivered pass: the application's tick for the reception that
    // completed the frame minus the tick of the simulator's write, in ms.
    std::vector<std::int32_t> latenciesMs;
};

// Lines the bytes that went out up with the bytes that came in. Every byte
// sent must arrive, in order, and nothing else may arrive.
DeliveryReport MatchDeliveries(const std::vector<SendLogEntry>& sent,
                               const std::vector<RecordedReception>& received);

// The nearest-rank percentile (0 < fraction <= 1) of the values; 0 when empty.
std::int32_t Percentile(std::vector<std::int32_t> values, double fraction);

}  // namespace palomind::simulator
