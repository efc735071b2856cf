#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace palomind {

// The race journal: every event that drives the engine, one per line, so a
// race can be replayed exactly. Text, UTF-8, LF or CR LF line ends; line 1 is
// the header, blank lines and lines starting with '#' are ignored, every
// other line is "<tick> <event> [arguments]" with single spaces.
inline constexpr std::string_view kJournalHeader = "palomind-journal 1";

enum class JournalEventKind {
    Boot,       // application start-up: the start-up reset
    Start,      // toolbar "レース開始"
    Stop,       // toolbar "ストップ"
    Id1,        // toolbar "ＩＤ１"
    Id2,        // toolbar "ＩＤ２"
    Id3,        // toolbar "ＩＤ３"
    Rx,         // one data-received event of the serial port
    RaceTime,   // RaceTime set to value
    StartWait,  // StartWait set to value
    TtsMode,    // TtsMode set to value
    Clock,      // the race clock acted on a new second
};

struct JournalEvent {
    std::int32_t tick = 0;
    JournalEventKind kind = JournalEventKind::Boot;
    std::int32_t value = 0;           // RaceTime, StartWait, TtsMode
    std::vector<std::uint8_t> bytes;  // Rx
};

// One journal line without its line end.
std::string FormatJournalLine(const JournalEvent& event);

struct JournalParseResult {
    bool ok = false;
    std::vector<JournalEvent> events;
    int errorLine = 0;  // 1-based line of the first error
    std::string error;  // what is wrong with it (English)
};

JournalParseResult ParseJournal(std::string_view text);

}  // namespace palomind
