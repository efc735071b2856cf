#include "platform/qt_sound_player.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/qt_warnings.h"
#include "tests/support/test_folders.h"

namespace palomind::testing {
namespace {

// The player resolves names against the current directory, so each test runs
// in a directory of its own.
class QtSoundPlayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        player_.SetNoAudioOutputHandler([this] { ++noOutputNotices_; });
    }

    static void CopyGeneratedSound(const QString& name,
                                   const QString& folder = QStringLiteral(".")) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(PALOMIND_SOUND_DIR "/") + name,
                                QDir(folder).filePath(name)));
    }
    // Without an output the operator is told once, not at every sound; the
    // notice comes only for a file about to be played.
    int NoticesForAFilePlayed() const { return QMediaDevices::audioOutputs().isEmpty() ? 1 : 0; }

    TemporaryCurrentDirectory directory_;
    int defaultSounds_ = 0;
    int noOutputNotices_ = 0;
    QtSoundPlayer player_{[this] { ++defaultSounds_; }};
};

TEST_F(QtSoundPlayerTest, MissingFileGivesTheDefaultSoundWithoutWaiting) {
    QElapsedTimer timer;
    timer.start();
    player_.PlaySound("lap.wav");
    player_.PlaySound("snd2.wav");
    EXPECT_LT(timer.elapsed(), 1000);  // looking for a file takes a moment, even on a busy machine
    EXPECT_EQ(defaultSounds_, 2);
}

TEST_F(QtSoundPlayerTest, FileCopiedInAfterAMissedPlayIsPlayedNextTime) {
    player_.PlaySound("snd1.wav");
    ASSERT_EQ(defaultSounds_, 1);
    CopyGeneratedSound(QStringLiteral("snd1.wav"));
    player_.PlaySound("snd1.wav");
    QTest::qWait(200);
    EXPECT_EQ(defaultSounds_, 1);
    EXPECT_EQ(noOutputNotices_, NoticesForAFilePlayed());
    // Loaded at that play and kept: it plays on from memory once the file is
    // gone, where a player that had not taken it up would miss it again.
    ASSERT_TRUE(QFile::remove(QStringLiteral("snd1.wav")));
    player_.PlaySound("snd1.wav");
    QTest::qWait(200);
    EXPECT_EQ(defaultSounds_, 1);
}

TEST_F(QtSoundPlayerTest, GeneratedWaveFilesPlayWithoutTheDefaultSound) {
    const QStringList names{"snd1.wav", "snd2.wav", "snd3.wav", "lap.wav"};
    for (const QString& name : names) CopyGeneratedSound(name);
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < 3; ++round) {
        for (const QString& name : names) player_.PlaySound(name.toStdString());
    }
    // Generous for a busy machine, yet short of the 5.8 s that waiting for
    // each sound to end would take.
    EXPECT_LT(timer.elapsed(), 2000);
    QTest::qWait(300);  // let decoding finish: a decoding failure would show now
    EXPECT_EQ(defaultSounds_, 0);
    EXPECT_EQ(noOutputNotices_, NoticesForAFilePlayed());
}

TEST_F(QtSoundPlayerTest, FileThatIsNotAWaveGivesTheDefaultSound) {
    const ExpectedQtWarning decodingFails(QStringLiteral("Error decoding source"));
    WriteBytes("snd3.wav", "this is not a wave file");

    player_.PlaySound("snd3.wav");
    ASSERT_TRUE(QTest::qWaitFor([&] { return defaultSounds_ == 1; }, 2000));
    player_.PlaySound("snd3.wav");  // already known to be bad
    EXPECT_EQ(defaultSounds_, 2);
}

// The installed program keeps its wave files in a data folder; the current
// folder is still looked at first.
TEST_F(QtSoundPlayerTest, DataFolderServesWhatTheCurrentFolderLacksButNeverWinsOverIt) {
    QTemporaryDir dataFolder;
    ASSERT_TRUE(dataFolder.isValid());
    CopyGeneratedSound(QStringLiteral("lap.wav"), dataFolder.path());
    CopyGeneratedSound(QStringLiteral("snd3.wav"), dataFolder.path());
    QtSoundPlayer installed([this] { ++defaultSounds_; }, dataFolder.path());

    installed.PlaySound("lap.wav");
    QTest::qWait(300);  // a decoding failure would show by now
    EXPECT_EQ(defaultSounds_, 0);

    // A broken file here is played, and fails, rather than the good one there.
    const ExpectedQtWarning decodingFails(QStringLiteral("Error decoding source"));
    WriteBytes("snd3.wav", "this is not a wave file");
    installed.PlaySound("snd3.wav");
    EXPECT_TRUE(QTest::qWaitFor([&] { return defaultSounds_ == 1; }, 2000));
}

}  // namespace
}  // namespace palomind::testing
