// The CSV and HTML exports byte for byte, against the files in golden/: a
// provisional race with a disqualified entrant, an unregistered one and
// names a spreadsheet would take for formulas. A difference writes the
// export beside the test's working folder as <name>.actual, to compare.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/export_facts.h"
#include "documents/exact_times.h"
#include "documents/page_assets.h"
#include "documents/race_csv.h"
#include "documents/race_html.h"
#include "record/corrections.h"
#include "tests/engine/engine_fixture.h"

namespace palomind::testing {
namespace {

std::string ReadGolden(const std::string& name) {
    std::ifstream in(std::string(PALOMIND_GOLDEN_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ExpectGolden(const std::string& name, const std::string& actual) {
    if (actual == ReadGolden(name)) return;
    std::ofstream(name + ".actual", std::ios::binary) << actual;
    ADD_FAILURE() << "the export differs from golden/" << name << "; see " << name << ".actual";
}

constexpr int kDisqualified = 8;

// Eight entrants, a minimum lap of 5 s; ID 2's second lap (0.5 s) is
// flagged and unresolved, ID 8 is disqualified by a correction.
class GoldenRaceTest : public EngineTest {
  protected:
    GoldenRaceTest() {
        const char* shown[] = {"",      "=SUM(A1)",        "+81",  "-x",         "@x",
                               "\tTab", kUnregisteredName, "佐藤", "Ito, \"Jr\""};
        for (int id = 1; id <= 8; ++id) names[static_cast<std::size_t>(id)] = shown[id];
        state.StartWait = 0;
        state.MinLapMs = 5'000;
        window.Comment = "@決勝\r\n晴れ, 北風";
        StartAt(0);
        TickUntil(1'000);  // timing has opened: "計測中"
        for (int id = 1; id <= 8; ++id) Pass(id, 1'000 + id * 100);
        for (int id = 1; id <= 8; ++id) Pass(id, 20'000 + id * 150);
        Pass(2, 20'800);
        RevisionEdits edits;
        edits.disqualified = {kDisqualified};
        result = CorrectedResult(ExactResultOf(state), edits, {});
    }

    ExactResult result;
    // The version is fixed here, so a new release keeps the golden files.
    RaceExportFacts facts{
        .started = "2026-12-09T11:45:51+09:00", .version = "9.8.7.6", .over = false};
};

TEST_F(GoldenRaceTest, CsvIsTheGoldenFile) {
    ExpectGolden("race_export.csv", RaceCsv(state, result, window, names, facts, {kDisqualified}));
}

// The page's style sheet is the spectators' page's own and changes with
// it: the golden file holds its place, not its text.
TEST_F(GoldenRaceTest, HtmlIsTheGoldenFile) {
    std::string html =
        RaceHtml(WithExactTimes(window, result), facts, {kDisqualified}, {"1  delete 5 3"});
    const std::size_t style = html.find(kSpectatorStyle);
    ASSERT_NE(style, std::string::npos);
    html.replace(style, kSpectatorStyle.size(), "/* the spectators' page's style */\n");
    ExpectGolden("race_export.html", html);
}

std::string Heading(const RaceState& state, const RaceWindowModel& window) {
    const std::string html = RaceHtml(window, ExportFactsOf(state, std::nullopt));
    const std::size_t at = html.find("<h1>");
    if (at == std::string::npos || html.find("<h1>", at + 1) != std::string::npos) return "";
    return html.substr(at, html.find('\n', at) - at);
}

// "レース経過" while anyone may still cross, "レース結果" once all have
// finished after the race time.
TEST_F(GoldenRaceTest, HtmlHeadingSaysResultOnceEveryoneHasFinished) {
    EXPECT_EQ(Heading(state, window), "<h1>レース経過</h1>");
    TickUntil(480'000);
    for (int id = 1; id <= 7; ++id) Pass(id, 481'000 + id * 100);
    EXPECT_EQ(Heading(state, window), "<h1>レース経過</h1>") << "ID 8 is still out";
    Pass(8, 482'000);
    ASSERT_EQ(state.AllFinished, kTrue);
    EXPECT_EQ(Heading(state, window), "<h1>レース結果</h1>");
}

TEST_F(GoldenRaceTest, HtmlHeadingSaysResultOnceTheRaceIsStopped) {
    engine.StopRace();
    EXPECT_EQ(Heading(state, window), "<h1>レース結果</h1>");
}

}  // namespace
}  // namespace palomind::testing
