#include "tools/manual_page.h"

#include "app/command_line.h"
#include "tools/receiver_paragraph.h"

namespace palomind {

namespace {

std::string Bold(std::string_view text) {
    return "\\fB" + ManualPageText(text) + "\\fR";
}

std::string Italic(std::string_view text) {
    return "\\fI" + ManualPageText(text) + "\\fR";
}

std::string Spelled(const CommandLineOption& option) {
    std::string text = Bold(option.name);
    if (!option.valueName.empty()) text += " " + Italic(option.valueName);
    return text;
}

std::string Synopsis() {
    std::string text = ".SH SYNOPSIS\n";
    bool first = true;
    for (const std::string_view run : CommandLineRuns()) {
        if (!first) text += ".br\n";
        first = false;
        text += ".B palomind\n";
        for (const CommandLineOption* option : RunOptions(run)) {
            text += option->name == run ? Spelled(*option) : "[" + Spelled(*option) + "]";
            text += '\n';
        }
    }
    return text;
}

std::string Options() {
    std::string text = ".SH OPTIONS\n";
    for (const CommandLineOption& option : CommandLineOptions()) {
        text += ".TP\n" + Spelled(option) + "\n" + ManualPageText(option.description);
        if (const std::string note = UsageNote(option); !note.empty()) {
            text += " " + ManualPageText(note);
        }
        text += '\n';
    }
    return text;
}

// A tagged paragraph: the tag in `tagFont` (B or I), then the text.
std::string Item(std::string_view tagFont, std::string_view tag, std::string_view text) {
    return ".TP\n." + std::string(tagFont) + " " + ManualPageText(tag) + "\n" +
           ManualPageText(text) + "\n";
}

std::string Description() {
    return ".SH DESCRIPTION\n" +
           ManualPageText(
               "Palomind times small races run with transponders: RC cars, karts, mini 4WD, "
               "drones. A timing receiver on a serial port reports each pass of a transponder "
               "over the line; Palomind counts the laps of each transponder, keeps its last and "
               "best lap, ranks the field and shows the race live: the race clock, the "
               "standings and the lap history. A race starts with a countdown and runs for a "
               "fixed time, with sound cues in its last seconds. Races are saved to result "
               "files, opened again and printed.") +
           "\n.PP\n" +
           ManualPageText(
               "Without options, palomind opens its window and works in the current "
               "folder: it reads and writes \"Palomind.ini\" and \"idname.ind\" there, "
               "keeps a journal of every run in journal/ and saves results where you "
               "choose. The desktop menu entry starts it with ") +
           Bold("--user-folder") + ManualPageText(", which works in ~/Palomind instead.") +
           "\n.PP\n" + ManualPageText(kReceiverParagraph) + "\n.PP\n" +
           ManualPageText("The line runs at 19200 baud, 8 data bits, no parity, 1 stop bit.") +
           "\n.PP\n" + ManualPageText("With ") + Bold("--replay") +
           ManualPageText(
               ", palomind runs a race journal through the race engine without a "
               "window and writes the result file, trace or report asked for.") +
           "\n.PP\n" +
           ManualPageText(
               "Arguments that are not options are refused, and so are the "
               "toolkit's own command-line options such as -platform or -style. The "
               "toolkit's environment variables work as usual; see ENVIRONMENT.") +
           "\n";
}

std::string Files(const InstalledPaths& installed) {
    return ".SH FILES\n" +
           Item("I", "Palomind.ini",
                "The race settings: race time, start wait, port, read-out mode and race "
                "comment. In the working folder.") +
           Item("I", "idname.ind",
                "The roster: the name of each transponder ID. In the working folder.") +
           Item("I", "journal/",
                "A journal of every run, in the working folder. After a crash or a power cut "
                "the next start offers to restore the race from it. The newest 30 finished "
                "journals are kept.") +
           Item("I", "~/Palomind", "The working folder with --user-folder, made on first use.") +
           Item("I", "~/.config/Palomind/Palomind.conf",
                "The window's placement and the device of each port.") +
           Item("I", "snd1.wav, snd2.wav, snd3.wav, lap.wav",
                "The cues and the lap sound: from the working folder when they are there, "
                "otherwise those installed in " +
                    std::string(installed.dataFolder) + ".") +
           Item("I", std::string(installed.simulator),
                "The receiver simulator. It also runs on its own (see its --help) and can "
                "feed a serial device.");
}

std::string Environment() {
    return ".SH ENVIRONMENT\n" +
           Item("B", "PALOMIND_COM1 ... PALOMIND_COM8",
                "The device of port COM1 ... COM8 for this run; wins over the setting in "
                "Palomind.conf.") +
           Item("B", "QT_QPA_PLATFORM, QT_STYLE_OVERRIDE, QT_SCALE_FACTOR",
                "The toolkit's display, style and scale, in place of its command-line options.");
}

std::string ExitStatus() {
    return ".SH EXIT STATUS\n" + Item("B", "0", "Success.") +
           Item("B", "1",
                "The journal could not be read, an output could not be written, the "
                "working folder could not be used, or there is no display for the window.") +
           Item("B", "2", "The command line was refused.");
}

}  // namespace

std::string ManualPageText(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\\') {
            escaped += "\\e";
        } else if (c == '-') {
            escaped += "\\-";
        } else {
            if ((c == '.' || c == '\'') && (escaped.empty() || escaped.back() == '\n')) {
                escaped += "\\&";
            }
            escaped += c;
        }
    }
    return escaped;
}

std::string ManualPage(std::string_view version, const InstalledPaths& installed) {
    return ".TH PALOMIND 1 \"\" \"Palomind " + ManualPageText(version) +
           "\" \"User Commands\"\n"
           ".nh\n"
           ".SH NAME\n"
           "palomind \\- lap timing and race display for races timed with transponders\n" +
           Synopsis() + Description() + Options() + Files(installed) + Environment() + ExitStatus();
}

}  // namespace palomind
