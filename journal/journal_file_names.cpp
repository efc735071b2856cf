#include "journal/journal_file_names.h"

#include <charconv>
#include <system_error>

namespace palomind {

std::string JournalRunName(std::string_view startTime, long processId) {
    return std::string(kJournalRunPrefix) + std::string(startTime) + "-" +
           std::to_string(processId);
}

std::string RunningJournalFileName(std::string_view runName) {
    return std::string(runName) + std::string(kRunningJournalSuffix);
}

std::string CompleteJournalFileName(std::string_view runName) {
    return std::string(runName) + std::string(kCompleteJournalSuffix);
}

std::string RestoredJournalFileName(std::string_view runName) {
    return std::string(runName) + std::string(kRestoredJournalSuffix);
}

std::string DeclinedJournalFileName(std::string_view runName) {
    return std::string(runName) + std::string(kDeclinedJournalSuffix);
}

namespace {

// The longest suffix a journal's name ends with: the one that says its state.
std::string_view StateSuffixOf(std::string_view fileName) {
    for (const std::string_view suffix :
         {kRunningJournalSuffix, kRestoredJournalSuffix, kDeclinedJournalSuffix}) {
        if (fileName.ends_with(suffix)) return suffix;
    }
    return kCompleteJournalSuffix;
}

}  // namespace

bool IsJournalFileName(std::string_view fileName) {
    return fileName.starts_with(kJournalRunPrefix) && fileName.ends_with(kCompleteJournalSuffix);
}

bool IsRunningJournalFileName(std::string_view fileName) {
    return IsJournalFileName(fileName) && StateSuffixOf(fileName) == kRunningJournalSuffix;
}

bool IsCompleteJournalFileName(std::string_view fileName) {
    return IsJournalFileName(fileName) && StateSuffixOf(fileName) == kCompleteJournalSuffix;
}

bool IsSettledJournalFileName(std::string_view fileName) {
    const std::string_view suffix = StateSuffixOf(fileName);
    return IsJournalFileName(fileName) &&
           (suffix == kRestoredJournalSuffix || suffix == kDeclinedJournalSuffix);
}

std::optional<std::string> JournalRunOf(std::string_view fileName) {
    if (!IsJournalFileName(fileName)) return std::nullopt;
    fileName.remove_suffix(StateSuffixOf(fileName).size());
    return std::string(fileName);
}

std::optional<long> JournalProcessId(std::string_view fileName) {
    if (!IsJournalFileName(fileName)) return std::nullopt;
    fileName.remove_suffix(StateSuffixOf(fileName).size());
    const std::size_t dash = fileName.rfind('-');
    if (dash == std::string_view::npos) return std::nullopt;
    long pid = 0;
    const std::string_view digits = fileName.substr(dash + 1);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
    if (error != std::errc() || end != digits.data() + digits.size() || pid <= 0)
        return std::nullopt;
    return pid;
}

}  // namespace palomind
