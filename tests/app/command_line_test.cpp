#include "app/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace palomind {
namespace {

struct Answer {
    std::optional<int> status;
    std::string out;
    std::string err;
};

Answer AnswerFor(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const std::optional<int> status = AnswerWithoutWindow(ParseCommandLine(args), out, err);
    return {status, out.str(), err.str()};
}

TEST(CommandLineTest, HelpAndUsageListEveryOptionOfTheTableWithinEightyColumns) {
    const std::string help = HelpText();
    const std::string usage = UsageText();
    for (const CommandLineOption& option : CommandLineOptions()) {
        const std::string spelled = option.valueName.empty() ? std::string(option.name)
                                                             : std::string(option.name) + " " +
                                                                   std::string(option.valueName);
        EXPECT_NE(help.find("  " + spelled + " "), std::string::npos) << spelled;
        EXPECT_NE(usage.find(spelled), std::string::npos) << spelled;
    }
    EXPECT_EQ(help.rfind(usage, 0), 0u);
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 79u) << line;
}

TEST(CommandLineTest, RefusesAnythingNotInTheTableWithOneLineAndTheUsage) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
        {{"--bogus"}, "unknown option --bogus"},
        {{"-platform", "offscreen"}, "unknown option -platform"},
        {{"-style=Fusion"}, "unknown option -style=Fusion"},
        {{"race.rdt"}, "unexpected argument race.rdt"},
        {{"-"}, "unexpected argument -"},
        {{"--save", "r.rdt"}, "--save needs --replay"},
        {{"--replay"}, "--replay needs a value"},
        {{"--user-folder=yes"}, "--user-folder takes no value"},
        {{"--bogus", "--help"}, "unknown option --bogus"},
        {{"--say", "hi", "--web", "8080"}, "--web cannot be used with --say"},
        {{"--export-csv", "r.csv"}, "--export-csv needs --replay"},
    };
    for (const auto& [args, error] : refused) {
        const Answer answer = AnswerFor(args);
        EXPECT_EQ(answer.status, 2) << error;
        EXPECT_EQ(answer.err, "palomind: " + error + "\n" + UsageText());
        EXPECT_TRUE(answer.out.empty()) << answer.out;
    }
}

TEST(CommandLineTest, HelpAndVersionAnswerOnStandardOutputWhateverElseIsGiven) {
    const Answer help = AnswerFor({"--replay", "race.journal", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, HelpText());
    EXPECT_TRUE(help.err.empty());

    const Answer version = AnswerFor({"--user-folder", "--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "Palomind 0.8.0.4\n");
}

TEST(CommandLineTest, AcceptedLinesNameTheirRunAndValues) {
    const CommandLine window = ParseCommandLine({"--user-folder"});
    EXPECT_EQ(window.run, kWindowRun);
    EXPECT_TRUE(window.Has("--user-folder"));
    EXPECT_FALSE(AnswerFor({"--user-folder"}).status.has_value());
    EXPECT_FALSE(AnswerFor({}).status.has_value());

    // A value follows as the next argument or after '='; the last one wins.
    const CommandLine replay = ParseCommandLine(
        {"--replay=a b.journal", "--save", "r.rdt", "--user-folder", "--save", "s.rdt"});
    EXPECT_TRUE(replay.error.empty()) << replay.error;
    EXPECT_EQ(replay.run, "--replay");
    EXPECT_EQ(replay.Value("--replay"), "a b.journal");
    EXPECT_EQ(replay.Value("--save"), "s.rdt");
    EXPECT_EQ(replay.Value("--user-folder"), "");
    EXPECT_EQ(replay.Value("--trace"), std::nullopt);
}

TEST(CommandLineTest, OneArgumentNamingAFileIsTheWindowsFileToOpen) {
    const auto isFile = [](const std::string& path) {
        return path.ends_with(".rdt") || path.ends_with(".race");
    };
    struct Case {
        std::vector<std::string> args;
        std::string error;
        std::optional<std::string> file;
    };
    const std::vector<Case> cases = {
        {{"race.rdt"}, "", "race.rdt"},
        {{"--user-folder", "races/a b.race"}, "", "races/a b.race"},
        {{"missing.txt"}, "unexpected argument missing.txt", std::nullopt},
        {{"a.rdt", "b.rdt"}, "unexpected argument b.rdt", std::nullopt},
        {{"--replay", "r.journal", "a.rdt"}, "FILE cannot be used with --replay", std::nullopt},
        {{"--say", "hi", "a.rdt"}, "FILE cannot be used with --say", std::nullopt},
    };
    for (const Case& c : cases) {
        const CommandLine line = ParseCommandLine(c.args, isFile);
        EXPECT_EQ(line.error, c.error) << c.args.back();
        if (c.error.empty()) {
            EXPECT_EQ(line.run, kWindowRun);
            EXPECT_EQ(line.Value(kFileArgument), c.file);
        }
    }
    EXPECT_NE(UsageText().find("[FILE]"), std::string::npos);
}

// --web belongs to two runs, the window and --replay, and is listed and
// described for both.
TEST(CommandLineTest, AnOptionOfTwoRunsIsTakenByBothAndNamedInBothUsages) {
    EXPECT_EQ(ParseCommandLine({"--web", "8080"}).error, "");
    const CommandLine replay = ParseCommandLine({"--replay", "r.journal", "--web", "0.0.0.0:80"});
    EXPECT_EQ(replay.error, "");
    EXPECT_EQ(replay.ArgumentsOf("--replay"),
              (std::vector<std::string>{"--replay", "r.journal", "--web", "0.0.0.0:80"}));
    const auto web = [](std::string_view run) {
        const std::vector<const CommandLineOption*> options = RunOptions(run);
        return std::count_if(options.begin(), options.end(),
                             [](const CommandLineOption* o) { return o->name == "--web"; });
    };
    EXPECT_EQ(web(kWindowRun), 1);
    EXPECT_EQ(web("--replay"), 1);
    EXPECT_EQ(web("--say"), 0);
    const auto row = std::find_if(CommandLineOptions().begin(), CommandLineOptions().end(),
                                  [](const CommandLineOption& o) { return o.name == "--web"; });
    EXPECT_EQ(UsageNote(*row), "Only for the window and with --replay.");
}

}  // namespace
}  // namespace palomind
