#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace palomind {

// The race journal: every event that drives the engine, one per line, so a
// race can be replayed exactly. Text, UTF-8, LF or CR LF line ends (a line
// counts only with its line end); line 1 is
// the header, blank lines and lines starting with '#' are ignored, every
// other line is "<tick> <event> [arguments]" with single spaces.
inline constexpr std::string_view kJournalHeader = "palomind-journal 1";

enum class JournalEventKind {
    Boot,       // application start-up: the start-up reset; text: the machine's boot identity
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
    Comment,    // the race comment's text became `text`
    Name,       // the roster name of ID `value` (1 to 64) became `text`
    Open,       // a result file was opened and shown: `bytes` are the file
};

struct JournalEvent {
    std::int32_t tick = 0;
    JournalEventKind kind = JournalEventKind::Boot;
    std::int32_t value = 0;             // RaceTime, StartWait, TtsMode; Name: the ID
    std::vector<std::uint8_t> bytes{};  // Rx, Open
    std::string text{};                 // Comment, Name; Boot: the boot identity (may be empty)
};

// One journal line without its line end.
std::string FormatJournalLine(const JournalEvent& event);

struct JournalParseResult {
    bool ok = false;
    std::vector<JournalEvent> events;
    std::vector<int> lines;  // the 1-based line of each event
    int errorLine = 0;       // 1-based line of the first error
    std::string error;       // what is wrong with it (English)
    // A last line without its line end, left out as if it were absent (0 and
    // empty when the journal ends with a line end).
    int tornLine = 0;
    std::string tornText;
};

JournalParseResult ParseJournal(std::string_view text);

// Texts (comments and names) are written with `\\`, `\n`, `\r`, `\t` and
// `\xHH` for the other control characters below 0x20, so one event stays on
// one line; every other character stands for itself.
std::string EscapeJournalText(std::string_view text);

}  // namespace palomind
