#include "voice/say_command.h"

#include <charconv>
#include <optional>

#include "voice/speech_pace.h"
#include "voice/wave_file.h"

namespace palomind {

namespace {

constexpr const char* kUsage = "usage: palomind --say TEXT --voice ja|en --wav FILE [--rate WPM]";

struct SayOptions {
    std::optional<std::string> text;
    std::optional<std::string> voice;
    std::optional<std::string> wav;
    std::optional<std::string> rate;
};

// Words per minute as a plain decimal number the voice can speak at.
std::optional<int> ParseRate(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    if (value < kSlowestWordsPerMinute || value > kFastestWordsPerMinute) return std::nullopt;
    return value;
}

std::optional<SayOptions> ParseOptions(const std::vector<std::string>& args, std::ostream& err) {
    SayOptions options;
    for (std::size_t i = 0; i < args.size(); i += 2) {
        const std::string& option = args[i];
        if (i + 1 >= args.size()) {
            err << "palomind: " << option << " needs a value\n" << kUsage << '\n';
            return std::nullopt;
        }
        std::optional<std::string>* field = option == "--say"     ? &options.text
                                            : option == "--voice" ? &options.voice
                                            : option == "--wav"   ? &options.wav
                                            : option == "--rate"  ? &options.rate
                                                                  : nullptr;
        if (field == nullptr) {
            err << "palomind: unknown option " << option << '\n' << kUsage << '\n';
            return std::nullopt;
        }
        *field = args[i + 1];
    }
    if (!options.text || !options.voice || !options.wav) {
        err << kUsage << '\n';
        return std::nullopt;
    }
    if (*options.voice != "ja" && *options.voice != "en") {
        err << "palomind: --voice is ja or en, not \"" << *options.voice << "\"\n";
        return std::nullopt;
    }
    if (options.rate && !ParseRate(*options.rate)) {
        err << "palomind: --rate is words per minute from " << kSlowestWordsPerMinute << " to "
            << kFastestWordsPerMinute << ", not \"" << *options.rate << "\"\n";
        return std::nullopt;
    }
    return options;
}

}  // namespace

bool IsSayCommandLine(const std::vector<std::string>& args) {
    // Options come in pairs: a value that reads "--say" asks for nothing.
    for (std::size_t i = 0; i < args.size(); i += 2)
        if (args[i] == "--say") return true;
    return false;
}

int RunSayCommand(const std::vector<std::string>& args, SpeechEngine& engine, FileStore& files,
                  std::ostream& err) {
    const std::optional<SayOptions> options = ParseOptions(args, err);
    if (!options) return 2;
    if (!engine.HasVoice(*options->voice)) {
        err << "palomind: the voice " << *options->voice << " cannot be loaded\n";
        return 1;
    }
    engine.SetWordsPerMinute(options->rate ? *ParseRate(*options->rate) : kDefaultWordsPerMinute);
    const SpeechSamples speech = engine.Synthesize(*options->text, *options->voice);
    if (speech.samples.empty()) {
        err << "palomind: nothing was synthesised for \"" << *options->text << "\"\n";
        return 1;
    }
    if (!files.WriteAtomically(*options->wav, WaveFileBytes(speech))) {
        const std::string why = files.LastFailure();
        err << "palomind: cannot write the wave file " << *options->wav
            << (why.empty() ? why : ": " + why) << '\n';
        return 1;
    }
    return 0;
}

}  // namespace palomind
