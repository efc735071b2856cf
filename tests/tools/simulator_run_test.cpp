#include "tools/receiver_simulator/simulator_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "tools/receiver_simulator/monotonic_time.h"
#include "tools/receiver_simulator/send_log.h"

namespace palomind::simulator {
namespace {

// The simulator's pseudo-terminal with the application's end opened on it.
class PseudoTerminalRun : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        output_ = SerialOutput::OpenPseudoTerminal(error);
        ASSERT_TRUE(output_) << error;
        reader_ = open(output_->Path().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(reader_, 0);
        log_ = std::tmpfile();
        ASSERT_NE(log_, nullptr);
    }
    void TearDown() override {
        if (reader_ >= 0) close(reader_);
        if (log_ != nullptr) std::fclose(log_);
    }
    Bytes ReadAll() {
        Bytes all;
        std::uint8_t buffer[4096];
        ssize_t n = 0;
        while ((n = read(reader_, buffer, sizeof buffer)) > 0)
            all.insert(all.end(), buffer, buffer + n);
        return all;
    }
    std::vector<SendLogEntry> Log() {
        std::string text;
        std::rewind(log_);
        for (int c = 0; (c = std::fgetc(log_)) != EOF;) text += static_cast<char>(c);
        std::vector<SendLogEntry> entries;
        std::string error;
        EXPECT_TRUE(ParseSendLog(text, entries, error)) << error;
        return entries;
    }

    std::unique_ptr<SerialOutput> output_;
    int reader_ = -1;
    std::FILE* log_ = nullptr;
    StdinWatch input_;
};

TEST_F(PseudoTerminalRun, FramesArriveUnchangedAndNeverFasterThanTheLine) {
    SeededRandom random(21);
    SaturatingSource source({1, 2, 3}, random);
    const std::int64_t begin = MonotonicNanos();
    SerialLine line(begin);
    RunLimits limits;
    limits.passLimit = 30;
    const RunCounts counts = RunTransmissions(source, line, *output_, log_, input_, limits);
    EXPECT_EQ(counts.Sent(TransmissionKind::Pass), 30);

    const std::vector<SendLogEntry> log = Log();
    ASSERT_EQ(log.size(), 30u);
    Bytes logged;
    for (const SendLogEntry& e : log) logged.insert(logged.end(), e.bytes.begin(), e.bytes.end());
    // Raw line: even 0x0D, 0x11 or 0x7F bytes pass untouched.
    EXPECT_EQ(ReadAll(), logged);
    // Each frame is written no sooner than its last byte would have arrived.
    for (std::size_t n = 0; n < log.size(); ++n)
        EXPECT_GE(log[n].nanos, begin + LineNanos(7 * static_cast<std::int64_t>(n + 1))) << n;
}

TEST_F(PseudoTerminalRun, BlocksNobodyReadsAreLoggedLostAndTheRunGoesOn) {
    SeededRandom random(22);
    SaturatingSource source({9}, random);
    // A line that has been idle since the clock began: every frame is already
    // due, so they go out as fast as the pseudo-terminal takes them, and far
    // more than its buffer holds.
    SerialLine line(0);
    RunLimits limits;
    limits.endNanos = LineNanos(7 * 40'000);
    const RunCounts counts = RunTransmissions(source, line, *output_, log_, input_, limits);
    EXPECT_EQ(counts.Sent(TransmissionKind::Pass) + counts.Lost(TransmissionKind::Pass), 40'000);
    EXPECT_GT(counts.Lost(TransmissionKind::Pass), 0);

    Bytes wentOut;
    for (const SendLogEntry& e : Log()) {
        // A cut block is logged with the bytes that went out.
        if (e.outcome != SendOutcome::Lost)
            wentOut.insert(wentOut.end(), e.bytes.begin(), e.bytes.end());
    }
    EXPECT_EQ(static_cast<std::int64_t>(wentOut.size()), counts.bytesSent);
    // The log tells exactly which bytes arrived, in order.
    EXPECT_EQ(ReadAll(), wentOut);
}

}  // namespace
}  // namespace palomind::simulator
