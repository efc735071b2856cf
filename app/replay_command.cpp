#include "app/replay_command.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <set>
#include <sstream>

#include "app/command_line.h"
#include "app/export_facts.h"
#include "app/journal_reading.h"
#include "app/lap_review.h"
#include "app/race_core.h"
#include "app/race_revision.h"
#include "app/replay.h"
#include "app/user_folder.h"
#include "documents/exact_times.h"
#include "documents/race_csv.h"
#include "documents/race_html.h"
#include "documents/result_file.h"
#include "engine/exact_result.h"
#include "journal/echoed_text.h"
#include "journal/journal.h"
#include "platform/file_store.h"
#include "platform/message_sink.h"
#include "record/race_passes.h"
#include "record/race_record_folder.h"
#include "record/race_start_time.h"
#include "record/result_json.h"
#include "voice/read_out.h"

namespace palomind {

namespace {

// ": why", as the file system told it, or nothing.
struct ReplayOptions {
    std::string journal;
    std::optional<std::string> save;
    std::optional<std::string> trace;
    std::optional<std::string> print;
    std::optional<std::string> exportCsv;
    std::optional<std::string> exportHtml;
    std::optional<std::string> web;
    std::optional<std::string> races;
    std::optional<std::string> passes;
    std::optional<std::string> resultJson;
    std::optional<std::int32_t> until;
    std::optional<int> revision;
};

std::optional<ReplayOptions> ParseOptions(const std::vector<std::string>& args, std::ostream& err) {
    const CommandLine line = ParseCommandLine(args);
    if (!line.error.empty()) {
        AnswerWithoutWindow(line, err, err);  // the error and the usage
        return std::nullopt;
    }
    if (line.run != "--replay") {
        err << UsageText();
        return std::nullopt;
    }
    ReplayOptions options;
    options.journal = *line.Value("--replay");
    options.save = line.Value("--save");
    options.trace = line.Value("--trace");
    options.print = line.Value("--print");
    options.exportCsv = line.Value("--export-csv");
    options.exportHtml = line.Value("--export-html");
    options.web = line.Value("--web");
    options.races = line.Value("--races");
    options.passes = line.Value("--passes");
    options.resultJson = line.Value("--result-json");
    if (const std::optional<std::string> value = line.Value("--until")) {
        std::int32_t tick = 0;
        const auto [ptr, ec] = std::from_chars(value->data(), value->data() + value->size(), tick);
        if (ec != std::errc() || ptr != value->data() + value->size()) {
            err << "palomind: --until needs a signed 32-bit tick, not \"" << *value << "\"\n";
            return std::nullopt;
        }
        options.until = tick;
    }
    if (const std::optional<std::string> value = line.Value("--revision")) {
        int revision = 0;
        const auto [ptr, ec] =
            std::from_chars(value->data(), value->data() + value->size(), revision);
        if (ec != std::errc() || ptr != value->data() + value->size() || revision < 0) {
            err << "palomind: --revision needs a number of corrections from 0, not \"" << *value
                << "\"\n";
            return std::nullopt;
        }
        options.revision = revision;
    }
    return options;
}

// Records every wave file played, every status caption written and every
// announcement of the read-out, with the tick at which it happened. An
// announcement is listed as queued: with no audio, none is dropped for lag.
class TraceRecorder final : public SoundPlayer, public RaceEventListener, public AnnouncementSink {
  public:
    void SetCore(const RaceCore* core) { core_ = core; }
    void PlaySound(std::string_view fileName) override { Line(core_->Now(), "sound", fileName); }
    void OnRaceEvent(const RaceEvent& event) override {
        if (event.kind == RaceEventKind::PhaseChanged) Line(event.tick, "status", event.text);
    }
    void Announce(Announcement announcement) override {
        Line(announcement.tick, "speak", EscapeJournalText(announcement.text));
    }
    const std::string& Text() const { return text_; }

