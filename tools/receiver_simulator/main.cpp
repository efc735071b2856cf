// The receiver simulator: behaves like the timing receiver on a serial line,
// for practice and demonstrations without one and for tests on a real device.
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tools/receiver_simulator/journal_playback.h"
#include "tools/receiver_simulator/monotonic_time.h"
#include "tools/receiver_simulator/serial_line.h"
#include "tools/receiver_simulator/serial_output.h"
#include "tools/receiver_simulator/simulator_options.h"
#include "tools/receiver_simulator/simulator_run.h"
#include "tools/receiver_simulator/stdin_watch.h"

namespace palomind::simulator {
namespace {

constexpr const char* kName = "receiver_simulator: ";

int Fail(const std::string& message, int status = 1) {
    std::cerr << kName << message << '\n';
    return status;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::unique_ptr<TransmissionSource> MakeSource(const SimulatorOptions& o,
                                               std::vector<RecordedReception> recorded,
                                               std::int64_t begin,
                                               std::optional<std::int64_t> finish,
                                               SeededRandom& random) {
    std::unique_ptr<TransmissionSource> source;
    if (o.journal) {
        source = std::make_unique<PlaybackSource>(std::move(recorded), begin);
    } else if (o.saturated) {
        std::vector<std::uint8_t> ids;
        for (const Transponder& t : o.transponders) ids.push_back(t.id);
        source = std::make_unique<SaturatingSource>(std::move(ids), random);
    } else {
        source = std::make_unique<LappingSource>(o.transponders, begin, finish, random);
    }
    if (o.noiseProbability > 0.0)
        source = std::make_unique<NoisySource>(std::move(source), o.noiseProbability, random);
    return source;
}

int Run(const std::vector<std::string>& args) {
    const OptionsParse parsed = ParseSimulatorOptions(args);
    if (!parsed.ok) return Fail(parsed.error + "\n" + std::string(SimulatorUsage()), 2);
    SimulatorOptions o = parsed.options;
    if (o.help) {
        std::cout << SimulatorUsage();
        return 0;
    }
    // A reader that goes away must not kill the simulator mid-log.
    std::signal(SIGPIPE, SIG_IGN);

    if (!o.seedGiven) {
        o.seed = static_cast<std::uint64_t>(MonotonicNanos());
        std::cerr << kName << "seed " << o.seed << '\n';
    }
    SeededRandom random(o.seed);

    std::vector<RecordedReception> recorded;
    if (o.journal) {
        std::ifstream in(*o.journal, std::ios::binary);
        if (!in) return Fail("cannot read " + *o.journal);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        std::string error;
        if (!ReadRecordedReceptions(text, recorded, error)) return Fail(*o.journal + ": " + error);
    }

    std::unique_ptr<std::FILE, FileCloser> log;
    if (o.logPath) {
        log.reset(std::fopen(o.logPath->c_str(), "w"));
        if (!log) return Fail("cannot write the log " + *o.logPath);
        // Line by line, so a killed run still leaves every block it sent.
        std::setvbuf(log.get(), nullptr, _IOLBF, 0);
    }

    std::string error;
    const std::unique_ptr<SerialOutput> output = o.device
                                                     ? SerialOutput::OpenDevice(*o.device, error)
                                                     : SerialOutput::OpenPseudoTerminal(error);
    if (!output) return Fail(error);
    std::cout << output->Path() << std::endl;

    StdinWatch input;
    if (o.startFromStdin) {
        const std::optional<std::string> line = input.ReadLine();
        if (!line) return Fail("standard input closed before the start line");
        const std::optional<StartLine> start = ParseStartLine(*line);
        if (!start) return Fail("the start line must be \"now\" or \"BEGIN_TICK [FINISH_TICK]\"");
        o.beginTick = start->beginTick;
        o.finishTick = start->finishTick;
    }

    const std::int64_t now = MonotonicNanos();
    const std::int64_t begin = o.beginTick ? NanosOfTick(*o.beginTick, now) : now;
    std::optional<std::int64_t> finish;
    if (o.finishTick) finish = NanosOfTick(*o.finishTick, now);

    const std::unique_ptr<TransmissionSource> source =
        MakeSource(o, std::move(recorded), begin, finish, random);
    SerialLine line(begin);
    RunLimits limits;
    if (o.durationSeconds)
        limits.endNanos = begin + static_cast<std::int64_t>(*o.durationSeconds * kNanosPerSecond);
    limits.passLimit = o.passLimit;
    limits.stopWhenStdinCloses = o.exitWithStdin;

    const RunCounts counts = RunTransmissions(*source, line, *output, log.get(), input, limits);
    std::cerr << kName << SummaryOf(counts) << '\n';
    // The line stays open until the starter lets go, as a receiver stays
    // connected after the race.
    if (o.exitWithStdin) input.WaitForClose();
    return 0;
}

}  // namespace
}  // namespace palomind::simulator

int main(int argc, char** argv) {
    return palomind::simulator::Run(std::vector<std::string>(argv + 1, argv + argc));
}
