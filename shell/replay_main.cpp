// The program without the desktop window (a build without the toolkit): only
// the headless replay.
#include <iostream>
#include <string>
#include <vector>

#include "app/replay_command.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!palomind::IsReplayCommandLine(args)) {
        std::cerr << "usage: palomind --replay JOURNAL [--save RESULT.rdt] [--trace TRACE.txt] "
                     "[--until TICK] [--export-csv RESULTS.csv] [--export-html RESULTS.html]\n";
        return 2;
    }
    return palomind::RunReplayCommand(args, std::cerr);
}
