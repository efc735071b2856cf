#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/receiver_simulator/transmission_sources.h"

namespace palomind::simulator {

// How a run of the simulator is set up, from its command line.
struct SimulatorOptions {
    std::optional<std::string> device;  // write to this device; otherwise a new pseudo-terminal
    std::vector<Transponder> transponders;
    std::uint64_t seed = 0;
    bool seedGiven = false;
    double noiseProbability = 0.0;  // per valid frame: a burst of noise just before it
    bool saturated = false;
    std::optional<std::string> journal;  // play back its rx events instead
    std::optional<std::string> logPath;
    std::optional<double> durationSeconds;
    std::optional<std::int64_t> passLimit;
    std::optional<std::int32_t> beginTick;   // first lap starts at this application tick
    std::optional<std::int32_t> finishTick;  // each transponder's first pass after it is its last
    bool startFromStdin = false;             // wait for a start line on standard input
    bool exitWithStdin = false;              // end when standard input is closed
    bool help = false;
};

struct OptionsParse {
    bool ok = false;
    SimulatorOptions options;
    std::string error;
};

OptionsParse ParseSimulatorOptions(const std::vector<std::string>& args);

std::string_view SimulatorUsage();

// The start line read from standard input with --start-from-stdin:
// "now", or "BEGIN_TICK [FINISH_TICK]" in application ticks.
struct StartLine {
    std::optional<std::int32_t> beginTick;
    std::optional<std::int32_t> finishTick;
};
std::optional<StartLine> ParseStartLine(std::string_view line);

}  // namespace palomind::simulator
