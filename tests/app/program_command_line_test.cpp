// The built program started as an operator starts it, without a display:
// what needs no window must not try to open one.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "app/command_line.h"
#include "tests/support/test_folders.h"

namespace palomind {
namespace {

namespace fs = std::filesystem;

using testing::ReadBytes;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class ProgramCommandLineTest : public ::testing::Test {
  protected:
    ProgramCommandLineTest()
        : dir_(fs::temp_directory_path() / ("palomind-program-" + std::to_string(::getpid()))) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~ProgramCommandLineTest() override { fs::remove_all(dir_); }

    // Runs the program in `dir_` with `arguments` (already quoted for the
    // shell), with no display of any kind and HOME set to `home`, then the
    // `environment` assignments ("NAME=value ...").
    Outcome Start(const std::string& arguments, const fs::path& home = {},
                  const std::string& environment = {}) {
        const std::string command =
            "cd '" + dir_.string() +
            "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME='" + home.string() +
            "' " + environment + " '" PALOMIND_PROGRAM "' " + arguments + " >out.txt 2>err.txt";
        const int raw = std::system(command.c_str());
        Outcome run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = ReadBytes(dir_ / "out.txt");
        run.err = ReadBytes(dir_ / "err.txt");
        return run;
    }

    fs::path dir_;
};

TEST_F(ProgramCommandLineTest, HelpAndVersionAnswerWithoutADisplay) {
    const Outcome help = Start("--help");
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(help.out, HelpText());
    EXPECT_EQ(help.err, "");

    const Outcome version = Start("--version");
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "Palomind 0.8.0.4\n");
}

TEST_F(ProgramCommandLineTest, WindowWithoutADisplaySaysSoInOneLineAndEndsWithStatusOne) {
    if (!PALOMIND_PROGRAM_HAS_WINDOW) GTEST_SKIP() << "this build of the program has no window";
    const std::string kCases[] = {
        "",                                // no display named at all
        "QT_QPA_PLATFORM=no-such-plugin",  // a platform plugin that cannot start
        "DISPLAY=:4711",                   // an X display that is not there
    };
    for (const std::string& environment : kCases) {
        const Outcome run = Start("", {}, environment);
        EXPECT_EQ(run.status, 1) << environment << ": " << run.err;
        EXPECT_EQ(run.err, NoDisplayText() + "\n") << environment;
        EXPECT_EQ(run.out, "") << environment;
    }
}

TEST_F(ProgramCommandLineTest, RefusedLinesEndWithStatusTwoAndNoWindow) {
    for (const std::string arguments : {"--bogus", "-platform offscreen", "race.rdt"}) {
        const Outcome run = Start(arguments);
        EXPECT_EQ(run.status, 2) << arguments << ": " << run.err;
        EXPECT_EQ(run.out, "") << arguments;
        // One line of error, then the usage; the toolkit never got to say
        // that there is no display.
        const std::size_t lineEnd = run.err.find('\n');
        ASSERT_NE(lineEnd, std::string::npos) << arguments;
        EXPECT_EQ(run.err.rfind("palomind: ", 0), 0u) << run.err;
        EXPECT_EQ(run.err.substr(lineEnd + 1), UsageText()) << arguments;
    }
}

TEST_F(ProgramCommandLineTest, UserFolderKeepsTheReplaysFilesInTheHomeFolder) {
    const fs::path home = dir_ / "home";
    fs::create_directories(home);
    std::ofstream(dir_ / "race.journal") << "palomind-journal 1\n100 boot\n";

    const Outcome run =
        Start("--user-folder --replay '" + (dir_ / "race.journal").string() + "' --trace trace.txt",
              home);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(home / "Palomind" / "trace.txt"));
    EXPECT_FALSE(fs::exists(dir_ / "trace.txt"));

    // A file where the folder should be: refused before any race is run.
    fs::remove_all(home / "Palomind");
    std::ofstream(home / "Palomind") << "in the way\n";
    const Outcome blocked = Start("--user-folder --replay race.journal --trace trace.txt", home);
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.err.find("Palomind"), std::string::npos) << blocked.err;
    EXPECT_FALSE(fs::exists(dir_ / "trace.txt"));
}

