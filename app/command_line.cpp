#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#if !defined(PALOMIND_VERSION)
#error "the build passes the program version in PALOMIND_VERSION"
#endif

namespace palomind {

namespace {

constexpr std::string_view kReplayRun = "--replay";
constexpr std::string_view kHelpRun = "--help";
constexpr std::string_view kVersionRun = "--version";
constexpr std::string_view kSayRun = "--say";
constexpr std::string_view kRankRun = "--rank";
constexpr std::string_view kMainsRun = "--mains";
constexpr std::string_view kGridRun = "--grid";
constexpr std::string_view kFinalRun = "--final";
constexpr std::string_view kMeetingRun = "--meeting";

constexpr std::array kWebAlsoRuns{kReplayRun};
constexpr std::array kOutAlsoRuns{kMainsRun, kGridRun, kFinalRun, kMeetingRun};

// The order here is the order of --help and the manual page. An option of an
// existing run is one more row; a new run (a row whose run is its own name)
// also needs its handling in the program's entry.
constexpr std::array kOptions{
    CommandLineOption{kFileArgument, "", kWindowRun,
                      "Open this result file (.rdt) as File > Open does, or this race record "
                      "(.race) as レース記録を開く does, once the window has started; a relative "
                      "FILE is taken from the folder the program was started in."},
    CommandLineOption{"--user-folder", "", kEveryRun,
                      "Work in the folder Palomind in your home folder, created on first use, "
                      "instead of the current folder."},
    CommandLineOption{"--simulate", "", kWindowRun,
                      "Read every port from the receiver simulator for this run, without "
                      "storing the choice, as the menu item 受信機シミュレーション does."},
    CommandLineOption{"--replay", "JOURNAL", kReplayRun,
                      "Run the events of a race journal through the race engine, without a "
                      "window or a serial port, reading \"Palomind.ini\" and \"idname.ind\" as "
                      "start-up does and writing neither."},
    CommandLineOption{"--save", "RESULT.rdt", kReplayRun,
                      "Write the race result file as the save command would."},
    CommandLineOption{"--trace", "TRACE.txt", kReplayRun,
                      "List every wave file played, every status caption written and every "
                      "announcement the read-out would speak, with its tick."},
    CommandLineOption{"--until", "TICK", kReplayRun,
                      "Run the race clock on to this tick (milliseconds of the journal's clock)."},
    CommandLineOption{"--print", "REPORT.pdf", kReplayRun,
                      "Write the printed report into one PDF file."},
    CommandLineOption{"--export-csv", "RESULTS.csv", kReplayRun,
                      "Write the race's results as CSV (UTF-8, one row for each entrant), for "
                      "a spreadsheet."},
    CommandLineOption{"--export-html", "RESULTS.html", kReplayRun,
                      "Write the race's results as one HTML page that needs no other file."},
    CommandLineOption{"--races", "DIR", kReplayRun,
                      "Write the race record of every race in the journal into DIR, as the "
                      "program writes them as it runs; a record that exists is left as it is."},
    CommandLineOption{"--passes", "FILE.csv", kReplayRun,
                      "Write every pass of a race record as CSV (UTF-8, one row for each pass): "
                      "its ID, ordinal, source, tick, race time and what it became."},
    CommandLineOption{"--result-json", "FILE", kReplayRun,
                      "Write the exact result of a race record as JSON, times in milliseconds."},
    CommandLineOption{"--revision", "K", kReplayRun,
                      "Take a race record with its first K corrections (0: the race as it "
                      "ran); without it, with all of them."},
    CommandLineOption{"--web", "[ADDRESS:]PORT", kWindowRun,
                      "Publish the spectators' page on this port for this run, without storing "
                      "the choice; with --replay, serve the replayed race until interrupted.",
                      kWebAlsoRuns},
    CommandLineOption{"--say", "TEXT", kSayRun,
                      "Speak TEXT with the read-out's voice into a wave file (16-bit PCM, "
                      "mono) and exit; needs no display and no audio device."},
    CommandLineOption{"--voice", "ja|en", kSayRun, "The voice --say speaks with."},
    CommandLineOption{"--wav", "FILE", kSayRun, "The wave file --say writes."},
    CommandLineOption{"--rate", "WPM", kSayRun,
                      "The pace --say speaks at, in words per minute (80 to 450; by default "
                      "300, the read-out's default)."},
    CommandLineOption{"--rank", "IN.json", kRankRun,
                      "Rank a class over its qualifying rounds as IN.json says (method, "
                      "entrants, round results) and exit; needs no display."},
    CommandLineOption{"--mains", "IN.json", kMainsRun,
                      "Fill a class's mains from the qualifying order, main size and bump-ups "
                      "in IN.json and exit; needs no display."},
    CommandLineOption{"--grid", "IN.json", kGridRun,
                      "Fill a main's bump slots from the result of the main below, as IN.json "
                      "gives them, and exit; needs no display."},
    CommandLineOption{"--final", "IN.json", kFinalRun,
                      "Write a class's final result from its qualifying order and the results "
                      "of its mains in IN.json and exit; needs no display."},
    CommandLineOption{
        "--out", "OUT.json", kRankRun,
        "The JSON file --rank, --mains, --grid, --final, --schedule and --results write "
        "(docs/meeting.md).",
        kOutAlsoRuns},
    CommandLineOption{
        "--meeting", "DIR", kMeetingRun,
        "Work on the meeting in the folder DIR with one of --new, --class, "
        "--import-entries, --draw-heats, --schedule, --file-race and --results, and exit; "
        "needs no display."},
    CommandLineOption{"--new", "NAME", kMeetingRun,
                      "Create the meeting NAME, dated today, in DIR, which must be empty or "
                      "missing."},
    CommandLineOption{"--class", "NAME", kMeetingRun,
                      "Create the class NAME, or change the settings given of it."},
    CommandLineOption{"--race-time", "S", kMeetingRun,
                      "With --class: the race time of its heats, in seconds (default 480)."},
    CommandLineOption{"--start-wait", "S", kMeetingRun,
                      "With --class: the start wait of its heats, in seconds (default 10)."},
    CommandLineOption{"--heat-size", "N", kMeetingRun,
                      "With --class: the most entrants in one heat, 2 to 20 (default 10)."},
    CommandLineOption{"--rounds", "N", kMeetingRun,
                      "With --class: the qualifying rounds (default 3)."},
    CommandLineOption{"--min-lap", "S", kMeetingRun,
                      "With --class: the minimum lap of its heats in seconds, up to three "
                      "decimals (0, the default: the program's own)."},
    CommandLineOption{"--practice-time", "S", kMeetingRun,
                      "With --class: the length of its practice session in seconds (default "
                      "300; 0: no practice)."},
    CommandLineOption{"--method", "M", kMeetingRun,
                      "With --class: the qualifying ranking method (best-round, round-points, "
                      "laps-time, fastest-lap, consecutive)."},
    CommandLineOption{"--best", "K", kMeetingRun,
                      "With --class: the best K rounds count (all: every round)."},
    CommandLineOption{"--consecutive", "N", kMeetingRun,
                      "With --class: the laps in a row the consecutive method takes (default 3)."},
    CommandLineOption{"--main-size", "S", kMeetingRun,
                      "With --class: the most entrants in one main (default 10)."},
    CommandLineOption{"--bump", "B", kMeetingRun,
                      "With --class: the bump-up places of each main (default 0)."},
    CommandLineOption{"--legs", "L", kMeetingRun,
                      "With --class: the legs of each main (default 1)."},
    CommandLineOption{"--best-legs", "K", kMeetingRun,
                      "With --class: the best K legs count (all, the default: every leg)."},
    CommandLineOption{"--import-entries", "FILE.csv", kMeetingRun,
                      "Add the entrants of a CSV file to the entry list, creating the classes "
                      "it names."},
    CommandLineOption{"--draw-heats", "CLASS", kMeetingRun,
                      "Draw the heats of a qualifying round of CLASS anew, keeping those that "
                      "have run."},
    CommandLineOption{"--round", "N", kMeetingRun, "With --draw-heats: the round drawn."},
    CommandLineOption{"--seed", "N", kMeetingRun,
                      "With --draw-heats: the draw's seed (by default a random one); it is "
                      "stored."},
    CommandLineOption{"--seeded", "", kMeetingRun,
                      "With --draw-heats: seed the round by the class's practice (round 1) or "
                      "qualifying so far instead of drawing it, the fastest in heat 1, run "
                      "slowest first."},
    CommandLineOption{"--schedule", "", kMeetingRun,
                      "Write the heats in running order with their states to --out."},
    CommandLineOption{"--file-race", "HEAT", kMeetingRun,
                      "File the race record --record under the heat HEAT, copied into the "
                      "meeting's races/; a record filed there before is marked replaced."},
    CommandLineOption{"--record", "RECORD", kMeetingRun,
                      "With --file-race: the race record filed."},
    CommandLineOption{"--results", "HEAT", kMeetingRun,
                      "Write the exact result of the heat HEAT, of every entrant of the heat, to "
                      "--out."},
    CommandLineOption{"--help", "", kHelpRun, "Show this help and exit."},
    CommandLineOption{"--version", "", kVersionRun, "Show the version and exit."},
};

constexpr std::string_view kProgram = "palomind";
constexpr std::size_t kLineWidth = 79;

const CommandLineOption* FindOption(std::string_view name) {
    const auto found = std::find_if(kOptions.begin(), kOptions.end(),
                                    [name](const CommandLineOption& o) { return o.name == name; });
    return found == kOptions.end() ? nullptr : &*found;
}

bool StartsRun(const CommandLineOption& option) {
    return option.run == option.name;
}

// Whether `run` takes the option as one of its own (not as one every run
// takes).
bool BelongsTo(const CommandLineOption& option, std::string_view run) {
    return option.run == run ||
           std::find(option.alsoRuns.begin(), option.alsoRuns.end(), run) != option.alsoRuns.end();
}

// "for the window" or "with --replay".
std::string RunPhrase(std::string_view run) {
    return run == kWindowRun ? "for the window" : "with " + std::string(run);
}

// A run that takes no other option (--help, --version) answers at once and
// wins over everything else on the line.
bool IsAnswer(const CommandLineOption& starter) {
    return StartsRun(starter) &&
           std::none_of(kOptions.begin(), kOptions.end(), [&](const CommandLineOption& o) {
               return BelongsTo(o, starter.run) && o.name != starter.name;
           });
}

std::string Spelled(const CommandLineOption& option) {
    std::string text(option.name);
    if (!option.valueName.empty()) (text += ' ') += option.valueName;
    return text;
}

// Lays words out in lines of at most kLineWidth columns: the first line
// starts with `prefix`, the following ones are indented by `indent`.
std::string Wrap(const std::vector<std::string>& words, const std::string& prefix,
                 std::size_t indent) {
    std::string text = prefix;
    std::size_t column = prefix.size();
    bool lineEmpty = prefix.empty();
    for (const std::string& word : words) {
        if (!lineEmpty && column + 1 + word.size() > kLineWidth) {
            text += '\n';
            text.append(indent, ' ');
            column = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
        lineEmpty = false;
    }
    return text + '\n';
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        if (end > start) words.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// The synopsis of one run: its starting option, then the others in brackets.
std::vector<std::string> Synopsis(std::string_view run) {
    std::vector<std::string> words;
    for (const CommandLineOption* option : RunOptions(run)) {
        words.push_back(option->name == run ? Spelled(*option) : '[' + Spelled(*option) + ']');
    }
    return words;
}

std::string CheckRun(CommandLine& line) {
    for (const CommandLineOption& option : kOptions) {
        if (IsAnswer(option) && line.Has(option.name)) {
            line.run = option.name;
            return {};
        }
    }
    for (const CommandLineOption& option : kOptions) {
        if (!StartsRun(option) || !line.Has(option.name)) continue;
        if (line.run != kWindowRun) {
            return std::string(option.name) + " cannot be used with " + line.run;
        }
        line.run = option.name;
    }
    for (const auto& [name, value] : line.values) {
        const CommandLineOption& option = *FindOption(name);
        if (option.run == kEveryRun || BelongsTo(option, line.run)) continue;
        if (option.run == kWindowRun) return name + " cannot be used with " + line.run;
        return name + " needs " + std::string(option.run);
    }
    return {};
}

}  // namespace

std::span<const CommandLineOption> CommandLineOptions() {
    return kOptions;
}

std::vector<std::string_view> CommandLineRuns() {
    std::vector<std::string_view> runs{kWindowRun};
    for (const CommandLineOption& option : kOptions) {
        if (StartsRun(option)) runs.push_back(option.run);
    }
    return runs;
}

std::vector<const CommandLineOption*> RunOptions(std::string_view run) {
    std::vector<const CommandLineOption*> options;
    const CommandLineOption* starter = FindOption(run);
    if (starter != nullptr && StartsRun(*starter)) {
        options.push_back(starter);
        if (IsAnswer(*starter)) return options;
    }
    for (const std::string_view belongsTo : {run, kEveryRun}) {
        for (const CommandLineOption& option : kOptions) {
            const bool takes =
                belongsTo == kEveryRun ? option.run == kEveryRun : BelongsTo(option, belongsTo);
            if (&option != starter && takes) options.push_back(&option);
        }
    }
    return options;
}

std::string UsageNote(const CommandLineOption& option) {
    if (option.run == kEveryRun || StartsRun(option)) return {};
    std::string note = "Only " + RunPhrase(option.run);
    for (std::size_t i = 0; i < option.alsoRuns.size(); ++i) {
        note += (i + 1 == option.alsoRuns.size() ? " and " : ", ") + RunPhrase(option.alsoRuns[i]);
    }
    return note + ".";
}

bool CommandLine::Has(std::string_view option) const {
    return values.find(option) != values.end();
}

std::vector<std::string> CommandLine::ArgumentsOf(std::string_view of) const {
    std::vector<std::string> arguments;
    for (const CommandLineOption& option : kOptions) {
        const auto given = values.find(option.name);
        if (!BelongsTo(option, of) || given == values.end()) continue;
        arguments.emplace_back(option.name);
        if (!option.valueName.empty()) arguments.push_back(given->second);
    }
    return arguments;
}

std::optional<std::string> CommandLine::Value(std::string_view option) const {
    const auto found = values.find(option);
    if (found == values.end()) return std::nullopt;
    return found->second;
}

bool IsExistingFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             const std::function<bool(const std::string&)>& isFile) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            // One file that exists, to open; anything else is no argument.
            if (line.Has(kFileArgument) || !isFile(arg)) {
                line.error = "unexpected argument " + arg;
                return line;
            }
            line.values[std::string(kFileArgument)] = arg;
            continue;
        }
        const std::size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, equals);
        const CommandLineOption* option = FindOption(name);
        if (option == nullptr) {
            line.error = "unknown option " + name;
            return line;
        }
        std::string value;
        if (equals != std::string::npos) {
            if (option->valueName.empty()) {
                line.error = name + " takes no value";
                return line;
            }
            value = arg.substr(equals + 1);
        } else if (!option->valueName.empty()) {
            if (i + 1 >= args.size()) {
                line.error = name + " needs a value";
                return line;
            }
            value = args[++i];
        }
        line.values[name] = value;
    }
    line.error = CheckRun(line);
    return line;
}

