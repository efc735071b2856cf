// The lap review window on a race run through the real main window: the
// director's corrections, and the result file saved afterwards equal to the
// replay of the race's record.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <sstream>

#include "app/replay_command.h"
#include "record/race_record_folder.h"
#include "shell/lap_review_window.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

class LapReviewTest : public StartedShellTest {
  protected:
    void SetUp() override {
        StartedShellTest::SetUp();
        if (HasFatalFailure()) return;
        h.app->KeepRaceRecords(&recorder);
        h.dialogs.inputAnswers.push_back("30");
        h.Choose("mnuRaceTime");
    }
    void TearDown() override { h.app->KeepRaceRecords(nullptr); }

    // Timing from second 1010 to 1040. ID 5 crosses twice in 0.3 s, ID 7's
    // pass at 1,027,000 was missed.
    void RunRace() {
        h.Press("レース開始");
        const std::pair<std::int32_t, std::uint8_t> passes[] = {
            {1'011'000, 3}, {1'012'000, 5}, {1'013'000, 7}, {1'018'000, 3}, {1'019'000, 5},
            {1'019'300, 5}, {1'020'000, 7}, {1'025'000, 3}, {1'026'000, 5}, {1'032'000, 3},
            {1'033'000, 5}, {1'034'000, 7}, {1'041'000, 3}, {1'042'000, 5}, {1'043'000, 7}};
        for (const auto& [tick, id] : passes) {
            h.RunClockUntil(tick);
            h.serial.Receive(Frame(id));
        }
        h.RunClockUntil(1'044'000);
    }
    LapReviewWindow& Review(int id) {
        h.window->OpenLapReview(id);
        LapReviewWindow* review = h.window->LapReview();
        EXPECT_NE(review, nullptr);
        return *review;
    }
    void Pick(LapReviewWindow& review, const char* ordinal) {
        QTableWidget* rows = review.Passes();
        for (int row = 0; row < rows->rowCount(); ++row)
            if (rows->item(row, 0)->text() == QString::fromUtf8(ordinal))
                return rows->setCurrentCell(row, 0);
        ADD_FAILURE() << "no pass " << ordinal;
    }
    void Reason(LapReviewWindow& review, const char* text) {
        review.findChild<QLineEdit*>(QStringLiteral("txtReason"))->setText(QString::fromUtf8(text));
    }
    std::string SaveAs(const std::string& name) {
        h.dialogs.fileAnswers.push_back(name);
        h.Choose("mnuFileSaveAs");
        return h.ReadFile(name);
    }
    // `palomind --replay` of the race's record with these options: the
    // result file it saves, or what `output` ("--export-csv"...) writes.
    std::string Replay(std::vector<std::string> options, const char* output = "--save") {
        const std::filesystem::path record = *std::filesystem::directory_iterator("races");
        std::vector<std::string> args = {"--replay", record.string(), output, "replayed.out"};
        args.insert(args.end(), options.begin(), options.end());
        std::ostringstream err;
        EXPECT_EQ(RunReplayCommand(args, err), 0) << err.str();
        return h.ReadFile("replayed.out");
    }
    void SetMinLap(const char* seconds) {
        h.dialogs.inputAnswers.push_back(seconds);
        h.Choose("mnuMinLap");
    }
    // Waits out the redraw pacing, until the status bar's "暫定" is `shown`.
    bool ProvisionalShown(bool shown) const {
        const auto* label = h.window->findChild<QLabel*>(QStringLiteral("sbStatusBarProvisional"));
        return label != nullptr &&
               QTest::qWaitFor([&] { return label->isHidden() != shown; }, 2000);
    }
    std::string Export(const std::string& name) {
        h.dialogs.fileAnswers.push_back(name);
        h.Choose("mnuFileExport");
        return h.ReadFile(name);
    }

    RaceRecordFolder folder{"races"};
    RaceRecorder recorder{folder, RaceRecorder::WhenTaken::NextNumber, std::nullopt};
};

TEST_F(LapReviewTest, OpensOnlyOnceTheRaceHasEndedAndHasARecord) {
    EXPECT_FALSE(h.Item("mnuEditLapReview")->isEnabled());
    h.Press("レース開始");
    h.RunClockUntil(1'012'000);
    EXPECT_FALSE(h.Item("mnuEditLapReview")->isEnabled());
    h.Press("ストップ");
    EXPECT_TRUE(h.Item("mnuEditLapReview")->isEnabled());
}

