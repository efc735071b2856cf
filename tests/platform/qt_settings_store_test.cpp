#include "platform/qt_settings_store.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "tests/support/test_folders.h"

namespace palomind {
namespace {

class QtSettingsStoreTest : public ::testing::Test {
  protected:
    QTemporaryDir directory_;
    QString iniPath_ = directory_.filePath(QStringLiteral("placement.ini"));
};

TEST_F(QtSettingsStoreTest, SavedValuesReadBackInANewStoreOverTheSameFile) {
    {
        QtSettingsStore store(iniPath_);
        store.SaveSetting("Settings", "MainLeft", "1234.5");
        store.SaveSetting("Settings", "MainTop", "-60");
        store.SaveSetting("Ports", "COM1", "/dev/ttyUSB0");
        store.SaveSetting("Settings", "Note", "計測中, 全終了");
    }
    QtSettingsStore reopened(iniPath_);
    EXPECT_EQ(reopened.GetSetting("Settings", "MainLeft"), "1234.5");
    EXPECT_EQ(reopened.GetSetting("Settings", "MainTop"), "-60");
    EXPECT_EQ(reopened.GetSetting("Ports", "COM1"), "/dev/ttyUSB0");
    EXPECT_EQ(reopened.GetSetting("Settings", "Note"), "計測中, 全終了");
}

TEST_F(QtSettingsStoreTest, AbsentKeyOrSectionGivesNothing) {
    QtSettingsStore store(iniPath_);
    store.SaveSetting("Settings", "MainLeft", "0");
    EXPECT_EQ(store.GetSetting("Settings", "MainWidth"), std::nullopt);
    EXPECT_EQ(store.GetSetting("Ports", "MainLeft"), std::nullopt);
}

TEST_F(QtSettingsStoreTest, SavedValueIsOnDiskAtOnce) {
    QtSettingsStore store(iniPath_);
    store.SaveSetting("Settings", "MainHeight", "10000");
    // The file's own bytes, read while the store is still alive: nothing may
    // wait for its destruction to reach the disk. (A second store in this
    // process would share the first one's cache, and prove nothing.)
    EXPECT_EQ(testing::ReadBytes(iniPath_.toStdString()), "[Settings]\nMainHeight=10000\n");
    store.SaveSetting("Settings", "MainHeight", "9000");
    EXPECT_EQ(testing::ReadBytes(iniPath_.toStdString()), "[Settings]\nMainHeight=9000\n");
}

TEST_F(QtSettingsStoreTest, HandEditedValueWithCommasReadsBackAsWritten) {
    QFile file(iniPath_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\nMainLeft=12,5\n");
    file.close();
    QtSettingsStore store(iniPath_);
    EXPECT_EQ(store.GetSetting("Settings", "MainLeft"), "12,5");
}

}  // namespace
}  // namespace palomind
