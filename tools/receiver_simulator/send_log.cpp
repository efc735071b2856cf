#include "tools/receiver_simulator/send_log.h"

#include <charconv>
#include <cstdio>

namespace palomind::simulator {

namespace {

constexpr TransmissionKind kKinds[] = {TransmissionKind::Pass, TransmissionKind::WrongChecksum,
                                       TransmissionKind::BrokenSync, TransmissionKind::StrayBytes,
                                       TransmissionKind::Recorded};

constexpr SendOutcome kOutcomes[] = {SendOutcome::Sent, SendOutcome::Lost, SendOutcome::Cut};

std::string_view OutcomeName(SendOutcome outcome) {
    switch (outcome) {
        case SendOutcome::Sent:
            return "sent";
        case SendOutcome::Lost:
            return "lost";
        case SendOutcome::Cut:
            return "cut";
    }
    return "?";
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t space = line.find(' ', start);
        const std::size_t end = space == std::string_view::npos ? line.size() : space;
        if (end > start) fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

template <typename Number>
bool ReadNumber(std::string_view text, Number& value, int base = 10) {
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && ptr == text.data() + text.size();
}

// "<millis>.<micros>", micros exactly three digits.
bool ReadTime(std::string_view text, std::int64_t& nanos) {
    const std::size_t dot = text.find('.');
    std::int64_t millis = 0;
    std::int64_t micros = 0;
    if (dot == std::string_view::npos || text.size() - dot != 4 || dot == 0) return false;
    if (!ReadNumber(text.substr(0, dot), millis) || !ReadNumber(text.substr(dot + 1), micros) ||
        millis < 0)
        return false;
    nanos = millis * 1'000'000 + micros * 1'000;
    return true;
}

bool ParseLine(std::string_view line, SendLogEntry& entry) {
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() < 4 || !ReadTime(fields[0], entry.nanos)) return false;
    bool knownOutcome = false;
    for (SendOutcome outcome : kOutcomes) {
        if (OutcomeName(outcome) == fields[1]) {
            entry.outcome = outcome;
            knownOutcome = true;
        }
    }
    if (!knownOutcome) return false;
    bool known = false;
    for (TransmissionKind kind : kKinds) {
        if (KindName(kind) == fields[2]) {
            entry.kind = kind;
            known = true;
        }
    }
    if (!known) return false;
    entry.bytes.clear();
    for (std::size_t i = 3; i < fields.size(); ++i) {
        unsigned value = 0;
        if (fields[i].size() != 2 || !ReadNumber(fields[i], value, 16)) return false;
        entry.bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return true;
}

}  // namespace

std::string FormatSendLogLine(const SendLogEntry& entry) {
    char time[32];
    std::snprintf(time, sizeof time, "%lld.%03lld", static_cast<long long>(entry.nanos / 1'000'000),
                  static_cast<long long>(entry.nanos / 1'000 % 1'000));
    std::string line = time;
    line += ' ';
    line += OutcomeName(entry.outcome);
    line += ' ';
    line += KindName(entry.kind);
    static constexpr char kHex[] = "0123456789abcdef";
    for (std::uint8_t b : entry.bytes) {
        line += ' ';
        line += kHex[b >> 4];
        line += kHex[b & 0xF];
    }
    return line;
}

bool ParseSendLog(std::string_view text, std::vector<SendLogEntry>& entries, std::string& error) {
    entries.clear();
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        const std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        ++lineNumber;
        if (line.empty()) continue;
        SendLogEntry entry;
        if (!ParseLine(line, entry)) {
            error = "line " + std::to_string(lineNumber) + ": not a send log line";
            return false;
        }
        entries.push_back(std::move(entry));
    }
    return true;
}

}  // namespace palomind::simulator
