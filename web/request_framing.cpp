#include "web/request_framing.h"

#include <algorithm>
#include <optional>

namespace palomind {

namespace {

struct Judged {
    RequestVerdict verdict;
    std::int64_t bodyBytes = 0;
};

Judged Refuse(int status, const char* reason) {
    return {{status, true, reason}, 0};
}

bool IsTokenCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool IsToken(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsTokenCharacter);
}

// Visible ASCII: what a request target is made of (RFC 9112 section 3.2).
bool IsVisible(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

// No control character but TAB, which RFC 9110 section 5.5 keeps out of a
// field value (the HTTP library lets them through).
bool IsFieldValue(std::string_view text) {
    return std::none_of(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) < ' ' && c != '\t') || c == 0x7F;
    });
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x | 0x20) == (y | 0x20);
           });
}

bool HasCloseOption(std::string_view value) {
    while (!value.empty()) {
        const std::size_t comma = value.find(',');
        if (SameLetters(Trimmed(value.substr(0, comma)), "close")) return true;
        if (comma == std::string_view::npos) break;
        value.remove_prefix(comma + 1);
    }
    return false;
}

// The lines of a head without their line ends, the final empty line left out.
std::vector<std::string_view> HeadLines(std::string_view head) {
    std::vector<std::string_view> lines;
    while (!head.empty()) {
        const std::size_t end = head.find('\n');
        std::string_view line = head.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) break;
        lines.push_back(line);
        head.remove_prefix(end == std::string_view::npos ? head.size() : end + 1);
    }
    return lines;
}

// Longer than any length within the limits, and short enough not to overflow.
constexpr std::size_t kMaxLengthDigits = 15;

Judged JudgeHead(std::string_view head, const FramingLimits& limits) {
    const std::vector<std::string_view> lines = HeadLines(head);
    // The request line: METHOD SP TARGET SP HTTP/d.d
    const std::string_view requestLine = lines.front();
    const std::size_t firstSpace = requestLine.find(' ');
    const std::size_t lastSpace = requestLine.rfind(' ');
    if (firstSpace == std::string_view::npos || firstSpace == lastSpace ||
        !IsToken(requestLine.substr(0, firstSpace)) ||
        !IsVisible(requestLine.substr(firstSpace + 1, lastSpace - firstSpace - 1)))
        return Refuse(400, "not an HTTP request\n");
    const std::string_view version = requestLine.substr(lastSpace + 1);
    const auto digit = [&](std::size_t at) { return version[at] >= '0' && version[at] <= '9'; };
    if (version.size() != 8 || version.substr(0, 5) != "HTTP/" || !digit(5) || version[6] != '.' ||
        !digit(7))
        return Refuse(400, "not an HTTP request\n");
    if (version[5] != '1') return Refuse(505, "only HTTP/1.0 and HTTP/1.1\n");
    const bool http10 = version[7] == '0';

    if (static_cast<int>(lines.size()) - 1 > limits.maxHeaders)
        return Refuse(431, "too many header fields\n");
    Judged judged;
    judged.verdict.closeAfter = http10;
    int hosts = 0;
    std::optional<std::string_view> length;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::size_t colon = lines[i].find(':');
        const std::string_view name = lines[i].substr(0, colon);
        if (colon == std::string_view::npos || !IsToken(name))
            return Refuse(400, "malformed header field\n");
        const std::string_view value = Trimmed(lines[i].substr(colon + 1));
        if (!IsFieldValue(value)) return Refuse(400, "malformed header field\n");
        if (SameLetters(name, "Host")) {
            ++hosts;
        } else if (SameLetters(name, "Content-Length")) {
            if (value.empty() || !std::all_of(value.begin(), value.end(),
                                              [](char c) { return c >= '0' && c <= '9'; }))
                return Refuse(400, "malformed Content-Length\n");
            if (length && *length != value) return Refuse(400, "conflicting Content-Length\n");
            length = value;
        } else if (SameLetters(name, "Transfer-Encoding")) {
            return Refuse(501, "no transfer codings\n");
        } else if (SameLetters(name, "Connection") && HasCloseOption(value)) {
            judged.verdict.closeAfter = true;
        }
    }
    if (length) {
        if (length->size() > kMaxLengthDigits) return Refuse(413, "request too large\n");
        judged.bodyBytes = std::stoll(std::string(*length));
    }
    if (static_cast<std::int64_t>(head.size()) + judged.bodyBytes > limits.maxRequestBytes)
        return Refuse(413, "request too large\n");
    if (hosts > 1 || (hosts == 0 && !http10)) return Refuse(400, "one Host field needed\n");
    return judged;
}

bool HeadEnds(const std::string& head) {
    const std::size_t size = head.size();
    return head.back() == '\n' && ((size >= 2 && head[size - 2] == '\n') ||
                                   (size >= 3 && head[size - 2] == '\r' && head[size - 3] == '\n'));
}

}  // namespace

std::vector<RequestVerdict> RequestFramer::Feed(std::string_view bytes) {
    std::vector<RequestVerdict> verdicts;
    while (!bytes.empty() && !stopped_) {
        if (bodyLeft_ > 0) {
            const auto taken =
                static_cast<std::size_t>(std::min<std::int64_t>(bodyLeft_, bytes.size()));
            bodyLeft_ -= static_cast<std::int64_t>(taken);
            bytes.remove_prefix(taken);
            stopped_ = closing_ && bodyLeft_ == 0;
            continue;
        }
        const char c = bytes.front();
        bytes.remove_prefix(1);
        // Empty lines before a request line are ignored, as RFC 9112 allows.
        if (head_.empty() && (c == '\r' || c == '\n')) continue;
        head_ += c;
        if (static_cast<std::int64_t>(head_.size()) > limits_.maxRequestBytes) {
            verdicts.push_back(Refuse(413, "request too large\n").verdict);
            stopped_ = true;
            break;
        }
        if (!HeadEnds(head_)) continue;
        const Judged judged = JudgeHead(head_, limits_);
        verdicts.push_back(judged.verdict);
        head_.clear();
        bodyLeft_ = judged.bodyBytes;
        closing_ = judged.verdict.closeAfter;
        stopped_ = judged.verdict.refusal != 0 || (closing_ && bodyLeft_ == 0);
    }
    return verdicts;
}

}  // namespace palomind
