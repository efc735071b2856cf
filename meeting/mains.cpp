#include "meeting/mains.h"

#include <algorithm>

namespace palomind {

namespace {

using Places = std::vector<std::string>::const_iterator;

std::vector<std::string> Take(Places& next, std::size_t count) {
    std::vector<std::string> taken(next, next + static_cast<std::ptrdiff_t>(count));
    next += static_cast<std::ptrdiff_t>(count);
    return taken;
}

// Sized as heats are: sizes differ by at most one, the higher mains larger.
std::vector<MainPlan> MainsWithoutBumps(const std::vector<std::string>& qualifying,
                                        std::size_t size) {
    const std::size_t n = qualifying.size();
    const std::size_t count = (n + size - 1) / size;
    std::vector<MainPlan> mains;
    Places next = qualifying.begin();
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t places = n / count + (i < n % count ? 1 : 0);
        mains.push_back({MainName(i), Take(next, places), 0});
    }
    return mains;
}

}  // namespace

std::string MainName(std::size_t index) {
    std::string name;
    for (std::size_t rest = index + 1; rest > 0; rest = (rest - 1) / 26) {
        name.insert(name.begin(), static_cast<char>('A' + (rest - 1) % 26));
    }
    return name;
}

std::vector<MainPlan> MainsFromRanking(const std::vector<std::string>& qualifying,
                                       std::int64_t size, std::int64_t bump) {
    const auto perMain = static_cast<std::size_t>(std::max<std::int64_t>(1, size));
    const auto slots = static_cast<std::size_t>(std::clamp<std::int64_t>(bump, 0, size - 1));
    if (slots == 0) return MainsWithoutBumps(qualifying, perMain);
    std::vector<MainPlan> mains;
    Places next = qualifying.begin();
    while (next != qualifying.end()) {
        const auto left = static_cast<std::size_t>(qualifying.end() - next);
        MainPlan main{MainName(mains.size()), Take(next, std::min(perMain - slots, left)), 0};
        const auto stillLeft = static_cast<std::size_t>(qualifying.end() - next);
        if (stillLeft <= slots) {
            const std::vector<std::string> rest = Take(next, stillLeft);
            main.locked.insert(main.locked.end(), rest.begin(), rest.end());
        } else {
            main.bumpSlots = static_cast<std::int64_t>(slots);
        }
        mains.push_back(std::move(main));
    }
    return mains;
}

std::vector<std::string> BumpUpGrid(const std::vector<std::string>& locked, std::int64_t bumpSlots,
                                    const std::vector<std::string>& lowerStartersInOrder) {
    std::vector<std::string> grid = locked;
    const auto bumped = std::min(lowerStartersInOrder.size(),
                                 static_cast<std::size_t>(std::max<std::int64_t>(0, bumpSlots)));
    grid.insert(grid.end(), lowerStartersInOrder.begin(),
                lowerStartersInOrder.begin() + static_cast<std::ptrdiff_t>(bumped));
    return grid;
}

}  // namespace palomind
