#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "meeting/main_result.h"

namespace palomind {

struct FinalRow {
    std::string entrant;
    // 1 to n, never shared.
    std::int64_t position = 0;
    // The highest main on whose grid the entrant stood; none for an entrant
    // in no main.
    std::optional<std::string> main;
};

// The class's final result from its qualifying order (best first) and its
// mains from the top down: every finalist of a main above every finalist of
// the mains below, each main in its own result's order; then the entrants in
// no main by qualifying order.
std::vector<FinalRow> ClassFinalResult(const std::vector<std::string>& qualifying,
                                       const std::vector<MainRun>& mainsTopDown);

}  // namespace palomind
