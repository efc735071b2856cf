#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/receiver_simulator/receiver_frames.h"

namespace palomind::simulator {

// What became of a block: all of it went out, none of it (nobody was
// reading), or only the first bytes (the reader stopped taking them).
enum class SendOutcome { Sent, Lost, Cut };

// The simulator's log: one line per block it put on the line (or failed to):
//   <monotonic ms with microseconds> <sent|lost|cut> <kind> <hex bytes...>
// e.g. "5123456.789 sent pass fe fe fe 05 10 20 35". The bytes are the whole
// block, except for a cut one: only those that went out. The time is taken
// right after the write, on the clock the application stamps passes with.
struct SendLogEntry {
    std::int64_t nanos = 0;
    SendOutcome outcome = SendOutcome::Sent;
    TransmissionKind kind = TransmissionKind::Pass;
    Bytes bytes;
};

std::string FormatSendLogLine(const SendLogEntry& entry);

// Reads a whole log. False with `error` naming the first bad line.
bool ParseSendLog(std::string_view text, std::vector<SendLogEntry>& entries, std::string& error);

}  // namespace palomind::simulator
