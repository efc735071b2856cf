// Every reader of outside files against damaged, truncated, oversized and
// garbage input: each gives its fallback or a clear message, in bounded time
// and memory, and leaves every other file as it was.
#include "tests/hostile/hostile_readers.h"

#include <gtest/gtest.h>

namespace palomind::testing {
namespace {

class HostileReaderTest : public ::testing::TestWithParam<ReaderUnderTest> {
  protected:
    HostileReaderTest() { WriteTheOtherFiles(folder_); }

    // Reads `bytes` as the reader's file and checks what every hostile input
    // must give: the promised outcome, within bounds, the other files intact.
    ReadOutcome ReadAsTheFile(std::string_view bytes, const std::string& what) {
        const ReaderUnderTest& reader = GetParam();
        folder_.Write(reader.fileName, bytes);
        const FolderSnapshot before = Snapshot(folder_.Path());
        ReadOutcome outcome;
        const ResourceUse use = Measure([&] { outcome = reader.read(folder_); });
        EXPECT_EQ(outcome.problem, "") << what;
        EXPECT_LT(use.seconds, kMaxSecondsPerInput) << what;
        EXPECT_LT(use.peakGrowthMegabytes, kMaxPeakGrowthMegabytes) << what;
        EXPECT_EQ(Snapshot(folder_.Path()), before) << what << ": a file changed";
        return outcome;
    }

    ScratchFolder folder_;
};

TEST_P(HostileReaderTest, CommittedBadFilesAreRefused) {
    for (const auto& path : CorpusFiles(GetParam().corpus, "refused"))
        EXPECT_TRUE(ReadAsTheFile(ReadBytes(path), path.filename().string()).refused)
            << path.filename();
}

// The three quoted-record files (a journal is either right or refused, and
// every complete line of it stands alone).
using RecordFileTest = HostileReaderTest;

TEST_P(RecordFileTest, CommittedOddButReadableFilesAreReadWithDamagedCharactersReplaced) {
    for (const auto& path : CorpusFiles(GetParam().corpus, "read"))
        EXPECT_FALSE(ReadAsTheFile(ReadBytes(path), path.filename().string()).refused)
            << path.filename();
}

TEST_P(HostileReaderTest, WellFormedFileIsRead) {
    EXPECT_FALSE(ReadAsTheFile(GetParam().goodBytes, "the good file").refused);
}

TEST_P(RecordFileTest, FileCutShortAnywhereIsRefused) {
    const ReaderUnderTest& reader = GetParam();
    ASSERT_TRUE(reader.completeAt);
    for (std::size_t length = 0; length < *reader.completeAt; ++length) {
        const std::string cut = reader.goodBytes.substr(0, length);
        EXPECT_TRUE(ReadAsTheFile(cut, "cut at byte " + std::to_string(length)).refused) << length;
    }
}

TEST_P(HostileReaderTest, TenMegabyteLinesAreHandledInBoundedTimeAndMemory) {
    const std::string huge(kTenMegabytes, '7');
    // A quote never closed, a number ten megabytes long, a text of ten
    // megabytes in its place, and a line of separators.
    EXPECT_TRUE(ReadAsTheFile("\"" + std::string(kTenMegabytes, 'x'), "unclosed quote").refused);
    EXPECT_TRUE(ReadAsTheFile(huge + "\r\n", "huge number").refused);
    ReadAsTheFile("\"" + std::string(kTenMegabytes, 'x') + "\"\r\n" + GetParam().goodBytes,
                  "huge text");
    ReadAsTheFile(std::string(kTenMegabytes, ','), "ten million empty fields");
}

TEST_P(HostileReaderTest, BinaryGarbageGivesTheFallbackOrAWholeRead) {
    for (std::uint32_t seed = 1; seed <= 40; ++seed)
        ReadAsTheFile(Garbage(seed, 64u << (seed % 8)), "garbage seed " + std::to_string(seed));
}

TEST_P(RecordFileTest, SaveFailingPartWayKeepsThePreviousFileAndSaysSo) {
    const ReaderUnderTest& reader = GetParam();
    ASSERT_TRUE(reader.save);
    const FolderSnapshot before = Snapshot(folder_.Path());
    DiskFullFileStore diskFull(8);
    ReadOnlyFileStore readOnly;
    for (FileStore* files :
         {static_cast<FileStore*>(&diskFull), static_cast<FileStore*>(&readOnly)}) {
        RecordingMessageSink messages;
        EXPECT_FALSE(reader.save(folder_, *files, messages));
        if (!reader.saveFailureMessage.empty()) {
            EXPECT_EQ(messages.messages, std::vector<std::string>{reader.saveFailureMessage});
        }
        EXPECT_EQ(Snapshot(folder_.Path()), before)
            << "the previous file or a temporary left behind";
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, HostileReaderTest,
                         ::testing::Values(SettingsReader(), RosterReader(), ResultFileReader(),
                                           JournalReader(), CrashedJournalReader()),
                         [](const auto& instance) { return instance.param.name; });
INSTANTIATE_TEST_SUITE_P(Readers, RecordFileTest,
                         ::testing::Values(SettingsReader(), RosterReader(), ResultFileReader()),
                         [](const auto& instance) { return instance.param.name; });

}  // namespace
}  // namespace palomind::testing
