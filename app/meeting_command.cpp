#include "app/meeting_command.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <random>

#include "app/class_results.h"
#include "app/filed_record_facts.h"
#include "app/heat_result.h"
#include "app/journal_reading.h"
#include "documents/cp932.h"
#include "documents/utf8.h"
#include "meeting/class_settings.h"
#include "meeting/entry_import.h"
#include "meeting/heat_draw.h"
#include "meeting/heat_seeding.h"
#include "meeting/meeting_folder.h"
#include "meeting/schedule_json.h"

namespace palomind {

namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 7> kActions{"--new",        "--class",    "--import-entries",
                                                   "--draw-heats", "--schedule", "--file-race",
                                                   "--results"};

// The options that belong to one action of the meeting run.
struct ActionOption {
    std::string_view option;
    std::string_view action;
};
constexpr std::array kActionOptions{
    ActionOption{"--race-time", "--class"},   ActionOption{"--start-wait", "--class"},
    ActionOption{"--heat-size", "--class"},   ActionOption{"--rounds", "--class"},
    ActionOption{"--min-lap", "--class"},     ActionOption{"--practice-time", "--class"},
    ActionOption{"--method", "--class"},      ActionOption{"--best", "--class"},
    ActionOption{"--consecutive", "--class"}, ActionOption{"--main-size", "--class"},
    ActionOption{"--bump", "--class"},        ActionOption{"--legs", "--class"},
    ActionOption{"--best-legs", "--class"},   ActionOption{"--round", "--draw-heats"},
    ActionOption{"--seed", "--draw-heats"},   ActionOption{"--seeded", "--draw-heats"},
    ActionOption{"--out", "--schedule"},      ActionOption{"--out", "--results"},
    ActionOption{"--record", "--file-race"},
};

// The actions `option` belongs to, as "--a or --b".
std::string ActionsOf(std::string_view option) {
    std::string actions;
    for (const ActionOption& o : kActionOptions) {
        if (o.option != option) continue;
        if (!actions.empty()) actions += " or ";
        actions += o.action;
    }
    return actions;
}

// Bad input: one line, status 2, nothing changed.
struct BadInput {
    std::string line;
};
// A file that cannot be read or written: status 1.
struct FileFailure {
    std::string line;
};

std::string Quoted(const std::string& text) {
    return '"' + text + '"';
}

std::optional<std::uint64_t> Digits(const std::string& text) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [at, problem] = std::from_chars(text.data(), end, value);
    if (text.empty() || problem != std::errc() || at != end) return std::nullopt;
    return value;
}

class MeetingRun {
  public:
    MeetingRun(const CommandLine& line, MeetingCommandWorld& world)
        : line_(line), world_(world), folder_(*line.Value("--meeting")) {}

    void Run() {
        const std::string action = Action();
        if (action == "--new") return CreateMeeting();
        Meeting meeting = Load();
        if (action == "--class") {
            SetClass(meeting);
        } else if (action == "--import-entries") {
            ImportFile(meeting);
        } else if (action == "--draw-heats") {
            Draw(meeting);
        } else if (action == "--file-race") {
            if (!FileRace(meeting)) return;
        } else if (action == "--results") {
            return WriteResults(meeting);
        } else {
            return WriteSchedule(meeting);
        }
        std::string error;
        if (!SaveMeeting(folder_, meeting, world_.files, error)) throw FileFailure{error};
    }

  private:
    std::string Action() const {
        std::string action;
        for (const std::string_view candidate : kActions) {
            if (!line_.Has(candidate)) continue;
            if (!action.empty())
                throw BadInput{std::string(candidate) + " cannot be used with " + action};
            action = candidate;
        }
        if (action.empty()) {
            throw BadInput{
                "--meeting needs one of --new, --class, --import-entries, --draw-heats, "
                "--schedule, --file-race and --results"};
        }
        for (const ActionOption& option : kActionOptions) {
            const bool belongs = std::any_of(
                kActionOptions.begin(), kActionOptions.end(), [&](const ActionOption& o) {
                    return o.option == option.option && o.action == action;
                });
            if (line_.Has(option.option) && !belongs)
                throw BadInput{std::string(option.option) + " needs " + ActionsOf(option.option)};
        }
        return action;
    }

