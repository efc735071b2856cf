// The real voices: eSpeak NG synthesises the phrases, --say writes them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/espeak_speech_engine.h"
#include "platform/file_store.h"
#include "voice/phrases.h"
#include "voice/say_command.h"

namespace palomind {
namespace {

namespace fs = std::filesystem;

// A 16-bit PCM mono wave file, read back: its rate and samples.
struct WaveRead {
    std::uint32_t rate = 0;
    std::vector<std::int16_t> samples;
};

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

WaveRead ReadWave(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    WaveRead wave;
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 8, "WAVEfmt ") ||
        LittleEndian(bytes, 20, 2) != 1 || LittleEndian(bytes, 22, 2) != 1 ||
        LittleEndian(bytes, 34, 2) != 16 || bytes.compare(36, 4, "data") != 0 ||
        LittleEndian(bytes, 4, 4) != bytes.size() - 8 ||
        LittleEndian(bytes, 40, 4) != bytes.size() - 44)
        return wave;
    wave.rate = LittleEndian(bytes, 24, 4);
    for (std::size_t at = 44; at + 1 < bytes.size(); at += 2)
        wave.samples.push_back(static_cast<std::int16_t>(LittleEndian(bytes, at, 2)));
    return wave;
}

double Rms(const std::vector<std::int16_t>& samples) {
    double sum = 0;
    for (const std::int16_t s : samples) sum += static_cast<double>(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size())) / 32768.0;
}

// The library keeps its state per process: one engine for the whole program.
class SpeechSynthesisTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { engine_ = new EspeakSpeechEngine(); }
    static void TearDownTestSuite() {
        delete engine_;
        engine_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(engine_->HasVoice("ja")) << "espeak-ng-data has no Japanese voice";
        ASSERT_TRUE(engine_->HasVoice("en"));
    }
    fs::path Scratch(const std::string& name) const {
        return fs::temp_directory_path() /
               ("palomind-say-" + std::to_string(::getpid()) + "-" + name);
    }
    // What --say writes for the text in the voice, with further options.
    WaveRead Say(const char* text, const char* voice, std::vector<std::string> options = {}) {
        const fs::path wav = Scratch(std::string(voice) + ".wav");
        std::vector<std::string> args{"--say", text, "--voice", voice, "--wav", wav.string()};
        args.insert(args.end(), options.begin(), options.end());
        DiskFileStore files;
        std::ostringstream err;
        EXPECT_EQ(RunSayCommand(args, *engine_, files, err), 0) << err.str();
        WaveRead wave = ReadWave(wav);
        fs::remove(wav);
        return wave;
    }
    static double Seconds(const WaveRead& wave) {
        return wave.rate == 0 ? 0 : static_cast<double>(wave.samples.size()) / wave.rate;
    }

    static EspeakSpeechEngine* engine_;
};
EspeakSpeechEngine* SpeechSynthesisTest::engine_ = nullptr;

struct SayCase {
    const char* text;
    const char* voice;
};
constexpr SayCase kLapCalls[] = {{"ごばん、3しゅう、12てん34", "ja"},
                                 {"Number 5, lap 3, 12.34", "en"}};

TEST_F(SpeechSynthesisTest, SayWritesANonSilentWaveOfASensibleLengthInEachVoice) {
    for (const SayCase c : kLapCalls) {
        const WaveRead wave = Say(c.text, c.voice);
        ASSERT_GT(wave.rate, 8000u) << c.voice;
        EXPECT_GT(Seconds(wave), 0.5) << c.voice;
        EXPECT_LT(Seconds(wave), 5.0) << c.voice;
        EXPECT_GT(Rms(wave.samples), 0.02) << c.voice;
    }
}

TEST_F(SpeechSynthesisTest, EveryUtteranceStartsWithFiftyMillisecondsOfSilence) {
    for (const SayCase c : kLapCalls) {
        const WaveRead wave = Say(c.text, c.voice);
        const std::size_t lead = wave.rate * EspeakSpeechEngine::kLeadingSilenceMs / 1000;
        ASSERT_GT(wave.samples.size(), lead) << c.voice;
        EXPECT_TRUE(std::all_of(wave.samples.begin(), wave.samples.begin() + lead,
                                [](std::int16_t s) { return s == 0; }))
            << c.voice;
    }
}

TEST_F(SpeechSynthesisTest, SayIsFasterByDefaultThanAtTheStandardRateAndFastestAtTheTop) {
    for (const SayCase c : kLapCalls) {
        const double standard = Seconds(Say(c.text, c.voice, {"--rate", "190"}));
        const double byDefault = Seconds(Say(c.text, c.voice));
        const double fastest = Seconds(Say(c.text, c.voice, {"--rate", "350"}));
        EXPECT_LT(byDefault, standard * 0.8) << c.voice;
        EXPECT_LT(fastest, byDefault) << c.voice;
    }
}

TEST_F(SpeechSynthesisTest, SayRefusesWhatItCannotDo) {
    DiskFileStore files;
    std::ostringstream err;
    EXPECT_EQ(
        RunSayCommand({"--say", "x", "--voice", "fr", "--wav", "x.wav"}, *engine_, files, err), 2);
    EXPECT_EQ(RunSayCommand({"--say", "x", "--voice", "en"}, *engine_, files, err), 2);
    EXPECT_EQ(RunSayCommand({"--say", "x", "--voice", "en", "--wav"}, *engine_, files, err), 2);
    for (const char* rate : {"79", "451", "300wpm", ""})
        EXPECT_EQ(RunSayCommand({"--say", "x", "--voice", "en", "--wav", "x.wav", "--rate", rate},
                                *engine_, files, err),
                  2)
            << rate;
    EXPECT_NE(err.str().find("--rate is words per minute from 80 to 450"), std::string::npos);
    EXPECT_EQ(RunSayCommand({"--say", "x", "--voice", "en", "--wav", "/nonexistent/dir/x.wav"},
                            *engine_, files, err),
              1);
    EXPECT_NE(err.str().find("cannot write the wave file"), std::string::npos) << err.str();
    EXPECT_TRUE(IsSayCommandLine({"--voice", "ja", "--say", "x"}));
    EXPECT_FALSE(IsSayCommandLine({"--replay", "--say"}));
}

// Every Japanese phrase, filled in, is read by the Japanese voice's own
// rules: a word it cannot read would be handed to another language, which
// the phoneme trace shows as a switch such as "(en)".
TEST_F(SpeechSynthesisTest, TheJapaneseVoiceReadsEveryPhraseWithoutFallingBackToAnotherLanguage) {
    const PhraseFields fields{.who = SpokenEntrant(ReadOutLanguage::Japanese, 64, ""),
                              .lap = 12,
                              .lapTime = 83.45,
                              .seconds = 10,
                              .place = 3};
    for (const PhraseRow& row : PhraseTable()) {
        const std::string text = Phrase(row.id, ReadOutLanguage::Japanese, fields);
        const std::string phonemes = engine_->Phonemes(text, "ja");
        EXPECT_FALSE(phonemes.empty()) << text;
        EXPECT_EQ(phonemes.find('('), std::string::npos) << text << " -> " << phonemes;
    }
    for (const char* name : {"たろう", "ハナコ", "ｼﾞﾛｳ"}) {
        const std::string phonemes = engine_->Phonemes(name, "ja");
        EXPECT_EQ(phonemes.find('('), std::string::npos) << name << " -> " << phonemes;
    }
    // The check itself: Latin letters do switch.
    EXPECT_NE(engine_->Phonemes("ABC", "ja").find("(en)"), std::string::npos);
}

}  // namespace
}  // namespace palomind