std::string_view ProgramVersion() {
    return PALOMIND_VERSION;
}

std::string UsageText() {
    std::string text;
    const std::string program(kProgram);
    const std::size_t indent = std::string("usage: ").size() + program.size() + 1;
    for (const std::string_view run : CommandLineRuns()) {
        text += Wrap(Synopsis(run), (text.empty() ? "usage: " : "       ") + program, indent);
    }
    return text;
}

std::string HelpText() {
    std::string text = UsageText();
    text += '\n';
    text += Wrap(Words("Lap timing and race display for races timed with transponders. Without "
                       "options it opens the race window and works in the current folder."),
                 "", 0);
    text += "\nOptions:\n";
    std::size_t width = 0;
    for (const CommandLineOption& option : kOptions) {
        width = std::max(width, Spelled(option).size());
    }
    const std::size_t indent = 2 + width + 2;
    for (const CommandLineOption& option : kOptions) {
        std::string spelled = "  " + Spelled(option);
        spelled.resize(indent - 1, ' ');
        const std::string description = std::string(option.description) + " " + UsageNote(option);
        text += Wrap(Words(description), spelled, indent);
    }
    return text;
}

std::string NoDisplayText() {
    std::vector<std::string> headless;
    for (const std::string_view run : CommandLineRuns()) {
        if (run != kWindowRun) headless.emplace_back(run);
    }
    std::string runs;
    for (std::size_t i = 0; i < headless.size(); ++i) {
        runs += (i == 0 ? "" : i + 1 == headless.size() ? " and " : ", ") + headless[i];
    }
    return std::string(kProgram) +
           ": no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set, or "
           "the display cannot be opened); " +
           runs + " work without one";
}

std::optional<int> AnswerWithoutWindow(const CommandLine& commandLine, std::ostream& out,
                                       std::ostream& err) {
    if (!commandLine.error.empty()) {
        err << kProgram << ": " << commandLine.error << '\n' << UsageText();
        return 2;
    }
    if (commandLine.run == kHelpRun) {
        out << HelpText();
        return 0;
    }
    if (commandLine.run == kVersionRun) {
        out << "Palomind " << ProgramVersion() << '\n';
        return 0;
    }
    return std::nullopt;
}

}  // namespace palomind
