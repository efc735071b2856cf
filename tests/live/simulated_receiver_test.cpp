#include "shell/simulated_receiver.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTest>
#include <cerrno>

#include "shell/simulation_notice.h"
#include "tests/support/platform_fakes.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_folders.h"

namespace palomind::testing {
namespace {

// The real simulator behind a wrapper that notes each start and the
// simulator's process id in the current directory.
SimulatorCommand CountedSimulator() {
    return {
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"),
         QStringLiteral("echo started >> starts.txt; echo $$ > pid.txt; exec \"$0\" \"$@\""),
         QStringLiteral(PALOMIND_SIMULATOR), QStringLiteral("--lap"), QStringLiteral("0.05:0.01")}};
}

// The real simulator behind a wrapper that waits for the file "go" before it
// starts: a port that waited for the simulator would never come back.
SimulatorCommand HeldSimulator() {
    SimulatorCommand command = CountedSimulator();
    command.arguments[1].prepend(QStringLiteral("while [ ! -e go ]; do sleep 0.02; done; "));
    return command;
}

int StartsSoFar() {
    QFile file(QStringLiteral("starts.txt"));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    return static_cast<int>(file.readAll().count('\n'));
}

pid_t SimulatorPid() {
    QFile file(QStringLiteral("pid.txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt() : 0;
}

class SimulatedReceiverPortTest : public ::testing::Test {
  protected:
    TemporaryCurrentDirectory directory;
    MemorySettingsStore settings;
};

TEST_F(SimulatedReceiverPortTest, WithSimulationOffNoPortEverStartsTheSimulator) {
    SimulatedReceiverPort port(settings, CountedSimulator());
    EXPECT_FALSE(port.SimulationOn());
    for (int n = 1; n <= 8; ++n) {
        port.Open(n);  // /dev/ttyS(n-1) may or may not open here
        EXPECT_FALSE(port.Simulating());
        EXPECT_EQ(port.DevicePath(n), "/dev/ttyS" + std::to_string(n - 1));
        port.Close();
    }
    QTest::qWait(200);  // a simulator started by mistake would have noted itself by now
    EXPECT_EQ(StartsSoFar(), 0);
}

TEST_F(SimulatedReceiverPortTest, WithSimulationOffAssignedPortsOpenTheirDevice) {
    PseudoTerminal bySetting;
    PseudoTerminal byEnvironment;
    ASSERT_FALSE(bySetting.Path().empty());
    settings.SaveSetting("Ports", "COM2", bySetting.Path());
    const ScopedEnvironmentVariable com3("PALOMIND_COM3", byEnvironment.Path());
    SimulatedReceiverPort port(settings, CountedSimulator());
    ASSERT_TRUE(port.Open(2));
    EXPECT_EQ(port.DevicePath(2), bySetting.Path());
    ASSERT_TRUE(port.Open(3));
    EXPECT_EQ(port.DevicePath(3), byEnvironment.Path());
    EXPECT_FALSE(port.Simulating());
    EXPECT_EQ(StartsSoFar(), 0);
}

TEST_F(SimulatedReceiverPortTest, SimulatedPortIsOpenAtOnceAndReadsTheLineOnceItIsThere) {
    SimulatedReceiverPort port(settings, HeldSimulator(), /*simulateThisRun=*/true);
    RecordingSerialListener listener;
    port.SetListener(&listener);
    ASSERT_TRUE(port.Open(1));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_TRUE(port.Simulating());
    QFile(QStringLiteral("go")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listener.received.size() >= 14; }, 5000));
    EXPECT_EQ(port.DevicePath(1).rfind("/dev/pts/", 0), 0u) << port.DevicePath(1);
    EXPECT_EQ(std::vector<std::uint8_t>(listener.received.begin(), listener.received.begin() + 3),
              std::vector<std::uint8_t>(3, 0xFE));
    EXPECT_TRUE(listener.failures.empty());
    port.SetListener(nullptr);
}

TEST_F(SimulatedReceiverPortTest, EveryPortSharesOneSimulatorEvenAnAssignedOne) {
    PseudoTerminal receiver;
    settings.SaveSetting("Ports", "COM4", receiver.Path());
    SimulatedReceiverPort port(settings, CountedSimulator(), true);
    ASSERT_TRUE(port.Open(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.DevicePath(1).rfind("/dev/pts/", 0) == 0; }));
    const std::string line = port.DevicePath(1);
    port.Close();
    ASSERT_TRUE(port.Open(4));
    EXPECT_TRUE(port.Simulating());
    EXPECT_EQ(port.DevicePath(4), line);
    EXPECT_EQ(StartsSoFar(), 1);
}

