// Choosing the receiver's port, and the port failing while open.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>

#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

std::vector<int> CheckedPorts(const ShellHarness& h) {
    std::vector<int> checked;
    for (int n = 1; n <= 8; ++n) {
        if (h.Item(("mnuSCI_COM" + std::to_string(n)).c_str())->isChecked()) checked.push_back(n);
    }
    return checked;
}

class PortSelectionTest : public StartedShellTest {
  protected:
    void SetUp() override {
        StartWithFiles(2);
        if (HasFatalFailure()) return;
        ASSERT_EQ(h.serial.OpenPort(), 2);
    }
};

TEST_F(PortSelectionTest, ChoosingAPortOpensItAndMovesTheCheckMark) {
    h.Choose("mnuSCI_COM5");
    EXPECT_EQ(h.serial.OpenPort(), 5);
    EXPECT_EQ(CheckedPorts(h), std::vector<int>{5});
    EXPECT_EQ(h.State().PortNumber, 5);

    h.Choose("mnuSCI_COM5");  // the open port again: closed and reopened
    EXPECT_EQ(h.serial.openAttempts, (std::vector<int>{2, 5, 5}));
    EXPECT_EQ(CheckedPorts(h), std::vector<int>{5});
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(PortSelectionTest, PortThatCannotBeOpenedIsReportedAndNoItemClaimsAnOpenPort) {
    h.serial.openable.erase(7);
    h.Choose("mnuSCI_COM7");
    EXPECT_EQ(
        h.dialogs.messages,
        std::vector<std::string>{"通信ポートが開けません。(COM7)\r\n他のポートをお試しください"});
    EXPECT_EQ(h.serial.OpenPort(), 0);  // COM2 was closed before COM7 failed
    EXPECT_TRUE(CheckedPorts(h).empty());
    EXPECT_EQ(h.State().PortNumber, 2);
    h.Close();
    EXPECT_EQ(h.ReadFile("Palomind.ini"), SettingsFileBytes(2, 480, 10, 0));
}

TEST_F(PortSelectionTest, PortVanishingDuringARaceWarnsOnceWithoutAMessageBoxAndTheRaceGoesOn) {
    h.Press("レース開始");
    h.RunClockUntil(h.Now() + 11'000);
    ASSERT_EQ(h.Model().StatusCaption, "計測中");

    h.serial.Vanish("device removed");
    h.serial.Vanish("device removed");
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_TRUE(CheckedPorts(h).empty());
    const std::string warning =
        "警告: "
        "受信機との接続が切れました(COM2)"
        "。レースは続いています。受信機をつなぎ直すと自動で再接続します";
    const auto* status = h.window->findChild<QLabel*>(QStringLiteral("sbStatusBarText"));
    EXPECT_EQ(status->text().toStdString(), warning);
    EXPECT_EQ(h.window->windowTitle().toStdString(), "Palomind - " + warning);

    // Test passes and the clock still work.
    h.Press("ＩＤ１");
    EXPECT_EQ(h.State().LapCount[1], 0);
    h.RunClockUntil(h.Now() + 2'000);
    EXPECT_EQ(h.Model().ElapsedCaption, "00h00m03s");

    // Choosing a port that opens clears the warning.
    h.Choose("mnuSCI_COM3");
    EXPECT_EQ(status->text().toStdString(), "ｽﾃｰﾀｽ");
    EXPECT_EQ(h.window->windowTitle().toStdString(), "Palomind");
}

}  // namespace
}  // namespace palomind::testing