    std::int64_t Whole(std::string_view option, SettingLimits limits) const {
        const std::string text = *line_.Value(option);
        const std::optional<std::uint64_t> value = Digits(text);
        if (!value || *value < static_cast<std::uint64_t>(limits.least) ||
            *value > static_cast<std::uint64_t>(limits.most)) {
            throw BadInput{std::string(option) + ": " + Quoted(text) +
                           " is not a whole number from " + std::to_string(limits.least) + " to " +
                           std::to_string(limits.most)};
        }
        return static_cast<std::int64_t>(*value);
    }

    std::optional<std::int64_t> WholeOrAll(std::string_view option) const {
        if (*line_.Value(option) == "all") return std::nullopt;
        return Whole(option, kCountLimits);
    }

    // Seconds with up to three decimals, as milliseconds.
    std::int64_t Milliseconds(std::string_view option, SettingLimits limitsMs) const {
        const std::int64_t mostMs = limitsMs.most;
        const std::string text = *line_.Value(option);
        const std::size_t point = text.find('.');
        const std::string whole = text.substr(0, point);
        std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
        const std::optional<std::uint64_t> seconds = Digits(whole);
        const bool fractionOk =
            fraction.size() <= 3 && std::all_of(fraction.begin(), fraction.end(),
                                                [](char c) { return c >= '0' && c <= '9'; });
        fraction.resize(3, '0');
        if (!seconds || !fractionOk || *seconds > static_cast<std::uint64_t>(mostMs / 1000) ||
            static_cast<std::int64_t>(*seconds) * 1000 + std::stoll(fraction) > mostMs) {
            throw BadInput{std::string(option) + ": " + Quoted(text) +
                           " is not a time in seconds from 0 to " + std::to_string(mostMs / 1000) +
                           " (at most three decimals)"};
        }
        return static_cast<std::int64_t>(*seconds) * 1000 + std::stoll(fraction);
    }

    // A name the roster and the race comment can hold.
    std::string Name(std::string_view option) const {
        const std::string name = *line_.Value(option);
        if (name.empty() || !IsWellFormedUtf8(name) || !Cp932CanHold(name)) {
            throw BadInput{std::string(option) +
                           ": the name must be text that cp932 can hold, not empty"};
        }
        return name;
    }

    void CreateMeeting() {
        const std::string name = Name("--new");
        std::string failure;
        switch (CreateMeetingFolder(folder_, name, world_.today, world_.files, failure)) {
            case MeetingCreation::Created:
                return;
            case MeetingCreation::FolderInUse:
                throw BadInput{failure};
            case MeetingCreation::CannotBeWritten:
                throw FileFailure{failure};
        }
    }

    Meeting Load() const {
        LoadedMeeting loaded = LoadMeeting(folder_, world_.files);
        if (loaded.problem == LoadedMeeting::Problem::Unreadable) throw FileFailure{loaded.error};
        if (loaded.problem == LoadedMeeting::Problem::Refused) throw BadInput{loaded.error};
        return std::move(*loaded.meeting);
    }

    void SetClass(Meeting& meeting) const {
        const std::string name = Name("--class");
        const MeetingClass* known = ClassNamed(meeting, name);
        MeetingClass c = known ? *known : MeetingClass{};
        c.name = name;
        const auto given = [this](std::string_view option) { return line_.Has(option); };
        const auto seconds = [this](std::string_view option, SettingLimits limits) {
            return static_cast<std::int32_t>(Whole(option, limits));
        };
        if (given("--race-time")) c.raceTimeS = seconds("--race-time", kRaceTimeLimits);
        if (given("--start-wait")) c.startWaitS = seconds("--start-wait", kStartWaitLimits);
        if (given("--heat-size")) c.heatSize = Whole("--heat-size", kHeatSizeLimits);
        if (given("--rounds")) c.rounds = Whole("--rounds", kRoundsLimits);
        if (given("--min-lap"))
            c.minLapMs = static_cast<std::int32_t>(Milliseconds("--min-lap", kMinLapLimits));
        if (given("--practice-time"))
            c.practiceTimeS = seconds("--practice-time", kPracticeTimeLimits);
        if (given("--method")) {
            const std::optional<RankingMethod> method =
                RankingMethodNamed(*line_.Value("--method"));
            if (!method) {
                throw BadInput{"--method: unknown method " + Quoted(*line_.Value("--method")) +
                               " (best-round, round-points, laps-time, fastest-lap, consecutive)"};
            }
            c.ranking.method = *method;
        }
        if (given("--best")) c.ranking.best = WholeOrAll("--best");
        if (given("--consecutive")) c.ranking.consecutive = Whole("--consecutive", kCountLimits);
        if (given("--main-size")) c.finals.mainSize = Whole("--main-size", kCountLimits);
        if (given("--bump")) c.finals.bump = Whole("--bump", kBumpLimits);
        if (given("--legs")) c.finals.legs = Whole("--legs", kCountLimits);
        if (given("--best-legs")) c.finals.bestLegs = WholeOrAll("--best-legs");
        std::string error;
        if (!StoreClass(meeting, std::move(c), error)) throw BadInput{"--class: " + error};
    }

