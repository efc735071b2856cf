#include "meeting/final_result.h"

#include <set>

namespace palomind {

std::vector<FinalRow> ClassFinalResult(const std::vector<std::string>& qualifying,
                                       const std::vector<MainRun>& mainsTopDown) {
    std::vector<FinalRow> rows;
    std::set<std::string, std::less<>> placed;
    const auto place = [&](const std::string& entrant, const std::optional<std::string>& main) {
        if (!placed.insert(entrant).second) return;
        rows.push_back({entrant, static_cast<std::int64_t>(rows.size()) + 1, main});
    };
    // An entrant bumped up stands on two grids and is placed by the higher.
    for (const MainRun& main : mainsTopDown) {
        for (const MainPlace& result : MainResult(main, qualifying))
            place(result.entrant, main.name);
    }
    for (const std::string& entrant : qualifying) place(entrant, std::nullopt);
    return rows;
}

}  // namespace palomind