TEST_F(LapReviewTest, TheDirectorsCorrectionsGiveTheResultTheRecordReplaysTo) {
    // ID 5's lap after its double crossing, 6.7 s, stays flagged once the
    // first crossing is deleted.
    SetMinLap("6.90");
    RunRace();
    const std::string asRun = SaveAs("before.rdt");
    LapReviewWindow& review = Review(5);
    EXPECT_EQ(review.windowTitle(), QStringLiteral("ラップ修正"));
    Pick(review, "2");
    Reason(review, "二重検知");
    review.DeletePass();
    ASSERT_TRUE(h.app->Provisional());
    Pick(review, "4");
    Reason(review, "");
    review.AcceptShortLap();
    EXPECT_FALSE(h.app->Provisional());
    Review(7);
    Reason(review, "ループ不感");
    h.dialogs.inputAnswers.push_back("17.000");
    review.AddPass();
    EXPECT_EQ(h.dialogs.inputs.back().defaultText, "17.000");  // the middle of the long lap
    Review(3);
    Reason(review, "コース外走行");
    review.Disqualify();
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages.front();
    EXPECT_EQ(h.app->Document().disqualified, std::set<int>{3});
    EXPECT_EQ(SaveAs("after.rdt"), Replay({}));
    EXPECT_EQ(asRun, Replay({"--revision", "0"}));
    EXPECT_NE(asRun, h.ReadFile("after.rdt"));
}

// The only flag accepted: the status bar and the export no longer say
// provisional, and the export is the record's replay's.
TEST_F(LapReviewTest, AcceptingTheOnlyShortLapEndsTheProvisionalRace) {
    SetMinLap("5");  // flags ID 5's 0.3 s lap alone
    RunRace();
    ASSERT_TRUE(ProvisionalShown(true));
    ASSERT_NE(Export("flagged.csv").find("暫定"), std::string::npos);
    LapReviewWindow& review = Review(5);
    Pick(review, "3");
    review.AcceptShortLap();
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages.front();
    EXPECT_TRUE(ProvisionalShown(false));
    const std::string csv = Export("accepted.csv");
    EXPECT_EQ(csv.find("暫定"), std::string::npos) << csv;
    EXPECT_EQ(csv.find("短いラップ"), std::string::npos) << csv;
    EXPECT_EQ(csv, Replay({}, "--export-csv"));
}

// The audit list closes the HTML export once the race has corrections, live
// as in the record's replay.
TEST_F(LapReviewTest, TheHtmlExportEndsWithTheAuditListOfTheCorrections) {
    RunRace();
    EXPECT_EQ(Export("before.html").find("修正履歴"), std::string::npos);
    LapReviewWindow& review = Review(5);
    Pick(review, "3");
    Reason(review, "二重検知");
    review.DeletePass();
    const std::string html = Export("after.html");
    const std::size_t audit = html.find("<section class=\"audit\"><h2>修正履歴</h2>");
    ASSERT_NE(audit, std::string::npos) << html;
    EXPECT_NE(html.find("delete 5 3 二重検知", audit), std::string::npos) << html.substr(audit);
    EXPECT_LT(html.find("<table class=\"laps\">"), audit);  // after today's sections
    const std::string replayed = Replay({}, "--export-html");
    EXPECT_EQ(
        replayed.substr(std::min(replayed.find("<section class=\"audit\">"), replayed.size())),
        html.substr(audit));
}

// A borrowed transponder's passes given to the driver's own ID, and a
// penalty of one lap and 2.5 s: both in the record and its audit list.
TEST_F(LapReviewTest, AnAssignAndAPenaltyAreCorrectionsTheRecordReplaysTo) {
    RunRace();
    LapReviewWindow& review = Review(7);
    Reason(review, "借用トランスポンダ");
    h.dialogs.inputAnswers.push_back("12");
    review.AssignPasses();
    Review(3);
    Reason(review, "フライング");
    h.dialogs.inputAnswers.insert(h.dialogs.inputAnswers.end(), {"1", "2.5"});
    review.Penalize();
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages.front();
    const std::string html = Export("after.html");
    const std::size_t audit = html.find("<section class=\"audit\">");
    ASSERT_NE(audit, std::string::npos) << html;
    EXPECT_NE(html.find("assign 7 12 借用トランスポンダ", audit), std::string::npos);
    EXPECT_NE(html.find("penalty 3 1 2500 フライング", audit), std::string::npos);
    EXPECT_EQ(SaveAs("after.rdt"), Replay({}));
}

TEST_F(LapReviewTest, UndoRevertsTheLastCorrection) {
    RunRace();
    const std::string asRun = SaveAs("before.rdt");
    LapReviewWindow& review = Review(5);
    Pick(review, "3");
    Reason(review, "二重検知");
    review.DeletePass();
    ASSERT_NE(SaveAs("deleted.rdt"), asRun);
    review.Undo();
    EXPECT_EQ(SaveAs("undone.rdt"), asRun);
    EXPECT_EQ(Replay({}), asRun);
}

}  // namespace
}  // namespace palomind::testing
