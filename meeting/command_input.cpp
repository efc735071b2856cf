#include "meeting/command_input.h"

#include <functional>
#include <set>

#include "meeting/json_fields.h"

namespace palomind {

namespace {

using namespace json_fields;

// A list of names, none twice.
std::vector<std::string> Names(const json& value, const std::string& path) {
    std::vector<std::string> names;
    std::set<std::string, std::less<>> seen;
    for (std::size_t i = 0; i < Array(value, path).size(); ++i) {
        names.push_back(Text(value[i], Item(path, i)));
        if (!seen.insert(names.back()).second)
            Refuse(Item(path, i), Quoted(names.back()) + " is listed twice");
    }
    return names;
}

RaceStatus Status(const json& value, const std::string& path) {
    const std::string text = Text(value, path);
    if (text == "DNS") return RaceStatus::DNS;
    if (text == "START") return RaceStatus::Start;
    if (text == "RUN") return RaceStatus::Run;
    if (text == "DQ") return RaceStatus::DQ;
    Refuse(path, "unknown status " + Quoted(text));
}

RoundResult Row(const json& value, const std::string& path) {
    RoundResult row;
    row.entrant = Text(Key(value, "entrant", path), Member(path, "entrant"));
    row.status = Status(Key(value, "status", path), Member(path, "status"));
    row.laps = Number(Key(value, "laps", path), Member(path, "laps"));
    row.timeMs = Number(Key(value, "time_ms", path), Member(path, "time_ms"));
    // A START is one pass and no lap, a RUN at least one lap: a row that says
    // otherwise would be ranked as something it is not.
    if (row.status == RaceStatus::Start && row.laps != 0)
        Refuse(Member(path, "laps"), "a START has no laps");
    if (row.status == RaceStatus::Run && row.laps == 0)
        Refuse(Member(path, "laps"), "a RUN has at least one lap");
    if (const json* laps = OptionalKey(value, "lap_ms", path)) {
        const std::string lapsPath = Member(path, "lap_ms");
        for (std::size_t i = 0; i < Array(*laps, lapsPath).size(); ++i) {
            row.lapMs.push_back(Number((*laps)[i], Item(lapsPath, i)));
        }
    }
    if (const json* provisional = OptionalKey(value, "provisional", path)) {
        row.provisional = Flag(*provisional, Member(path, "provisional"));
    }
    return row;
}

// The rows of one race. `whyRefused` says what is wrong with an entrant
// there, or nothing; no entrant has two rows.
RaceResults Race(const json& value, const std::string& path,
                 const std::function<std::string(const std::string&)>& whyRefused) {
    RaceResults race;
    std::set<std::string, std::less<>> seen;
    for (std::size_t i = 0; i < Array(value, path).size(); ++i) {
        const std::string rowPath = Item(path, i);
        race.push_back(Row(value[i], rowPath));
        const std::string& entrant = race.back().entrant;
        if (const std::string why = whyRefused(entrant); !why.empty()) {
            Refuse(Member(rowPath, "entrant"), Quoted(entrant) + " " + why);
        }
        if (!seen.insert(entrant).second)
            Refuse(Member(rowPath, "entrant"), Quoted(entrant) + " has two rows");
    }
    return race;
}

std::function<std::string(const std::string&)> MustBeIn(const std::vector<std::string>& names,
                                                        std::string why) {
    return [set = std::set<std::string, std::less<>>(names.begin(), names.end()),
            why = std::move(why)](const std::string& entrant) {
        return set.count(entrant) != 0 ? std::string() : why;
    };
}

std::vector<Entrant> Entrants(const json& value, const std::string& path) {
    std::vector<Entrant> entrants;
    std::set<std::string, std::less<>> names;
    std::set<std::int64_t> numbers;
    for (std::size_t i = 0; i < Array(value, path).size(); ++i) {
        const std::string itemPath = Item(path, i);
        Entrant entrant{Text(Key(value[i], "entrant", itemPath), Member(itemPath, "entrant")),
                        Number(Key(value[i], "number", itemPath), Member(itemPath, "number"))};
        if (!names.insert(entrant.name).second)
            Refuse(itemPath, Quoted(entrant.name) + " is listed twice");
        if (!numbers.insert(entrant.number).second) {
            Refuse(itemPath, "entry number " + std::to_string(entrant.number) + " is listed twice");
        }
        entrants.push_back(std::move(entrant));
    }
    return entrants;
}

// The methods that read every lap need one time per lap of every RUN.
void CheckLapTimes(const RaceResults& round, const json& rows, const std::string& path) {
    for (std::size_t i = 0; i < round.size(); ++i) {
        const RoundResult& row = round[i];
        if (row.status != RaceStatus::Run) continue;
        const std::string rowPath = Item(path, i);
        if (!rows[i].contains("lap_ms")) Refuse(rowPath, "\"lap_ms\" is missing");
        if (row.lapMs.size() != static_cast<std::size_t>(row.laps)) {
            Refuse(Member(rowPath, "lap_ms"),
                   "must hold one time for each of the " + std::to_string(row.laps) + " laps");
        }
    }
}

}  // namespace

std::optional<RankInput> ReadRankInput(std::string_view text, std::string& error) {
    return Read<RankInput>(text, error, [](const json& document) {
        RankInput input;
        const std::string method = Text(Key(document, "method", ""), "method");
        const std::optional<RankingMethod> named = RankingMethodNamed(method);
        if (!named) Refuse("method", "unknown method " + Quoted(method));
        input.settings.method = *named;
        if (const json* best = OptionalKey(document, "best", ""))
            input.settings.best = Number(*best, "best", 1);
        if (const json* n = OptionalKey(document, "consecutive", "")) {
            input.settings.consecutive = Number(*n, "consecutive", 1);
        }
        input.entrants = Entrants(Key(document, "entrants", ""), "entrants");
        std::vector<std::string> names;
        for (const Entrant& entrant : input.entrants) names.push_back(entrant.name);
        const auto listed = MustBeIn(names, "is not in entrants");
        const bool readsLaps =
            *named == RankingMethod::FastestLap || *named == RankingMethod::Consecutive;
        const json& rounds = Array(Key(document, "rounds", ""), "rounds");
        for (std::size_t r = 0; r < rounds.size(); ++r) {
            input.rounds.push_back(Race(rounds[r], Item("rounds", r), listed));
            if (readsLaps) CheckLapTimes(input.rounds.back(), rounds[r], Item("rounds", r));
        }
        return input;
    });
}

std::optional<MainsInput> ReadMainsInput(std::string_view text, std::string& error) {
    return Read<MainsInput>(text, error, [](const json& document) {
        MainsInput input;
        input.ranking = Names(Key(document, "ranking", ""), "ranking");
        input.size = Number(Key(document, "size", ""), "size", 1);
        input.bump = Number(Key(document, "bump", ""), "bump");
        if (input.bump >= input.size) Refuse("bump", "must be less than size");
        return input;
    });
}

std::optional<GridInput> ReadGridInput(std::string_view text, std::string& error) {
    return Read<GridInput>(text, error, [](const json& document) {
        GridInput input;
        input.locked = Names(Key(document, "locked", ""), "locked");
        input.bumpSlots = Number(Key(document, "bump_slots", ""), "bump_slots");
        const std::set<std::string, std::less<>> locked(input.locked.begin(), input.locked.end());
        input.lower =
            Race(Key(document, "lower", ""), "lower", [&locked](const std::string& entrant) {
                return locked.count(entrant) != 0 ? std::string("is locked in the main above")
                                                  : std::string();
            });
        return input;
    });
}

std::optional<FinalInput> ReadFinalInput(std::string_view text, std::string& error) {
    return Read<FinalInput>(text, error, [](const json& document) {
        FinalInput input;
        input.qualifying = Names(Key(document, "qualifying", ""), "qualifying");
        const auto qualified = MustBeIn(input.qualifying, "is not in qualifying");
        const json& mains = Array(Key(document, "mains", ""), "mains");
        for (std::size_t m = 0; m < mains.size(); ++m) {
            const std::string path = Item("mains", m);
            MainRun main;
            main.name = Text(Key(mains[m], "name", path), Member(path, "name"));
            main.grid = Names(Key(mains[m], "grid", path), Member(path, "grid"));
            for (std::size_t i = 0; i < main.grid.size(); ++i) {
                if (const std::string why = qualified(main.grid[i]); !why.empty()) {
                    Refuse(Item(Member(path, "grid"), i), Quoted(main.grid[i]) + " " + why);
                }
            }
            const auto onGrid = MustBeIn(main.grid, "is not on the grid");
            const std::string legsPath = Member(path, "legs");
            const json& legs = Array(Key(mains[m], "legs", path), legsPath);
            for (std::size_t leg = 0; leg < legs.size(); ++leg) {
                main.legs.push_back(Race(legs[leg], Item(legsPath, leg), onGrid));
            }
            if (const json* best = OptionalKey(mains[m], "best_legs", path)) {
                main.bestLegs = Number(*best, Member(path, "best_legs"), 1);
            }
            input.mains.push_back(std::move(main));
        }
        return input;
    });
}

}  // namespace palomind
