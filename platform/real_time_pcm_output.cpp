#include "platform/real_time_pcm_output.h"

#include <chrono>

namespace palomind {

void RealTimePcmOutput::Play(const SpeechSamples& speech) {
    if (speech.sampleRate <= 0) return;
    const auto duration = std::chrono::microseconds(
        static_cast<std::int64_t>(speech.samples.size()) * 1'000'000 / speech.sampleRate);
    std::unique_lock lock(mutex_);
    interrupted_.wait_for(lock, duration, [this] { return interrupt_; });
}

void RealTimePcmOutput::Interrupt() {
    {
        const std::lock_guard lock(mutex_);
        interrupt_ = true;
    }
    interrupted_.notify_all();
}

}  // namespace palomind
