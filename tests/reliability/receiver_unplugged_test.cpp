// The receiver pulled out and plugged back in, with the real serial adapter:
// a pseudo-terminal stands in for the receiver, reached through a symbolic
// link (as /dev/serial/by-id/... reaches a USB adapter) that disappears with
// the device and comes back pointing at a new one.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "app/receiver_reconnect.h"
#include "platform/monotonic_tick_clock.h"
#include "platform/qt_serial_port.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/support/quiet_event_loop.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kWaitMs = 4000;

// A receiver on a pseudo-terminal, at the end of a link.
class PluggableReceiver {
  public:
    explicit PluggableReceiver(fs::path link) : link_(std::move(link)) {}
    ~PluggableReceiver() { Unplug(); }

    void PlugIn() {
        device_.emplace();
        device_->ReleaseDevice();  // only the program holds it, as with a real adapter
        fs::create_symlink(device_->Path(), link_);
    }
    void Unplug() {
        std::error_code ignored;
        fs::remove(link_, ignored);
        device_.reset();
    }
    void Send(const std::vector<std::uint8_t>& bytes) const { device_->Send(bytes); }

  private:
    fs::path link_;
    std::optional<PseudoTerminal> device_;
};

// The program's side: the adapter reporting to a listener that starts the
// reconnection when the port fails, and the 10 ms timer polling it.
class ReceiverUnpluggedTest : public ::testing::Test {
  protected:
    ReceiverUnpluggedTest() {
        settings_.SaveSetting("Ports", "COM1", folder_.File("receiver"));
        listener_.onFailed = [this] { reconnect_.PortFailed(1); };
        port_.SetListener(&listener_);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            ++polls_;
            if (reconnect_.Poll() == ReceiverReconnect::Result::Reconnected) ++reconnections_;
        });
        timer_.start(10);
    }
    ~ReceiverUnpluggedTest() override { port_.SetListener(nullptr); }

    bool WaitForBytes(std::size_t count) {
        return QTest::qWaitFor([&] { return listener_.received.size() >= count; }, kWaitMs);
    }
    int Failures() const { return static_cast<int>(listener_.failures.size()); }

    ScratchFolder folder_;
    PluggableReceiver receiver_{folder_.Path() / "receiver"};
    MemorySettingsStore settings_;
    RecordingSerialListener listener_;  // outlives the port and its reader thread
    QtSerialPort port_{settings_};
    MonotonicTickClock ticks_;
    ReceiverReconnect reconnect_{port_, ticks_};
    QTimer timer_;
    int reconnections_ = 0;
    int polls_ = 0;
};

TEST_F(ReceiverUnpluggedTest, ReceiverPluggedBackIsReopenedWithinAboutASecondAndDeliversAgain) {
    receiver_.PlugIn();
    ASSERT_TRUE(port_.Open(1));
    receiver_.Send(Frame(5));
    ASSERT_TRUE(WaitForBytes(7));

    receiver_.Unplug();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Failures() > 0; }, kWaitMs));
    EXPECT_FALSE(port_.IsOpen());

    // Away for three seconds: a few quiet attempts, no second report, no
    // busy loop.
    ExpectQuietEventLoop(3000, "while the receiver was away");
    EXPECT_EQ(Failures(), 1);
    EXPECT_EQ(reconnections_, 0);
    EXPECT_TRUE(reconnect_.Waiting());

    receiver_.PlugIn();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reconnections_ == 1; }, 2500));
    EXPECT_TRUE(port_.IsOpen());
    receiver_.Send(Frame(6));
    ASSERT_TRUE(WaitForBytes(14));
    EXPECT_EQ(listener_.received[10], 0x06);
    EXPECT_EQ(Failures(), 1);
}

TEST_F(ReceiverUnpluggedTest, UnpluggedAgainAfterComingBackIsToldAndMendedAgain) {
    receiver_.PlugIn();
    ASSERT_TRUE(port_.Open(1));
    for (int round = 1; round <= 2; ++round) {
        receiver_.Unplug();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Failures() == round; }, kWaitMs));
        receiver_.PlugIn();
        ASSERT_TRUE(QTest::qWaitFor([&] { return reconnections_ == round; }, 2500));
    }
    receiver_.Send({1, 2, 3});
    ASSERT_TRUE(WaitForBytes(3));
}

