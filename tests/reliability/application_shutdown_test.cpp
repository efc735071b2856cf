// The application ended while the receiver's thread delivers bytes: with the
// real serial adapter over a pseudo-terminal, fed at the line's full rate.
// Under the address sanitizer any call the reader thread makes into the ended
// application is a reported fault.
#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "app/application.h"
#include "platform/monotonic_tick_clock.h"
#include "platform/qt_serial_port.h"
#include "tests/support/platform_fakes.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/support/receiver_frame.h"
#include "tests/support/unwritten_journal.h"

namespace palomind::testing {
namespace {

// One 7-byte frame at 19200 baud, 10 bits a byte.
constexpr auto kFrameTime = std::chrono::microseconds(7 * 10 * 1'000'000 / 19'200);
constexpr int kRounds = 200;

TEST(ApplicationShutdown, EndsCleanlyWhileTheReaderThreadDeliversAtTheLineRate) {
    PseudoTerminal receiver;
    MemorySettingsStore settings;
    settings.SaveSetting("Ports", "COM1", receiver.Path());
    QtSerialPort serial(settings);
    MonotonicTickClock ticks;
    SilentSound sound;
    ScriptedUserDialogs dialogs;  // none is expected
    MemoryFileStore files;
    UnwrittenJournal journal;

    std::atomic<bool> sending = true;
    std::thread line([&] {
        for (std::uint8_t id = 1; sending.load(); id = static_cast<std::uint8_t>(id % 64 + 1)) {
            receiver.Send(Frame(id));
            std::this_thread::sleep_for(kFrameTime);
        }
    });
    for (int round = 0; round < kRounds; ++round) {
        auto app = std::make_unique<Application>(
            ApplicationServices{ticks, sound, serial, settings, dialogs, files, journal});
        ASSERT_TRUE(app->Port().Select(1));
        app->Boot();
        // A frame or two arrives; the application ends at a different moment
        // of the reader's work each round.
        QTest::qWait(4);
        std::this_thread::sleep_for(std::chrono::microseconds(round * 97 % 4000));
        app.reset();
        EXPECT_FALSE(serial.IsOpen()) << "round " << round;
        QCoreApplication::processEvents();  // what the reader queued meanwhile
    }
    sending = false;
    line.join();
    EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace palomind::testing
