#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace palomind {

// Synthesised speech: mono 16-bit samples at `sampleRate` per second.
struct SpeechSamples {
    int sampleRate = 0;
    std::vector<std::int16_t> samples;
};

// A speech synthesiser: turns a text into samples in one of its voices,
// named by language ("ja", "en"). Implementations may keep state shared by
// the whole process (eSpeak NG does): use one from one thread at a time.
class SpeechEngine {
  public:
    virtual ~SpeechEngine() = default;
    // Whether the voice could be loaded.
    virtual bool HasVoice(std::string_view voice) const = 0;
    // The text spoken in the voice; no samples when it cannot be spoken.
    virtual SpeechSamples Synthesize(std::string_view text, std::string_view voice) = 0;
    // The pace of what is synthesised from now on, in words per minute. An
    // engine without a pace of its own ignores it.
    virtual void SetWordsPerMinute(int /*wordsPerMinute*/) {}
};

}  // namespace palomind
