#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "meeting/meeting_model.h"

namespace palomind {

// The sizes of the heats of n entrants with at most `largest` in one:
// ceil(n / largest) heats whose sizes differ by at most one, the larger
// first. None for n = 0.
std::vector<std::int64_t> HeatSizes(std::int64_t n, std::int64_t largest);

struct DrawnEntrant {
    std::int64_t number = 0;
    std::int64_t transponder = 0;
    std::string name;
};

// Fills heats of HeatSizes with `order`, heat 1 taking the first, then
// keeps the entrants of one transponder apart (KeepTranspondersApart).
// Nothing, with `refusal` set, where no swap keeps a clash apart.
std::optional<std::vector<std::vector<DrawnEntrant>>> HeatsInOrder(
    const std::vector<DrawnEntrant>& order, std::int64_t largest, std::string& refusal);

// Draws `entrants` (in entry-number order) into heats of HeatSizes: a
// Fisher-Yates shuffle by DrawGenerator(seed), the heats filled in drawn
// order, then every transponder clash resolved by a swap as docs/meeting.md
// says. Nothing, with `refusal` naming the transponder and its entrants,
// where no swap keeps a clash apart.
std::optional<std::vector<std::vector<DrawnEntrant>>> DrawHeats(
    const std::vector<DrawnEntrant>& entrants, std::int64_t largest, std::uint64_t seed,
    std::string& refusal);

// Keeps the entrants of one transponder apart: the heats are gone through
// from the first, each in drawn order, and an entrant whose transponder an
// earlier one of its heat has swaps with the earliest-drawn entrant of the
// next heat whose swap makes no new clash, the heats after it tried in
// order, then those before it from the nearest. False, with `refusal`
// naming the transponder and its entrants, where no swap helps.
bool KeepTranspondersApart(std::vector<std::vector<DrawnEntrant>>& heats, std::string& refusal);

// Why round `round` is not one of the class's, in one line; empty where it
// is.
std::string RoundRefusal(const MeetingClass& meetingClass, std::int64_t round);

// How a round's heats are made: the entrants to place (in entry-number
// order) split into heats of at most `largest`, or nothing with `refusal`
// set; and what meeting.json keeps of it.
struct RoundArrangement {
    std::function<std::optional<std::vector<std::vector<DrawnEntrant>>>(
        const std::vector<DrawnEntrant>& entrants, std::int64_t largest, std::string& refusal)>
        heats;
    std::uint64_t seed = 0;
    bool seeded = false;
};

// Makes round `round` of the class anew by `arrangement`: the heats with a
// filed record stay as they are, and every other entrant of the class is
// placed into new heats that take the numbers the kept heats leave free.
// Returns false, the meeting unchanged and `error` set in one line, where
// the round is not one of the class's or the arrangement is refused.
bool ArrangeRound(Meeting& meeting, const std::string& classId, std::int64_t round,
                  const RoundArrangement& arrangement, std::string& error);

// Draws round `round` of the class anew with `seed`: the heats with a filed
// record stay as they are, and every other entrant of the class is drawn
// into new heats that take the numbers the kept heats leave free. Returns
// false, the meeting unchanged and `error` set in one line, where the round
// is not one of the class's or the draw is refused.
bool DrawRound(Meeting& meeting, const std::string& classId, std::int64_t round, std::uint64_t seed,
               std::string& error);

}  // namespace palomind
