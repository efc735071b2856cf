// Assigning devices to ports: the dialog of "ポートの割り当て..." over a fake
// list of devices, and the switch "受信機シミュレーション".
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTableWidget>
#include <QTest>

#include "app/receiver_simulation_switch.h"
#include "shell/port_assignment_dialog.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

class PortAssignmentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(terminal.Path().empty());
        // Qt's own list never holds a pseudo-terminal: only a fake can.
        enumerator.devices = {{"pts", terminal.Path(), "pseudo-terminal", "", "", ""},
                              {"ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K1234",
                               "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0"}};
    }

    static std::vector<std::string> Column(const QTableWidget& table, int column) {
        std::vector<std::string> cells;
        for (int row = 0; row < table.rowCount(); ++row)
            cells.push_back(table.item(row, column)->text().toStdString());
        return cells;
    }
    static const QTableWidget& Devices(const PortAssignmentDialog& dialog) {
        return *dialog.findChild<QTableWidget*>(QStringLiteral("tblDevices"));
    }
    static const QTableWidget& Ports(const PortAssignmentDialog& dialog) {
        return *dialog.findChild<QTableWidget*>(QStringLiteral("tblPorts"));
    }
    void ChooseDevice(PortAssignmentDialog& dialog, int row) {
        dialog.findChild<QTableWidget*>(QStringLiteral("tblDevices"))->selectRow(row);
    }

    PseudoTerminal terminal;
    FakeSerialDeviceEnumerator enumerator;
    MemorySettingsStore settings;
};

TEST_F(PortAssignmentTest, ListsThePresentDevicesAndThePortInUse) {
    PortAssignmentDialog dialog(settings, enumerator, 2, "/dev/ttyUSB0");
    EXPECT_EQ(Column(Devices(dialog), 0),
              (std::vector<std::string>{terminal.Path(), "/dev/ttyUSB0"}));
    EXPECT_EQ(Column(Devices(dialog), 3), (std::vector<std::string>{"", "A10K1234"}));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("lblPortInUse"))->text(),
              QStringLiteral("使用中のポート: COM2 (/dev/ttyUSB0)"));
    EXPECT_EQ(dialog.SelectedPort(), 2);
    EXPECT_EQ(Column(Ports(dialog), 1)[0], "(既定) /dev/ttyS0");
}

TEST_F(PortAssignmentTest, AssignmentsAreStoredAndShownByTheNextDialog) {
    {
        PortAssignmentDialog dialog(settings, enumerator, 0, "");
        dialog.SelectPort(3);
        ChooseDevice(dialog, 0);
        dialog.AssignPath();
        // An adapter is stored by its by-id link, which survives replugging.
        dialog.SelectPort(4);
        ChooseDevice(dialog, 1);
        dialog.AssignPath();
        // A typed path, then cleared again.
        dialog.SelectPort(5);
        dialog.SetPath(QStringLiteral("/dev/ttyACM0"));
        dialog.AssignPath();
        dialog.ClearAssignment();
    }
    EXPECT_EQ(settings.GetSetting("Ports", "COM3"), terminal.Path());
    EXPECT_EQ(settings.GetSetting("Ports", "COM4"),
              "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0");
    EXPECT_EQ(settings.GetSetting("Ports", "COM5"), "");
    PortAssignmentDialog reopened(settings, enumerator, 0, "");
    const std::vector<std::string> assigned = Column(Ports(reopened), 1);
    EXPECT_EQ(assigned[2], terminal.Path());
    EXPECT_EQ(assigned[3], "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0");
    EXPECT_EQ(assigned[4], "(既定) /dev/ttyS4");
}

TEST_F(PortAssignmentTest, PluggedAndUnpluggedDevicesAppearAndGoWhileOpen) {
    PortAssignmentDialog dialog(settings, enumerator, 0, "");
    enumerator.devices.erase(enumerator.devices.begin());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Devices(dialog).rowCount() == 1; },
                                4 * PortAssignmentDialog::kPollIntervalMs));
    EXPECT_EQ(Column(Devices(dialog), 0), (std::vector<std::string>{"/dev/ttyUSB0"}));
}

// The switch as the port keeps it, counted.
class RecordingSimulationSwitch final : public ReceiverSimulationSwitch {
  public:
    bool SimulationOn() const override { return on; }
    void SetSimulationOn(bool value) override { turns.push_back(on = value); }
    bool on = true;
    std::vector<bool> turns;
};

TEST(PortMenuSimulation, SwitchShowsItsStateAndTurningItReopensThePortInUse) {
    ShellHarness h;
    h.Start();
    FakeSerialDeviceEnumerator enumerator;
    RecordingSimulationSwitch simulation;
    h.app->Port().AttachSimulation(simulation);
    h.window->Ports().AttachSetup(enumerator);
    auto* item = h.window->findChild<QAction*>(QStringLiteral("mnuSCI_Simulation"));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isChecked());
    const std::size_t opensBefore = h.serial.openAttempts.size();
    item->trigger();
    EXPECT_EQ(simulation.turns, std::vector<bool>{false});
    ASSERT_EQ(h.serial.openAttempts.size(), opensBefore + 1);
    EXPECT_EQ(h.serial.openAttempts.back(), 1);
    EXPECT_EQ(h.serial.OpenPort(), 1);
}

}  // namespace
}  // namespace palomind::testing
