#include "documents/settings_file.h"

#include <gtest/gtest.h>

#include "tests/support/platform_fakes.h"

namespace palomind {
namespace {

using testing::MemoryFileStore;
using testing::RecordingMessageSink;
using namespace std::string_view_literals;

constexpr std::string_view kMissingMessage = "設定ファイルがありません。新規に作成します";
// "レースコメント記入欄" in cp932, quoted.
constexpr std::string_view kFixedCommentRecord =
    "\"\x83\x8C\x81\x5B\x83\x58\x83\x52\x83\x81\x83\x93\x83\x67\x8B\x4C\x93\xFC\x97\x93\"\r\n";

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Values that no load leaves in place, to see that all five are set.
        state_.PortNumber = 7;
        state_.RaceTime = 1;
        state_.StartWait = 2;
        state_.TtsMode = 2;
        window_.Comment = "before";
    }

    void LoadFrom(std::string_view bytes) {
        files_.files["Palomind.ini"] = std::string(bytes);
        Load_Setting(state_, window_, files_, messages_);
    }

    void ExpectDefaults() const {
        EXPECT_EQ(state_.PortNumber, 1);
        EXPECT_EQ(state_.RaceTime, 480);
        EXPECT_EQ(state_.StartWait, 10);
        EXPECT_EQ(state_.TtsMode, 0);
        EXPECT_EQ(window_.Comment, "レースコメント記入欄");
        EXPECT_EQ(messages_.messages, std::vector<std::string>{std::string(kMissingMessage)});
    }

    RaceState state_;
    RaceWindowModel window_;
    MemoryFileStore files_;
    RecordingMessageSink messages_;
};

TEST_F(SettingsFileTest, ReadsAllFiveSettingsAsStored) {
    LoadFrom("3\r\n300\r\n0\r\n1\r\n\"\x8C\x88\x8F\x9F\"\r\n");
    EXPECT_EQ(state_.PortNumber, 3);
    EXPECT_EQ(state_.RaceTime, 300);
    EXPECT_EQ(state_.StartWait, 0);
    EXPECT_EQ(state_.TtsMode, 1);
    EXPECT_EQ(window_.Comment, "決勝");
    EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(SettingsFileTest, KeepsOutOfRangeValuesForStartUpToJudge) {
    // Port 0 or 9 and read-out mode 5 are read as they are; start-up decides.
    LoadFrom("9\r\n480\r\n10\r\n5\r\n\"c\"\r\n");
    EXPECT_EQ(state_.PortNumber, 9);
    EXPECT_EQ(state_.TtsMode, 5);
    LoadFrom("0\r\n-5\r\n-1\r\n0\r\n\"c\"\r\n");
    EXPECT_EQ(state_.PortNumber, 0);
    EXPECT_EQ(state_.RaceTime, -5);
    EXPECT_EQ(state_.StartWait, -1);
    EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(SettingsFileTest, RaceTimeZeroIsKeptByLoadAndReplacedAtStartUp) {
    LoadFrom("1\r\n0\r\n0\r\n0\r\n\"c\"\r\n");
    EXPECT_EQ(state_.RaceTime, 0);
    ApplyStartupRaceTimeDefault(state_);
    EXPECT_EQ(state_.RaceTime, 480);
    EXPECT_EQ(state_.StartWait, 0);

    state_.RaceTime = 300;
    ApplyStartupRaceTimeDefault(state_);
    EXPECT_EQ(state_.RaceTime, 300);
}

TEST_F(SettingsFileTest, MultiLineCommentEditedIntoTheFileKeepsItsLines) {
    LoadFrom("1\r\n480\r\n10\r\n0\r\n\"line 1\nline 2\r\nline 3\"\r\nignored,\"extra\"\r\n");
    EXPECT_EQ(window_.Comment, "line 1\r\nline 2\r\nline 3");
}

TEST_F(SettingsFileTest, MissingFileGivesAllDefaultsAndOneMessage) {
    Load_Setting(state_, window_, files_, messages_);
    ExpectDefaults();
    EXPECT_EQ(files_.writeAttempts, 0);  // created at shutdown, not here
}

TEST_F(SettingsFileTest, ShortFileDiscardsTheValuesItDidRead) {
    LoadFrom("3\r\n300\r\n20\r\n1\r\n");
    ExpectDefaults();
}

TEST_F(SettingsFileTest, MalformedFieldsGiveDefaults) {
    for (const std::string_view bytes : {
             "abc\r\n480\r\n10\r\n0\r\n\"c\"\r\n"sv,       // text where a number belongs
             "40000\r\n480\r\n10\r\n0\r\n\"c\"\r\n"sv,     // port beyond 16 bits
             "1\r\n3000000000\r\n10\r\n0\r\n\"c\"\r\n"sv,  // race time beyond 32 bits
             "1\r\n480\r\n10\r\n0\r\n\"unclosed\r\n"sv,
             ""sv,
             "\xFF\xFE\x00\x01garbage"sv,
         }) {
        messages_.messages.clear();
        state_.PortNumber = 7;
        LoadFrom(bytes);
        ExpectDefaults();
    }
}

TEST_F(SettingsFileTest, SaveWritesFourNumbersAndTheFixedComment) {
    state_.PortNumber = 0;
    state_.RaceTime = 480;
    state_.StartWait = -3;
    state_.TtsMode = 5;
    window_.Comment = "the operator's own comment";
    ASSERT_TRUE(Save_Setting(state_, files_, messages_));
    EXPECT_EQ(files_.files["Palomind.ini"],
              "0\r\n480\r\n-3\r\n5\r\n" + std::string(kFixedCommentRecord));
    EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(SettingsFileTest, FailedSaveReportsAndKeepsThePreviousFile) {
    files_.files["Palomind.ini"] = "previous";
    files_.failWrites = true;
    EXPECT_FALSE(Save_Setting(state_, files_, messages_));
    EXPECT_EQ(messages_.messages, std::vector<std::string>{"設定ファイルが保存できません。"});
    EXPECT_EQ(files_.files["Palomind.ini"], "previous");
}

}  // namespace
}  // namespace palomind