  private:
    void Line(std::int32_t tick, std::string_view what, std::string_view detail) {
        text_ += std::to_string(tick);
        text_ += ' ';
        text_ += what;
        text_ += ' ';
        text_ += detail;
        text_ += '\n';
    }
    const RaceCore* core_ = nullptr;
    std::string text_;
};

}  // namespace

int RunReplayCommand(const std::vector<std::string>& args, std::ostream& err,
                     const ReportPdfWriter& writeReportPdf, const RaceServer& serveRace) {
    const std::optional<ReplayOptions> options = ParseOptions(args, err);
    if (!options) return 2;
    if (options->print && !writeReportPdf) {
        err << "palomind: --print is not available in this build\n";
        return 2;
    }
    if (options->web && (!serveRace.accepts || !serveRace.serve)) {
        err << "palomind: --web is not available in this build\n";
        return 2;
    }
    if (options->web && !serveRace.accepts(*options->web, err)) return 2;

    DiskFileStore files(kKeepFolder);
    files.RestoreInterruptedWrites();
    const std::optional<std::string> text = files.ReadAll(options->journal);
    if (!text) {
        err << "palomind: cannot read the journal " << options->journal
            << FailureReasonSuffix(files) << '\n';
        return 1;
    }
    const JournalParseResult journal = ReadJournal(*text);
    if (!journal.ok) {
        err << options->journal << ':' << journal.errorLine << ": " << journal.error << '\n';
        return 1;
    }
    if (journal.tornLine != 0)
        err << options->journal << ':' << journal.tornLine
            << ": warning: the last line has no line end (cut short while written) and is left "
               "out: "
            << EchoedText(journal.tornText) << '\n';

    if ((options->passes || options->resultJson || options->revision) && !journal.raceRecord) {
        err << "palomind: --revision, --passes and --result-json need a race record, not a "
               "journal\n";
        return 2;
    }
    // A record's corrections, each checked against the race it corrects.
    const RaceRecord record = SplitRaceRecord(journal.events, journal.lines);
    if (journal.raceRecord) {
        const CorrectionsCheck check = CheckRaceRecord(record);
        if (!check.ok) {
            err << options->journal << ':' << check.errorLine << ": " << check.error << '\n';
            return 1;
        }
    }
    const int corrections = static_cast<int>(record.corrections.size());
    if (options->revision && *options->revision > corrections) {
        err << "palomind: --revision " << *options->revision << " is above the record's "
            << corrections << " corrections\n";
        return 2;
    }
    const int revision = options->revision.value_or(corrections);
    if (options->races && journal.raceRecord) {
        err << "palomind: --races needs a journal, not a race record\n";
        return 2;
    }

    TraceRecorder trace;
    RaceCore core(trace);
    trace.SetCore(&core);
    core.Subscribe(&trace);
    ReadOut readOut(core.State(), core.Roster(), trace);
    core.Subscribe(&readOut);
    PassLog passes(core.State());
    core.Observe(&passes);
    core.Subscribe(&passes);
    std::optional<RaceRecordFolder> races;
    std::optional<RaceRecorder> recorder;
    if (options->races) {
        std::error_code error;
        std::filesystem::create_directories(*options->races, error);
        races.emplace(*options->races);
        recorder.emplace(
            *races, RaceRecorder::WhenTaken::Skip,
            RunStartFromJournalName(std::filesystem::path(options->journal).filename().string()));
        core.Observe(&*recorder);
    }
    StreamMessageSink messages(err);
    core.LoadStartupFiles(files, messages);
    std::optional<RevisionEdits> edits;
    if (journal.raceRecord)
        edits = ReplayRevision(record, revision, core, options->until);
    else {
        // A run's journal: its corrections re-score the race shown, as live,
        // and its races are named and dated as the run's records are.
        core.KeepShownRecord(
            RunStartFromJournalName(std::filesystem::path(options->journal).filename().string()));
        ReplayJournal(journal.events, core, options->until);
    }
    if (recorder) recorder->Finish();
    const RaceState& state = core.State();
    const RaceWindowModel& window = core.Window();

    bool ok = true;
    if (options->trace && !files.WriteAtomically(*options->trace, trace.Text())) {
        err << "palomind: cannot write the trace " << *options->trace << FailureReasonSuffix(files)
            << '\n';
        ok = false;
    }
    if (options->save && !SaveResultFile(*options->save, state, window, files)) {
        err << "palomind: cannot write the result file " << *options->save
            << FailureReasonSuffix(files) << '\n';
        ok = false;
    }
    // A record's audit list goes up to the revision replayed; a journal's is
    // that of the race it shows, as the live program's.
    std::vector<std::string> audit;
    if (journal.raceRecord)
        audit = AuditLines(record, revision);
    else if (core.CanCorrect())
        audit = AuditOfRecordText(core.ShownRecordText());
    if (options->print && !writeReportPdf(state, window, *options->print, err, audit)) ok = false;
    const auto exportTo = [&](const std::optional<std::string>& path, const std::string& bytes) {
        if (path && !files.WriteAtomically(*path, bytes)) {
            err << "palomind: cannot write the export " << *path << FailureReasonSuffix(files)
                << '\n';
            ok = false;
        }
    };
    // The one result every output reads, as the live program's does: a
    // record's revision with its corrections, or the race a journal shows.
    const ExactResult result =
        edits ? CorrectedResult(ExactResultOf(state), *edits, passes.Passes()) : core.Result();
    const std::set<int> disqualified = DisqualifiedIn(result);
    // A record names its race in its first line; a journal's race shown is
    // named as the run's records name it.
    std::optional<RaceIdentity> shownRace = core.ShownRace();
    if (journal.raceRecord)
        shownRace = RaceIdentity{journal.events.front().text, journal.events.front().wallClock};
    const RaceExportFacts facts = ExportFactsOf(state, shownRace);
    if (options->exportCsv)
        exportTo(options->exportCsv,
                 RaceCsv(state, result, window, core.Roster(), facts, disqualified));
    const RaceWindowModel exactWindow = WithExactTimes(window, result);
    if (options->exportHtml)
        exportTo(options->exportHtml, RaceHtml(exactWindow, facts, disqualified, audit));
    if (options->passes) exportTo(options->passes, PassesCsv(passes.Passes()));
    if (options->resultJson) {
        const JournalEvent& race = journal.events.front();
        exportTo(options->resultJson, ResultJson({.race = race.text,
                                                  .started = race.wallClock,
                                                  .heat = record.Heat(),
                                                  .revision = revision,
                                                  .provisional = IsProvisional(result)},
                                                 result, core.Roster()));
    }
    if (options->races && !std::filesystem::is_directory(*options->races)) {
        err << "palomind: cannot write the race records into " << *options->races << '\n';
        ok = false;
    }
    if (!ok) return 1;
    return options->web ? serveRace.serve(exactWindow, result, *options->web, err) : 0;
}

}  // namespace palomind
