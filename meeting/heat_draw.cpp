#include "meeting/heat_draw.h"

#include <algorithm>
#include <set>

#include "meeting/draw_generator.h"

namespace palomind {

namespace {

using Heats = std::vector<std::vector<DrawnEntrant>>;

bool HasTransponderBesides(const std::vector<DrawnEntrant>& heat, std::size_t besides,
                           std::int64_t transponder) {
    for (std::size_t i = 0; i < heat.size(); ++i) {
        if (i != besides && heat[i].transponder == transponder) return true;
    }
    return false;
}

// The heats a clash in heat k may swap into, in the order they are tried:
// the following ones, then those before it from the nearest.
std::vector<std::size_t> SwapHeats(std::size_t k, std::size_t count) {
    std::vector<std::size_t> order;
    for (std::size_t t = k + 1; t < count; ++t) order.push_back(t);
    for (std::size_t t = k; t-- > 0;) order.push_back(t);
    return order;
}

// Moves heats[k][p] out of its heat by a swap that makes no new clash;
// false where there is none.
bool SwapApart(Heats& heats, std::size_t k, std::size_t p) {
    const std::int64_t transponder = heats[k][p].transponder;
    for (const std::size_t t : SwapHeats(k, heats.size())) {
        for (std::size_t x = 0; x < heats[t].size(); ++x) {
            const std::int64_t other = heats[t][x].transponder;
            if (other == transponder || HasTransponderBesides(heats[k], p, other) ||
                HasTransponderBesides(heats[t], x, transponder)) {
                continue;
            }
            std::swap(heats[k][p], heats[t][x]);
            return true;
        }
    }
    return false;
}

// Names the entrants of the transponder by entry number.
std::string Refusal(const Heats& heats, std::int64_t transponder) {
    std::vector<DrawnEntrant> sharing;
    for (const std::vector<DrawnEntrant>& heat : heats) {
        std::copy_if(heat.begin(), heat.end(), std::back_inserter(sharing),
                     [&](const DrawnEntrant& e) { return e.transponder == transponder; });
    }
    std::sort(sharing.begin(), sharing.end(),
              [](const DrawnEntrant& a, const DrawnEntrant& b) { return a.number < b.number; });
    std::string listed;
    for (std::size_t i = 0; i < sharing.size(); ++i) {
        listed += (i == 0                    ? ""
                   : i + 1 == sharing.size() ? " and "
                                             : ", ") +
                  ('"' + sharing[i].name + '"');
    }
    return "transponder " + std::to_string(transponder) + " is entered for " + listed +
           ": no swap between the " + std::to_string(heats.size()) + " heats keeps them apart";
}

}  // namespace

std::vector<std::int64_t> HeatSizes(std::int64_t n, std::int64_t largest) {
    if (n <= 0) return {};
    const std::int64_t count = (n + largest - 1) / largest;
    std::vector<std::int64_t> sizes(static_cast<std::size_t>(count), n / count);
    for (std::int64_t i = 0; i < n % count; ++i) ++sizes[static_cast<std::size_t>(i)];
    return sizes;
}

bool KeepTranspondersApart(Heats& heats, std::string& refusal) {
    for (std::size_t k = 0; k < heats.size(); ++k) {
        for (std::size_t p = 0; p < heats[k].size(); ++p) {
            const std::int64_t transponder = heats[k][p].transponder;
            const bool clashes =
                std::any_of(heats[k].begin(), heats[k].begin() + static_cast<std::ptrdiff_t>(p),
                            [&](const DrawnEntrant& e) { return e.transponder == transponder; });
            if (clashes && !SwapApart(heats, k, p)) {
                refusal = Refusal(heats, transponder);
                return false;
            }
        }
    }
    return true;
}

std::optional<Heats> HeatsInOrder(const std::vector<DrawnEntrant>& order, std::int64_t largest,
                                  std::string& refusal) {
    Heats heats;
    auto next = order.begin();
    for (const std::int64_t size : HeatSizes(static_cast<std::int64_t>(order.size()), largest)) {
        heats.emplace_back(next, next + size);
        next += size;
    }
    if (!KeepTranspondersApart(heats, refusal)) return std::nullopt;
    return heats;
}

std::optional<Heats> DrawHeats(const std::vector<DrawnEntrant>& entrants, std::int64_t largest,
                               std::uint64_t seed, std::string& refusal) {
    std::vector<DrawnEntrant> drawn = entrants;
    DrawGenerator generator(seed);
    for (std::size_t i = drawn.size(); i > 1; --i) {
        std::swap(drawn[i - 1], drawn[generator.Below(i)]);
    }
    return HeatsInOrder(drawn, largest, refusal);
}

std::string RoundRefusal(const MeetingClass& meetingClass, std::int64_t round) {
    if (round >= 1 && round <= meetingClass.rounds) return {};
    return "round " + std::to_string(round) + ": class \"" + meetingClass.name + "\" has " +
           std::to_string(meetingClass.rounds) + " qualifying rounds";
}

bool ArrangeRound(Meeting& meeting, const std::string& classId, std::int64_t round,
                  const RoundArrangement& arrangement, std::string& error) {
    const MeetingClass* meetingClass = ClassWithId(meeting, classId);
    if (meetingClass == nullptr) {
        error = "no class with the id " + classId;
        return false;
    }
    if (const std::string refusal = RoundRefusal(*meetingClass, round); !refusal.empty()) {
        error = refusal;
        return false;
    }
    MeetingRound arranged{classId, round, arrangement.seed, {}, arrangement.seeded};
    std::set<std::int64_t> kept;
    std::set<std::int64_t> keptNumbers;
    if (const MeetingRound* old = RoundOf(meeting, classId, round)) {
        for (const Heat& heat : old->heats) {
            if (heat.records.empty()) continue;
            arranged.heats.push_back(heat);
            keptNumbers.insert(heat.number);
            kept.insert(heat.entrants.begin(), heat.entrants.end());
        }
    }
    std::vector<DrawnEntrant> entrants;
    for (const MeetingEntry& entry : EntriesOfClass(meeting, classId)) {
        if (kept.count(entry.number) == 0)
            entrants.push_back({entry.number, entry.transponder, entry.name});
    }
    if (entrants.empty() && arranged.heats.empty()) {
        error = "class \"" + meetingClass->name + "\" has no entrants to draw";
        return false;
    }
    const auto heats = arrangement.heats(entrants, meetingClass->heatSize, error);
    if (!heats) return false;
    std::int64_t number = 0;
    for (const std::vector<DrawnEntrant>& members : *heats) {
        while (keptNumbers.count(++number) != 0) {
        }
        Heat heat{QualifyingHeatId(classId, round, number), number, {}, {}};
        for (const DrawnEntrant& entrant : members) heat.entrants.push_back(entrant.number);
        arranged.heats.push_back(std::move(heat));
    }
    std::sort(arranged.heats.begin(), arranged.heats.end(),
              [](const Heat& a, const Heat& b) { return a.number < b.number; });
    if (MeetingRound* old = RoundOf(meeting, classId, round)) {
        *old = std::move(arranged);
    } else {
        meeting.rounds.push_back(std::move(arranged));
    }
    return true;
}

bool DrawRound(Meeting& meeting, const std::string& classId, std::int64_t round, std::uint64_t seed,
               std::string& error) {
    const RoundArrangement drawn{
        [seed](const std::vector<DrawnEntrant>& entrants, std::int64_t largest,
               std::string& refusal) { return DrawHeats(entrants, largest, seed, refusal); },
        seed, false};
    return ArrangeRound(meeting, classId, round, drawn, error);
}

}  // namespace palomind