// The whole application on the real adapter, its COM1 at the receiver's
// link, started from settings that name COM1.
class WholeProgramOnAPluggableReceiver : public ::testing::Test {
  protected:
    WholeProgramOnAPluggableReceiver() {
        WriteBytes("Palomind.ini", SettingsFileBytes(1, 60, 1, 0));
        WriteBytes("idname.ind", RosterFileBytes());
        settings.SaveSetting("Ports", "COM1", folder.File("receiver"));
    }
    ~WholeProgramOnAPluggableReceiver() override {
        if (window) window->close();
        window.reset();
        app.reset();
    }
    void Start() {
        ASSERT_TRUE(journal.Start());
        app = std::make_unique<Application>(
            ApplicationServices{ticks, sound, serial, settings, dialogs, files, journal});
        window = std::make_unique<frmMain>(*app);
        window->Form_Load();
        window->show();
    }

    const TemporaryCurrentDirectory folder;
    PluggableReceiver receiver{folder.Path() / "receiver"};
    DiskFileStore files;
    ScriptedUserDialogs dialogs;
    MemorySettingsStore settings;
    QtSerialPort serial{settings};
    MonotonicTickClock ticks;
    RecordingSoundPlayer sound{ticks};
    LiveJournal journal{"journal", "palomind-unplugged", 5};
    std::unique_ptr<Application> app;
    std::unique_ptr<frmMain> window;
};

// The race goes on while the receiver is away, the window says so once, and
// the receiver comes back by itself.
TEST_F(WholeProgramOnAPluggableReceiver,
       RaceGoesOnTheWindowSaysSoOnceAndPassesCountAgainWhenItIsBack) {
    receiver.PlugIn();
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(serial.IsOpen());
    auto* status = window->findChild<QLabel*>(QStringLiteral("sbStatusBarText"));
    window->tbToolBar_ButtonClick(ToolbarButton(*window, "レース開始"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->Window().StatusCaption == "計測中"; }, kWaitMs));
    const auto& laps = app->State().LapCount;
    receiver.Send(Frame(5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return laps[5] == 0; }, kWaitMs));

    receiver.Unplug();
    const QString lost = QStringLiteral("警告: ") + QString::fromStdString(ReceiverLostText(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == lost; }, kWaitMs));
    ExpectQuietEventLoop(2500, "while the receiver was away");
    EXPECT_EQ(status->text(), lost);
    EXPECT_EQ(app->Window().StatusCaption, "計測中");
    EXPECT_EQ(app->Window().ElapsedCaption.substr(0, 7), "00h00m0") << "the race clock runs on";

    receiver.PlugIn();
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == QStringLiteral("ｽﾃｰﾀｽ"); }, 2500));
    EXPECT_TRUE(window->findChild<QAction*>(QStringLiteral("mnuSCI_COM1"))->isChecked());
    receiver.Send(Frame(5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return laps[5] == 1; }, kWaitMs));
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();
}

// The status bar's lasting notice: shown with the device and why while the
// receiver is not there, gone once it is back.
TEST_F(WholeProgramOnAPluggableReceiver, NoticeShowsTheDeviceAndWhyWhileAwayAndGoesWhenItIsBack) {
    ASSERT_NO_FATAL_FAILURE(Start());  // the receiver is not plugged in yet
    const auto* notice = window->findChild<QLabel*>(QStringLiteral("sbReceiverNotice"));
    const std::string why = folder.File("receiver") + ": デバイスがありません";
    const QString away = QStringLiteral("受信機なし: COM1 ") + QString::fromStdString(why);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text(), away);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].substr(dialogs.messages[0].rfind('\n') + 1), why);

    receiver.PlugIn();
    window->SelectPort(1);
    EXPECT_FALSE(notice->isVisible());

    receiver.Unplug();
    ASSERT_TRUE(QTest::qWaitFor([&] { return notice->isVisible(); }, kWaitMs));
    EXPECT_EQ(notice->text(), away);

    receiver.PlugIn();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notice->isVisible(); }, 2500));
    EXPECT_TRUE(serial.IsOpen());
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

}  // namespace
}  // namespace palomind::testing
