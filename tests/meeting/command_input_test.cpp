// Malformed input of the four meeting commands is refused with one line
// saying what is wrong and where.
#include "meeting/command_input.h"

#include <gtest/gtest.h>

namespace palomind {
namespace {

struct RefusedCase {
    std::string input;
    std::string error;
};

template <typename Input>
void ExpectRefused(std::optional<Input> (*read)(std::string_view, std::string&),
                   const std::vector<RefusedCase>& cases) {
    for (const RefusedCase& c : cases) {
        std::string error;
        EXPECT_FALSE(read(c.input, error).has_value()) << c.input;
        EXPECT_EQ(error, c.error) << c.input;
    }
}

// A --rank input with one round holding `row`.
std::string RankWith(const std::string& method, const std::string& row) {
    return R"({"method": ")" + method +
           R"(", "entrants": [{"entrant": "A", "number": 1}], "rounds": [[)" + row + "]]}";
}

TEST(CommandInputTest, RankRefusesMalformedInput) {
    ExpectRefused(
        &ReadRankInput,
        {
            {"{", "not JSON (at byte 2)"},
            {"[]", "the input must be an object"},
            {"{}", "\"method\" is missing"},
            {RankWith("fastest", ""), "method: unknown method \"fastest\""},
            {RankWith("laps-time", R"({"entrant": "A", "status": "RAN", "laps": 1, "time_ms": 1})"),
             "rounds[0][0].status: unknown status \"RAN\""},
            {RankWith("laps-time", R"({"entrant": "Z", "status": "DNS", "laps": 0, "time_ms": 0})"),
             "rounds[0][0].entrant: \"Z\" is not in entrants"},
            {RankWith("laps-time",
                      R"({"entrant": "A", "status": "RUN", "laps": -1, "time_ms": 1})"),
             "rounds[0][0].laps: must not be negative"},
            {RankWith("laps-time",
                      R"({"entrant": "A", "status": "RUN", "laps": 2.5, "time_ms": 1})"),
             "rounds[0][0].laps: must be a whole number"},
            {RankWith("laps-time", R"({"entrant": "A", "status": "RUN", "laps": 1})"),
             "rounds[0][0]: \"time_ms\" is missing"},
            {RankWith("laps-time",
                      R"({"entrant": "A", "status": "START", "laps": 1, "time_ms": 1})"),
             "rounds[0][0].laps: a START has no laps"},
            {RankWith("fastest-lap",
                      R"({"entrant": "A", "status": "RUN", "laps": 2, "time_ms": 1})"),
             "rounds[0][0]: \"lap_ms\" is missing"},
            {RankWith(
                 "consecutive",
                 R"({"entrant": "A", "status": "RUN", "laps": 2, "time_ms": 9, "lap_ms": [9]})"),
             "rounds[0][0].lap_ms: must hold one time for each of the 2 laps"},
            {RankWith("laps-time", R"({"entrant": "A", "status": "DNS", "laps": 0, "time_ms": 0},
                                 {"entrant": "A", "status": "DNS", "laps": 0, "time_ms": 0})"),
             "rounds[0][1].entrant: \"A\" has two rows"},
            {R"({"method": "laps-time", "best": 0, "entrants": [], "rounds": []})",
             "best: must be at least 1"},
            {R"({"method": "laps-time", "rounds": [],
             "entrants": [{"entrant": "A", "number": 1}, {"entrant": "B", "number": 1}]})",
             "entrants[1]: entry number 1 is listed twice"},
        });
}

TEST(CommandInputTest, FinalsRefuseMalformedInput) {
    ExpectRefused(&ReadMainsInput,
                  {
                      {R"({"ranking": ["Q1", "Q1"], "size": 6, "bump": 2})",
                       "ranking[1]: \"Q1\" is listed twice"},
                      {R"({"ranking": [], "size": 2, "bump": 2})", "bump: must be less than size"},
                  });
    ExpectRefused(&ReadGridInput, {
                                      {R"({"locked": ["Q1"], "bump_slots": 1,
             "lower": [{"entrant": "Q1", "status": "RUN", "laps": 1, "time_ms": 1}]})",
                                       "lower[0].entrant: \"Q1\" is locked in the main above"},
                                  });
    ExpectRefused(
        &ReadFinalInput,
        {
            {R"({"qualifying": ["Q1"], "mains": [{"name": "A", "grid": ["Q2"], "legs": []}]})",
             "mains[0].grid[0]: \"Q2\" is not in qualifying"},
            {R"({"qualifying": ["Q1", "Q2"], "mains": [{"name": "A", "grid": ["Q1"],
             "legs": [[{"entrant": "Q2", "status": "RUN", "laps": 1, "time_ms": 1}]]}]})",
             "mains[0].legs[0][0].entrant: \"Q2\" is not on the grid"},
        });
}

}  // namespace
}  // namespace palomind
