// The race result file's parser, and opening what it accepts.
//
// A file the parser accepts has exactly the records its counters call for;
// opening it into a freshly reset race window and saving that window again
// must give back the same content (texts as the record form can hold them).
// A rejected file gives the operator a message and no content.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "documents/result_file.h"
#include "documents/utf8.h"
#include "engine/race_engine.h"
#include "fuzz/fuzz_support.h"

namespace palomind::fuzz {
namespace {

void CheckSameTexts(const std::vector<std::string>& reread,
                    const std::vector<std::string>& original) {
    FUZZ_CHECK(reread.size() == original.size());
    for (std::size_t i = 0; i < original.size(); ++i)
        FUZZ_CHECK(reread[i] == ExpectedAfterRewrite(original[i]));
}

void CheckShape(const ResultFileContent& content) {
    FUZZ_CHECK(content.maxLap >= 0 && content.maxLap <= kMaxLaps);
    FUZZ_CHECK(content.entryCount >= 0 && content.entryCount <= kMaxRankedId);
    const std::size_t lapRows = static_cast<std::size_t>(content.maxLap) + 2;
    if (content.maxLap == 0) {
        FUZZ_CHECK(content.standingsCells.empty() && content.lapHistoryCells.empty());
    } else {
        FUZZ_CHECK(content.standingsCells.size() ==
                   static_cast<std::size_t>(kStoredStandingsCells));
        FUZZ_CHECK(content.lapHistoryCells.size() == lapRows * kStoredLapHistoryCols);
    }
    FUZZ_CHECK(IsWellFormedUtf8(content.comment) && HasOnlyCrLfBreaks(content.comment));
}

// Open (reset, then apply) and save again.
void CheckReopenAndSave(const ResultFileContent& content) {
    // One race window for every input: a fresh race state costs more than
    // most inputs, and copying a pristine one over it keeps its storage.
    static const RaceState pristine = [] {
        RaceState s;
        s.RaceTime = 480;
        s.StartWait = 10;
        return s;
    }();
    static RaceState state;
    static RaceWindowModel window;
    static const RosterTable names;
    static SetTickClock clock;
    static SilentSound sound;
    static RaceEngine engine(state, window, names, clock, sound);
    state = pristine;
    window = RaceWindowModel{};
    engine.ReSet();
    ApplyResultFile(content, state, window);
    // A long race's lap history grows to hold every stored lap.
    FUZZ_CHECK(window.LapHistory.Rows() >= content.maxLap + 2);

    const ResultFileParse again = ParseResultFile(FormatResultFile(state, window));
    FUZZ_CHECK(again.ok);
    FUZZ_CHECK(again.content.maxLap == content.maxLap &&
               again.content.entryCount == content.entryCount);
    FUZZ_CHECK(again.content.comment == ExpectedAfterRewrite(content.comment));
    CheckSameTexts(again.content.standingsCells, content.standingsCells);
    CheckSameTexts(again.content.lapHistoryCells, content.lapHistoryCells);
}

}  // namespace
}  // namespace palomind::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace palomind;
    const ResultFileParse parse =
        ParseResultFile(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!parse.ok) {
        FUZZ_CHECK(!parse.error.empty() && IsWellFormedUtf8(parse.error));
        return 0;
    }
    fuzz::CheckShape(parse.content);
    fuzz::CheckReopenAndSave(parse.content);
    return 0;
}
