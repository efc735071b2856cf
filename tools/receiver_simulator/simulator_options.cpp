#include "tools/receiver_simulator/simulator_options.h"

#include <charconv>
#include <cmath>
#include <map>

#include "engine/receiver_frame.h"

namespace palomind::simulator {

namespace {

constexpr int kDefaultTransponders = 8;
// Out of the box the field is spread a little, so the standings change as
// the race goes on: transponder n laps in 14 s + n x 0.4 s on average.
constexpr double kDefaultFastestLap = 14.0;
constexpr double kDefaultLapStep = 0.4;
constexpr double kDefaultSpread = 0.8;

constexpr std::string_view kUsage =
    "usage: receiver_simulator [options]\n"
    "Behaves like the timing receiver: sends 7-byte frames (FE FE FE, ID, two data bytes,\n"
    "checksum) paced as a 19200 baud 8N1 line carries them. Without --device it opens a\n"
    "pseudo-terminal and prints the path of its serial end on the first line of output.\n"
    "  --device PATH          write to this device instead\n"
    "  --transponders N       N transponders with IDs 1..N (default 8)\n"
    "  --ids A,B,...          transponders with these IDs\n"
    "  --lap MEAN[:SPREAD]    lap time in seconds of every transponder, and its deviation\n"
    "  --lap-of ID=MEAN[:SPREAD]  lap time of one transponder (repeatable)\n"
    "  --seed N               repeat a run exactly (default: from the clock, printed)\n"
    "  --noise P              probability per valid frame of a burst of noise before it\n"
    "                         (wrong checksum, broken sync run or stray bytes)\n"
    "  --saturated            frames back to back at the full line rate (274 per second)\n"
    "  --play-journal FILE    send the rx events of a race journal with their timing\n"
    "  --log FILE             log every block sent, with its monotonic time in ms\n"
    "  --duration SECONDS     stop after this long\n"
    "  --passes N             stop after N valid frames\n"
    "  --begin-at TICK        start lapping at this application tick (monotonic ms)\n"
    "  --finish-at TICK       each transponder's first pass after TICK is its last\n"
    "  --start-from-stdin     wait for a line \"now\" or \"BEGIN [FINISH]\" on standard input\n"
    "  --exit-with-stdin      keep the line open until standard input closes\n";

template <typename Number>
bool ReadNumber(std::string_view text, Number& value) {
    if (text.empty()) return false;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

bool ReadId(std::string_view text, std::uint8_t& id) {
    int value = 0;
    // 0xFE would be a sync byte: no frame can carry it.
    if (!ReadNumber(text, value) || value < 0 || value > 255 || value == kReceiverSyncByte)
        return false;
    id = static_cast<std::uint8_t>(value);
    return true;
}

struct Lap {
    double mean = 0;
    std::optional<double> spread;
};

bool ReadLap(std::string_view text, Lap& lap) {
    const std::size_t colon = text.find(':');
    if (!ReadNumber(text.substr(0, colon), lap.mean) || !std::isfinite(lap.mean) || lap.mean <= 0)
        return false;
    if (colon == std::string_view::npos) return true;
    double spread = 0;
    if (!ReadNumber(text.substr(colon + 1), spread) || !std::isfinite(spread) || spread < 0)
        return false;
    lap.spread = spread;
    return true;
}

bool ReadIdList(std::string_view text, std::vector<std::uint8_t>& ids) {
    ids.clear();
    while (true) {
        const std::size_t comma = text.find(',');
        std::uint8_t id = 0;
        if (!ReadId(text.substr(0, comma), id)) return false;
        for (std::uint8_t seen : ids)
            if (seen == id) return false;
        ids.push_back(id);
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

class Parser {
  public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) {}

    OptionsParse Run() {
        OptionsParse result;
        SimulatorOptions& o = result.options;
        std::optional<int> count;
        std::vector<std::uint8_t> ids;
        std::optional<Lap> allLaps;
        std::map<std::uint8_t, Lap> lapOf;
        for (i_ = 0; i_ < args_.size(); ++i_) {
            const std::string& option = args_[i_];
            if (option == "--help" || option == "-h") {
                o.help = true;
            } else if (option == "--saturated") {
                o.saturated = true;
            } else if (option == "--start-from-stdin") {
                o.startFromStdin = true;
            } else if (option == "--exit-with-stdin") {
                o.exitWithStdin = true;
            } else if (!HasValue()) {
                return Fail(result, option + " needs a value");
            } else if (const std::string& value = args_[++i_]; option == "--device") {
                o.device = value;
            } else if (option == "--transponders") {
                int n = 0;
                if (!ReadNumber(value, n) || n < 1 || n > 64)
                    return Fail(result, "--transponders takes 1 to 64");
                count = n;
            } else if (option == "--ids") {
                if (!ReadIdList(value, ids))
                    return Fail(result,
                                "--ids takes distinct IDs 0..255 (not 254), separated by commas");
            } else if (option == "--lap") {
                Lap lap;
                if (!ReadLap(value, lap))
                    return Fail(result, "--lap takes MEAN[:SPREAD] in seconds");
                allLaps = lap;
            } else if (option == "--lap-of") {
                const std::size_t equals = value.find('=');
                std::uint8_t id = 0;
                Lap lap;
                if (equals == std::string::npos ||
                    !ReadId(std::string_view(value).substr(0, equals), id) ||
                    !ReadLap(std::string_view(value).substr(equals + 1), lap))
                    return Fail(result, "--lap-of takes ID=MEAN[:SPREAD]");
                lapOf[id] = lap;
            } else if (option == "--seed") {
                if (!ReadNumber(value, o.seed))
                    return Fail(result, "--seed takes an unsigned number");
                o.seedGiven = true;
            } else if (option == "--noise") {
                if (!ReadNumber(value, o.noiseProbability) || !(o.noiseProbability >= 0.0) ||
                    o.noiseProbability > 1.0)
                    return Fail(result, "--noise takes a probability from 0 to 1");
            } else if (option == "--play-journal") {
                o.journal = value;
            } else if (option == "--log") {
                o.logPath = value;
            } else if (option == "--duration") {
                double seconds = 0;
                if (!ReadNumber(value, seconds) || !std::isfinite(seconds) || seconds <= 0)
                    return Fail(result, "--duration takes a positive number of seconds");
                o.durationSeconds = seconds;
            } else if (option == "--passes") {
                std::int64_t n = 0;
                if (!ReadNumber(value, n) || n < 1)
                    return Fail(result, "--passes takes a positive count");
                o.passLimit = n;
            } else if (option == "--begin-at" || option == "--finish-at") {
                std::int32_t tick = 0;
                if (!ReadNumber(value, tick))
                    return Fail(result, option + " takes a signed 32-bit tick");
                (option == "--begin-at" ? o.beginTick : o.finishTick) = tick;
            } else {
                return Fail(result, "unknown option " + option);
            }
        }
        if (count && !ids.empty()) return Fail(result, "give --transponders or --ids, not both");
        if (o.saturated && o.journal)
            return Fail(result, "give --saturated or --play-journal, not both");
        if (o.startFromStdin && (o.beginTick || o.finishTick))
            return Fail(
                result,
                "--start-from-stdin reads the ticks; do not give --begin-at or --finish-at");
        if (ids.empty()) {
            for (int id = 1; id <= count.value_or(kDefaultTransponders); ++id)
                ids.push_back(static_cast<std::uint8_t>(id));
        }
        for (std::size_t n = 0; n < ids.size(); ++n) {
            Transponder t;
            t.id = ids[n];
            t.meanLapSeconds = kDefaultFastestLap + kDefaultLapStep * static_cast<double>(n);
            t.spreadSeconds = kDefaultSpread;
            for (const Lap* lap : {allLaps ? &*allLaps : nullptr,
                                   lapOf.contains(t.id) ? &lapOf.at(t.id) : nullptr}) {
                if (lap == nullptr) continue;
                t.meanLapSeconds = lap->mean;
                if (lap->spread) t.spreadSeconds = *lap->spread;
            }
            o.transponders.push_back(t);
        }
        for (const auto& [id, lap] : lapOf) {
            bool known = false;
            for (std::uint8_t seen : ids) known = known || seen == id;
            if (!known)
                return Fail(result,
                            "--lap-of names ID " + std::to_string(id) + ", which is not racing");
        }
        result.ok = true;
        return result;
    }

  private:
    bool HasValue() const { return i_ + 1 < args_.size(); }
    static OptionsParse& Fail(OptionsParse& result, std::string error) {
        result.ok = false;
        result.error = std::move(error);
        return result;
    }

    const std::vector<std::string>& args_;
    std::size_t i_ = 0;
};

}  // namespace

OptionsParse ParseSimulatorOptions(const std::vector<std::string>& args) {
    return Parser(args).Run();
}

std::string_view SimulatorUsage() {
    return kUsage;
}

std::optional<StartLine> ParseStartLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.remove_suffix(1);
    if (line == "now") return StartLine{};
    StartLine start;
    const std::size_t space = line.find(' ');
    std::int32_t begin = 0;
    if (!ReadNumber(line.substr(0, space), begin)) return std::nullopt;
    start.beginTick = begin;
    if (space != std::string_view::npos) {
        std::int32_t finish = 0;
        if (!ReadNumber(line.substr(space + 1), finish)) return std::nullopt;
        start.finishTick = finish;
    }
    return start;
}

}  // namespace palomind::simulator
