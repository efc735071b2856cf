#include "documents/report_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/documents/report/recording_printer.h"
#include "tests/documents/report/sample_race.h"
#include "tests/support/platform_fakes.h"

namespace palomind {
namespace {

using test::RecordingPrinter;
using test::SampleRace;
using Kind = RecordingPrinter::Kind;
using Texts = std::vector<std::string>;

using RecordingSink = testing::RecordingMessageSink;

ReportOutcome Print(const SampleRace& race, RecordingPrinter& printer, RecordingSink& sink) {
    return PrintRaceReport(race.state, race.model, printer, sink);
}

Texts Slice(const Texts& texts, std::size_t from, std::size_t count) {
    return Texts(texts.begin() + static_cast<std::ptrdiff_t>(from),
                 texts.begin() + static_cast<std::ptrdiff_t>(std::min(from + count, texts.size())));
}

TEST(ResultPage, PrintsHeadingCommentAndConfiguredRaceTime) {
    SampleRace race(3, 5);
    race.model.Comment = "Good race\r\nDry track";
    race.state.RaceTime = 480;
    RecordingPrinter printer;
    RecordingSink sink;
    ASSERT_TRUE(Print(race, printer, sink).Complete());

    EXPECT_EQ(Slice(printer.Texts(0), 0, 7), (Texts{
                                                 "500,200:< Palomind Race Result >",
                                                 "0,440:",
                                                 "500,680:--Comment--",
                                                 "500,920:Good race",
                                                 "0,1160:Dry track",
                                                 "0,1400:",
                                                 "500,2000:Race time:480sec",
                                             }));
    EXPECT_TRUE(sink.messages.empty());
}

TEST(ResultPage, StandingsPrintAllRowsWithoutTheLatestLapColumn) {
    SampleRace race(3, 5);
    RecordingPrinter printer;
    RecordingSink sink;
    Print(race, printer, sink);
    const Texts texts = printer.Texts(0);
    const auto raceTime = std::find(texts.begin(), texts.end(), "500,2000:Race time:300sec");
    ASSERT_NE(raceTime, texts.end());
    const Texts standings(raceTime + 1, texts.end());

    EXPECT_EQ(Slice(standings, 0, 12), (Texts{
                                           "500,2300:順位",
                                           "1000,2300:ID",
                                           "1500,2300:Name",
                                           "2400,2300:Lap",
                                           "2900,2300:Time",
                                           "4100,2300:Best",
                                           "500,2500:1",
                                           "1000,2500:11",
                                           "1500,2500:Rider 1",
                                           "2400,2500:005",
                                           "2900,2500:00h05m01s00",
                                           "4100,2500:00m21s00",
                                       }));
    // Placeholder rows print what they hold; their empty cells print nothing.
    EXPECT_EQ(Slice(standings, standings.size() - 3, 3),
              (Texts{"500,6300:20", "1000,6300:--", "2400,6300:---"}));
    EXPECT_EQ(standings.size(), 6u + 3u * 6u + 17u * 3u);
    for (const std::string& text : standings)
        EXPECT_EQ(text.find("00m3"), std::string::npos) << text;
}

TEST(ResultPage, TableIsRuledWithRowLinesColumnLinesAndOutline) {
    SampleRace race(2, 1);
    RecordingPrinter printer;
    RecordingSink sink;
    Print(race, printer, sink);

    const auto lines = printer.Of(Kind::Line, 0);
    ASSERT_EQ(lines.size(), 26u);
    for (int i = 0; i < 21; ++i) {
        const auto& line = lines[static_cast<std::size_t>(i)];
        EXPECT_EQ(std::vector<int>({line.x1, line.y1, line.x2, line.y2}),
                  std::vector<int>({450, 2500 + 200 * i, 5050, 2500 + 200 * i}));
    }
    const int columnRules[] = {950, 1450, 2350, 2850, 4050};
    for (int i = 0; i < 5; ++i) {
        const auto& line = lines[static_cast<std::size_t>(21 + i)];
        EXPECT_EQ(std::vector<int>({line.x1, line.y1, line.x2, line.y2}),
                  std::vector<int>({columnRules[i], 2250, columnRules[i], 6500}));
    }
    const auto rectangles = printer.Of(Kind::Rectangle, 0);
    ASSERT_EQ(rectangles.size(), 1u);
    EXPECT_EQ(
        std::vector<int>({rectangles[0].x1, rectangles[0].y1, rectangles[0].x2, rectangles[0].y2}),
        std::vector<int>({450, 2250, 5050, 6500}));
    // The lap history has no ruling.
    EXPECT_TRUE(printer.Of(Kind::Line, 1).empty());
    EXPECT_TRUE(printer.Of(Kind::Rectangle, 1).empty());
}

// The comment is one text item: the lines after its breaks start at the left
// edge of the printable area, not under its first line.
TEST(ResultPage, CommentLinesAfterABreakStartAtTheLeftEdgeIncludingATrailingBreak) {
    SampleRace race(1, 1);
    race.model.Comment = "first\r\nsecond\nthird\r\n";
    RecordingPrinter printer;
    printer.lineHeight = 200;
    RecordingSink sink;
    Print(race, printer, sink);
    EXPECT_EQ(Slice(printer.Texts(0), 2, 6), (Texts{
                                                 "500,600:--Comment--",
                                                 "500,800:first",
                                                 "0,1000:second",
                                                 "0,1200:third",
                                                 "0,1400:",
                                                 "0,1600:",
                                             }));
}

TEST(ResultPage, CommentReachingTheRaceTimeLineContinuesOnANewPage) {
    SampleRace race(2, 1);
    for (int i = 1; i <= 8; ++i) race.model.Comment += "line " + std::to_string(i) + "\r\n";
    race.model.Comment += "last";
    RecordingPrinter printer;
    RecordingSink sink;
    ASSERT_TRUE(Print(race, printer, sink).Complete());

    std::vector<std::string> commentLines;
    for (const auto& item : printer.Of(Kind::Text, 0)) {
        if (item.text.rfind("line ", 0) != 0 && item.text != "last") continue;
        commentLines.push_back(item.text);
        EXPECT_LE(item.y1 + printer.lineHeight, 2000) << item.text << " on page " << item.page;
        EXPECT_EQ(item.x1, item.text == "line 1" ? 500 : 0) << item.text;
    }
    ASSERT_EQ(commentLines.size(), 9u);
    EXPECT_EQ(commentLines.front(), "line 1");
    EXPECT_EQ(commentLines.back(), "last");

    // The race time and the whole table follow on the comment's last page.
    const auto texts = printer.Of(Kind::Text, 0);
    const auto raceTime = std::find_if(texts.begin(), texts.end(), [](const auto& item) {
        return item.text == "Race time:300sec";
    });
    ASSERT_NE(raceTime, texts.end());
    EXPECT_EQ(raceTime->page, 1);
    EXPECT_EQ(raceTime->y1, 2000);
    for (const auto& line : printer.Of(Kind::Line, 0)) EXPECT_EQ(line.page, 1);
    EXPECT_EQ(printer.documentsEnded, 2);
}

TEST(LapHistory, CellsPrintColumnByColumnAtFixedPitch) {
    SampleRace race(3, 2);
    RecordingPrinter printer;
    RecordingSink sink;
    Print(race, printer, sink);
    EXPECT_EQ(printer.Texts(1), (Texts{
                                    "500,200:Palomind LapTime履歴 その１",
                                    "500,2000:Lap",
                                    "500,2400:1",
                                    "500,2600:2",
                                    "1500,2000:ID11",
                                    "1500,2200:Rider 1",
                                    "1500,2400:01m01s00",
                                    "1500,2600:02m01s00",
                                    "2500,2000:ID12",
                                    "2500,2200:Rider 2",
                                    "2500,2400:01m02s00",
                                    "2500,2600:02m02s00",
                                    "3500,2000:ID13",
                                    "3500,2200:Rider 3",
                                    "3500,2400:01m03s00",
                                    "3500,2600:02m03s00",
                                }));
}

TEST(LapHistory, TenEntrantsFitInOneSection) {
    SampleRace race(10, 1);
    RecordingPrinter printer;
    RecordingSink sink;
    const ReportOutcome outcome = Print(race, printer, sink);
    EXPECT_EQ(printer.documentsEnded, 2);
    EXPECT_EQ(outcome.printed,
              (std::vector<ReportSection>{ReportSection::Result, ReportSection::LapHistory1}));
    const Texts texts = printer.Texts(1);
    EXPECT_EQ(Slice(texts, texts.size() - 3, 3),
              (Texts{"10500,2000:ID20", "10500,2200:Rider 10", "10500,2400:01m10s00"}));
}

TEST(LapHistory, EleventhEntrantOpensASecondSectionRepeatingTheLapNumbers) {
    SampleRace race(11, 2);
    RecordingPrinter printer;
    RecordingSink sink;
    const ReportOutcome outcome = Print(race, printer, sink);
    EXPECT_EQ(printer.documentsEnded, 3);
    EXPECT_TRUE(outcome.Complete());
    EXPECT_EQ(printer.Texts(2), (Texts{
                                    "500,200:Palomind LapTime履歴\xE3\x80\x80その２",
                                    "500,2000:Lap",
                                    "500,2400:1",
                                    "500,2600:2",
                                    "1500,2000:ID21",
                                    "1500,2200:Rider 11",
                                    "1500,2400:01m11s00",
                                    "1500,2600:02m11s00",
                                }));
}

TEST(LapHistory, LongHistoryContinuesOnPagesThatRepeatTheHeadings) {
    SampleRace race(2, 100);
    RecordingPrinter printer;  // rows of 200 from 2000 to a 15000 page: 64 a page
    RecordingSink sink;
    ASSERT_TRUE(Print(race, printer, sink).Complete());

    const auto texts = printer.Of(Kind::Text, 1);
    std::vector<int> lapRowsSeen(102, 0);
    int lastPage = 0;
    for (const auto& item : texts) {
        EXPECT_LE(item.y1 + printer.lineHeight, printer.pageHeight) << item.text;
        lastPage = std::max(lastPage, item.page);
        if (item.x1 == 500 && item.y1 >= 2400)
            ++lapRowsSeen[static_cast<std::size_t>(std::stoi(item.text)) + 1];
    }
    EXPECT_EQ(lastPage, 1);
    for (int row = 2; row <= 101; ++row)
        EXPECT_EQ(lapRowsSeen[static_cast<std::size_t>(row)], 1) << row;

    const Texts all = printer.Texts(1);
    const Texts expectedStartOfPage2{"p1 500,200:Palomind LapTime履歴 その１", "p1 500,2000:Lap",
                                     "p1 500,2400:63"};
    const auto page2 = std::find(all.begin(), all.end(), expectedStartOfPage2[0]);
    ASSERT_NE(page2, all.end());
    EXPECT_EQ(Texts(page2, page2 + 3), expectedStartOfPage2);
    EXPECT_NE(std::find(all.begin(), all.end(), "p1 1500,2200:Rider 1"), all.end());
    EXPECT_NE(std::find(all.begin(), all.end(), "p1 1500,2400:63m01s00"), all.end());
}

// A corrected race's audit list is a document of its own after the last of
// the others, which print as without it; a long list goes on over pages.
TEST(AuditPage, TheCorrectionsFollowTheLastSectionOnPagesOfTheirOwn) {
    SampleRace race(3, 5);
    RecordingPrinter plain;
    RecordingSink sink;
    ASSERT_TRUE(Print(race, plain, sink).Complete());
    Texts audit;
    for (int n = 1; n <= 70; ++n) audit.push_back(std::to_string(n) + "  dq 3 理由");
    RecordingPrinter printer;  // 64 rows a page
    const ReportOutcome outcome = PrintRaceReport(race.state, race.model, printer, sink, audit);
    ASSERT_TRUE(outcome.Complete());
    EXPECT_EQ(outcome.printed,
              (std::vector<ReportSection>{ReportSection::Result, ReportSection::LapHistory1,
                                          ReportSection::Audit}));
    EXPECT_EQ(printer.Texts(0), plain.Texts(0));
    EXPECT_EQ(printer.Texts(1), plain.Texts(1));
    const Texts printed = printer.Texts(2);
    ASSERT_EQ(printed.size(), 72u);  // a title on each of the two pages
    EXPECT_EQ(Slice(printed, 0, 2), (Texts{"500,200:Palomind 修正履歴", "500,2000:1  dq 3 理由"}));
    EXPECT_EQ(Slice(printed, 65, 2),
              (Texts{"p1 500,200:Palomind 修正履歴", "p1 500,2000:65  dq 3 理由"}));
    EXPECT_TRUE(sink.messages.empty());
}

TEST(Refusal, NoCompletedLapPrintsNothingEvenWithStandingsFilled) {
    SampleRace race(3, 0);
    RecordingPrinter printer;
    RecordingSink sink;
    const ReportOutcome outcome = Print(race, printer, sink);
    EXPECT_TRUE(outcome.refused);
    EXPECT_FALSE(outcome.Complete());
    EXPECT_TRUE(printer.items.empty());
    EXPECT_EQ(printer.documentsEnded, 0);
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"ラップデータが無いので印刷できません。"}));
}

