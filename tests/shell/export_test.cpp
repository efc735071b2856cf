// File > "ｴｸｽﾎﾟｰﾄ(&E)..." through the real main window: the name its dialog
// offers and what the status bar says once the file is written.
#include <gtest/gtest.h>

#include <QStatusBar>
#include <filesystem>

#include "record/race_record_folder.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

class ExportTest : public StartedShellTest {
  protected:
    void SetUp() override {
        StartedShellTest::SetUp();
        h.app->KeepRaceRecords(&recorder);
    }
    void TearDown() override { h.app->KeepRaceRecords(nullptr); }

    // The name the export dialog offers, the dialog cancelled.
    std::string OfferedName() {
        h.dialogs.fileAnswers.push_back("");
        h.Choose("mnuFileExport");
        return h.dialogs.fileRequests.back().offeredName;
    }
    void TimeARace() {
        h.Press("レース開始");
        h.RunClockUntil(h.Now() + 12'000);
        h.Press("ＩＤ１");
        h.Press("ストップ");
    }
    static std::string RecordName() {
        return std::filesystem::directory_iterator("races")->path().stem().string();
    }
    void Open(const char* menuItem, const std::string& path) {
        h.dialogs.fileAnswers.push_back(path);
        h.Choose(menuItem);
        ASSERT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages.front();
    }

    RaceRecordFolder folder{"races"};
    RaceRecorder recorder{folder, RaceRecorder::WhenTaken::NextNumber, std::nullopt};
};

// The race's record names it; a result file opened has none and is named
// by its file; with neither, a name that says what the file holds.
TEST_F(ExportTest, TheDialogOffersTheRaceShownsNameAsCsv) {
    EXPECT_EQ(OfferedName(), "レース結果.csv");
    TimeARace();
    const std::string record = RecordName();
    ASSERT_EQ(record.size(), std::string("19700101-000000-1").size()) << record;
    EXPECT_EQ(OfferedName(), record + ".csv");
    h.dialogs.fileAnswers.push_back("heat 2.rdt");
    h.Choose("mnuFileSaveAs");
    Open("mnuFileOpen", "heat 2.rdt");
    EXPECT_EQ(OfferedName(), "heat 2.csv");
    Open("mnuFileOpenRecord", "races/" + record + ".race");
    EXPECT_EQ(OfferedName(), record + ".csv");
    EXPECT_EQ(h.dialogs.fileRequests.back().title, "ｴｸｽﾎﾟｰﾄ");
}

TEST_F(ExportTest, TheStatusBarSaysWhatWasWrittenWhere) {
    TimeARace();
    const struct {
        const char* path;
        const char* message;
    } cases[] = {
        {"r1.csv", "CSV を r1.csv に書き出しました。"},
        {"r1.html", "HTML を r1.html に書き出しました。"},
        {"R1.HTM", "HTML を R1.HTM に書き出しました。"},
    };
    for (const auto& c : cases) {
        h.dialogs.fileAnswers.push_back(c.path);
        h.Choose("mnuFileExport");
        EXPECT_FALSE(h.ReadFile(c.path).empty()) << c.path;
        EXPECT_EQ(h.window->statusBar()->currentMessage().toStdString(), c.message);
    }
    h.window->statusBar()->clearMessage();
    h.dialogs.fileAnswers.push_back("no/such/folder/r.csv");
    h.Choose("mnuFileExport");
    EXPECT_EQ(h.window->statusBar()->currentMessage(), QString()) << "a failure is no news";
}

}  // namespace
}  // namespace palomind::testing
