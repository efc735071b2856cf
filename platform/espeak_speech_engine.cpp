#include "platform/espeak_speech_engine.h"

#include <espeak-ng/speak_lib.h>

#include <cstdio>
#include <memory>

namespace palomind {

namespace {

// The library hands the samples over in pieces, with the buffer passed to
// espeak_Synth as each event's user data.
int CollectSamples(short* samples, int count, espeak_EVENT* events) {
    if (samples == nullptr || count <= 0 || events == nullptr) return 0;
    auto* into = static_cast<std::vector<std::int16_t>*>(events->user_data);
    into->insert(into->end(), samples, samples + count);
    return 0;  // go on
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

EspeakSpeechEngine::EspeakSpeechEngine(std::initializer_list<std::string_view> voices) {
    // Without DONT_EXIT the library ends the whole process when its data is
    // missing; the program goes on without speech instead.
    sampleRate_ =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (sampleRate_ <= 0) return;
    espeak_SetSynthCallback(&CollectSamples);
    for (std::string_view voice : voices) {
        if (espeak_SetVoiceByName(std::string(voice).c_str()) == EE_OK) voices_.emplace(voice);
    }
}

EspeakSpeechEngine::~EspeakSpeechEngine() {
    if (sampleRate_ > 0) espeak_Terminate();
}

bool EspeakSpeechEngine::HasVoice(std::string_view voice) const {
    return voices_.contains(voice);
}

bool EspeakSpeechEngine::UseVoice(std::string_view voice) {
    if (!HasVoice(voice)) return false;
    if (current_ == voice) return true;
    if (espeak_SetVoiceByName(std::string(voice).c_str()) != EE_OK) return false;
    // A voice comes with its own pace.
    espeak_SetParameter(espeakRATE, wordsPerMinute_, 0);
    current_ = voice;
    return true;
}

void EspeakSpeechEngine::SetWordsPerMinute(int wordsPerMinute) {
    wordsPerMinute_ = wordsPerMinute;
    if (!current_.empty()) espeak_SetParameter(espeakRATE, wordsPerMinute_, 0);
}

SpeechSamples EspeakSpeechEngine::Synthesize(std::string_view text, std::string_view voice) {
    SpeechSamples speech;
    if (!UseVoice(voice)) return speech;
    const std::string terminated(text);
    speech.samples.reserve(static_cast<std::size_t>(sampleRate_) * 2);
    speech.samples.assign(static_cast<std::size_t>(sampleRate_ * kLeadingSilenceMs / 1000), 0);
    const std::size_t lead = speech.samples.size();
    const espeak_ERROR result =
        espeak_Synth(terminated.c_str(), terminated.size() + 1, 0, POS_CHARACTER, 0,
                     espeakCHARS_UTF8 | espeakENDPAUSE, nullptr, &speech.samples);
    // Silence alone is nothing spoken.
    if (result != EE_OK || speech.samples.size() == lead) speech.samples.clear();
    speech.sampleRate = sampleRate_;
    return speech;
}

std::string EspeakSpeechEngine::Phonemes(std::string_view text, std::string_view voice) {
    if (!UseVoice(voice)) return {};
    const std::unique_ptr<std::FILE, FileCloser> trace(std::tmpfile());
    if (trace == nullptr) return {};
    espeak_SetPhonemeTrace(espeakPHONEMES_SHOW, trace.get());
    Synthesize(text, voice);  // only for its trace
    espeak_SetPhonemeTrace(0, nullptr);

    std::string phonemes;
    std::rewind(trace.get());
    char buffer[512];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, trace.get())) > 0)
        phonemes.append(buffer, read);
    return phonemes;
}

}  // namespace palomind