// One meeting command: its input and the answer it must write.
struct MeetingCommandCase {
    std::string option;
    std::string input;
    std::string output;
};

TEST_F(ProgramCommandLineTest, MeetingCommandsAnswerWithoutADisplay) {
    const std::vector<MeetingCommandCase> cases{
        {"--rank",
         R"({"method": "round-points", "best": 2, "entrants": [{"entrant": "A", "number": 1},
             {"entrant": "B", "number": 2}, {"entrant": "C", "number": 3}],
             "rounds": [[{"entrant": "B", "status": "RUN", "laps": 20, "time_ms": 301250,
                          "provisional": true},
                         {"entrant": "A", "status": "START", "laps": 0, "time_ms": 5000}]]})",
         R"({"version": 1, "provisional": true, "ranking": [{"entrant": "B", "position": 1,
             "shared": false}, {"entrant": "A", "position": 2, "shared": false}],
             "unranked": ["C"]})"},
        {"--mains", R"({"ranking": ["Q1", "Q2", "Q3", "Q4", "Q5"], "size": 3, "bump": 1})",
         R"({"version": 1, "mains": [{"name": "A", "locked": ["Q1", "Q2"], "bump_slots": 1},
             {"name": "B", "locked": ["Q3", "Q4", "Q5"], "bump_slots": 0}]})"},
        {"--grid",
         R"({"locked": ["Q1"], "bump_slots": 2, "lower": [
             {"entrant": "Q2", "status": "DNS", "laps": 0, "time_ms": 0},
             {"entrant": "Q3", "status": "DQ", "laps": 9, "time_ms": 1},
             {"entrant": "Q4", "status": "RUN", "laps": 8, "time_ms": 1}]})",
         R"({"version": 1, "grid": ["Q1", "Q4"]})"},
        {"--final",
         R"({"qualifying": ["Q1", "Q2", "Q3"], "mains": [{"name": "A", "grid": ["Q1", "Q2"],
             "legs": [[{"entrant": "Q2", "status": "RUN", "laps": 8, "time_ms": 1}]]}]})",
         R"({"version": 1, "ranking": [{"entrant": "Q2", "position": 1, "main": "A"},
             {"entrant": "Q1", "position": 2, "main": "A"},
             {"entrant": "Q3", "position": 3, "main": null}]})"},
    };
    for (const MeetingCommandCase& c : cases) {
        std::ofstream(dir_ / "in.json") << c.input;
        const Outcome run = Start(c.option + " in.json --out out.json");
        EXPECT_EQ(run.status, 0) << c.option << ": " << run.err;
        EXPECT_EQ(run.err, "") << c.option;
        EXPECT_EQ(nlohmann::json::parse(ReadBytes(dir_ / "out.json"), nullptr, false),
                  nlohmann::json::parse(c.output))
            << c.option;
    }
}

TEST_F(ProgramCommandLineTest, MalformedMeetingInputIsRefusedWithOneLineAndNoOutput) {
    const std::vector<std::pair<std::string, std::string>> refused{
        {"--rank", R"({"method": "best-round", "entrants": [], "rounds": [[{"entrant": "X",
             "status": "RUN", "laps": 1, "time_ms": 1}]]})"},
        {"--mains", R"({"ranking": [], "size": -6, "bump": 0})"},
        {"--grid", "not json"},
        {"--final", R"({"qualifying": []})"},
    };
    for (const auto& [option, input] : refused) {
        std::ofstream(dir_ / "in.json") << input;
        const Outcome run = Start(option + " in.json --out out.json");
        EXPECT_EQ(run.status, 2) << option;
        EXPECT_EQ(run.err.rfind("palomind: in.json: ", 0), 0u) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_FALSE(fs::exists(dir_ / "out.json")) << option;
    }
    const Outcome noOut = Start("--rank in.json");
    EXPECT_EQ(noOut.status, 2);
    EXPECT_EQ(noOut.err, "palomind: --rank needs --out OUT.json\n");
}

}  // namespace
}  // namespace palomind
