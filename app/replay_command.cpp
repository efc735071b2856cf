#include "app/replay_command.h"

#include <charconv>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>

#include "app/replay.h"
#include "documents/result_file.h"
#include "documents/roster_file.h"
#include "documents/settings_file.h"
#include "engine/journal.h"
#include "engine/race_engine.h"
#include "platform/file_store.h"
#include "platform/message_sink.h"

namespace palomind {

namespace {

constexpr const char* kUsage =
    "usage: palomind --replay JOURNAL [--save RESULT.rdt] [--trace TRACE.txt] [--until TICK] "
    "[--print REPORT.pdf]";

struct ReplayOptions {
    std::string journal;
    std::optional<std::string> save;
    std::optional<std::string> trace;
    std::optional<std::string> print;
    std::optional<std::int32_t> until;
};

std::optional<ReplayOptions> ParseOptions(const std::vector<std::string>& args, std::ostream& err) {
    ReplayOptions options;
    bool haveJournal = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (i + 1 >= args.size()) {
            err << "palomind: " << option << " needs a value\n" << kUsage << '\n';
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (option == "--replay") {
            options.journal = value;
            haveJournal = true;
        } else if (option == "--save") {
            options.save = value;
        } else if (option == "--trace") {
            options.trace = value;
        } else if (option == "--print") {
            options.print = value;
        } else if (option == "--until") {
            std::int32_t tick = 0;
            const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), tick);
            if (ec != std::errc() || ptr != value.data() + value.size()) {
                err << "palomind: --until needs a signed 32-bit tick, not \"" << value << "\"\n";
                return std::nullopt;
            }
            options.until = tick;
        } else {
            err << "palomind: unknown option " << option << '\n' << kUsage << '\n';
            return std::nullopt;
        }
    }
    if (!haveJournal) {
        err << kUsage << '\n';
        return std::nullopt;
    }
    return options;
}

// Records every wave file played and every status caption written, with the
// tick at which it happened.
class TraceRecorder final : public SoundPlayer, public RaceObserver {
  public:
    explicit TraceRecorder(TickClock& clock) : clock_(clock) {}
    void PlaySound(std::string_view fileName) override { Line("sound", fileName); }
    void StatusCaptionWritten(std::string_view caption) override { Line("status", caption); }
    const std::string& Text() const { return text_; }

  private:
    void Line(std::string_view what, std::string_view detail) {
        text_ += std::to_string(clock_.TimeGetTime());
        text_ += ' ';
        text_ += what;
        text_ += ' ';
        text_ += detail;
        text_ += '\n';
    }
    TickClock& clock_;
    std::string text_;
};

// Start-up's reading of the settings and the roster, without a window or port.
void LoadStartupFiles(RaceState& state, RaceWindowModel& window, RosterTable& names,
                      FileStore& files, MessageSink& messages) {
    Load_Setting(state, window, files, messages);
    Load_IdName(names, files, messages);
    ApplyStartupRaceTimeDefault(state);
}

}  // namespace

bool IsReplayCommandLine(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (a == "--replay") return true;
    return false;
}

int RunReplayCommand(const std::vector<std::string>& args, std::ostream& err,
                     const ReportPdfWriter& writeReportPdf) {
    const std::optional<ReplayOptions> options = ParseOptions(args, err);
    if (!options) return 2;
    if (options->print && !writeReportPdf) {
        err << "palomind: --print is not available in this build\n";
        return 2;
    }

    DiskFileStore files;
    const std::optional<std::string> text = files.ReadAll(options->journal);
    if (!text) {
        err << "palomind: cannot read the journal " << options->journal << '\n';
        return 1;
    }
    const JournalParseResult journal = ParseJournal(*text);
    if (!journal.ok) {
        err << options->journal << ':' << journal.errorLine << ": " << journal.error << '\n';
        return 1;
    }

    RaceState state;
    RaceWindowModel window;
    RosterTable names;
    StreamMessageSink messages(err);
    LoadStartupFiles(state, window, names, files, messages);

    SetTickClock clock;
    TraceRecorder trace(clock);
    RaceEngine engine(state, window, names, clock, trace);
    engine.SetObserver(&trace);
    ReplayJournal(journal.events, engine, clock, options->until);

    bool ok = true;
    if (options->trace && !files.WriteAtomically(*options->trace, trace.Text())) {
        err << "palomind: cannot write the trace " << *options->trace << '\n';
        ok = false;
    }
    if (options->save && !SaveResultFile(*options->save, state, window, files)) {
        err << "palomind: cannot write the result file " << *options->save << '\n';
        ok = false;
    }
    if (options->print && !writeReportPdf(state, window, *options->print, err)) ok = false;
    return ok ? 0 : 1;
}

}  // namespace palomind
