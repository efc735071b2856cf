#pragma once
#include <concepts>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace palomind {

// The record form of the settings, roster and result files: cp932 text, one
// record per line ended by CR LF, texts in double quotes, numbers as plain
// decimal digits. This writer and the reader below are the only code that
// knows it.
class QuotedRecordWriter {
  public:
    // The text in double quotes. Line breaks are written as CR LF whatever
    // they were. The form has no escaping, so a double quote inside the text
    // is written as the full-width quotation mark ＂ (cp932 FA 57): the file
    // stays readable and every later field keeps its place, while texts
    // without quotes are written exactly as before.
    void WriteText(std::string_view utf8);
    void WriteNumber(std::int64_t value);

    // Everything written so far, encoded cp932 (characters cp932 cannot hold
    // become '?').
    std::string Cp932Bytes() const;

  private:
    std::string utf8_;
};

enum class RecordError {
    None,
    MissingField,   // the input ended before the field
    UnclosedQuote,  // a quoted field ran to the end of the input
    BadNumber,      // not a decimal number, or outside the field's range
    NotCp932,       // a text field holds bytes that are not cp932 (strict reading)
};

// How a text field with bytes cp932 does not define is read: shown with
// U+FFFD in their place, or refused.
enum class Cp932Reading { Lenient, Strict };

// Reads fields in order from the raw bytes of a file. Fields are separated by
// commas or line ends (CR LF, a lone CR or a lone LF). A field that begins
// with a double quote (after spaces or tabs) runs to the next double quote;
// both quotes are dropped, line breaks between them belong to the text, and
// anything after the closing quote up to the next separator is skipped. A
// field without quotes runs to the next separator and loses its surrounding
// spaces and tabs.
//
// The bytes are scanned as they are: no cp932 trail byte takes the value of a
// quote, comma, CR, LF, space or tab, so only the fields actually read are
// decoded, and time and memory stay linear in the input however it is
// damaged.
class QuotedRecordReader {
  public:
    // The reader only views the bytes: they must outlive it.
    explicit QuotedRecordReader(std::string_view cp932Bytes,
                                Cp932Reading reading = Cp932Reading::Lenient)
        : bytes_(cp932Bytes), reading_(reading) {}
    template <typename String>
    requires std::same_as<String, std::string>  // a temporary string
    explicit QuotedRecordReader(String&&) = delete;

    // The next field as UTF-8 text, its line breaks as CR LF.
    std::optional<std::string> ReadText();

    // The next field as an integer in [min, max]: an optional sign and
    // decimal digits, nothing else.
    std::optional<std::int64_t> ReadNumber(std::int64_t min, std::int64_t max);

    template <std::integral Int>
    std::optional<Int> ReadNumber() {
        const auto value =
            ReadNumber(std::numeric_limits<Int>::min(), std::numeric_limits<Int>::max());
        if (!value) return std::nullopt;
        return static_cast<Int>(*value);
    }

    // Why the last read failed (None after a successful one).
    RecordError LastError() const { return lastError_; }

  private:
    std::optional<std::string_view> NextField();

    std::string_view bytes_;
    Cp932Reading reading_;
    std::size_t pos_ = 0;
    RecordError lastError_ = RecordError::None;
};

}  // namespace palomind
