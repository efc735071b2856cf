// The quoted-record reader shared by the settings, roster and result files.
//
// The first input byte chooses which reads to make (text or a number of a
// given range); the rest is the file. The reader must finish in at most one
// read per byte, give valid UTF-8 with CR LF line breaks, keep numbers in
// their range, and whatever it read must survive being written by the
// writer and read again (the way a roster is loaded, edited and saved).
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "documents/quoted_records.h"
#include "documents/utf8.h"
#include "fuzz/fuzz_support.h"

namespace palomind::fuzz {
namespace {

struct NumberRange {
    std::int64_t min;
    std::int64_t max;
};

// The ranges the files use: 16-bit and 32-bit signed numbers, and the result
// file's lap and entry counts.
constexpr std::array<NumberRange, 4> kRanges{{
    {std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()},
    {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()},
    {0, 1000},
    {0, 63},
}};

void CheckTextSurvivesRewrite(const std::string& text) {
    QuotedRecordWriter writer;
    writer.WriteText(text);
    const std::string bytes = writer.Cp932Bytes();
    QuotedRecordReader reader(bytes);
    const auto again = reader.ReadText();
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(*again == ExpectedAfterRewrite(text));
    FUZZ_CHECK(!reader.ReadText().has_value() && reader.LastError() == RecordError::MissingField);
}

void CheckNumberSurvivesRewrite(std::int64_t value, const NumberRange& range) {
    QuotedRecordWriter writer;
    writer.WriteNumber(value);
    const std::string bytes = writer.Cp932Bytes();
    QuotedRecordReader reader(bytes);
    const auto again = reader.ReadNumber(range.min, range.max);
    FUZZ_CHECK(again.has_value() && *again == value);
}

}  // namespace
}  // namespace palomind::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace palomind;
    using namespace palomind::fuzz;
    if (size == 0) return 0;
    const std::uint8_t plan = data[0];
    const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
    QuotedRecordReader reader(file);

    // Every read that finds a field consumes at least its separator or the
    // rest of the input, so one read per byte (and one more) reaches the end.
    for (std::size_t read = 0;; ++read) {
        FUZZ_CHECK(read <= file.size() + 1);
        const unsigned choice = (plan >> (read % 8)) & 1u;
        if (choice == 0) {
            const auto text = reader.ReadText();
            if (!text) break;
            FUZZ_CHECK(reader.LastError() == RecordError::None);
            FUZZ_CHECK(IsWellFormedUtf8(*text));
            FUZZ_CHECK(HasOnlyCrLfBreaks(*text));
            CheckTextSurvivesRewrite(*text);
        } else {
            const NumberRange& range = kRanges[(read + plan) % kRanges.size()];
            const auto number = reader.ReadNumber(range.min, range.max);
            if (!number) {
                // A bad number is a field of its own; reading goes on after it.
                if (reader.LastError() == RecordError::BadNumber) continue;
                break;
            }
            FUZZ_CHECK(*number >= range.min && *number <= range.max);
            CheckNumberSurvivesRewrite(*number, range);
        }
    }
    FUZZ_CHECK(reader.LastError() == RecordError::MissingField ||
               reader.LastError() == RecordError::UnclosedQuote);
    FUZZ_CHECK(!reader.ReadText().has_value());
    return 0;
}
