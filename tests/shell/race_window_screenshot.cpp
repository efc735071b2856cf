// Draws the real main window in the middle of a race and saves it as a PNG:
//   race_window_screenshot [--default-size|--stand-display] OUTPUT.png
// large enough for the whole race window, or at the size a first start
// gives it; or the drivers' stand display ("大型表示") at 1920 x 1080 with ten
// entrants on the track.
// The application runs as it does live (settings and roster files, start-up,
// the toolbar's start button, receiver frames through the serial port, the
// race clock's timer) over a stand-in serial port and a tick counter moved
// by the program, so the picture is the same on every run.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QThread>
#include <iostream>

#include "documents/cp932.h"
#include "documents/roster_file.h"
#include "shell/mdi_arrange.h"
#include "shell/stand_display.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

void WriteStartupFiles(FileStore& files) {
    const std::string ini = "1\r\n600\r\n10\r\n0\r\n\"" +
                            Utf8ToCp932("第3戦 スプリント 10分 天候:晴れ 路面:ドライ") + "\"\r\n";
    files.WriteAtomically("Palomind.ini", ini);
    RosterTable names;
    names.fill("未登録");
    const char* field[] = {"佐藤 一郎", "鈴木 健太", "高橋 翔", "田中 美咲", "伊藤 大輔",
                           "渡辺 蓮",   "山本 陸",   "中村 悠", "小林 凛",   "加藤 颯"};
    const int ids[] = {3, 5, 7, 9, 12, 15, 18, 21, 24, 27};
    for (int i = 0; i < 10; ++i) names[static_cast<std::size_t>(ids[i])] = field[i];
    StreamMessageSink messages(std::cerr);
    Save_IdName(names, files, messages);
}

enum class Picture { RaceWindow, DefaultSize, StandDisplay };

int Run(const QString& output, Picture picture) {
    const bool defaultSize = picture == Picture::DefaultSize;
    const TemporaryCurrentDirectory folder;
    DiskFileStore files;
    WriteStartupFiles(files);
    SetTickClock ticks;
    ticks.Set(5'000'000);
    SilentSound sound;
    FakeSerialPort serial;
    MemorySettingsStore settings;
    if (!defaultSize) {
        // Large enough for the whole race window.
        settings.SaveSetting("Settings", "MainWidth", "16200");
        settings.SaveSetting("Settings", "MainHeight", "11100");
    }
    // Nothing should be asked of the operator; if something is, it is
    // printed instead of blocking the picture.
    PrintedUserDialogs dialogs(false);
    LiveJournal journal("journal", "palomind-screenshot", 1);
    journal.Start();
    Application app({ticks, sound, serial, settings, dialogs, files, journal});
    frmMain window(app);
    window.Form_Load();
    window.show();

    ToolbarButton(window, "レース開始")->trigger();
    // Eight transponders (ten on the stand display) lapping in 27 to 34
    // seconds, for three and a half minutes after the start of timing.
    const std::uint8_t ids[] = {3, 5, 7, 9, 12, 15, 18, 21, 24, 27};
    const int lapMs[] = {28'100, 27'450, 30'800, 29'020, 33'600,
                         31'250, 28'900, 34'150, 32'400, 29'700};
    const int transponders = picture == Picture::StandDisplay ? 10 : 8;
    std::int32_t nextPass[10];
    const std::int32_t start = ticks.TimeGetTime() + 10'000;
    for (int i = 0; i < transponders; ++i) nextPass[i] = start + 1'500 + 400 * i;
    const std::int32_t end = start + 210'000;
    for (std::int32_t tick = ticks.TimeGetTime() + 10; tick <= end; tick += 10) {
        ticks.Set(tick);
        window.Timer1_Timer();
        for (int i = 0; i < transponders; ++i) {
            if (tick < nextPass[i]) continue;
            serial.Receive(Frame(ids[i]));
            nextPass[i] += lapMs[i] + ((tick / 7) % 900) - 450;
        }
    }
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
    ShowTopLeftCorner(*window.MdiArea());  // as the program does at start
    QApplication::processEvents();
    QWidget* shown = &window;
    if (picture == Picture::StandDisplay) {
        window.mnuViewStandDisplay_Click();
        shown = window.Stand();
        shown->resize(1920, 1080);
        QApplication::processEvents();
    }
    const bool saved = shown->grab().save(output);
    if (shown != &window) shown->hide();
    window.hide();
    if (!saved) std::cerr << "cannot write " << output.toStdString() << '\n';
    return saved ? 0 : 1;
}

}  // namespace
}  // namespace palomind::testing

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);
    using palomind::testing::Picture;
    const QString option = arguments.size() == 2 ? arguments[0] : QString();
    const Picture picture = option == "--default-size"    ? Picture::DefaultSize
                            : option == "--stand-display" ? Picture::StandDisplay
                                                          : Picture::RaceWindow;
    if (arguments.size() != 1 && picture == Picture::RaceWindow) {
        std::cerr << "usage: race_window_screenshot [--default-size|--stand-display] OUTPUT.png\n";
        return 2;
    }
    return palomind::testing::Run(QDir::current().absoluteFilePath(arguments.last()), picture);
}
