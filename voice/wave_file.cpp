#include "voice/wave_file.h"

#include <cstdint>

namespace palomind {

namespace {

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string WaveFileBytes(const SpeechSamples& speech) {
    constexpr std::uint32_t kBytesPerSample = 2;
    const auto dataBytes = static_cast<std::uint32_t>(speech.samples.size() * kBytesPerSample);
    const auto rate = static_cast<std::uint32_t>(speech.sampleRate);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    PutLittleEndian(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    PutLittleEndian(out, 16, 4);  // the format chunk's size
    PutLittleEndian(out, 1, 2);   // PCM
    PutLittleEndian(out, 1, 2);   // mono
    PutLittleEndian(out, rate, 4);
    PutLittleEndian(out, rate * kBytesPerSample, 4);  // bytes per second
    PutLittleEndian(out, kBytesPerSample, 2);         // bytes per frame
    PutLittleEndian(out, 16, 2);                      // bits per sample
    out += "data";
    PutLittleEndian(out, dataBytes, 4);
    for (const std::int16_t sample : speech.samples)
        PutLittleEndian(out, static_cast<std::uint16_t>(sample), 2);
    return out;
}

}  // namespace palomind
