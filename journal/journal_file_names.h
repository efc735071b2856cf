#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace palomind {

// How a journal file is named in the journal folder. A run is named
// "palomind-<yyyyMMdd>-<HHmmss>-<process ID>", so runs never share a file and
// the names sort by age. Its file is "<run>.running.journal" while the
// program runs and "<run>.journal" once it has shut down cleanly. A run that
// crashed keeps its running name until the next start asked whether to
// restore its race: then it is "<run>.restored.journal" or
// "<run>.declined.journal" (settled), never offered again.
inline constexpr std::string_view kJournalRunPrefix = "palomind-";
inline constexpr std::string_view kRunningJournalSuffix = ".running.journal";
inline constexpr std::string_view kRestoredJournalSuffix = ".restored.journal";
inline constexpr std::string_view kDeclinedJournalSuffix = ".declined.journal";
inline constexpr std::string_view kCompleteJournalSuffix = ".journal";

// `startTime` is the run's local start time as "yyyyMMdd-HHmmss".
std::string JournalRunName(std::string_view startTime, long processId);

std::string RunningJournalFileName(std::string_view runName);
std::string CompleteJournalFileName(std::string_view runName);
std::string RestoredJournalFileName(std::string_view runName);
std::string DeclinedJournalFileName(std::string_view runName);

// Any journal of a run: running, complete or settled.
bool IsJournalFileName(std::string_view fileName);
bool IsRunningJournalFileName(std::string_view fileName);
bool IsCompleteJournalFileName(std::string_view fileName);
bool IsSettledJournalFileName(std::string_view fileName);

// The run name of a journal's file name; nothing where it is not a journal's.
std::optional<std::string> JournalRunOf(std::string_view fileName);

// The process ID at the end of a journal file's run name; nothing where it
// is not a journal's name or its run name does not end with one.
std::optional<long> JournalProcessId(std::string_view fileName);

}  // namespace palomind
