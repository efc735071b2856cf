#pragma once
#include <array>
#include <cstdint>
#include <optional>
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
// A race record is one race in the same form (docs/race-record.md): its own
// header, then a "race" line, what the race inherits from its run, "start"
// and every event of the race.
inline constexpr std::string_view kRaceRecordHeader = "palomind-race 1";

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
    Race,       // a race record's identity (`text`) and the start's wall-clock time (`wallClock`)
    Carry,      // what a race record's race inherits from its run: `carried`
    Record,     // a race record was opened and shown: `text` its identity, `bytes` the file
    CallParts,  // CallParts (what a lap call says) set to value
    MinLap,     // the shortest lap taken as real set to value ms (0 to kMostMinLapMs; 0: off)
    Edit,       // correction `correction` of the race shown; wallClock, text: its reason
    Operator,   // who makes the corrections that follow: `text` (may be empty)
    Heat,       // the meeting's heat loaded became `text` (IsHeatId; empty: none)
    // A pass added by correction `correction.number`, of ID `value`: made
    // by the rebuild of a corrected race, never a line of a file.
    ManualPass,
};

// What a correction does (docs/race-record.md, "Corrections").
enum class CorrectionOperation {
    Delete,
    Restore,
    Add,
    Accept,
    Dq,
    Reinstate,
    Revert,
    Assign,   // the raw passes of `id` are scored as passes of `assignedTo`
    Penalty,  // `penaltyLaps` laps off and `penaltyMs` added to the result of `id`
};

// A pass of one ID: its ordinal n among the raw passes, or the number k of
// the correction that added it (written "+k").
struct PassReference {
    std::int32_t ordinal = 0;  // 0 for a manual pass
    std::int32_t manual = 0;   // 0 for a raw pass

    bool operator==(const PassReference&) const = default;
};

struct Correction {
    std::int32_t number = 0;  // n: the record's corrections count from 1
    CorrectionOperation operation = CorrectionOperation::Delete;
    std::int32_t id = 0;           // every operation but revert
    PassReference pass{};          // delete, restore, accept
    std::int64_t raceMs = 0;       // add: the race time of the manual pass
    std::int32_t reverted = 0;     // revert: the correction undone
    std::int32_t assignedTo = 0;   // assign: the entrant the passes of `id` are scored as
    std::int32_t penaltyLaps = 0;  // penalty
    std::int64_t penaltyMs = 0;

    bool operator==(const Correction&) const = default;
};

// The longest minimum lap the setting takes: ten minutes.
inline constexpr std::int32_t kMostMinLapMs = 600'000;

// The state a race takes over from the races before it in its run, which a
// race record must set before its "start" to be scored alone.
struct CarriedState {
    std::int32_t passId = 0;  // the last ID processed, which "ＩＤ１" counts on from
    std::optional<std::int32_t> clockSecond{};  // the race clock's last second
    std::int32_t lapRows = 0;                   // the lap history's row count
    std::int32_t lapTopRow = 0;                 // and its first scrollable row in view
    std::int32_t syncCount = 0;                 // the frame decoder's partial frame
    std::int32_t frameLength = 0;
    std::int32_t frameSum = 0;
    std::array<std::uint8_t, 4> frame{};

    bool operator==(const CarriedState&) const = default;
};

struct JournalEvent {
    std::int32_t tick = 0;
    JournalEventKind kind = JournalEventKind::Boot;
    std::int32_t value = 0;  // RaceTime, StartWait, TtsMode, CallParts, MinLap; Name: the ID
    std::vector<std::uint8_t> bytes{};  // Rx, Open, Record
    // Comment, Name, Operator; Boot: the boot identity; Race, Record: the
    // identity; Edit: the reason.
    std::string text{};
    std::string wallClock{};  // Race, Edit: ISO 8601 with offset
    CarriedState carried{};   // Carry
    Correction correction{};  // Edit; ManualPass: its number
};

// One journal line without its line end.
std::string FormatJournalLine(const JournalEvent& event);

struct JournalParseResult {
    bool ok = false;
    bool raceRecord = false;  // the header was kRaceRecordHeader
    std::vector<JournalEvent> events;
    std::vector<int> lines;  // the 1-based line of each event
    int errorLine = 0;       // 1-based line of the first error
    std::string error;       // what is wrong with it (English)
    // A last line without its line end, left out as if it were absent (0 and
    // empty when the journal ends with a line end).
    int tornLine = 0;
    std::string tornText;
};

// Reads a journal or a race record. A race record's first event is its one
// "race" line; a journal holds none, nor "carry"; a race record holds no
// "record" line (opening a record ends the race in progress).
JournalParseResult ParseJournal(std::string_view text);

// A heat's identity as the meeting names it: 1 to 64 bytes of UTF-8 with
// no space, control character or DEL, so it stays one field of a line.
inline constexpr std::size_t kMostHeatIdBytes = 64;
bool IsHeatId(std::string_view text);

// Texts (comments and names) are written with `\\`, `\n`, `\r`, `\t` and
// `\xHH` for the other control characters below 0x20, so one event stays on
// one line; every other character stands for itself.
std::string EscapeJournalText(std::string_view text);

}  // namespace palomind
