// How long the default lap call lasts, in each language: the length of the
// wave file "--say" writes (its 50 ms lead included), read from the file's
// header, at the default pace and at each pace the menu offers.
//   palomind_voice_call_bench
// Prints the figures; exits non-zero when a default call is over its target.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/espeak_speech_engine.h"
#include "platform/file_store.h"
#include "voice/say_command.h"
#include "voice/speech_pace.h"

namespace palomind {
namespace {

namespace fs = std::filesystem;

struct Call {
    const char* voice;
    const char* text;
    double targetSeconds;
};
constexpr Call kCalls[] = {
    {"ja", "ごばん、12てん34", 1.4},
    {"en", "Number 5, 12.34", 1.6},
};

std::uint32_t LittleEndian32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// The duration a wave file's header gives: data bytes over bytes per second.
double WaveSeconds(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    if (bytes.size() < 44 || bytes.compare(36, 4, "data") != 0) return -1;
    const std::uint32_t bytesPerSecond = LittleEndian32(bytes, 28);
    return bytesPerSecond == 0 ? -1
                               : static_cast<double>(LittleEndian32(bytes, 40)) / bytesPerSecond;
}

// The call as "--say" writes it, at the pace given (none: the default).
double SaySeconds(SpeechEngine& engine, const Call& call, const std::string& rate) {
    const fs::path wav =
        fs::temp_directory_path() / ("palomind-voice-bench-" + std::to_string(::getpid()) + ".wav");
    std::vector<std::string> args{"--say", call.text, "--voice", call.voice, "--wav", wav.string()};
    if (!rate.empty()) args.insert(args.end(), {"--rate", rate});
    DiskFileStore files;
    const int status = RunSayCommand(args, engine, files, std::cerr);
    const double seconds = status == 0 ? WaveSeconds(wav) : -1;
    fs::remove(wav);
    return seconds;
}

int Run() {
    EspeakSpeechEngine engine;
    bool met = true;
    std::printf("Lap call length (wave file written by --say, 50 ms lead included)\n");
    for (const Call& call : kCalls) {
        const double byDefault = SaySeconds(engine, call, {});
        const bool within = byDefault > 0 && byDefault <= call.targetSeconds;
        met = met && within;
        std::printf("  %s \"%s\" at the default %d wpm: %.3f s   (target <= %.1f s: %s)\n",
                    call.voice, call.text, kDefaultWordsPerMinute, byDefault, call.targetSeconds,
                    within ? "met" : "MISSED");
        for (const SpeechPace& pace : kSpeechPaces)
            std::printf("    %-4s %d wpm  %.3f s\n", std::string(pace.caption).c_str(),
                        pace.wordsPerMinute,
                        SaySeconds(engine, call, std::to_string(pace.wordsPerMinute)));
    }
    return met ? 0 : 1;
}

}  // namespace
}  // namespace palomind

int main() {
    return palomind::Run();
}
