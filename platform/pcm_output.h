#pragma once
#include "platform/speech_engine.h"

namespace palomind {

// An audio output for synthesised speech, used from one thread of its own.
class PcmOutput {
  public:
    virtual ~PcmOutput() = default;
    // Hands the samples to the output and returns once they have been played
    // (or Interrupt was called).
    virtual void Play(const SpeechSamples& speech) = 0;
    // Ends a Play in progress, and every later one, at once: for shutdown.
    // Callable from any thread.
    virtual void Interrupt() = 0;
};

}  // namespace palomind
