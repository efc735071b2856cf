// The program without the desktop window (a build without the toolkit): only
// the headless replay and the synthesis of one utterance.
#include <iostream>
#include <string>
#include <vector>

#include "app/replay_command.h"
#include "platform/espeak_speech_engine.h"
#include "platform/file_store.h"
#include "voice/say_command.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (palomind::IsSayCommandLine(args)) {
        palomind::EspeakSpeechEngine engine;
        palomind::DiskFileStore files;
        return palomind::RunSayCommand(args, engine, files, std::cerr);
    }
    if (!palomind::IsReplayCommandLine(args)) {
        std::cerr << "usage: palomind --replay JOURNAL [--save RESULT.rdt] [--trace TRACE.txt] "
                     "[--until TICK]\n"
                     "       palomind --say TEXT --voice ja|en --wav FILE\n";
        return 2;
    }
    return palomind::RunReplayCommand(args, std::cerr);
}
