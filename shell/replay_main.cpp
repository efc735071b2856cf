// The program without the desktop window (a build without the toolkit): only
// the headless replay, the synthesis of one utterance, a meeting's rankings
// and the meeting folder's commands, with the same table of options as the
// desktop program.
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/meeting_command.h"
#include "app/replay_command.h"
#include "app/user_folder.h"
#include "meeting/meeting_commands.h"
#include "platform/espeak_speech_engine.h"
#include "platform/file_store.h"
#include "voice/say_command.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const palomind::CommandLine commandLine = palomind::ParseCommandLine(args);
    if (const std::optional<int> status =
            palomind::AnswerWithoutWindow(commandLine, std::cout, std::cerr)) {
        return *status;
    }
    if (commandLine.run == "--say") {
        palomind::EspeakSpeechEngine engine;
        palomind::DiskFileStore files;
        return palomind::RunSayCommand(commandLine.ArgumentsOf("--say"), engine, files, std::cerr);
    }
    if (commandLine.run == "--meeting") {
        palomind::DiskFileStore files;
        palomind::MeetingCommandWorld world{files, palomind::LocalDate(std::time(nullptr)),
                                            palomind::SystemRandomSeed};
        return palomind::RunMeetingFolderCommand(commandLine, world, std::cerr);
    }
    if (palomind::IsMeetingCommand(commandLine.run)) {
        palomind::DiskFileStore files;
        return palomind::RunMeetingCommand(commandLine.run, *commandLine.Value(commandLine.run),
                                           commandLine.Value("--out"), files, std::cerr);
    }
    if (commandLine.run != "--replay") {
        std::cerr << "palomind: this build has no window; it only replays journals, speaks and "
                     "ranks\n"
                  << palomind::UsageText();
        return 2;
    }
    if (commandLine.Has("--user-folder")) {
        const char* home = std::getenv("HOME");
        const std::string problem = palomind::EnterUserFolder(home != nullptr ? home : "");
        if (!problem.empty()) {
            std::cerr << "palomind: " << problem << '\n';
            return 1;
        }
    }
    return palomind::RunReplayCommand(args, std::cerr);
}
