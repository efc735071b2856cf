// The built program started as an operator starts it, without a display:
// what needs no window must not try to open one.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

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
    // shell), with no display of any kind and HOME set to `home`.
    Outcome Start(const std::string& arguments, const fs::path& home = {}) {
        const std::string command =
            "cd '" + dir_.string() +
            "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME='" + home.string() +
            "' '" PALOMIND_PROGRAM "' " + arguments + " >out.txt 2>err.txt";
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

}  // namespace
}  // namespace palomind
