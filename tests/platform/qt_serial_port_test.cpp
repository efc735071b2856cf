#include "platform/qt_serial_port.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QTest>
#include <ctime>
#include <mutex>
#include <numeric>
#include <vector>

#include "tests/platform/fake_settings_store.h"
#include "tests/platform/qt_message_guard.h"

namespace palomind {
namespace {

using testing::FakeSettingsStore;

constexpr int kWaitMs = 3000;

class RecordingListener final : public SerialListener {
  public:
    // On the port's reader thread: staged, and taken on this thread.
    void OnBytes(std::span<const std::uint8_t> bytes) override {
        const std::lock_guard lock(mutex_);
        staged_.insert(staged_.end(), bytes.begin(), bytes.end());
    }
    void OnBytesWaiting() override {
        const std::lock_guard lock(mutex_);
        received.insert(received.end(), staged_.begin(), staged_.end());
        staged_.clear();
    }
    void OnPortFailed(std::string_view) override { ++failures; }

    std::vector<std::uint8_t> received;
    int failures = 0;

  private:
    std::mutex mutex_;
    std::vector<std::uint8_t> staged_;
};

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const QByteArray& value) : name_(name) {
        qputenv(name, value);
    }
    ~ScopedEnvironment() { qunsetenv(name_); }

  private:
    const char* name_;
};

// A pseudo-terminal pair stands in for the receiver: what the test writes on
// the master end arrives on the slave device, which the port opens as COM1.
class QtSerialPortTest : public testing::QtGuardedTest {
  protected:
    void SetUp() override {
        QtGuardedTest::SetUp();
        char name[256] = {};
        ASSERT_EQ(openpty(&master_, &slave_, name, nullptr, nullptr), 0);
        device_ = std::make_unique<ScopedEnvironment>("PALOMIND_COM1", QByteArray(name));
        port_.SetListener(&listener_);
    }
    void TearDown() override {
        port_.Close();
        CloseMaster();
        if (slave_ >= 0) close(slave_);
        QtGuardedTest::TearDown();
    }

    void Send(const std::vector<std::uint8_t>& bytes) {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    bool WaitForBytes(std::size_t count) {
        return QTest::qWaitFor([&] { return listener_.received.size() >= count; }, kWaitMs);
    }
    void CloseMaster() {
        if (master_ >= 0) close(master_);
        master_ = -1;
    }

    int master_ = -1;
    int slave_ = -1;
    std::unique_ptr<ScopedEnvironment> device_;
    FakeSettingsStore settings_;
    QtSerialPort port_{settings_};
    RecordingListener listener_;
};

TEST_F(QtSerialPortTest, DeliversEveryByteValueUnchangedAndInOrder) {
    ASSERT_TRUE(port_.Open(1));
    // Every byte value, including the ones a terminal would translate or
    // swallow (CR, XON/XOFF, DEL, 0xFF), in blocks of different sizes.
    std::vector<std::uint8_t> all(256);
    std::iota(all.begin(), all.end(), 0);
    std::vector<std::uint8_t> expected;
    for (const std::vector<std::uint8_t>& block :
         {all, std::vector<std::uint8_t>(all.rbegin(), all.rend()),
          std::vector<std::uint8_t>{0xFE, 0xFE, 0xFE, 0x05, 0x10, 0x20, 0x35},
          std::vector<std::uint8_t>(3000, 0x11)}) {
        Send(block);
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
    Send({1, 2, 3});
    ASSERT_TRUE(WaitForBytes(3));
    QTest::qWait(50);
    EXPECT_EQ(listener_.received, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST_F(QtSerialPortTest, DeviceGoneClosesThePortAndReportsOnceWithoutSpinning) {
    ASSERT_TRUE(port_.Open(1));
    close(slave_);  // only the port holds the device now, as with a real adapter
    slave_ = -1;
    CloseMaster();
    ASSERT_TRUE(QTest::qWaitFor([&] { return listener_.failures > 0; }, kWaitMs));
    EXPECT_FALSE(port_.IsOpen());

    const std::clock_t cpuBefore = std::clock();
    QTest::qWait(300);
    const double cpuSeconds = static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    EXPECT_EQ(listener_.failures, 1);
    EXPECT_LT(cpuSeconds, 0.15) << "the event loop kept busy after the device went away";
}

TEST_F(QtSerialPortTest, MissingDeviceOrPortNumberFailsToOpenAtOnce) {
    ScopedEnvironment missing("PALOMIND_COM2", "/dev/palomind-no-such-device");
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(port_.Open(2));
    EXPECT_FALSE(port_.Open(0));
    EXPECT_FALSE(port_.Open(9));
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(port_.IsOpen());
    QTest::qWait(20);
    EXPECT_EQ(listener_.failures, 0);
}

TEST_F(QtSerialPortTest, PortInUseIsRefusedUntilClosed) {
    ASSERT_TRUE(port_.Open(1));
    QtSerialPort other(settings_);
    EXPECT_FALSE(other.Open(1));

    port_.Close();
    EXPECT_FALSE(port_.IsOpen());
    port_.Close();  // closing a closed port is harmless
    EXPECT_TRUE(other.Open(1));
}

// Port mapping: the environment, then the operator's stored setting, then the
// platform's own serial ports.
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
    Send({0xFE, 0xFE, 0xFE, 0x05, 0x10, 0x20, 0x35});
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

TEST(QtSerialPortMapping, DefaultsToThePlatformsSerialPorts) {
    FakeSettingsStore settings;
    QtSerialPort port(settings);
    EXPECT_EQ(port.DevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(port.DevicePath(8), "/dev/ttyS7");
    EXPECT_EQ(port.DevicePath(0), "");
    EXPECT_EQ(port.DevicePath(9), "");
}

TEST(QtSerialPortMapping, EnvironmentOverridesStoredSettingWhichOverridesDefault) {
    FakeSettingsStore settings;
    settings.SaveSetting("Ports", "COM3", "/dev/ttyUSB0");
    QtSerialPort port(settings);
    EXPECT_EQ(port.DevicePath(3), "/dev/ttyUSB0");
    EXPECT_EQ(port.DevicePath(4), "/dev/ttyS3");
    {
        ScopedEnvironment empty("PALOMIND_COM3", "");
        EXPECT_EQ(port.DevicePath(3), "/dev/ttyUSB0");
    }
    ScopedEnvironment override("PALOMIND_COM3", "/dev/ttyACM1");
    EXPECT_EQ(port.DevicePath(3), "/dev/ttyACM1");
}

}  // namespace
}  // namespace palomind
