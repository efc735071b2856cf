#include "engine/journal.h"

#include <charconv>
#include <limits>

namespace palomind {

namespace {

struct EventName {
    std::string_view name;
    JournalEventKind kind;
};

constexpr EventName kEventNames[] = {
    {"boot", JournalEventKind::Boot},
    {"start", JournalEventKind::Start},
    {"stop", JournalEventKind::Stop},
    {"id1", JournalEventKind::Id1},
    {"id2", JournalEventKind::Id2},
    {"id3", JournalEventKind::Id3},
    {"rx", JournalEventKind::Rx},
    {"racetime", JournalEventKind::RaceTime},
    {"startwait", JournalEventKind::StartWait},
    {"ttsmode", JournalEventKind::TtsMode},
    {"clock", JournalEventKind::Clock},
};

std::string_view NameOf(JournalEventKind kind) {
    for (const auto& e : kEventNames)
        if (e.kind == kind) return e.name;
    return "?";
}

bool TakesValue(JournalEventKind kind) {
    return kind == JournalEventKind::RaceTime || kind == JournalEventKind::StartWait ||
           kind == JournalEventKind::TtsMode;
}

// A decimal integer: an optional minus sign and digits, nothing else.
bool ParseInteger(std::string_view text, long long min, long long max, long long& out) {
    if (text.empty() || text.front() == '+') return false;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && out >= min && out <= max;
}

bool ParseHexByte(std::string_view text, std::uint8_t& out) {
    if (text.size() != 2) return false;
    unsigned value = 0;
    for (char c : text) {
        value <<= 4;
        if (c >= '0' && c <= '9')
            value |= static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            value |= static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            value |= static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
    }
    out = static_cast<std::uint8_t>(value);
    return true;
}

// Splits on single spaces; an empty field (two spaces, or a space at either
// end) makes the line malformed.
bool SplitFields(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t space = line.find(' ', start);
        const std::string_view field =
            line.substr(start, space == std::string_view::npos ? line.npos : space - start);
        if (field.empty()) return false;
        fields.push_back(field);
        if (space == std::string_view::npos) return true;
        start = space + 1;
    }
}

// Parses one event line; returns an error text, empty when the line is good.
std::string ParseEventLine(std::string_view line, JournalEvent& event) {
    std::vector<std::string_view> fields;
    if (!SplitFields(line, fields)) return "fields must be separated by single spaces";
    if (fields.size() < 2) return "expected \"<tick> <event> [arguments]\"";
    long long tick = 0;
    if (!ParseInteger(fields[0], std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max(), tick))
        return "the tick must be a signed 32-bit decimal number";
    event.tick = static_cast<std::int32_t>(tick);
    const EventName* name = nullptr;
    for (const auto& e : kEventNames)
        if (e.name == fields[1]) name = &e;
    if (name == nullptr) return "unknown event \"" + std::string(fields[1]) + "\"";
    event.kind = name->kind;
    const std::size_t args = fields.size() - 2;
    if (event.kind == JournalEventKind::Rx) {
        if (args == 0) return "rx needs at least one byte";
        event.bytes.resize(args);
        for (std::size_t i = 0; i < args; ++i)
            if (!ParseHexByte(fields[i + 2], event.bytes[i]))
                return "rx bytes must be two hex digits each";
        return {};
    }
    if (TakesValue(event.kind)) {
        if (args != 1) return std::string(name->name) + " takes one number";
        const bool tts = event.kind == JournalEventKind::TtsMode;
        long long value = 0;
        const long long min = tts ? std::numeric_limits<std::int16_t>::min()
                                  : std::numeric_limits<std::int32_t>::min();
        const long long max = tts ? std::numeric_limits<std::int16_t>::max()
                                  : std::numeric_limits<std::int32_t>::max();
        if (!ParseInteger(fields[2], min, max, value))
            return std::string(name->name) + " value out of range or not a number";
        event.value = static_cast<std::int32_t>(value);
        return {};
    }
    if (args != 0) return std::string(name->name) + " takes no arguments";
    return {};
}

}  // namespace

std::string FormatJournalLine(const JournalEvent& event) {
    std::string line = std::to_string(event.tick);
    line += ' ';
    line += NameOf(event.kind);
    if (event.kind == JournalEventKind::Rx) {
        static constexpr char kHex[] = "0123456789abcdef";
        line.reserve(line.size() + event.bytes.size() * 3);
        for (std::uint8_t b : event.bytes) {
            line += ' ';
            line += kHex[b >> 4];
            line += kHex[b & 0xF];
        }
    } else if (TakesValue(event.kind)) {
        line += ' ';
        line += std::to_string(event.value);
    }
    return line;
}

JournalParseResult ParseJournal(std::string_view text) {
    JournalParseResult result;
    int lineNumber = 0;
    std::size_t pos = 0;
    bool lastTickSet = false;
    std::int32_t lastTick = 0;
    while (pos < text.size() || lineNumber == 0) {
        const std::size_t lf = text.find('\n', pos);
        std::string_view line =
            text.substr(pos, lf == std::string_view::npos ? text.npos : lf - pos);
        pos = lf == std::string_view::npos ? text.size() : lf + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        auto fail = [&](std::string error) {
            result.errorLine = lineNumber;
            result.error = std::move(error);
            result.events.clear();
            return result;
        };
        if (lineNumber == 1) {
            if (line != kJournalHeader)
                return fail("the first line must be \"" + std::string(kJournalHeader) + "\"");
            continue;
        }
        if (line.empty() || line.front() == '#') continue;
        JournalEvent event;
        if (std::string error = ParseEventLine(line, event); !error.empty())
            return fail(std::move(error));
        if (lastTickSet && event.tick < lastTick) return fail("ticks must never decrease");
        lastTick = event.tick;
        lastTickSet = true;
        result.events.push_back(std::move(event));
    }
    result.ok = true;
    return result;
}

}  // namespace palomind
