// Writes the four wave files the race clock and lap processing play
// ("snd1.wav", "snd2.wav", "snd3.wav", "lap.wav") into the directory given on
// the command line. The tones are synthesised here so that the build needs no
// downloaded or checked-in audio.
//
// Usage: make_sounds <output directory>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kSampleRate = 22050;
constexpr double kAmplitude = 0.45;     // of full scale: loud but far from clipping
constexpr double kRampSeconds = 0.005;  // fade in/out so tones start and end without a click

// One stretch of a sound: a sine tone, or silence when the frequency is 0.
struct Segment {
    double frequencyHz;
    double seconds;
};

struct SoundFile {
    const char* fileName;
    std::vector<Segment> segments;
};

// Distinct on purpose: the operator must tell the cues apart by ear.
std::vector<SoundFile> Sounds() {
    return {
        // Three, two and one second before the start and the end: a short beep.
        {"snd1.wav", {{1000.0, 0.15}}},
        // Start of timing and end of the race time: a longer, lower tone.
        {"snd2.wav", {{880.0, 0.9}}},
        // Ten seconds to go: a two-tone warning, played twice.
        {"snd3.wav", {{660.0, 0.2}, {880.0, 0.2}, {0.0, 0.05}, {660.0, 0.2}, {880.0, 0.2}}},
        // Every accepted pass: a very short high blip that does not mask the cues.
        {"lap.wav", {{2000.0, 0.04}}},
    };
}

std::vector<std::int16_t> Synthesise(const std::vector<Segment>& segments) {
    std::vector<std::int16_t> samples;
    for (const Segment& segment : segments) {
        const auto count = static_cast<std::size_t>(segment.seconds * kSampleRate);
        const auto ramp = static_cast<std::size_t>(kRampSeconds * kSampleRate);
        for (std::size_t i = 0; i < count; ++i) {
            double value = 0.0;
            if (segment.frequencyHz > 0.0) {
                const double t = static_cast<double>(i) / kSampleRate;
                value = std::sin(2.0 * std::numbers::pi * segment.frequencyHz * t);
                const std::size_t edge = std::min(i, count - 1 - i);
                if (edge < ramp) value *= static_cast<double>(edge) / static_cast<double>(ramp);
            }
            samples.push_back(static_cast<std::int16_t>(std::lround(value * kAmplitude * 32767.0)));
        }
    }
    return samples;
}

// Wave files are little-endian whatever the host is, so bytes are laid out by hand.
void PutLittleEndian(std::string& out, std::uint32_t value, int byteCount) {
    for (int i = 0; i < byteCount; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::string WaveBytes(const std::vector<std::int16_t>& samples) {
    constexpr std::uint16_t kChannels = 1;
    constexpr std::uint16_t kBitsPerSample = 16;
    constexpr std::uint32_t kBlockAlign = kChannels * kBitsPerSample / 8;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * kBlockAlign);

    std::string out;
    out += "RIFF";
    PutLittleEndian(out, 36 + dataBytes, 4);
    out += "WAVE";
    out += "fmt ";
    PutLittleEndian(out, 16, 4);  // size of the PCM format chunk
    PutLittleEndian(out, 1, 2);   // PCM
    PutLittleEndian(out, kChannels, 2);
    PutLittleEndian(out, kSampleRate, 4);
    PutLittleEndian(out, kSampleRate * kBlockAlign, 4);  // bytes per second
    PutLittleEndian(out, kBlockAlign, 2);
    PutLittleEndian(out, kBitsPerSample, 2);
    out += "data";
    PutLittleEndian(out, dataBytes, 4);
    for (std::int16_t sample : samples) {
        PutLittleEndian(out, static_cast<std::uint16_t>(sample), 2);
    }
    return out;
}

bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_sounds <output directory>\n";
        return 2;
    }
    const std::filesystem::path directory(argv[1]);
    for (const SoundFile& sound : Sounds()) {
        const std::filesystem::path path = directory / sound.fileName;
        if (!WriteFile(path, WaveBytes(Synthesise(sound.segments)))) {
            std::cerr << "make_sounds: cannot write " << path.string() << '\n';
            return 1;
        }
    }
    return 0;
}