    void ImportFile(Meeting& meeting) const {
        const std::string file = *line_.Value("--import-entries");
        const std::optional<std::string> bytes = world_.files.ReadAll(file);
        if (!bytes)
            throw FileFailure{file + ": cannot be read" + FailureReasonSuffix(world_.files)};
        std::string error;
        if (!ImportEntries(meeting, *bytes, error)) throw BadInput{file + ": " + error};
    }

    void Draw(Meeting& meeting) const {
        const std::string className = *line_.Value("--draw-heats");
        const MeetingClass* c = ClassNamed(meeting, className);
        if (c == nullptr) throw BadInput{"--draw-heats: no class " + Quoted(className)};
        if (!line_.Has("--round")) throw BadInput{"--draw-heats needs --round"};
        const std::int64_t round = Whole("--round", kRoundsLimits);
        if (line_.Has("--seeded")) return Seed(meeting, *c, round);
        std::uint64_t seed = 0;
        if (const std::optional<std::string> given = line_.Value("--seed")) {
            const std::optional<std::uint64_t> read = Digits(*given);
            if (!read) throw BadInput{"--seed: " + Quoted(*given) + " is not a whole number"};
            seed = *read;
        } else {
            seed = world_.randomSeed();
        }
        std::string error;
        if (!DrawRound(meeting, c->id, round, seed, error))
            throw BadInput{"--draw-heats: " + error};
    }

    // Seeds the round by the ranking before it, read from the filed records.
    void Seed(Meeting& meeting, const MeetingClass& meetingClass, std::int64_t round) const {
        if (line_.Has("--seed")) throw BadInput{"--seeded cannot be used with --seed"};
        std::string error;
        const std::optional<ClassResults> results =
            ReadClassResults(meeting, meetingClass.id, folder_, world_.files, error);
        if (!results) throw FileFailure{error};
        const std::optional<QualifyingRanking> seeding =
            SeedingRanking(*results, meetingClass, round, error);
        if (!seeding || !SeedRound(meeting, meetingClass.id, round, *seeding, error))
            throw BadInput{"--draw-heats: " + error};
    }

    // The heat of the schedule the option names.
    ScheduledHeat ScheduledHeatOf(const Meeting& meeting, std::string_view option) const {
        const std::string heatId = *line_.Value(option);
        // Only who is in which heat is read here, not the records' states.
        const std::vector<ScheduledHeat> schedule =
            MeetingSchedule(meeting, [](const std::string&) { return RecordFacts{}; });
        const auto heat = std::find_if(schedule.begin(), schedule.end(),
                                       [&](const ScheduledHeat& h) { return h.id == heatId; });
        if (heat == schedule.end())
            throw BadInput{std::string(option) + ": no heat " + Quoted(heatId)};
        return *heat;
    }

    // Files the record under the heat; false where it is filed there
    // already, the same bytes, and nothing changes.
    bool FileRace(Meeting& meeting) const {
        const std::string heatId = ScheduledHeatOf(meeting, "--file-race").id;
        std::vector<HeatRecord>* records = RecordsOfHeat(meeting, heatId);
        const std::optional<std::string> path = line_.Value("--record");
        if (!path) throw BadInput{"--file-race needs --record"};
        const std::optional<std::string> bytes = world_.files.ReadAll(*path);
        if (!bytes)
            throw FileFailure{*path + ": cannot be read" + FailureReasonSuffix(world_.files)};
        if (const std::string problem = RaceRecordProblem(*bytes); !problem.empty())
            throw FileFailure{*path + ": " + problem};
        const JournalParseResult parsed = ReadJournal(*bytes);
        const std::string ranAs = SplitRaceRecord(parsed.events, parsed.lines).Heat();
        if (!ranAs.empty() && ranAs != heatId) {
            throw BadInput{"--file-race: " + *path + " was run as heat " + Quoted(ranAs) +
                           ", not " + Quoted(heatId)};
        }
        const std::string name = fs::path(*path).filename().string();
        const std::string filedUnder = HeatFiledUnder(meeting, name);
        if (!filedUnder.empty() && filedUnder != heatId) {
            throw BadInput{"--file-race: " + name + " is filed under heat " + Quoted(filedUnder) +
                           " already"};
        }
        const std::string target = (fs::path(folder_) / kMeetingRacesFolder / name).string();
        std::error_code error;
        if (fs::exists(target, error)) {
            const std::optional<std::string> there = world_.files.ReadAll(target);
            if (!there)
                throw FileFailure{target + ": cannot be read" + FailureReasonSuffix(world_.files)};
            if (*there != *bytes)
                throw BadInput{"--file-race: " + target + ": another file of that name is there"};
        } else if (!world_.files.WriteAtomically(target, *bytes)) {
            throw FileFailure{target + ": cannot be written" + FailureReasonSuffix(world_.files)};
        }
        if (filedUnder == heatId) return false;
        // Run again: the record filed last stands for the heat.
        for (HeatRecord& earlier : *records) earlier.replaced = true;
        records->push_back({name, false, false});
        return true;
    }

