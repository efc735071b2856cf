#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/sound_player.h"

// Helpers shared by the fuzz targets. A target states what must hold for
// every input with FUZZ_CHECK; a violation aborts, which the fuzzer reports
// as a crash with the input that caused it.

namespace palomind::fuzz {

[[noreturn]] void CheckFailed(const char* condition, const char* file, int line);

#define FUZZ_CHECK(condition)           \
    ((condition) ? static_cast<void>(0) \
                 : ::palomind::fuzz::CheckFailed(#condition, __FILE__, __LINE__))

// Reads the fuzzer's bytes as a little program: operation codes, counts and
// values. Past the end every read gives zero, so any input is a complete
// program.
class ByteProgram {
  public:
    ByteProgram(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool AtEnd() const { return pos_ >= size_; }
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::int16_t Int16();
    std::int32_t Int32();
    // Up to `count` bytes, fewer when the input ends first.
    std::string_view Bytes(std::size_t count);

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// The fuzz targets build without the tests' support library, so they keep
// this one fake of their own.
class SilentSound final : public SoundPlayer {
  public:
    void PlaySound(std::string_view) override {}
};

// True when every line break in `text` is CR LF (no lone CR or LF).
bool HasOnlyCrLfBreaks(std::string_view text);

// What a text read from a record file turns into when it is written and read
// back: the record form has no escaping, so a double quote is written as the
// full-width one, and a character the file's code page cannot hold (U+FFFD
// from a damaged byte among them) is written as '?'.
std::string ExpectedAfterRewrite(std::string_view text);

}  // namespace palomind::fuzz
