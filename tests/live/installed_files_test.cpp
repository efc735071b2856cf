#include "shell/installed_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "shell/simulated_receiver.h"

namespace palomind::testing {
namespace {

// An installed tree laid out as the install rules lay it out.
class InstalledTreeTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(root_.isValid()); }

    QString Path(const char* relative) const { return QDir(root_.path()).filePath(relative); }

    void PutSimulator(const QString& folder) {
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QFile::copy(QStringLiteral(PALOMIND_SIMULATOR),
                                QDir(folder).filePath(QStringLiteral("receiver_simulator"))));
    }

    QTemporaryDir root_;
};

TEST_F(InstalledTreeTest, ProgramFindsWhatTheInstallPutBesideIt) {
    const QString program = Path(PALOMIND_INSTALL_BINDIR);
    const InstalledFiles installed = InstalledFilesFor(program);
    EXPECT_EQ(installed.dataFolder, Path(PALOMIND_INSTALL_DATADIR));

    // The installed simulator, wherever else one may be.
    PutSimulator(Path(PALOMIND_INSTALL_SIMULATORDIR));
    PutSimulator(program);
    EXPECT_EQ(DefaultSimulatorCommand(installed.simulatorFolders).program,
              Path(PALOMIND_INSTALL_SIMULATORDIR "/receiver_simulator"));
}

TEST_F(InstalledTreeTest, BuildTreeFindsTheSimulatorBesideTheProgram) {
    const QString program = Path("build");
    const InstalledFiles installed = InstalledFilesFor(program);
    EXPECT_EQ(
        DefaultSimulatorCommand(installed.simulatorFolders).program,
        QDir(installed.simulatorFolders.front()).filePath(QStringLiteral("receiver_simulator")));
    PutSimulator(program);
    EXPECT_EQ(DefaultSimulatorCommand(installed.simulatorFolders).program,
              program + QStringLiteral("/receiver_simulator"));
}

}  // namespace
}  // namespace palomind::testing
