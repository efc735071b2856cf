#pragma once
#include <cstdint>
#include <string>

#include "meeting/meeting_model.h"

namespace palomind::testing {

// An entrant of class "c1", the first class a meeting adds.
inline MeetingEntry Entrant(std::int64_t number, std::string name, std::int64_t transponder) {
    MeetingEntry entry;
    entry.number = number;
    entry.name = std::move(name);
    entry.transponder = transponder;
    entry.classId = "c1";
    return entry;
}

}  // namespace palomind::testing
