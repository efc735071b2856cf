#include "documents/roster_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/platform_fakes.h"

namespace palomind {
namespace {

using testing::MemoryFileStore;
using testing::RecordingMessageSink;

constexpr std::string_view kNewRosterMessage = "参加者名簿を新規に作成します。";

std::string QuotedLines(int count, const std::string& prefix) {
    std::string bytes;
    for (int i = 1; i <= count; ++i) bytes += "\"" + prefix + std::to_string(i) + "\"\r\n";
    return bytes;
}

class RosterFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        names_.fill("stale");
        names_[0] = "entry zero";
    }

    void LoadFrom(const std::string& bytes) {
        files_.files["idname.ind"] = bytes;
        Load_IdName(names_, files_, messages_);
    }

    void ExpectAllUnregistered() const {
        for (int id = 1; id <= 64; ++id)
            EXPECT_EQ(names_[static_cast<std::size_t>(id)], "未登録") << id;
        EXPECT_EQ(names_[0], "entry zero");
        EXPECT_EQ(messages_.messages, std::vector<std::string>{std::string(kNewRosterMessage)});
    }

    RosterTable names_;
    MemoryFileStore files_;
    RecordingMessageSink messages_;
};

TEST_F(RosterFileTest, LoadFillsEntriesOneToSixtyFourInOrder) {
    LoadFrom(QuotedLines(64, "name"));
    EXPECT_EQ(names_[1], "name1");
    EXPECT_EQ(names_[64], "name64");
    EXPECT_EQ(names_[0], "entry zero");
    EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(RosterFileTest, MissingFileMakesEveryoneUnregistered) {
    Load_IdName(names_, files_, messages_);
    ExpectAllUnregistered();
    EXPECT_EQ(files_.writeAttempts, 0);
}

TEST_F(RosterFileTest, ShortFileDiscardsTheNamesItDidRead) {
    LoadFrom(QuotedLines(10, "name"));
    ExpectAllUnregistered();
}

TEST_F(RosterFileTest, DamagedFileMakesEveryoneUnregistered) {
    // The quote opened on line 6 runs to the end of the file.
    std::string lines;
    for (int i = 0; i < 64; ++i) lines += "more\r\n";
    LoadFrom(QuotedLines(5, "name") + "\"never closed\r\n" + lines);
    ExpectAllUnregistered();
}

TEST_F(RosterFileTest, LongerFileUsesTheFirstSixtyFourAndSavesBackSixtyFour) {
    LoadFrom(QuotedLines(70, "name"));
    EXPECT_EQ(names_[64], "name64");
    ASSERT_TRUE(Save_IdName(names_, files_, messages_));
    EXPECT_EQ(files_.files["idname.ind"], QuotedLines(64, "name"));
}

TEST_F(RosterFileTest, NamesWithCommasEmptyNamesAndJapaneseRoundTrip) {
    RosterTable names;
    names.fill("x");
    names[1] = "Smith, John";
    names[2] = "";
    names[3] = "山田 ～①";
    names[4] = "  padded  ";
    ASSERT_TRUE(Save_IdName(names, files_, messages_));
    const std::string& bytes = files_.files["idname.ind"];
    EXPECT_EQ(bytes.substr(0, 20), "\"Smith, John\"\r\n\"\"\r\n\"");

    Load_IdName(names_, files_, messages_);
    for (int id = 1; id <= 64; ++id)
        EXPECT_EQ(names_[static_cast<std::size_t>(id)], names[static_cast<std::size_t>(id)]) << id;
    EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(RosterFileTest, QuoteInANameDoesNotShiftTheOtherNames) {
    RosterTable names;
    names.fill("x");
    names[1] = "\"Speedy\" Gonzales";
    names[2] = "second";
    ASSERT_TRUE(Save_IdName(names, files_, messages_));
    Load_IdName(names_, files_, messages_);
    EXPECT_EQ(names_[1], "＂Speedy＂ Gonzales");
    EXPECT_EQ(names_[2], "second");
    EXPECT_EQ(names_[64], "x");
}

TEST_F(RosterFileTest, SaveNeverStoresEntryZero) {
    ASSERT_TRUE(Save_IdName(names_, files_, messages_));
    const std::string& bytes = files_.files["idname.ind"];
    EXPECT_EQ(bytes.find("entry zero"), std::string::npos);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 64);
}

TEST_F(RosterFileTest, FailedSaveReportsAndChangesNothing) {
    files_.files["idname.ind"] = "previous";
    files_.failWrites = true;
    const RosterTable before = names_;
    EXPECT_FALSE(Save_IdName(names_, files_, messages_));
    EXPECT_EQ(messages_.messages, std::vector<std::string>{"参加者名簿が保存できませんでした。"});
    EXPECT_EQ(files_.files["idname.ind"], "previous");
    EXPECT_EQ(names_, before);
}

}  // namespace
}  // namespace palomind
