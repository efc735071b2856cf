// The sound cues of the countdowns. Any read-out mode other than none
// silences them; the pass sound is not a cue and is never silenced.
#include <iterator>

#include "engine/race_engine.h"

namespace palomind {

namespace {

// The wave file of each cue, in the order of Cue; the five- and four-second
// cues are silent.
constexpr const char* kCueFiles[] = {
    "snd3.wav",  // StartIn10
    "snd3.wav",  // EndIn10
    nullptr,     // In5
    nullptr,     // In4
    "snd1.wav",  // In3
    "snd1.wav",  // In2
    "snd1.wav",  // In1
    "snd2.wav",  // Start
    "snd2.wav",  // End
};
static_assert(std::size(kCueFiles) == static_cast<std::size_t>(Cue::End) + 1);

}  // namespace

void RaceEngine::PlayCue(Cue cue) {
    const char* file = kCueFiles[static_cast<std::size_t>(cue)];
    if (file == nullptr || s_.TtsMode != 0) return;
    sound_.PlaySound(file);
}

}  // namespace palomind
