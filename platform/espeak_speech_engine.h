#pragma once
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>

#include "platform/speech_engine.h"

namespace palomind {

// Speech by the eSpeak NG library, synthesised offline into memory. The
// library keeps its state per process: make one engine per process and use
// it from one thread at a time (it may be made on another thread first).
class EspeakSpeechEngine final : public SpeechEngine {
  public:
    // Every utterance starts with this much silence, so an audio output that
    // is slow to start does not clip its first sound.
    static constexpr int kLeadingSilenceMs = 50;

    // Loads the library's data (from ESPEAK_DATA_PATH where that is set, else
    // from where the library was installed) and tries each voice.
    explicit EspeakSpeechEngine(std::initializer_list<std::string_view> voices = {"ja", "en"});
    ~EspeakSpeechEngine() override;
    EspeakSpeechEngine(const EspeakSpeechEngine&) = delete;
    EspeakSpeechEngine& operator=(const EspeakSpeechEngine&) = delete;

    bool HasVoice(std::string_view voice) const override;
    SpeechSamples Synthesize(std::string_view text, std::string_view voice) override;
    // The library keeps the pace within what it can speak (80 to 450).
    void SetWordsPerMinute(int wordsPerMinute) override;

    // The phonemes the voice speaks for the text, as the library traces them
    // (the espeak-ng program's -x). A word the voice cannot read is handed
    // to another language's rules, which shows as a switch such as "(en)".
    std::string Phonemes(std::string_view text, std::string_view voice);

  private:
    bool UseVoice(std::string_view voice);

    int sampleRate_ = 0;
    std::set<std::string, std::less<>> voices_;
    std::string current_;
    int wordsPerMinute_ = 175;  // the library's own, until SetWordsPerMinute
};

}  // namespace palomind
