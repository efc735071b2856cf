#pragma once
#include <condition_variable>
#include <mutex>

#include "platform/pcm_output.h"

namespace palomind {

// Stands in for an audio device where there is none: it consumes the samples
// at the rate a device would play them, so speech keeps the pace it would
// have with sound.
class RealTimePcmOutput final : public PcmOutput {
  public:
    void Play(const SpeechSamples& speech) override;
    void Interrupt() override;

  private:
    std::mutex mutex_;
    std::condition_variable interrupted_;
    bool interrupt_ = false;
};

}  // namespace palomind
