// The settings are written as the operator changes them, off the window
// thread, and the save at exit keeps the file's bytes as they always were.
#include "app/settings_file_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/application.h"
#include "documents/cp932.h"
#include "documents/settings_file.h"
#include "platform/tick_clock.h"
#include "tests/support/platform_fakes.h"
#include "tests/support/unwritten_journal.h"

namespace palomind::testing {
namespace {

// The writer has a store of its own, as the program gives it.
class SettingsWrittenTest : public ::testing::Test {
  protected:
    SettingsWrittenTest() {
        files.files[kSettingsFileName] = kStoredAtStart;
        app.KeepSettingsWritten(&writer);
    }
    std::string Written() {
        writer.WaitUntilWritten();
        return written.files.contains(kSettingsFileName) ? written.files[kSettingsFileName] : "";
    }

    static inline const std::string kStoredAtStart =
        Utf8ToCp932("1\r\n20\r\n2\r\n0\r\n\"レースコメント記入欄\"\r\n");

    SetTickClock clock;
    RecordingSoundPlayer sound{clock};
    FakeSerialPort serial;
    MemorySettingsStore settings;
    ScriptedUserDialogs dialogs;
    MemoryFileStore files;
    UnwrittenJournal journal;
    Application app{{clock, sound, serial, settings, dialogs, files, journal}};
    MemoryFileStore written;
    std::vector<std::string> failures;
    SettingsFileWriter writer{written, kSettingsFileName,
                              [this](const std::string& reason) { failures.push_back(reason); }};
};

TEST_F(SettingsWrittenTest, EachChangedSettingIsWrittenAtOnce) {
    struct Change {
        const char* what;
        std::function<void(Application&)> change;
        const char* file;
    };
    const std::vector<Change> changes = {
        {"race time", [](Application& a) { a.SetRaceTime(300); },
         "1\r\n300\r\n2\r\n0\r\n\"レースコメント記入欄\"\r\n"},
        {"start wait", [](Application& a) { a.SetStartWait(7); },
         "1\r\n300\r\n7\r\n0\r\n\"レースコメント記入欄\"\r\n"},
        {"read-out mode", [](Application& a) { a.SetTtsMode(2); },
         "1\r\n300\r\n7\r\n2\r\n\"レースコメント記入欄\"\r\n"},
        {"port", [](Application& a) { a.Port().Select(4); },
         "4\r\n300\r\n7\r\n2\r\n\"レースコメント記入欄\"\r\n"},
    };
    app.LoadStartupFiles();
    for (const Change& c : changes) {
        c.change(app);
        EXPECT_EQ(Written(), Utf8ToCp932(c.file)) << c.what;
    }
    EXPECT_TRUE(failures.empty());
}

TEST_F(SettingsWrittenTest, NothingIsWrittenBeforeStartUpReadTheFileOrWithoutAChange) {
    app.SetRaceTime(300);  // before start-up's reading: it would lose the stored values
    EXPECT_EQ(Written(), "");
    app.LoadStartupFiles();
    app.SetRaceTime(20);
    app.SetTtsMode(0);
    app.Port().Select(1);
    EXPECT_EQ(Written(), "");
    EXPECT_EQ(written.writeAttempts, 0);
}

TEST_F(SettingsWrittenTest, AMissingFileIsWrittenAtTheFirstChangeEvenToTheDefault) {
    files.files.erase(kSettingsFileName);
    app.LoadStartupFiles();
    app.SetRaceTime(kDefaultRaceTime);
    EXPECT_EQ(Written(), Utf8ToCp932("1\r\n480\r\n10\r\n0\r\n\"レースコメント記入欄\"\r\n"));
}

TEST_F(SettingsWrittenTest, AFailingWriteIsToldOnceAndTheExitSaveStaysQuiet) {
    app.LoadStartupFiles();
    dialogs.messages.clear();  // no roster file
    written.failWrites = true;
    files.failWrites = true;
    for (const std::int32_t seconds : {100, 200, 300}) {
        app.SetRaceTime(seconds);
        writer.WaitUntilWritten();
    }
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_GE(written.writeAttempts, 1);
    app.SaveSettingsAtExit();
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SettingsWrittenTest, TheExitSaveWritesTheBytesItAlwaysWrote) {
    app.LoadStartupFiles();
    dialogs.messages.clear();  // no roster file
    app.SetRaceTime(300);
    app.SetTtsMode(1);
    app.SaveSettingsAtExit();
    // The bytes every earlier version wrote for these settings.
    const std::string today = Utf8ToCp932("1\r\n300\r\n2\r\n1\r\n\"レースコメント記入欄\"\r\n");
    EXPECT_EQ(files.files[kSettingsFileName], today);
    EXPECT_EQ(Written(), today);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(SettingsFileWriterTest, StoppingWritesWhatIsStillPending) {
    MemoryFileStore store;
    {
        SettingsFileWriter writer(store, "s.ini", [](const std::string&) {});
        writer.Write("first");
        writer.Write("last");
    }
    EXPECT_EQ(store.files["s.ini"], "last");
}

}  // namespace
}  // namespace palomind::testing
