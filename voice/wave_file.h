#pragma once
#include <string>

#include "platform/speech_engine.h"

namespace palomind {

// The samples as the bytes of a wave file: 16-bit PCM, mono, little-endian.
std::string WaveFileBytes(const SpeechSamples& speech);

}  // namespace palomind
