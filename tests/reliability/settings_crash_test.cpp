// Settings changed through the window in a run that is then killed with
// SIGKILL come back at the next start, without the first-start message: the
// application's pieces as the program puts them together (the crash driver),
// in a scratch folder with a receiver on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QProcess>
#include <QSettings>
#include <QTest>
#include <filesystem>
#include <string>
#include <system_error>

#include "tests/support/pseudo_terminal.h"
#include "tests/support/startup_files.h"
#include "tests/support/test_folders.h"

namespace palomind::testing {
namespace {

class SettingsThroughACrashTest : public ::testing::Test {
  protected:
    void SetUp() override { folder_.Write("idname.ind", RosterFileBytes()); }
    void TearDown() override {
        if (driver_.state() != QProcess::NotRunning) {
            driver_.kill();
            driver_.waitForFinished(5'000);
        }
    }
    QString Start() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PALOMIND_COM1"),
                           QString::fromStdString(receiver_.Path()));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        driver_.setProcessEnvironment(environment);
        driver_.setWorkingDirectory(QString::fromStdString(folder_.Path().string()));
        driver_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        driver_.start(QStringLiteral(PALOMIND_CRASH_DRIVER), {});
        EXPECT_TRUE(driver_.waitForStarted(5'000));
        return ReadLine();
    }
    QString ReadLine() {
        EXPECT_TRUE(QTest::qWaitFor([this] { return driver_.canReadLine(); }, 20'000));
        return QString::fromUtf8(driver_.readLine()).trimmed();
    }
    QString Ask(const QByteArray& command) {
        driver_.write(command + '\n');
        driver_.waitForBytesWritten(5'000);
        return ReadLine();
    }
    void Kill() {
        driver_.kill();
        ASSERT_TRUE(driver_.waitForFinished(5'000));
        ASSERT_EQ(driver_.exitStatus(), QProcess::CrashExit);
    }
    std::string Ini() const {
        std::error_code error;
        const std::string path = folder_.File("Palomind.ini");
        return std::filesystem::exists(path, error) ? ReadBytes(path) : "";
    }
    QVariant Placement(const char* key) const {
        QSettings store(QString::fromStdString(folder_.File("user-settings.ini")),
                        QSettings::IniFormat);
        return store.value(QStringLiteral("Settings/") + QLatin1String(key));
    }

    ScratchFolder folder_;
    PseudoTerminal receiver_;
    QProcess driver_;
};

TEST_F(SettingsThroughACrashTest, SettingsChangedBeforeAKillComeBackWithoutTheFirstStartMessage) {
    ASSERT_EQ(Start(), "ready 0 1") << "the first start says the settings file is new";
    ASSERT_EQ(Ask("racetime 300"), "settings 1 300 10 0");
    ASSERT_EQ(Ask("startwait 5"), "settings 1 300 5 0");
    ASSERT_EQ(Ask("readout 2"), "settings 1 300 5 2");
    ASSERT_EQ(Ask("move 40 60"), "moved");
    const std::string expected = SettingsFileBytes(1, 300, 5, 2);
    // Written off the window thread, so within moments, not at exit.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Ini() == expected; }, 5'000));
    // The four keys are stored one after the other; the height last.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Placement("MainHeight").isValid(); }, 5'000));
    Kill();

    ASSERT_EQ(Start(), "ready 0 0") << "no first-start message";
    EXPECT_EQ(Ask("settings"), "settings 1 300 5 2");
    EXPECT_EQ(Ini(), expected);
    EXPECT_EQ(Placement("MainLeft").toString(), QStringLiteral("600"));  // 40 px in twips
    EXPECT_EQ(Placement("MainTop").toString(), QStringLiteral("900"));
}

}  // namespace
}  // namespace palomind::testing
