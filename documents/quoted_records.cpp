#include "documents/quoted_records.h"

#include <charconv>

#include "documents/cp932.h"

namespace palomind {

namespace {

constexpr std::string_view kSeparators = ",\r\n";
constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kFullWidthQuote = "\xEF\xBC\x82";  // U+FF02 ＂

// Appends `text` with every line break (CR LF, lone CR, lone LF) as CR LF.
void AppendWithCrLf(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out.push_back(c);
        }
    }
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

}  // namespace

void QuotedRecordWriter::WriteText(std::string_view utf8) {
    utf8_.push_back('"');
    std::string text;
    AppendWithCrLf(text, utf8);
    for (const char c : text) {
        if (c == '"') {
            utf8_ += kFullWidthQuote;
        } else {
            utf8_.push_back(c);
        }
    }
    utf8_ += "\"\r\n";
}

void QuotedRecordWriter::WriteNumber(std::int64_t value) {
    utf8_ += std::to_string(value);
    utf8_ += "\r\n";
}

std::string QuotedRecordWriter::Cp932Bytes() const {
    return Utf8ToCp932(utf8_);
}

std::optional<std::string_view> QuotedRecordReader::NextField() {
    const std::size_t start = bytes_.find_first_not_of(kBlanks, pos_);
    // Blanks after the last separator are no field.
    if (start == std::string_view::npos) {
        pos_ = bytes_.size();
        lastError_ = RecordError::MissingField;
        return std::nullopt;
    }

    std::string_view field;
    std::size_t scanFrom = start;
    if (bytes_[start] == '"') {
        const std::size_t close = bytes_.find('"', start + 1);
        if (close == std::string_view::npos) {
            pos_ = bytes_.size();
            lastError_ = RecordError::UnclosedQuote;
            return std::nullopt;
        }
        field = bytes_.substr(start + 1, close - start - 1);
        scanFrom = close + 1;
    }

    const std::size_t separator = bytes_.find_first_of(kSeparators, scanFrom);
    const std::size_t end = separator == std::string_view::npos ? bytes_.size() : separator;
    if (bytes_[start] != '"') field = TrimBlanks(bytes_.substr(start, end - start));

    pos_ = end;
    if (pos_ < bytes_.size()) {
        // A CR LF pair is one line end.
        if (bytes_[pos_] == '\r' && pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '\n') ++pos_;
        ++pos_;
    }
    lastError_ = RecordError::None;
    return field;
}

std::optional<std::string> QuotedRecordReader::ReadText() {
    const auto field = NextField();
    if (!field) return std::nullopt;
    std::string text;
    if (reading_ == Cp932Reading::Lenient) {
        AppendWithCrLf(text, Cp932ToUtf8(*field));
        return text;
    }
    const std::optional<std::string> strict = Cp932ToUtf8Strict(*field);
    if (!strict) {
        lastError_ = RecordError::NotCp932;
        return std::nullopt;
    }
    AppendWithCrLf(text, *strict);
    return text;
}

std::optional<std::int64_t> QuotedRecordReader::ReadNumber(std::int64_t min, std::int64_t max) {
    const auto field = NextField();
    if (!field) return std::nullopt;

    const std::string_view text = TrimBlanks(*field);
    const bool hasSign = !text.empty() && (text.front() == '+' || text.front() == '-');
    const std::string_view digits = hasSign ? text.substr(1) : text;
    // from_chars takes a minus sign but no plus sign.
    const std::string_view number = hasSign && text.front() == '-' ? text : digits;
    // Only digits may follow the one optional sign: from_chars alone would
    // stop early at anything else and report success.
    std::int64_t value = 0;
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos ||
        std::from_chars(number.data(), number.data() + number.size(), value).ec != std::errc() ||
        value < min || value > max) {
        lastError_ = RecordError::BadNumber;
        return std::nullopt;
    }
    return value;
}

}  // namespace palomind
