#include "platform/qt_sound_player.h"

#include <QAudioDevice>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QTest>

#include "tests/platform/qt_message_guard.h"

namespace palomind {
namespace {

// The player resolves names against the current directory, so each test runs
// in a directory of its own.
class QtSoundPlayerTest : public testing::QtGuardedTest {
  protected:
    void SetUp() override {
        QtGuardedTest::SetUp();
        ASSERT_TRUE(directory_.isValid());
        previous_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(directory_.path()));
        player_.SetNoAudioOutputHandler([this] { ++noOutputNotices_; });
    }
    void TearDown() override {
        QDir::setCurrent(previous_);
        QtGuardedTest::TearDown();
    }

    void CopyGeneratedSound(const QString& name) { CopyGeneratedSound(name, directory_.path()); }
    void CopyGeneratedSound(const QString& name, const QString& folder) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(PALOMIND_SOUND_DIR "/") + name,
                                QDir(folder).filePath(name)));
    }
    // A file of that name here that is no wave: decoding it fails.
    void PutBrokenWave(const QString& name) {
        ExpectQtWarning(QStringLiteral("Error decoding source"));
        QFile file(directory_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("this is not a wave file");
    }

    QTemporaryDir directory_;
    QString previous_;
    int defaultSounds_ = 0;
    int noOutputNotices_ = 0;
    QtSoundPlayer player_{[this] { ++defaultSounds_; }};
};

TEST_F(QtSoundPlayerTest, MissingFileGivesTheDefaultSoundWithoutWaiting) {
    QElapsedTimer timer;
    timer.start();
    player_.PlaySound("lap.wav");
    player_.PlaySound("snd2.wav");
    EXPECT_LT(timer.elapsed(), 200);
    EXPECT_EQ(defaultSounds_, 2);
}

TEST_F(QtSoundPlayerTest, FileCopiedInAfterAMissedPlayIsPlayedNextTime) {
    player_.PlaySound("snd1.wav");
    ASSERT_EQ(defaultSounds_, 1);
    CopyGeneratedSound(QStringLiteral("snd1.wav"));
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
    EXPECT_LT(timer.elapsed(), 500);
    QTest::qWait(300);  // let decoding finish: a decoding failure would show now
    EXPECT_EQ(defaultSounds_, 0);
    // Without an output the operator is told once, not at every sound.
    EXPECT_EQ(noOutputNotices_, QMediaDevices::audioOutputs().isEmpty() ? 1 : 0);
}

TEST_F(QtSoundPlayerTest, FileThatIsNotAWaveGivesTheDefaultSound) {
    PutBrokenWave(QStringLiteral("snd3.wav"));
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
    PutBrokenWave(QStringLiteral("snd3.wav"));
    installed.PlaySound("snd3.wav");
    EXPECT_TRUE(QTest::qWaitFor([&] { return defaultSounds_ == 1; }, 2000));
}

}  // namespace
}  // namespace palomind
