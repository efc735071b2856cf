#include "meeting/meeting_json.h"

#include <map>
#include <set>

#include "meeting/class_settings.h"
#include "meeting/json_fields.h"

namespace palomind {

namespace {

using namespace json_fields;
// Written in the order docs/meeting.md shows.
using Json = nlohmann::ordered_json;

constexpr std::string_view kFormat = "palomind-meeting";
// The class dialog's and command line's largest settings (a stored race
// time of 0 is read as it always was).
constexpr std::int64_t kLargestSeconds = kLargestClassSeconds;
constexpr std::int64_t kLargestMinLapMs = kMinLapLimits.most;
constexpr std::int64_t kLargestRounds = kRoundsLimits.most;

Json OptionalNumber(const std::optional<std::int64_t>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json RecordsJson(const std::vector<HeatRecord>& records) {
    Json list = Json::array();
    for (const HeatRecord& record : records) {
        list.push_back(
            {{"file", record.file}, {"replaced", record.replaced}, {"accepted", record.accepted}});
    }
    return list;
}

Json ClassJson(const MeetingClass& c) {
    return {{"id", c.id},
            {"name", c.name},
            {"race_time_s", c.raceTimeS},
            {"start_wait_s", c.startWaitS},
            {"min_lap_ms", c.minLapMs},
            {"heat_size", c.heatSize},
            {"rounds", c.rounds},
            {"practice_time_s", c.practiceTimeS},
            {"ranking",
             {{"method", RankingMethodName(c.ranking.method)},
              {"best", OptionalNumber(c.ranking.best)},
              {"consecutive", c.ranking.consecutive}}},
            {"finals",
             {{"main_size", c.finals.mainSize},
              {"bump", c.finals.bump},
              {"legs", c.finals.legs},
              {"best_legs", OptionalNumber(c.finals.bestLegs)}}},
            {"practice_records", RecordsJson(c.practiceRecords)}};
}

Json RoundJson(const MeetingRound& round) {
    Json heats = Json::array();
    for (const Heat& heat : round.heats) {
        heats.push_back({{"id", heat.id},
                         {"heat", heat.number},
                         {"entrants", heat.entrants},
                         {"records", RecordsJson(heat.records)}});
    }
    Json stored{{"class", round.classId},
                {"round", round.number},
                {"seed", round.seed},
                {"heats", std::move(heats)}};
    // Only where true: a file without seeded rounds stays as before.
    if (round.seeded) stored["seeded"] = true;
    return stored;
}

std::optional<std::int64_t> OptionalCount(const json& object, std::string_view key,
                                          const std::string& path) {
    const json& value = Key(object, key, path);
    if (value.is_null()) return std::nullopt;
    return Number(value, Member(path, key), 1);
}

// Reads the meeting and checks that every id it refers to is there.
class MeetingReader {
  public:
    Meeting Read(const json& document) {
        const std::string format = Text(Key(document, "format", ""), "format");
        if (format != kFormat) Refuse("format", "not a meeting (" + Quoted(format) + ")");
        const std::int64_t version = Number(Key(document, "version", ""), "version", 1);
        if (version > kMeetingFormatVersion) {
            Refuse("version", std::to_string(version) + " is newer than this program reads (" +
                                  std::to_string(kMeetingFormatVersion) + ")");
        }
        meeting_.name = Text(Key(document, "name", ""), "name");
        meeting_.date = Text(Key(document, "date", ""), "date");
        meeting_.nextClassNumber =
            Number(Key(document, "next_class_number", ""), "next_class_number", 1);
        const json& classes = Array(Key(document, "classes", ""), "classes");
        for (std::size_t i = 0; i < classes.size(); ++i) ReadClass(classes[i], Item("classes", i));
        const json& entries = Array(Key(document, "entries", ""), "entries");
        for (std::size_t i = 0; i < entries.size(); ++i) ReadEntry(entries[i], Item("entries", i));
        const json& rounds = Array(Key(document, "rounds", ""), "rounds");
        for (std::size_t i = 0; i < rounds.size(); ++i) ReadRound(rounds[i], Item("rounds", i));
        return std::move(meeting_);
    }

  private:
    std::int64_t Field(const json& object, std::string_view key, const std::string& path,
                       std::int64_t least, std::int64_t most) {
        return Number(Key(object, key, path), Member(path, key), least, most);
    }

    std::vector<HeatRecord> Records(const json& value, const std::string& path) {
        std::vector<HeatRecord> records;
        for (std::size_t i = 0; i < Array(value, path).size(); ++i) {
            const std::string at = Item(path, i);
            HeatRecord record;
            record.file = Text(Key(value[i], "file", at), Member(at, "file"));
            // A bare name in races/, so that the folder can move.
            if (record.file.empty() || record.file == "." || record.file == ".." ||
                record.file.find_first_of("/\\") != std::string::npos) {
                Refuse(Member(at, "file"), Quoted(record.file) + " is not a file name in races/");
            }
            if (!files_.insert(record.file).second)
                Refuse(Member(at, "file"), Quoted(record.file) + " is filed twice");
            record.replaced = Flag(Key(value[i], "replaced", at), Member(at, "replaced"));
            record.accepted = Flag(Key(value[i], "accepted", at), Member(at, "accepted"));
            records.push_back(std::move(record));
        }
        return records;
    }

    void ReadClass(const json& value, const std::string& path) {
        MeetingClass c;
        c.id = Text(Key(value, "id", path), Member(path, "id"));
        if (!classIds_.insert(c.id).second) Refuse(Member(path, "id"), Quoted(c.id) + " twice");
        c.name = Text(Key(value, "name", path), Member(path, "name"));
        if (c.name.empty() || !classNames_.insert(c.name).second)
            Refuse(Member(path, "name"), Quoted(c.name) + " is empty or named twice");
        c.raceTimeS =
            static_cast<std::int32_t>(Field(value, "race_time_s", path, 0, kLargestSeconds));
        c.startWaitS =
            static_cast<std::int32_t>(Field(value, "start_wait_s", path, 0, kLargestSeconds));
        c.minLapMs =
            static_cast<std::int32_t>(Field(value, "min_lap_ms", path, 0, kLargestMinLapMs));
        c.heatSize = Field(value, "heat_size", path, kSmallestHeatSize, kLargestHeatSize);
        c.rounds = Field(value, "rounds", path, 1, kLargestRounds);
        c.practiceTimeS =
            static_cast<std::int32_t>(Field(value, "practice_time_s", path, 0, kLargestSeconds));
        const std::string rankingPath = Member(path, "ranking");
        const json& ranking = Key(value, "ranking", path);
        const std::string method =
            Text(Key(ranking, "method", rankingPath), Member(rankingPath, "method"));
        const std::optional<RankingMethod> named = RankingMethodNamed(method);
        if (!named) Refuse(Member(rankingPath, "method"), "unknown method " + Quoted(method));
        c.ranking.method = *named;
        c.ranking.best = OptionalCount(ranking, "best", rankingPath);
        c.ranking.consecutive = Field(ranking, "consecutive", rankingPath, 1, kLargestNumber);
        const std::string finalsPath = Member(path, "finals");
        const json& finals = Key(value, "finals", path);
        c.finals.mainSize = Field(finals, "main_size", finalsPath, 1, kLargestNumber);
        c.finals.bump = Field(finals, "bump", finalsPath, 0, c.finals.mainSize - 1);
        c.finals.legs = Field(finals, "legs", finalsPath, 1, kLargestNumber);
        c.finals.bestLegs = OptionalCount(finals, "best_legs", finalsPath);
        c.practiceRecords =
            Records(Key(value, "practice_records", path), Member(path, "practice_records"));
        meeting_.classes.push_back(std::move(c));
    }

    void ReadEntry(const json& value, const std::string& path) {
        MeetingEntry entry;
        entry.number = Field(value, "number", path, 1, kLargestNumber);
        if (!numbers_.insert(entry.number).second)
            Refuse(Member(path, "number"), std::to_string(entry.number) + " is entered twice");
        entry.name = Text(Key(value, "name", path), Member(path, "name"));
        entry.transponder = Field(value, "transponder", path, 1, kLargestTransponder);
        entry.classId = Text(Key(value, "class", path), Member(path, "class"));
        if (classIds_.count(entry.classId) == 0)
            Refuse(Member(path, "class"), "no class " + Quoted(entry.classId));
        if (entry.name.empty() || !entrantNames_.insert({entry.classId, entry.name}).second)
            Refuse(Member(path, "name"), Quoted(entry.name) + " is empty or entered twice");
        entry.car = Text(Key(value, "car", path), Member(path, "car"));
        entry.club = Text(Key(value, "club", path), Member(path, "club"));
        entryClass_[entry.number] = entry.classId;
        meeting_.entries.push_back(std::move(entry));
    }

    void ReadRound(const json& value, const std::string& path) {
        MeetingRound round;
        round.classId = Text(Key(value, "class", path), Member(path, "class"));
        if (classIds_.count(round.classId) == 0)
            Refuse(Member(path, "class"), "no class " + Quoted(round.classId));
        round.number = Field(value, "round", path, 1, kLargestRounds);
        if (!roundsSeen_.insert({round.classId, round.number}).second)
            Refuse(Member(path, "round"), std::to_string(round.number) + " is listed twice");
        const json& seed = Key(value, "seed", path);
        if (!seed.is_number_unsigned()) Refuse(Member(path, "seed"), "must be a whole number");
        round.seed = seed.get<std::uint64_t>();
        if (const json* seeded = OptionalKey(value, "seeded", path))
            round.seeded = Flag(*seeded, Member(path, "seeded"));
        const std::string heatsPath = Member(path, "heats");
        const json& heats = Array(Key(value, "heats", path), heatsPath);
        std::set<std::int64_t> inRound;
        std::set<std::int64_t> heatNumbers;
        for (std::size_t i = 0; i < heats.size(); ++i) {
            const std::string at = Item(heatsPath, i);
            Heat heat;
            heat.id = Text(Key(heats[i], "id", at), Member(at, "id"));
            if (heat.id.empty() || heat.id.find(' ') != std::string::npos ||
                !heatIds_.insert(heat.id).second) {
                Refuse(Member(at, "id"), Quoted(heat.id) + " is empty, has a space or is twice");
            }
            heat.number = Field(heats[i], "heat", at, 1, kLargestNumber);
            if (!heatNumbers.insert(heat.number).second)
                Refuse(Member(at, "heat"), std::to_string(heat.number) + " is listed twice");
            const std::string entrantsPath = Member(at, "entrants");
            const json& entrants = Array(Key(heats[i], "entrants", at), entrantsPath);
            for (std::size_t e = 0; e < entrants.size(); ++e) {
                const std::int64_t number = Number(entrants[e], Item(entrantsPath, e), 1);
                const auto entryClass = entryClass_.find(number);
                if (entryClass == entryClass_.end() || entryClass->second != round.classId ||
                    !inRound.insert(number).second) {
                    Refuse(Item(entrantsPath, e), "entry " + std::to_string(number) +
                                                      " is not of the class or is drawn twice");
                }
                heat.entrants.push_back(number);
            }
            heat.records = Records(Key(heats[i], "records", at), Member(at, "records"));
            round.heats.push_back(std::move(heat));
        }
        meeting_.rounds.push_back(std::move(round));
    }

    Meeting meeting_;
    std::set<std::string> classIds_;
    std::set<std::string> classNames_;
    std::set<std::int64_t> numbers_;
    std::set<std::pair<std::string, std::string>> entrantNames_;
    std::map<std::int64_t, std::string> entryClass_;
    std::set<std::pair<std::string, std::int64_t>> roundsSeen_;
    std::set<std::string> heatIds_;
    std::set<std::string> files_;
};

}  // namespace

std::string MeetingJson(const Meeting& meeting) {
    Json classes = Json::array();
    for (const MeetingClass& c : meeting.classes) classes.push_back(ClassJson(c));
    Json entries = Json::array();
    for (const MeetingEntry& e : meeting.entries) {
        entries.push_back({{"number", e.number},
                           {"name", e.name},
                           {"transponder", e.transponder},
                           {"class", e.classId},
                           {"car", e.car},
                           {"club", e.club}});
    }
    Json rounds = Json::array();
    for (const MeetingRound& round : meeting.rounds) rounds.push_back(RoundJson(round));
    const Json document = {{"format", kFormat},
                           {"version", kMeetingFormatVersion},
                           {"name", meeting.name},
                           {"date", meeting.date},
                           {"next_class_number", meeting.nextClassNumber},
                           {"classes", std::move(classes)},
                           {"entries", std::move(entries)},
                           {"rounds", std::move(rounds)}};
    // Every text was checked as UTF-8 on its way in; a stray byte still must
    // not lose the meeting.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::optional<Meeting> ReadMeetingJson(std::string_view text, std::string& error) {
    return json_fields::Read<Meeting>(
        text, error, [](const json& document) { return MeetingReader().Read(document); });
}

}  // namespace palomind
