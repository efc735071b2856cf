#include "voice/say_command.h"

#include <optional>

#include "voice/wave_file.h"

namespace palomind {

namespace {

constexpr const char* kUsage = "usage: palomind --say TEXT --voice ja|en --wav FILE";

struct SayOptions {
    std::optional<std::string> text;
    std::optional<std::string> voice;
    std::optional<std::string> wav;
};

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
