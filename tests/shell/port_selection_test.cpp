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
        std::vector<std::string>{"通信ポートが開けません。(COM7)\r\n他のポートをお試しください\r\n"
                                 "/dev/fake7: デバイスがありません"});
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

// The status bar's lasting receiver notice; empty while it is hidden.
std::string ReceiverNotice(const ShellHarness& h) {
    const auto* notice = h.window->findChild<QLabel*>(QStringLiteral("sbReceiverNotice"));
    return notice->isVisibleTo(h.window.get()) ? notice->text().toStdString() : std::string();
}

TEST_F(PortSelectionTest, NoticeNamesThePortItsDeviceAndWhyUntilAPortOpens) {
    EXPECT_EQ(ReceiverNotice(h), "");
    struct Case {
        PortUnavailable reason;
        const char* notice;
    };
    const Case kCases[] = {
        {PortUnavailable::NotPresent, "受信機なし: COM7 /dev/fake7: デバイスがありません"},
        {PortUnavailable::InUse, "受信機なし: COM7 /dev/fake7: 他のプログラムが使用中です"},
        {PortUnavailable::NoPermission,
         "受信機なし: COM7 /dev/fake7: 使用する権限がありません "
         "(グループ「dialout」への参加が必要)"},
    };
    h.serial.openable.erase(7);
    h.serial.deviceGroup = "dialout";
    for (const Case& c : kCases) {
        h.serial.unavailable = c.reason;
        h.Choose("mnuSCI_COM7");
        EXPECT_EQ(ReceiverNotice(h), c.notice);
    }
    // It goes once a port opens.
    h.Choose("mnuSCI_COM3");
    EXPECT_EQ(ReceiverNotice(h), "");
}

TEST_F(PortSelectionTest, RefusedPermissionTellsWhichGroupOfTheDeviceToJoin) {
    h.serial.openable.erase(4);
    h.serial.unavailable = PortUnavailable::NoPermission;
    h.serial.deviceGroup = "uucp";
    h.Choose("mnuSCI_COM4");
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0],
              "通信ポートが開けません。(COM4)\r\n他のポートをお試しください\r\n"
              "/dev/fake4: 使用する権限がありません。グループ「uucp」に加わると使えます "
              "(sudo adduser $USER uucp の後、ログインし直してください)");
}

TEST_F(PortSelectionTest, PortVanishingShowsTheNoticeUntilItIsReopenedByItself) {
    h.serial.openable.erase(2);
    h.serial.Vanish("device removed");
    EXPECT_EQ(ReceiverNotice(h), "受信機なし: COM2 /dev/fake2: デバイスがありません");
    // Plugged back, but now this user may not read it: the notice says so.
    h.serial.unavailable = PortUnavailable::NoPermission;
    h.RunClockUntil(h.Now() + 1'500);
    EXPECT_EQ(ReceiverNotice(h), "受信機なし: COM2 /dev/fake2: 使用する権限がありません");
    h.serial.openable.insert(2);
    h.RunClockUntil(h.Now() + 1'500);
    EXPECT_EQ(h.serial.OpenPort(), 2);
    EXPECT_EQ(ReceiverNotice(h), "");
}

TEST(PortNoticeAtStartTest, NoPortEverChosenIsNoticedFromTheStart) {
    ShellHarness h;
    h.WriteFile("Palomind.ini", SettingsFileBytes(0, 480, 10, 0));
    h.WriteFile("idname.ind", RosterFileBytes());
    h.Start();
    EXPECT_EQ(h.dialogs.messages, std::vector<std::string>{"シリアルポートの設定を行ってください"});
    EXPECT_EQ(ReceiverNotice(h), "受信機なし: 通信ポートが選ばれていません (設定 > 通信ポート)");
}

}  // namespace
}  // namespace palomind::testing
