#pragma once
#include <string>

namespace palomind {

// What the CSV and HTML exports say of a race beyond the window's texts, so
// that an export read on its own says which race it is and how far it got.
struct RaceExportFacts {
    std::string started;  // the start, ISO 8601 with offset; empty when unknown
    std::string version;  // of the program that wrote the export
    bool over = false;    // everyone has finished or the race was stopped
};

}  // namespace palomind