TEST_F(SimulatedReceiverPortTest, SwitchIsRememberedButOneRunsSimulationIsNot) {
    { SimulatedReceiverPort thisRunOnly(settings, CountedSimulator(), true); }
    EXPECT_FALSE(SimulatedReceiverPort(settings, CountedSimulator()).SimulationOn());
    {
        SimulatedReceiverPort port(settings, CountedSimulator());
        port.SetSimulationOn(true);
    }
    SimulatedReceiverPort next(settings, CountedSimulator());
    EXPECT_TRUE(next.SimulationOn());
    next.SetSimulationOn(false);
    EXPECT_EQ(settings.GetSetting("Ports", "Simulation"), "0");
}

TEST_F(SimulatedReceiverPortTest, ObserverFollowsWhetherTheOpenPortIsSimulated) {
    PseudoTerminal receiver;
    settings.SaveSetting("Ports", "COM2", receiver.Path());
    SimulatedReceiverPort port(settings, CountedSimulator());
    std::vector<bool> told;
    port.SetSimulationObserver([&told](bool simulating) { told.push_back(simulating); });
    ASSERT_TRUE(port.Open(2));
    port.SetSimulationOn(true);
    ASSERT_TRUE(port.Open(2));
    port.SetSimulationOn(false);
    ASSERT_TRUE(port.Open(2));
    EXPECT_EQ(told, (std::vector<bool>{false, true, false}));
}

TEST_F(SimulatedReceiverPortTest, MissingSimulatorFailsTheOpen) {
    SimulatedReceiverPort port(settings, {QStringLiteral("/nonexistent/receiver_simulator"), {}},
                               true);
    EXPECT_FALSE(port.Open(1));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Simulating());
}

TEST_F(SimulatedReceiverPortTest, SimulatorThatEndsBeforeItsLineFailsTheWaitingPort) {
    SimulatedReceiverPort port(settings, {QStringLiteral("/bin/false"), {}}, true);
    RecordingSerialListener listener;
    port.SetListener(&listener);
    ASSERT_TRUE(port.Open(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !listener.failures.empty(); }, 5000));
    EXPECT_FALSE(port.IsOpen());
    port.SetListener(nullptr);
}

TEST_F(SimulatedReceiverPortTest, SimulatorEndsWithThePort) {
    pid_t pid = 0;
    {
        SimulatedReceiverPort port(settings, CountedSimulator(), true);
        ASSERT_TRUE(port.Open(1));
        ASSERT_TRUE(QTest::qWaitFor([] { return SimulatorPid() > 0; }));
        pid = SimulatorPid();
        ASSERT_GT(pid, 0);
        EXPECT_EQ(kill(pid, 0), 0);
    }
    EXPECT_EQ(kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

TEST_F(SimulatedReceiverPortTest, SimulatorThatDiedIsReplacedWhenThePortOpensAgain) {
    SimulatedReceiverPort port(settings, CountedSimulator(), true);
    ASSERT_TRUE(port.Open(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.DevicePath(1).rfind("/dev/pts/", 0) == 0; }));
    const pid_t first = SimulatorPid();
    ASSERT_GT(first, 0);
    ASSERT_EQ(kill(first, SIGKILL), 0);
    // The port goes on failing until it is opened again (by the operator or
    // by the reconnection attempts); then a new simulator serves it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return kill(first, 0) != 0; }, 5000));
    QTest::qWait(100);
    ASSERT_TRUE(port.Open(1));
    EXPECT_TRUE(port.Simulating());
    ASSERT_TRUE(QTest::qWaitFor([] { return StartsSoFar() == 2; }));
    EXPECT_NE(SimulatorPid(), first);
}

TEST_F(SimulatedReceiverPortTest, NoticeMarksTheTitleAndStatusBarWhileSimulated) {
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Palomind"));
    SimulatedReceiverPort port(settings, CountedSimulator(), true);
    SimulationNotice notice(window, port);
    QLabel* panel = nullptr;
    for (QLabel* label : window.statusBar()->findChildren<QLabel*>())
        if (label->text() == SimulationNotice::PanelText()) panel = label;
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isHidden());

    ASSERT_TRUE(port.Open(1));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Palomind - 受信機シミュレーション中"));
    EXPECT_FALSE(panel->isHidden());
    // The window rewrites its title to show a warning: the mark stays, once.
    window.setWindowTitle(QStringLiteral("Palomind - 警告: x"));
    EXPECT_EQ(window.windowTitle(),
              QStringLiteral("Palomind - 警告: x - 受信機シミュレーション中"));

    port.Close();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Palomind - 警告: x"));
    EXPECT_TRUE(panel->isHidden());
}

}  // namespace
}  // namespace palomind::testing