TEST(PrinterFailure, FailedDocumentEndAbandonsTheRestAndSaysWhat) {
    SampleRace race(11, 2);
    RecordingPrinter printer;
    printer.failEndDocCall = 2;
    RecordingSink sink;
    const ReportOutcome outcome = Print(race, printer, sink);

    EXPECT_EQ(outcome.printed, (std::vector<ReportSection>{ReportSection::Result}));
    EXPECT_EQ(outcome.notPrinted,
              (std::vector<ReportSection>{ReportSection::LapHistory1, ReportSection::LapHistory2}));
    EXPECT_EQ(sink.messages, (std::vector<std::string>{
                                 "印刷中にエラーが発生しました。次の部分は印刷されていません: "
                                 "ラップ履歴 その１、ラップ履歴 その２"}));
    for (const auto& item : printer.items) EXPECT_EQ(item.text.find("その２"), std::string::npos);
}

TEST(PrinterFailure, FailedPageBreakStopsTheSectionAndStillEndsTheDocument) {
    SampleRace race(2, 100);
    RecordingPrinter printer;
    printer.failNewPageCall = 1;
    RecordingSink sink;
    const ReportOutcome outcome = Print(race, printer, sink);

    EXPECT_EQ(outcome.printed, (std::vector<ReportSection>{ReportSection::Result}));
    EXPECT_EQ(outcome.notPrinted, (std::vector<ReportSection>{ReportSection::LapHistory1}));
    EXPECT_EQ(printer.documentsEnded, 2);  // the broken document is released too
    EXPECT_EQ(sink.messages, (std::vector<std::string>{
                                 "印刷中にエラーが発生しました。次の部分は印刷されていません: "
                                 "ラップ履歴 その１"}));
}

TEST(PrinterFailure, FailureOnTheFirstDocumentListsEverySection) {
    SampleRace race(4, 3);
    RecordingPrinter printer;
    printer.failEndDocCall = 1;
    RecordingSink sink;
    const ReportOutcome outcome = Print(race, printer, sink);
    EXPECT_TRUE(outcome.printed.empty());
    EXPECT_EQ(sink.messages, (std::vector<std::string>{
                                 "印刷中にエラーが発生しました。次の部分は印刷されていません: "
                                 "レース結果、ラップ履歴 その１"}));
    EXPECT_TRUE(printer.Of(Kind::Text, 1).empty());
}

}  // namespace
}  // namespace palomind
