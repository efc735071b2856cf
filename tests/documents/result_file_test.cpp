#include "documents/result_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/platform_fakes.h"

namespace palomind {
namespace {

using testing::MemoryFileStore;

std::string ReadGolden(const std::string& name) {
    std::ifstream in(std::string(PALOMIND_GOLDEN_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void SetRow(GridModel& grid, int row, std::initializer_list<const char*> texts) {
    int col = 0;
    for (const char* text : texts) grid.SetTextMatrix(row, col++, text);
}

// The race kept in golden/one_lap_race.rdt: ID 5 completed one lap, ID 7
// entered but completed none.
void BuildOneLapRace(RaceState& state, RaceWindowModel& window) {
    state.MaxLap = 1;
    state.EntryCount = 2;
    window.Comment = "決勝\r\n晴れ～";
    SetRow(window.Standings, 1, {"1", "ID05", "山田", "1", "00h01m02s34", "01m02s34", "01m02s34"});
    SetRow(window.Standings, 2, {"2", "ID07", "Ｋ－１", "0"});
    SetRow(window.LapHistory, 0, {"Lap", "ID05", "ID07"});
    SetRow(window.LapHistory, 1, {"", "山田", "Ｋ－１"});
    SetRow(window.LapHistory, 2, {"1", "01m02s34"});
}

// A race with every stored cell holding a text of its own position.
void BuildRaceWithLaps(RaceState& state, RaceWindowModel& window, int maxLap) {
    state.MaxLap = static_cast<std::int16_t>(maxLap);
    state.EntryCount = 20;
    window.Comment = "comment";
    if (maxLap + 2 > window.LapHistory.Rows()) window.LapHistory.SetRows(maxLap + 2);
    for (int row = 1; row <= 20; ++row)
        for (int col = 0; col < 7; ++col)
            window.Standings.SetTextMatrix(row, col,
                                           "s" + std::to_string(row) + "." + std::to_string(col));
    for (int row = 0; row < maxLap + 2; ++row)
        for (int col = 0; col < 21; ++col)
            window.LapHistory.SetTextMatrix(row, col,
                                            "h" + std::to_string(row) + "." + std::to_string(col));
}

std::size_t LineCount(const std::string& bytes) {
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
}

void ExpectSameCells(const GridModel& expected, const GridModel& actual, int rows, int cols) {
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col)
            EXPECT_EQ(actual.TextMatrix(row, col), expected.TextMatrix(row, col))
                << row << "," << col;
}

TEST(ResultFile, FormatMatchesTheHandWrittenFile) {
    RaceState state;
    RaceWindowModel window;
    BuildOneLapRace(state, window);
    const std::string golden = ReadGolden("one_lap_race.rdt");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(FormatResultFile(state, window), golden);
}

TEST(ResultFile, OpeningTheHandWrittenFileRestoresTheRace) {
    RaceState expectedState;
    RaceWindowModel expected;
    BuildOneLapRace(expectedState, expected);

    const ResultFileParse parse = ParseResultFile(ReadGolden("one_lap_race.rdt"));
    ASSERT_TRUE(parse.ok) << parse.error;
    EXPECT_EQ(parse.content.standingsCells.size(), 140u);
    EXPECT_EQ(parse.content.lapHistoryCells.size(), 63u);

    RaceState state;
    RaceWindowModel window;
    ApplyResultFile(parse.content, state, window);
    EXPECT_EQ(state.MaxLap, 1);
    EXPECT_EQ(state.EntryCount, 2);
    EXPECT_EQ(window.Comment, expected.Comment);
    ExpectSameCells(expected.Standings, window.Standings, 21, 7);
    ExpectSameCells(expected.LapHistory, window.LapHistory, 20, 21);
}

TEST(ResultFile, RaceWithoutCompletedLapsStoresOnlyTheComment) {
    RaceState state;
    RaceWindowModel window;
    window.Comment = "c";
    state.EntryCount = 0;
    // Entrants show in the standings, but nobody completed a lap.
    SetRow(window.Standings, 1, {"1", "ID05"});
    EXPECT_EQ(FormatResultFile(state, window), "\"c\"\r\n0\r\n0\r\n");

    const ResultFileParse parse = ParseResultFile("\"c\"\r\n0\r\n0\r\n");
    ASSERT_TRUE(parse.ok) << parse.error;
    RaceState opened;
    RaceWindowModel openedWindow;
    const std::uint64_t standingsRevision = openedWindow.Standings.Revision();
    ApplyResultFile(parse.content, opened, openedWindow);
    EXPECT_EQ(openedWindow.Comment, "c");
    EXPECT_EQ(openedWindow.Standings.Revision(), standingsRevision);
}

TEST(ResultFile, EveryStoredCellRoundTrips) {
    RaceState state;
    RaceWindowModel window;
    BuildRaceWithLaps(state, window, 5);
    const std::string bytes = FormatResultFile(state, window);
    EXPECT_EQ(LineCount(bytes), 290u);  // 3 + 140 + 21 x 7

    const ResultFileParse parse = ParseResultFile(bytes);
    ASSERT_TRUE(parse.ok) << parse.error;
    RaceState opened;
    RaceWindowModel openedWindow;
    ApplyResultFile(parse.content, opened, openedWindow);
    ExpectSameCells(window.Standings, openedWindow.Standings, 21, 7);
    ExpectSameCells(window.LapHistory, openedWindow.LapHistory, 7, 21);
    EXPECT_EQ(FormatResultFile(opened, openedWindow), bytes);
}

TEST(ResultFile, OpeningALongRaceScrollsTheLapHistoryToItsLastLaps) {
    RaceState state;
    RaceWindowModel window;
    BuildRaceWithLaps(state, window, 25);
    const ResultFileParse parse = ParseResultFile(FormatResultFile(state, window));
    ASSERT_TRUE(parse.ok) << parse.error;

    RaceState opened;
    RaceWindowModel openedWindow;
    ApplyResultFile(parse.content, opened, openedWindow);
    EXPECT_EQ(openedWindow.LapHistory.Rows(), 27);
    EXPECT_EQ(openedWindow.LapHistory.TopRow(), 11);
    EXPECT_EQ(openedWindow.LapHistory.TextMatrix(26, 20), "h26.20");
}

TEST(ResultFile, OpeningAShortRaceKeepsTheLapHistorySize) {
    RaceState state;
    RaceWindowModel window;
    BuildRaceWithLaps(state, window, 10);
    const ResultFileParse parse = ParseResultFile(FormatResultFile(state, window));
    ASSERT_TRUE(parse.ok) << parse.error;

    RaceState opened;
    RaceWindowModel openedWindow;
    const int rowsAfterReset = openedWindow.LapHistory.Rows();
    const int topRowAfterReset = openedWindow.LapHistory.TopRow();
    ApplyResultFile(parse.content, opened, openedWindow);
    EXPECT_EQ(openedWindow.LapHistory.Rows(), rowsAfterReset);
    EXPECT_EQ(openedWindow.LapHistory.TopRow(), topRowAfterReset);
}

TEST(ResultFile, ColumnsBeyondTwentyEntrantsAreNotStored) {
    RaceState state;
    RaceWindowModel window;
    BuildRaceWithLaps(state, window, 1);
    window.LapHistory.SetCols(25);
    window.LapHistory.SetTextMatrix(0, 22, "ID30");
    const std::string bytes = FormatResultFile(state, window);
    EXPECT_EQ(LineCount(bytes), 3u + 140u + 21u * 3u);
    EXPECT_EQ(bytes.find("ID30"), std::string::npos);
}

TEST(ResultFile, CommentLineBreaksAreStoredAsCrLfInsideOneQuotedRecord) {
    RaceState state;
    RaceWindowModel window;
    window.Comment = "line 1\nline 2";
    const std::string bytes = FormatResultFile(state, window);
    EXPECT_EQ(bytes, "\"line 1\r\nline 2\"\r\n0\r\n0\r\n");
    const ResultFileParse parse = ParseResultFile(bytes);
    ASSERT_TRUE(parse.ok);
    EXPECT_EQ(parse.content.comment, "line 1\r\nline 2");
}

TEST(ResultFile, DamagedFilesAreRefusedNamingTheRecord) {
    struct Case {
        std::string bytes;
        std::string expectedInError;
    };
    const std::string header = "\"c\"\r\n1\r\n2\r\n";
    const std::string cells140 = [] {
        std::string s;
        for (int i = 0; i < 140; ++i) s += "\"\"\r\n";
        return s;
    }();
    const Case cases[] = {
        {"", "第1レコード"},
        {"\"never closed\r\n1\r\n", "第1レコード"},
        {"\"c\"\r\n", "第2レコード"},
        {"\"c\"\r\n-1\r\n0\r\n", "第2レコード（最大周回数）が 0 から 1000"},
        {"\"c\"\r\n1001\r\n0\r\n", "第2レコード（最大周回数）が 0 から 1000"},
        {"\"c\"\r\nfive\r\n0\r\n", "第2レコード（最大周回数）"},
        {"\"c\"\r\n\"1.5\"\r\n0\r\n", "第2レコード（最大周回数）"},
        {"\"c\"\r\n0\r\n64\r\n", "第3レコード（エントリー数）が 0 から 63"},
        {"\"c\"\r\n0\r\n", "第3レコード"},
        {header, "第4レコード"},
        {header + cells140, "第144レコード"},
        {header + cells140 + "\"Lap\"\r\n\"unclosed\r\n", "第145レコード"},
    };
    for (const Case& c : cases) {
        const ResultFileParse parse = ParseResultFile(c.bytes);
        EXPECT_FALSE(parse.ok) << c.bytes;
        EXPECT_NE(parse.error.find(c.expectedInError), std::string::npos) << parse.error;
        EXPECT_NE(parse.error.find("レース結果ファイル"), std::string::npos) << parse.error;
    }
}

TEST(ResultFile, FileCutShortByOneCellIsRefused) {
    RaceState state;
    RaceWindowModel window;
    BuildRaceWithLaps(state, window, 3);
    std::string bytes = FormatResultFile(state, window);
    bytes.resize(bytes.rfind("\"h4.20\""));
    const ResultFileParse parse = ParseResultFile(bytes);
    EXPECT_FALSE(parse.ok);
    EXPECT_NE(parse.error.find("第248レコード"), std::string::npos)
        << parse.error;  // 3 + 140 + 105
}

TEST(ResultFile, HostileFilesAreRefusedInBoundedTime) {
    const auto start = std::chrono::steady_clock::now();
    // The largest lap count with nearly no cells behind it.
    EXPECT_FALSE(ParseResultFile("\"c\"\r\n1000\r\n63\r\n\"x\"\r\n").ok);
    // A 10 MB comment that never closes, and 10 MB of binary garbage.
    EXPECT_FALSE(ParseResultFile("\"" + std::string(10'000'000, 'x')).ok);
    std::string garbage;
    for (int i = 0; i < 10'000'000; ++i)
        garbage.push_back(static_cast<char>((i * 131 + i / 7) & 0xFF));
    EXPECT_FALSE(ParseResultFile(garbage).ok);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(ResultFile, FailedSaveReportsFailureAndKeepsThePreviousFile) {
    RaceState state;
    RaceWindowModel window;
    MemoryFileStore files;
    files.files["race.rdt"] = "previous";
    files.failWrites = true;
    EXPECT_FALSE(SaveResultFile("race.rdt", state, window, files));
    EXPECT_EQ(files.files["race.rdt"], "previous");
}

TEST(ResultFile, UnreadableFileGivesAMessage) {
    MemoryFileStore files;
    const ResultFileParse parse = ReadResultFile("missing.rdt", files);
    EXPECT_FALSE(parse.ok);
    EXPECT_FALSE(parse.error.empty());
}

}  // namespace
}  // namespace palomind
