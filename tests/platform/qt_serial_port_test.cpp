#include "platform/qt_serial_port.h"

#include <gtest/gtest.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <QElapsedTimer>
#include <QTest>
#include <numeric>
#include <vector>

#include "tests/support/platform_fakes.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/support/quiet_event_loop.h"
#include "tests/support/receiver_frame.h"
#include "tests/support/scoped_environment.h"

namespace palomind::testing {
namespace {

constexpr int kWaitMs = 3000;

// A pseudo-terminal stands in for the receiver; the port opens its device as
// COM1.
class QtSerialPortTest : public ::testing::Test {
  protected:
    void SetUp() override { port_.SetListener(&listener_); }
    void TearDown() override { port_.Close(); }

    bool WaitForBytes(std::size_t count) {
        return QTest::qWaitFor([&] { return listener_.received.size() >= count; }, kWaitMs);
    }

    PseudoTerminal receiver_;
    ScopedEnvironmentVariable device_{"PALOMIND_COM1", receiver_.Path()};
    MemorySettingsStore settings_;
    QtSerialPort port_{settings_};
    RecordingSerialListener listener_;
};

TEST_F(QtSerialPortTest, DeliversEveryByteValueUnchangedAndInOrder) {
    ASSERT_TRUE(port_.Open(1));
    // Every byte value, including the ones a terminal would translate or
    // swallow (CR, XON/XOFF, DEL, 0xFF), in blocks of different sizes.
    std::vector<std::uint8_t> all(256);
    std::iota(all.begin(), all.end(), 0);
    std::vector<std::uint8_t> expected;
    for (const std::vector<std::uint8_t>& block :
         {all, std::vector<std::uint8_t>(all.rbegin(), all.rend()), Frame(5),
          std::vector<std::uint8_t>(3000, 0x11)}) {
        receiver_.Send(block);
        expected.insert(expected.end(), block.begin(), block.end());
    }
    ASSERT_TRUE(WaitForBytes(expected.size()));
    QTest::qWait(50);  // nothing extra may follow
    EXPECT_EQ(listener_.received, expected);
}

TEST_F(QtSerialPortTest, OpeningAgainReopensWithoutDuplicatingDelivery) {
    ASSERT_TRUE(port_.Open(1));
    ASSERT_TRUE(port_.Open(1));
    EXPECT_TRUE(port_.IsOpen());
    receiver_.Send({1, 2, 3});
    ASSERT_TRUE(WaitForBytes(3));
    QTest::qWait(50);
    EXPECT_EQ(listener_.received, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST_F(QtSerialPortTest, DeviceGoneClosesThePortAndReportsOnceWithoutSpinning) {
    ASSERT_TRUE(port_.Open(1));
    receiver_.ReleaseDevice();  // only the port holds it now, as with a real adapter
    receiver_.Hangup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !listener_.failures.empty(); }, kWaitMs));
    EXPECT_FALSE(port_.IsOpen());

    ExpectQuietEventLoop(1000, "after the device went away");
    EXPECT_EQ(listener_.failures.size(), 1u);
}

TEST_F(QtSerialPortTest, MissingDeviceOrPortNumberFailsToOpenAtOnce) {
    const ScopedEnvironmentVariable missing("PALOMIND_COM2", "/dev/palomind-no-such-device");
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(port_.Open(2));
    EXPECT_EQ(port_.Diagnose(2).reason, PortUnavailable::NotPresent);
    EXPECT_FALSE(port_.Open(0));
    EXPECT_FALSE(port_.Open(9));
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(port_.IsOpen());
    QTest::qWait(20);
    EXPECT_TRUE(listener_.failures.empty());
}

TEST_F(QtSerialPortTest, PortInUseIsRefusedUntilClosed) {
    ASSERT_TRUE(port_.Open(1));
    QtSerialPort other(settings_);
    EXPECT_FALSE(other.Open(1));
    EXPECT_EQ(
        other.Diagnose(1),
        (PortDiagnosis{.device = receiver_.Path(), .reason = PortUnavailable::InUse, .group = ""}));

    port_.Close();
    EXPECT_FALSE(port_.IsOpen());
    port_.Close();  // closing a closed port is harmless
    EXPECT_TRUE(other.Open(1));
}

// Port mapping: the environment, then the operator's stored setting, then the
// platform's own serial ports.
TEST(QtSerialPortMapping, DefaultsToThePlatformsSerialPorts) {
    MemorySettingsStore settings;
    QtSerialPort port(settings);
    EXPECT_EQ(port.DevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(port.DevicePath(8), "/dev/ttyS7");
    EXPECT_EQ(port.DevicePath(0), "");
    EXPECT_EQ(port.DevicePath(9), "");
}

TEST(QtSerialPortMapping, EnvironmentOverridesStoredSettingWhichOverridesDefault) {
    MemorySettingsStore settings;
    settings.SaveSetting("Ports", "COM3", "/dev/ttyUSB0");
    QtSerialPort port(settings);
    EXPECT_EQ(port.DevicePath(3), "/dev/ttyUSB0");
    EXPECT_EQ(port.DevicePath(4), "/dev/ttyS3");
    {
        const ScopedEnvironmentVariable empty("PALOMIND_COM3", "");
        EXPECT_EQ(port.DevicePath(3), "/dev/ttyUSB0");
    }
    const ScopedEnvironmentVariable override("PALOMIND_COM3", "/dev/ttyACM1");
    EXPECT_EQ(port.DevicePath(3), "/dev/ttyACM1");
}

// Every device opened is asked for low-latency mode; a pseudo-terminal
// refuses, and the port is used all the same.
TEST_F(QtSerialPortTest, AsksEveryDeviceForLowLatencyAndGoesOnWhenRefused) {
    std::vector<unsigned long> requests;
    int askedFd = -1;
    QtSerialPort port(settings_, [&](int fd, unsigned long request, void* serial) {
        requests.push_back(request);
        askedFd = fd;
        return SystemSerialIoctl(fd, request, serial);
    });
    port.SetListener(&listener_);
    ASSERT_TRUE(port.Open(1));
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front(), static_cast<unsigned long>(TIOCGSERIAL));
    EXPECT_GE(askedFd, 0);
    receiver_.Send(Frame(5));
    EXPECT_TRUE(WaitForBytes(7));
    port.Close();
}

TEST(LowLatency, SetsTheFlagKeepingTheOthersAndTellsARefusal) {
    std::vector<std::pair<unsigned long, int>> calls;  // request, flags passed
    int setResult = 0;
    auto fake = [&](int, unsigned long request, void* serial) {
        auto* s = static_cast<serial_struct*>(serial);
        if (request == TIOCGSERIAL) s->flags = ASYNC_SKIP_TEST;
        calls.emplace_back(request, s->flags);
        return request == TIOCSSERIAL ? setResult : 0;
    };
    EXPECT_TRUE(RequestLowLatency(3, fake));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1], std::make_pair(static_cast<unsigned long>(TIOCSSERIAL),
                                       static_cast<int>(ASYNC_SKIP_TEST | ASYNC_LOW_LATENCY)));
    setResult = -1;
    EXPECT_FALSE(RequestLowLatency(3, fake));
    EXPECT_FALSE(RequestLowLatency(3, [](int, unsigned long, void*) { return -1; }));
}

}  // namespace
}  // namespace palomind::testing
