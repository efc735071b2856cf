#include "documents/cp932.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>

#include "documents/utf8.h"

namespace palomind {

namespace {

// How many input bytes an unconvertible sequence at the front of `rest`
// spans, and what to write in its place.
struct InvalidInputPolicy {
    std::size_t (*length)(std::string_view rest);
    std::string_view replacement;
};

bool IsCp932LeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// A lead byte with a non-ASCII trail byte is one unknown character; an ASCII
// byte after a lead byte is never taken with it, so that a damaged name
// cannot eat the quote or line end behind it.
std::size_t InvalidCp932Length(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    if (rest.size() >= 2 && IsCp932LeadByte(lead)) {
        const auto trail = static_cast<unsigned char>(rest[1]);
        if (trail >= 0x80 && trail <= 0xFC) return 2;
    }
    return 1;
}

// A well-formed UTF-8 character is replaced as a whole; a malformed byte
// alone.
std::size_t InvalidUtf8Length(std::string_view rest) {
    return std::max<std::size_t>(Utf8CharacterLength(rest), 1);
}

constexpr InvalidInputPolicy kDecodePolicy{InvalidCp932Length, "\xEF\xBF\xBD"};  // U+FFFD
constexpr InvalidInputPolicy kEncodePolicy{InvalidUtf8Length, "?"};

// One conversion descriptor, opened per call: no state outlives the call.
class IconvHandle {
  public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (IsOpen()) iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return cd_; }

  private:
    iconv_t cd_;
};

std::string Convert(const char* to, const char* from, std::string_view input,
                    const InvalidInputPolicy& policy, std::size_t* replaced = nullptr) {
    std::string out;
    out.reserve(input.size() * 3 / 2);
    const IconvHandle cd(to, from);
    std::array<char, 4096> buffer{};

    // iconv does not write through the input pointer; its signature is just
    // older than const.
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        std::size_t result = static_cast<std::size_t>(-1);
        if (cd.IsOpen()) {
            result = iconv(cd.Get(), &in, &inLeft, &outPtr, &outLeft);
        } else {
            // Without a converter (a system lacking the charset) ASCII still
            // passes and everything else is replaced.
            errno = EILSEQ;
        }
        const int error = errno;
        out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
        if (result != static_cast<std::size_t>(-1)) break;
        if (cd.IsOpen() && error == E2BIG) continue;
        // EILSEQ, or EINVAL for a sequence cut off at the end of the input.
        const std::string_view rest(in, inLeft);
        if (!cd.IsOpen() && static_cast<unsigned char>(rest[0]) < 0x80) {
            out.push_back(rest[0]);
            ++in;
            --inLeft;
            continue;
        }
        const std::size_t skipped = policy.length(rest);
        out.append(policy.replacement);
        if (replaced != nullptr) ++*replaced;
        in += skipped;
        inLeft -= skipped;
    }
    return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) {
    return Convert("UTF-8", "CP932", bytes, kDecodePolicy);
}

std::optional<std::string> Cp932ToUtf8Strict(std::string_view bytes) {
    std::size_t replaced = 0;
    std::string text = Convert("UTF-8", "CP932", bytes, kDecodePolicy, &replaced);
    if (replaced != 0) return std::nullopt;
    return text;
}

std::string Utf8ToCp932(std::string_view utf8) {
    return Convert("CP932", "UTF-8", utf8, kEncodePolicy);
}

bool Cp932CanHold(std::string_view utf8) {
    return Cp932ToUtf8(Utf8ToCp932(utf8)) == utf8;
}

}  // namespace palomind
