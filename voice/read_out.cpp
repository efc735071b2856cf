#include "voice/read_out.h"

namespace palomind {

namespace {

// The seconds before the start and before the end at which the race clock
// calls its countdown cues (the five- and four-second cues are silent, but
// the voice speaks at their moments too).
bool IsCountdownSecond(int secondsLeft) {
    return secondsLeft == 10 || (secondsLeft >= 1 && secondsLeft <= 5);
}

// The start command sounds the ten-second cue itself for a wait of 8 or 9
// seconds, which the clock's own cue cannot reach.
bool StartCommandCountsDown(int secondsToStart) {
    return secondsToStart == 8 || secondsToStart == 9;
}

// The status captions of the race clock's phases.
constexpr std::string_view kTimingCaption = "計測中";
constexpr std::string_view kFinishingCaption = "終了中";

}  // namespace

ReadOut::ReadOut(const RaceState& state, const RosterTable& roster, AnnouncementSink& sink)
    : state_(state), roster_(roster), sink_(sink) {}

void ReadOut::OnRaceEvent(const RaceEvent& event) {
    if (event.kind == RaceEventKind::RaceReset) {
        firstSecondAfterReset_ = true;
        return;
    }
    const std::optional<ReadOutLanguage> language = LanguageOfMode(state_.TtsMode);
    if (event.kind == RaceEventKind::ClockSecond) {
        if (language) OnClockSecond(event, *language);
        firstSecondAfterReset_ = false;
        return;
    }
    if (!language) return;
    const bool timing = state_.RaceRunning == kTrue;
    switch (event.kind) {
        case RaceEventKind::PhaseChanged:
            if (event.text == kTimingCaption)
                Say(event, *language, AnnouncementKind::Start, PhraseId::Start, {});
            else if (event.text == kFinishingCaption)
                Say(event, *language, AnnouncementKind::Finishing, PhraseId::Finishing, {});
            break;
        case RaceEventKind::PassAccepted:
            // Lap 0, the first pass, has no lap time to tell.
            // A flagged lap is called to be checked; its time may be no lap.
            if (timing && event.lap > 0 && event.shortLap)
                Say(event, *language, AnnouncementKind::Pass, PhraseId::ShortLap,
                    {.who = Who(*language, event.id)});
            else if (timing && event.lap > 0)
                SayLapCall(event, *language);
            break;
        case RaceEventKind::BestLapOfRace:
            if (timing)
                Say(event, *language, AnnouncementKind::BestLap, PhraseId::BestLap,
                    {.who = Who(*language, event.id), .lapTime = event.lapTime});
            break;
        case RaceEventKind::EntrantFinished:
            Say(event, *language, AnnouncementKind::Finished,
                event.place > 0 ? PhraseId::Finished : PhraseId::FinishedWithoutPlace,
                {.who = Who(*language, event.id), .place = event.place});
            break;
        default:
            break;
    }
}

void ReadOut::OnClockSecond(const RaceEvent& event, ReadOutLanguage language) {
    const int toStart = event.secondsToStart;
    const int toEnd = event.secondsToEnd;
    if (IsCountdownSecond(toStart) || (firstSecondAfterReset_ && StartCommandCountsDown(toStart))) {
        Say(event, language, AnnouncementKind::Countdown,
            toStart > 5 ? PhraseId::StartIn : PhraseId::LastSeconds, {.seconds = toStart});
    } else if (IsCountdownSecond(toEnd)) {
        Say(event, language, AnnouncementKind::Countdown,
            toEnd > 5 ? PhraseId::EndIn : PhraseId::LastSeconds, {.seconds = toEnd});
    }
}

void ReadOut::Say(const RaceEvent& event, ReadOutLanguage language, AnnouncementKind kind,
                  PhraseId phrase, const PhraseFields& fields) {
    SayText(event, language, kind, Phrase(phrase, language, fields));
}

void ReadOut::SayText(const RaceEvent& event, ReadOutLanguage language, AnnouncementKind kind,
                      std::string text) {
    sink_.Announce({.kind = kind,
                    .voice = std::string(VoiceOf(language)),
                    .text = std::move(text),
                    .id = event.id,
                    .tick = event.tick});
}

void ReadOut::SayLapCall(const RaceEvent& event, ReadOutLanguage language) {
    std::string call = LapCall(language, state_.CallParts,
                               {.who = Who(language, event.id),
                                .lap = event.lap,
                                .lapTime = event.lapTime,
                                .place = event.place});
    if (!call.empty()) SayText(event, language, AnnouncementKind::Pass, std::move(call));
}

std::string ReadOut::Who(ReadOutLanguage language, int id) const {
    const std::string_view name = id >= 1 && id < kRosterSize
                                      ? std::string_view(roster_[static_cast<std::size_t>(id)])
                                      : std::string_view();
    return SpokenEntrant(language, id, name);
}

}  // namespace palomind