    // The heat `file` is filed under in the meeting; empty for none.
    static std::string HeatFiledUnder(const Meeting& meeting, const std::string& file) {
        const auto holds = [&](const std::vector<HeatRecord>& records) {
            return std::any_of(records.begin(), records.end(),
                               [&](const HeatRecord& r) { return r.file == file; });
        };
        for (const MeetingClass& c : meeting.classes) {
            if (holds(c.practiceRecords)) return PracticeHeatId(c);
        }
        for (const MeetingRound& round : meeting.rounds) {
            for (const Heat& heat : round.heats) {
                if (holds(heat.records)) return heat.id;
            }
        }
        return {};
    }

    void WriteResults(Meeting& meeting) const {
        const ScheduledHeat heat = ScheduledHeatOf(meeting, "--results");
        const std::string& heatId = heat.id;
        const std::optional<std::string> out = line_.Value("--out");
        if (!out) throw BadInput{"--results needs --out"};
        const std::vector<HeatRecord>* records = RecordsOfHeat(meeting, heatId);
        const HeatRecord* standing = StandingRecord(*records);
        if (records->empty())
            throw BadInput{"--results: heat " + Quoted(heatId) + " has no race record filed"};
        if (standing == nullptr) {
            throw BadInput{"--results: every race record of heat " + Quoted(heatId) +
                           " is replaced"};
        }
        std::string error;
        const std::optional<RaceRecord> record =
            ReadFiledRecord(folder_, standing->file, world_.files, error);
        if (!record) throw FileFailure{error};
        const int corrections = static_cast<int>(record->corrections.size());
        const Revision latest = ScoreRevision(*record, corrections);
        const HeatResult result = HeatResultOf(latest, heat.entrants);
        const JournalEvent& race = record->raw.front();
        const std::string json =
            HeatResultJson({.race = race.text,
                            .started = race.wallClock,
                            .heat = heatId,
                            .revision = corrections,
                            .provisional = latest.provisional},
                           latest.result.raceTimeSeconds, result.entrants, result.notEntered);
        if (!world_.files.WriteAtomically(*out, json))
            throw FileFailure{*out + ": cannot be written" + FailureReasonSuffix(world_.files)};
    }

    void WriteSchedule(const Meeting& meeting) const {
        const std::optional<std::string> out = line_.Value("--out");
        if (!out) throw BadInput{"--schedule needs --out"};
        std::string error;
        const auto facts = FiledRecordFacts(meeting, folder_, world_.files, error);
        if (!facts) throw FileFailure{error};
        const auto schedule =
            MeetingSchedule(meeting, [&](const std::string& file) { return facts->at(file); });
        if (!world_.files.WriteAtomically(*out, ScheduleJson(schedule)))
            throw FileFailure{*out + ": cannot be written" + FailureReasonSuffix(world_.files)};
    }

    const CommandLine& line_;
    MeetingCommandWorld& world_;
    std::string folder_;
};

}  // namespace

std::string LocalDate(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

std::uint64_t SystemRandomSeed() {
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

int RunMeetingFolderCommand(const CommandLine& line, MeetingCommandWorld& world,
                            std::ostream& err) {
    try {
        MeetingRun(line, world).Run();
        return 0;
    } catch (const BadInput& bad) {
        err << "palomind: " << bad.line << '\n';
        return 2;
    } catch (const FileFailure& failure) {
        err << "palomind: " << failure.line << '\n';
        return 1;
    }
}

}  // namespace palomind
