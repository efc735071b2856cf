#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "meeting/json_number.h"
#include "meeting/main_result.h"
#include "meeting/qualifying_ranking.h"
#include "meeting/round_result.h"

namespace palomind {

// The JSON input of --rank, --mains, --grid and --final (docs/meeting.md).
// Each reader gives the input, or nothing with `error` saying in one line
// what is wrong and where ("rounds[1][0].status: unknown status \"RAN\"").
// Every name is checked against the list it must be in, and every number is
// a whole number from 0 to kLargestNumber, so no sum of them overflows.

struct RankInput {
    RankingSettings settings;
    std::vector<Entrant> entrants;
    std::vector<RaceResults> rounds;
};
std::optional<RankInput> ReadRankInput(std::string_view json, std::string& error);

struct MainsInput {
    std::vector<std::string> ranking;
    std::int64_t size = 0;
    std::int64_t bump = 0;
};
std::optional<MainsInput> ReadMainsInput(std::string_view json, std::string& error);

struct GridInput {
    std::vector<std::string> locked;
    std::int64_t bumpSlots = 0;
    RaceResults lower;
};
std::optional<GridInput> ReadGridInput(std::string_view json, std::string& error);

struct FinalInput {
    std::vector<std::string> qualifying;
    std::vector<MainRun> mains;  // from the top main down
};
std::optional<FinalInput> ReadFinalInput(std::string_view json, std::string& error);

}  // namespace palomind
