#include "platform/qt_pcm_output.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <atomic>
#include <thread>

#include "tests/support/qt_warnings.h"

namespace palomind {
namespace {

SpeechSamples Silence(int ms) {
    return {8000, std::vector<std::int16_t>(static_cast<std::size_t>(ms) * 8, 0)};
}

class QtPcmOutputTest : public ::testing::Test {
  protected:
    std::atomic<int> noOutputNotices_{0};
    QtPcmOutput output_{[this] { ++noOutputNotices_; }};
};

// Speech keeps its pace without a device: each utterance takes as long as
// it would sound, and the operator is told once.
TEST_F(QtPcmOutputTest, WithoutAnAudioDeviceSpeechIsConsumedInRealTime) {
    if (!QMediaDevices::audioOutputs().isEmpty()) GTEST_SKIP() << "this machine has sound";
    QElapsedTimer timer;
    timer.start();
    output_.Play(Silence(300));
    output_.Play(Silence(200));
    EXPECT_GE(timer.elapsed(), 490);
    EXPECT_EQ(noOutputNotices_, 1);
}

TEST_F(QtPcmOutputTest, InterruptEndsAnUtteranceInProgressAndEveryLaterOne) {
    std::thread voice([this] { output_.Play(Silence(60'000)); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    QElapsedTimer timer;
    timer.start();
    output_.Interrupt();
    voice.join();
    output_.Play(Silence(60'000));
    EXPECT_LT(timer.elapsed(), 30'000);
}

}  // namespace
}  // namespace palomind
