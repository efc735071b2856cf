#include "voice/phrases.h"

#include <algorithm>
#include <iterator>

#include "engine/time_format.h"
#include "voice/spoken_numbers.h"

namespace palomind {

namespace {

// Every text the voice speaks. docs/voice.md shows this table.
constexpr PhraseRow kPhrases[] = {
    {PhraseId::StartIn, "スタートまで {seconds}びょう", "{seconds} seconds to start"},
    {PhraseId::EndIn, "のこり {seconds}びょう", "{seconds} seconds to go"},
    {PhraseId::LastSeconds, "{seconds}", "{seconds}"},
    {PhraseId::Start, "スタート", "Start"},
    {PhraseId::Pass, "{who}、{lap}しゅう、{time}、{place}い",
     "{who}, lap {lap}, {time}, {place} place"},
    {PhraseId::BestLap, "ベストラップ、{who}、{time}", "Best lap, {who}, {time}"},
    {PhraseId::ShortLap, "{who}、かくにん", "{who}, check"},
    {PhraseId::Finishing, "タイムアップ", "Time is up"},
    {PhraseId::Finished, "{who}、ゴール、{place}い", "{who} finished, {place} place"},
    {PhraseId::FinishedWithoutPlace, "{who}、ゴール", "{who} finished"},
    {PhraseId::EntrantNumber, "{number}ばん", "Number {number}"},
    {PhraseId::LapTime, "{seconds}てん{hundredths}", "{seconds}.{hundredths}"},
    {PhraseId::LapTimeWithMinutes, "{minutes}ふん {seconds}てん{hundredths}",
     "{minutes} {seconds}.{hundredths}"},
};

// The lap call's row is said in parts, each between separators and with one
// placeholder; the parts not chosen are left out.
struct CallPartField {
    std::string_view placeholder;
    CallPart part;
};
constexpr CallPartField kCallPartFields[] = {
    {"{who}", kCallWho},
    {"{lap}", kCallLaps},
    {"{time}", kCallLapTime},
    {"{place}", kCallPlace},
};

std::string_view Separator(ReadOutLanguage language) {
    return language == ReadOutLanguage::Japanese ? "、" : ", ";
}

std::string_view Form(PhraseId id, ReadOutLanguage language) {
    const PhraseRow& row = kPhrases[static_cast<std::size_t>(id)];
    return language == ReadOutLanguage::Japanese ? row.japanese : row.english;
}

// The row with each "{name}" replaced by what `valueOf` gives for the name.
template <typename ValueOf>
std::string Fill(std::string_view form, ValueOf valueOf) {
    std::string text;
    while (!form.empty()) {
        const std::size_t open = form.find('{');
        const std::size_t close = form.find('}', open);
        if (open == std::string_view::npos || close == std::string_view::npos) break;
        text += form.substr(0, open);
        text += valueOf(form.substr(open + 1, close - open - 1));
        form.remove_prefix(close + 1);
    }
    text += form;
    return text;
}

std::string TwoDigits(int value) {
    return FormatPadded(value, 2);
}

std::string LapTimeText(ReadOutLanguage language, double seconds) {
    const LapTimeParts parts = SplitLapTime(seconds);
    const PhraseId id = parts.minutes > 0 ? PhraseId::LapTimeWithMinutes : PhraseId::LapTime;
    return Fill(Form(id, language), [&](std::string_view name) -> std::string {
        if (name == "minutes") return std::to_string(parts.minutes);
        if (name == "hundredths") return TwoDigits(parts.hundredths);
        // "1 05.07" in English reads "one oh five"; Japanese says the
        // minutes with a unit and needs no padding.
        if (parts.minutes > 0 && language == ReadOutLanguage::English)
            return TwoDigits(parts.seconds);
        return std::to_string(parts.seconds);
    });
}

// What a placeholder of a row stands for.
std::string Value(std::string_view name, ReadOutLanguage language, const PhraseFields& fields) {
    if (name == "who") return fields.who;
    if (name == "lap") return std::to_string(fields.lap);
    if (name == "time") return LapTimeText(language, fields.lapTime);
    if (name == "seconds") return std::to_string(fields.seconds);
    if (name == "place")
        return language == ReadOutLanguage::English ? EnglishOrdinal(fields.place)
                                                    : std::to_string(fields.place);
    return {};
}

}  // namespace

// Rows are looked up by their ID's value.
constexpr bool RowsInIdOrder() {
    for (std::size_t i = 0; i < std::size(kPhrases); ++i)
        if (static_cast<std::size_t>(kPhrases[i].id) != i) return false;
    return std::size(kPhrases) == static_cast<std::size_t>(PhraseId::LapTimeWithMinutes) + 1;
}
static_assert(RowsInIdOrder());

std::optional<ReadOutLanguage> LanguageOfMode(int ttsMode) {
    if (ttsMode == 1) return ReadOutLanguage::Japanese;
    if (ttsMode == 2) return ReadOutLanguage::English;
    return std::nullopt;
}

std::string_view VoiceOf(ReadOutLanguage language) {
    return language == ReadOutLanguage::Japanese ? "ja" : "en";
}

std::span<const PhraseRow> PhraseTable() {
    return kPhrases;
}

std::string Phrase(PhraseId id, ReadOutLanguage language, const PhraseFields& fields) {
    return Fill(Form(id, language),
                [&](std::string_view name) { return Value(name, language, fields); });
}

std::string LapCall(ReadOutLanguage language, int parts, const PhraseFields& fields) {
    // Lap 0 and ID 64 have no place to tell.
    if (fields.place <= 0) parts &= ~kCallPlace;
    const std::string_view separator = Separator(language);
    std::string_view form = Form(PhraseId::Pass, language);
    std::string chosen;
    while (!form.empty()) {
        const std::size_t end = std::min(form.find(separator), form.size());
        const std::string_view segment = form.substr(0, end);
        form.remove_prefix(std::min(end + separator.size(), form.size()));
        for (const CallPartField& field : kCallPartFields) {
            if (segment.find(field.placeholder) == std::string_view::npos) continue;
            if ((parts & field.part) == 0) break;
            if (!chosen.empty()) chosen += separator;
            chosen += segment;
            break;
        }
    }
    return Fill(chosen, [&](std::string_view name) { return Value(name, language, fields); });
}

std::string SpokenEntrant(ReadOutLanguage language, int id, std::string_view rosterName) {
    const bool readable = language == ReadOutLanguage::Japanese ? IsKanaOnly(rosterName)
                                                                : IsAsciiLettersOnly(rosterName);
    if (readable) return std::string(rosterName);
    const std::string number =
        language == ReadOutLanguage::Japanese ? KanaNumber(id) : std::to_string(id);
    return Fill(Form(PhraseId::EntrantNumber, language), [&](std::string_view) { return number; });
}

}  // namespace palomind
