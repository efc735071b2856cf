#pragma once
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/file_store.h"

namespace palomind {

// --rank, --mains, --grid or --final: the runs that compute a meeting's
// rankings from a JSON file, without a display.
bool IsMeetingCommand(std::string_view run);

// palomind --rank|--mains|--grid|--final IN.json --out OUT.json
// Reads IN, writes the answer to OUT in one step and returns 0. Malformed
// input is refused with one line on `err` and status 2, and nothing is
// written; a file that cannot be read or written gives status 1.
int RunMeetingCommand(std::string_view run, const std::string& inPath,
                      const std::optional<std::string>& outPath, FileStore& files,
                      std::ostream& err);

}  // namespace palomind
