#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/race_state.h"

namespace palomind {

// The languages the race is read out in.
enum class ReadOutLanguage { Japanese, English };

// The language of a read-out mode (TtsMode): 1 Japanese, 2 English. Mode 0
// reads nothing out, and so does any other value.
std::optional<ReadOutLanguage> LanguageOfMode(int ttsMode);
// The speech engine's voice for the language: "ja" or "en".
std::string_view VoiceOf(ReadOutLanguage language);

// What the voice says, one row per occasion, and the pieces the rows are
// built from (who, lap times).
enum class PhraseId {
    StartIn,               // the countdown to the start of timing, from ten seconds
    EndIn,                 // the countdown to the end of the race time, ten seconds
    LastSeconds,           // the last five seconds of either countdown
    Start,                 // timing opens
    Pass,                  // an entrant completed a lap: the lap call, said in parts (LapCall)
    BestLap,               // a lap faster than any other of the race
    ShortLap,              // a lap shorter than the race's minimum: to be checked, never timed
    Finishing,             // the race time is over: each entrant finishes at its next pass
    Finished,              // an entrant finished, with its place
    FinishedWithoutPlace,  // an entrant finished that has no place (ID 64)
    EntrantNumber,         // "who", by ID
    LapTime,               // a lap under a minute
    LapTimeWithMinutes,    // a lap of a minute or more
};

// The Japanese form uses kana, ASCII digits, spaces and 、。. only (the
// Japanese voice reads no kanji and drops a plain decimal point, so a
// decimal point is written "てん"); the English form is ASCII. Placeholders
// in braces are filled in by Phrase.
struct PhraseRow {
    PhraseId id;
    std::string_view japanese;
    std::string_view english;
};
std::span<const PhraseRow> PhraseTable();

// The values a row's placeholders take. `who` is the entrant as spoken
// (Entrant below).
struct PhraseFields {
    std::string who{};
    int lap = 0;
    double lapTime = 0;  // seconds
    int seconds = 0;     // countdowns
    int place = 0;
};
std::string Phrase(PhraseId id, ReadOutLanguage language, const PhraseFields& fields);

// The lap call with only the chosen parts (CallPart bits, in the row's
// order), the place only where the entrant has one: "ごばん、12てん34" for
// the number and the lap time. Empty when no part is chosen.
std::string LapCall(ReadOutLanguage language, int parts, const PhraseFields& fields);

// The entrant as spoken: the roster name where the language's voice can read
// it (kana only in Japanese, ASCII letters and spaces in English), else the
// ID ("ごばん", "Number 5").
std::string SpokenEntrant(ReadOutLanguage language, int id, std::string_view rosterName);

}  // namespace palomind
