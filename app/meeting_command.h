#pragma once
#include <cstdint>
#include <ctime>
#include <functional>
#include <ostream>
#include <string>

#include "app/command_line.h"
#include "platform/file_store.h"

namespace palomind {

// What a meeting folder command takes from outside: the files, the local
// date of the day and where a seed comes from when none is given.
struct MeetingCommandWorld {
    FileStore& files;
    std::string today;  // YYYY-MM-DD
    std::function<std::uint64_t()> randomSeed;
};

// The local date of `now` as YYYY-MM-DD.
std::string LocalDate(std::time_t now);
// A seed from the system's random device, for a draw without --seed.
std::uint64_t SystemRandomSeed();

// palomind --meeting DIR with one of --new NAME, --class NAME [settings],
// --import-entries FILE.csv, --draw-heats CLASS --round N [--seed N | --seeded],
// --schedule --out FILE.json, --file-race HEAT --record RECORD or --results
// HEAT --out FILE.json (docs/meeting.md, "Meeting folder commands").
// On success nothing is printed and 0 returned. Bad input gets one line on
// `err` naming it and status 2, with nothing changed; a file that cannot be
// read or written, or a filed race record that is not one, status 1.
int RunMeetingFolderCommand(const CommandLine& line, MeetingCommandWorld& world, std::ostream& err);

}  // namespace palomind
