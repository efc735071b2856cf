#pragma once
#include <string>
#include <vector>

#include "meeting/final_result.h"
#include "meeting/mains.h"
#include "meeting/qualifying_ranking.h"

namespace palomind {

// The JSON output of --rank, --mains, --grid and --final (docs/meeting.md),
// each with "version": kMeetingJsonVersion, indented, ending in a line end.
inline constexpr int kMeetingJsonVersion = 1;

std::string RankingJson(const QualifyingRanking& ranking);
std::string MainsJson(const std::vector<MainPlan>& mains);
std::string GridJson(const std::vector<std::string>& grid);
std::string FinalJson(const std::vector<FinalRow>& result);

}  // namespace palomind
