#pragma once
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace palomind {

// One option of the program's command line. The table of these is the only
// list of options: --help, the manual page and the check that refuses an
// unknown option all read it, so a new option is one more row.
struct CommandLineOption {
    std::string_view name;       // "--save"
    std::string_view valueName;  // "RESULT.rdt"; empty for an option without a value
    // The run the option belongs to, named by the option that starts that
    // run ("--replay"), or kWindowRun, or kEveryRun. An option whose run is
    // its own name starts that run.
    std::string_view run;
    std::string_view description;  // one sentence for --help and the manual page
    // Further runs that take the option, for one that several runs share
    // ("--web": the window and --replay) but not every run.
    std::span<const std::string_view> alsoRuns{};
};

// The desktop window: the run without a starting option.
inline constexpr std::string_view kWindowRun = "";
// Options that every run takes.
inline constexpr std::string_view kEveryRun = "*";
// The one argument that is no option: a file for the window to open. Its
// row in the table has this name and no value name.
inline constexpr std::string_view kFileArgument = "FILE";

// Every option, in the order --help lists them.
std::span<const CommandLineOption> CommandLineOptions();

// The runs in the order the usage lists them: kWindowRun, then each run that
// an option starts.
std::vector<std::string_view> CommandLineRuns();
// The options a run takes: its starting option first (none for the window),
// then its own, then those every run takes. A run that answers at once
// (--help, --version) takes no other.
std::vector<const CommandLineOption*> RunOptions(std::string_view run);

// Where an option can be used, when not in every run ("Only with
// --replay."); empty otherwise.
std::string UsageNote(const CommandLineOption& option);

// A command line checked against the table of options.
struct CommandLine {
    // The run asked for: kWindowRun or the option that starts it.
    std::string run{kWindowRun};
    // Each option given, with its value ("" for one without); the last of
    // an option given twice wins.
    std::map<std::string, std::string, std::less<>> values;
    // Why the line was refused, in one line; empty when it was accepted.
    std::string error;

    bool Has(std::string_view option) const;
    std::optional<std::string> Value(std::string_view option) const;
    // The options given for `run`, as "--name value" pairs in the table's
    // order: for a command that reads its own arguments.
    std::vector<std::string> ArgumentsOf(std::string_view run) const;
};

// Whether `path` names a regular file that exists (links followed).
bool IsExistingFile(const std::string& path);

// `args` are the arguments after the program's name. An option's value is
// the next argument or follows '=' ("--save=r.rdt"). One argument that is
// not an option and names a file (`isFile`) is the window's FILE, as given.
// Anything else not in the table is refused: unknown options (the toolkit's
// own "-platform" and the like included) and other arguments.
CommandLine ParseCommandLine(
    const std::vector<std::string>& args,
    const std::function<bool(const std::string&)>& isFile = IsExistingFile);

// The program's version ("0.8.0.4"), as --version and the exports say it.
std::string_view ProgramVersion();

// "usage: palomind ...": one line for each run, wrapped at 79 columns.
std::string UsageText();
// The usage, what the program does and every option with its description.
std::string HelpText();

// The one line the program prints when it has no display to open its window
// on: it says so and names the runs that need none.
std::string NoDisplayText();

// Answers what needs neither a window nor a race: --help and --version on
// `out`, a refused command line (its error and the usage) on `err`. Returns
// the exit status when the program ends here: 0 for an answer, 2 for a
// refused line.
std::optional<int> AnswerWithoutWindow(const CommandLine& commandLine, std::ostream& out,
                                       std::ostream& err);

}  // namespace palomind
