// Draws the dialog of "ポートの割り当て..." and saves it as a PNG:
//   port_assignment_screenshot OUTPUT.png
// over a stand-in list of devices (a USB adapter and a pseudo-terminal) and
// stored assignments, so the picture is the same on every run.
#include <QApplication>
#include <QTableWidget>
#include <iostream>

#include "shell/port_assignment_dialog.h"
#include "tests/support/platform_fakes.h"

int main(int argc, char** argv) {
    using namespace palomind;
    QApplication application(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: port_assignment_screenshot OUTPUT.png\n";
        return 2;
    }
    const std::string adapter = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0";
    testing::FakeSerialDeviceEnumerator devices;
    devices.devices = {
        {"ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K1234", adapter},
        {"ttyS0", "/dev/ttyS0", "", "", "", ""},
        {"pts", "/dev/pts/3", "pseudo-terminal", "", "", ""},
    };
    testing::MemorySettingsStore settings;
    settings.SaveSetting("Ports", "COM1", adapter);
    settings.SaveSetting("Ports", "COM3", "/dev/pts/3");
    PortAssignmentDialog dialog(settings, devices, 1, adapter);
    dialog.findChild<QTableWidget*>(QStringLiteral("tblDevices"))->selectRow(0);
    dialog.show();
    QApplication::processEvents();
    if (!dialog.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::cerr << "cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
