#pragma once
#include <string>
#include <string_view>

namespace palomind {

// Where the install puts what the manual page names.
struct InstalledPaths {
    std::string_view dataFolder;  // the wave files
    std::string_view simulator;   // the receiver simulator program
};

// The manual page palomind(1) in troff's man format. Its synopsis and
// options come from the program's table of options, so the page lists
// exactly what --help lists.
std::string ManualPage(std::string_view version, const InstalledPaths& installed);

// Text made safe for a man page: backslashes and hyphens escaped, and a line
// that would start with a request ('.' or '\'') guarded.
std::string ManualPageText(std::string_view text);

}  // namespace palomind
