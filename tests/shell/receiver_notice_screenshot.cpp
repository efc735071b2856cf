// Draws the main window's status bar while the receiver's port is refused
// for want of permission, and saves it as a PNG:
//   receiver_notice_screenshot OUTPUT.png
// over a stand-in serial port whose COM1 is /dev/ttyUSB1 owned by dialout,
// so the picture shows the same notice on every run.
#include <QApplication>
#include <QDir>
#include <QStatusBar>
#include <iostream>

#include "tests/support/shell_harness.h"

int main(int argc, char** argv) {
    using namespace palomind;
    using namespace palomind::testing;
    QApplication application(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: receiver_notice_screenshot OUTPUT.png\n";
        return 2;
    }
    const QString output = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1]));
    const TemporaryCurrentDirectory folder;
    DiskFileStore files;
    WriteBytes("Palomind.ini", SettingsFileBytes(1, 600, 10, 0));
    WriteBytes("idname.ind", RosterFileBytes());
    SetTickClock ticks;
    SilentSound sound;
    FakeSerialPort serial;
    serial.openable.clear();
    serial.devicePrefix = "/dev/ttyUSB";
    serial.unavailable = PortUnavailable::NoPermission;
    serial.deviceGroup = "dialout";
    MemorySettingsStore settings;
    PrintedUserDialogs dialogs(false);  // the failure message goes to standard error
    LiveJournal journal("journal", "palomind-screenshot", 1);
    journal.Start();
    Application app({ticks, sound, serial, settings, dialogs, files, journal});
    frmMain window(app);
    window.Form_Load();
    window.resize(1100, 600);
    window.show();
    QApplication::processEvents();
    const bool saved = window.statusBar()->grab().save(output);
    if (!saved) std::cerr << "cannot write " << output.toStdString() << '\n';
    return saved ? 0 : 1;
}
