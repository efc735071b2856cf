#include "journal/journal.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <utility>

#include "documents/utf8.h"
#include "engine/race_state.h"
#include "journal/echoed_text.h"

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
    {"comment", JournalEventKind::Comment},
    {"name", JournalEventKind::Name},
    {"open", JournalEventKind::Open},
    {"race", JournalEventKind::Race},
    {"carry", JournalEventKind::Carry},
    {"record", JournalEventKind::Record},
    {"callparts", JournalEventKind::CallParts},
    {"minlap", JournalEventKind::MinLap},
    {"edit", JournalEventKind::Edit},
    {"operator", JournalEventKind::Operator},
    {"heat", JournalEventKind::Heat},
};

// The arguments of each correction, between its operation and its reason.
enum class CorrectionArguments { IdAndPass, IdAndRaceMs, Id, Number, TwoIds, IdLapsAndMs };

struct CorrectionForm {
    std::string_view name;
    CorrectionOperation operation;
    CorrectionArguments arguments;
    bool reasonRequired;
};

constexpr CorrectionForm kCorrectionForms[] = {
    {"delete", CorrectionOperation::Delete, CorrectionArguments::IdAndPass, true},
    {"restore", CorrectionOperation::Restore, CorrectionArguments::IdAndPass, false},
    {"add", CorrectionOperation::Add, CorrectionArguments::IdAndRaceMs, true},
    {"accept", CorrectionOperation::Accept, CorrectionArguments::IdAndPass, false},
    {"dq", CorrectionOperation::Dq, CorrectionArguments::Id, true},
    {"reinstate", CorrectionOperation::Reinstate, CorrectionArguments::Id, false},
    {"revert", CorrectionOperation::Revert, CorrectionArguments::Number, false},
    {"assign", CorrectionOperation::Assign, CorrectionArguments::TwoIds, true},
    {"penalty", CorrectionOperation::Penalty, CorrectionArguments::IdLapsAndMs, true},
};

const CorrectionForm& FormOf(CorrectionOperation operation) {
    for (const auto& form : kCorrectionForms)
        if (form.operation == operation) return form;
    return kCorrectionForms[0];
}

// A manual pass is of an ID the engine ranks.
constexpr long long kMostManualId = 63;

// The lap history has 2 fixed rows and at most 1000 laps below them.
constexpr long long kMostLapRows = 1002;

std::string_view NameOf(JournalEventKind kind) {
    for (const auto& e : kEventNames)
        if (e.kind == kind) return e.name;
    return "?";
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

bool ParseHexBytes(std::string_view args, std::vector<std::uint8_t>& bytes) {
    std::vector<std::string_view> fields;
    if (args.empty() || !SplitFields(args, fields)) return false;
    bytes.resize(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!ParseHexByte(fields[i], bytes[i])) return false;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The inverse of EscapeJournalText. A raw control character, or a backslash
// that starts no escape, makes the line bad: the writer never writes either.
std::optional<std::string> UnescapeText(std::string_view escaped) {
    std::string text;
    text.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const char c = escaped[i];
        if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++i == escaped.size()) return std::nullopt;
        switch (escaped[i]) {
            case '\\':
                text += '\\';
                break;
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            case 't':
                text += '\t';
                break;
            case 'x': {
                if (escaped.size() - i < 3) return std::nullopt;
                const int high = HexDigit(escaped[i + 1]);
                const int low = HexDigit(escaped[i + 2]);
                if (high < 0 || low < 0) return std::nullopt;
                text += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return text;
}

// A text argument: everything after exactly one separating space, to the end
// of the line; an empty text may also come without the space. The text is
// UTF-8, as the exports that carry it say they are.
std::optional<std::string> ParseTextArgument(std::string_view rest) {
    if (rest.empty()) return std::string();
    if (rest.front() != ' ') return std::nullopt;
    std::optional<std::string> text = UnescapeText(rest.substr(1));
    if (!text || !IsWellFormedUtf8(*text)) return std::nullopt;
    return text;
}

// An ID of the roster: decimal 1 to 64, no sign, no leading zeros.
bool ParseRosterId(std::string_view text, std::int32_t& id) {
    if (text.empty() || text.front() == '0' || text.size() > 2) return false;
    long long value = 0;
    if (!ParseInteger(text, 1, 64, value)) return false;
    id = static_cast<std::int32_t>(value);
    return true;
}

bool IsBootIdentity(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c > 0x20 && c < 0x7F; });
}

// A race record's identity names its file: letters, digits, '-', '_' and
// '.', not starting with '.', at most 64.
bool IsRaceIdentity(std::string_view text) {
    return !text.empty() && text.size() <= 64 && text.front() != '.' &&
           std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                      c == '-' || c == '_' || c == '.';
           });
}

// "2026-12-09T11:45:51+09:00": local time in ISO 8601 with its offset.
bool IsWallClock(std::string_view text) {
    constexpr std::string_view kPattern = "dddd-dd-ddTdd:dd:dd+dd:dd";
    if (text.size() != kPattern.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char want = kPattern[i];
        const char c = text[i];
        if (want == 'd' ? (c < '0' || c > '9') : want == '+' ? (c != '+' && c != '-') : c != want)
            return false;
    }
    return true;
}

// The values a parameter's line may set: each as its field in the race state.
std::pair<long long, long long> ParameterRange(JournalEventKind kind) {
    if (kind == JournalEventKind::TtsMode)
        return {std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()};
    if (kind == JournalEventKind::CallParts) return {0, kAllCallParts};
    return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
}

std::string ParseRaceArguments(std::string_view args, JournalEvent& event) {
    std::vector<std::string_view> fields;
    if (!SplitFields(args, fields) || fields.size() != 2 || !IsRaceIdentity(fields[0]) ||
        !IsWallClock(fields[1]))
        return "race takes an identity and a wall-clock time (2026-12-09T11:45:51+09:00)";
    event.text = std::string(fields[0]);
    event.wallClock = std::string(fields[1]);
    return {};
}

// "<identity> <bytes>": the record's identity, then the file's bytes.
std::string ParseRecordArguments(std::string_view args, JournalEvent& event) {
    static const std::string kUsage =
        "record takes a race record's identity and its bytes of two hex digits each";
    const std::size_t identityEnd = args.find(' ');
    if (identityEnd == std::string_view::npos) return kUsage;
    const std::string_view identity = args.substr(0, identityEnd);
    if (!IsRaceIdentity(identity) || !ParseHexBytes(args.substr(identityEnd + 1), event.bytes))
        return kUsage;
    event.text = std::string(identity);
    return {};
}

std::string ParseCarryArguments(std::string_view args, CarriedState& carried) {
    static const std::string kUsage =
        "carry takes the last ID, the clock's last second or -, the lap history's rows and top "
        "row, and the decoder's sync count, frame length, sum and four frame bytes";
    std::vector<std::string_view> fields;
    if (!SplitFields(args, fields) || fields.size() != 11) return kUsage;
    struct Bounded {
        std::int32_t* out;
        long long min;
        long long max;
    };
    const Bounded numbers[] = {
        {&carried.passId, 0, 255},
        {&carried.lapRows, 2, kMostLapRows},
        {&carried.lapTopRow, 0, kMostLapRows},
        {&carried.syncCount, 0, 3},
        {&carried.frameLength, 0, 3},
        {&carried.frameSum, 0, 255},
    };
    const std::size_t positions[] = {0, 2, 3, 4, 5, 6};
    for (std::size_t i = 0; i < std::size(numbers); ++i) {
        long long value = 0;
        if (!ParseInteger(fields[positions[i]], numbers[i].min, numbers[i].max, value))
            return kUsage;
        *numbers[i].out = static_cast<std::int32_t>(value);
    }
    carried.clockSecond.reset();
    if (fields[1] != "-") {
        long long second = 0;
        if (!ParseInteger(fields[1], std::numeric_limits<std::int32_t>::min(),
                          std::numeric_limits<std::int32_t>::max(), second))
            return kUsage;
        carried.clockSecond = static_cast<std::int32_t>(second);
    }
    for (std::size_t i = 0; i < carried.frame.size(); ++i) {
        long long value = 0;
        if (!ParseInteger(fields[7 + i], 0, 255, value)) return kUsage;
        carried.frame[i] = static_cast<std::uint8_t>(value);
    }
    return {};
}

// A count from 1: decimal, no sign, no leading zeros.
bool ParsePositive(std::string_view text, long long max, std::int32_t& out) {
    long long value = 0;
    if (text.empty() || text.front() == '0' || !ParseInteger(text, 1, max, value)) return false;
    out = static_cast<std::int32_t>(value);
    return true;
}

// A transponder ID as a pass carries it: 0 to 255, no leading zeros.
bool ParsePassId(std::string_view text, std::int32_t& id) {
    long long value = 0;
    if (text.empty() || (text.size() > 1 && text.front() == '0') ||
        !ParseInteger(text, 0, 255, value))
        return false;
    id = static_cast<std::int32_t>(value);
    return true;
}

// A signed 32-bit decimal with no leading zeros ("-0" neither).
bool ParseSigned32(std::string_view text, long long& out) {
    if (text.size() > 1 && (text.front() == '0' || text.substr(0, 2) == "-0")) return false;
    return ParseInteger(text, std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max(), out);
}

// An ordinal "n" or a manual pass "+k".
bool ParsePassReference(std::string_view text, PassReference& pass) {
    constexpr long long kMost = std::numeric_limits<std::int32_t>::max();
    pass = {};
    if (!text.empty() && text.front() == '+')
        return ParsePositive(text.substr(1), kMost, pass.manual);
    return ParsePositive(text, kMost, pass.ordinal);
}

// "<n> <wall-clock> <operation> <arguments>[ <reason>]".
std::string ParseEditArguments(std::string_view args, JournalEvent& event) {
    static const std::string kUsage =
        "edit takes a number from 1, a wall-clock time, an operation (delete, restore, add, "
        "accept, dq, reinstate, revert, assign, penalty), its arguments and a reason";
    // The fields before the reason: n, wall clock, operation, then one or
    // two arguments.
    std::vector<std::string_view> head;
    std::size_t at = 0;
    const auto nextField = [&]() -> bool {
        if (at > args.size()) return false;
        const std::size_t space = std::min(args.find(' ', at), args.size());
        const std::string_view field = args.substr(at, space - at);
        if (field.empty()) return false;
        head.push_back(field);
        at = space + 1;
        return true;
    };
    if (!nextField() || !nextField() || !nextField()) return kUsage;
    Correction& c = event.correction;
    if (!ParsePositive(head[0], std::numeric_limits<std::int32_t>::max(), c.number) ||
        !IsWallClock(head[1]))
        return kUsage;
    const CorrectionForm* form = nullptr;
    for (const auto& f : kCorrectionForms)
        if (f.name == head[2]) form = &f;
    if (form == nullptr) return "edit: unknown operation " + EchoedText(head[2]);
    c.operation = form->operation;
    const std::string usage = "edit " + std::string(form->name) + ": bad arguments";
    if (!nextField()) return usage;
    const std::string_view first = head[3];
    switch (form->arguments) {
        case CorrectionArguments::IdAndPass:
            if (!ParsePassId(first, c.id) || !nextField() || !ParsePassReference(head[4], c.pass))
                return usage;
            break;
        case CorrectionArguments::IdAndRaceMs: {
            long long raceMs = 0;
            if (!ParsePositive(first, kMostManualId, c.id) || !nextField() ||
                !ParseSigned32(head[4], raceMs))
                return usage;
            c.raceMs = raceMs;
            break;
        }
        case CorrectionArguments::TwoIds:
            if (!ParsePassId(first, c.id) || !nextField() || !ParsePassId(head[4], c.assignedTo))
                return usage;
            break;
        case CorrectionArguments::IdLapsAndMs: {
            long long laps = 0;
            long long ms = 0;
            if (!ParsePassId(first, c.id) || !nextField() || !ParseSigned32(head[4], laps) ||
                !nextField() || !ParseSigned32(head[5], ms))
                return usage;
            c.penaltyLaps = static_cast<std::int32_t>(laps);
            c.penaltyMs = ms;
            break;
        }
        case CorrectionArguments::Id:
            if (!ParsePassId(first, c.id)) return usage;
            break;
        case CorrectionArguments::Number:
            if (!ParsePositive(first, std::numeric_limits<std::int32_t>::max(), c.reverted))
                return usage;
            break;
    }
    event.wallClock = std::string(head[1]);
    const std::string_view reason = at > args.size() ? std::string_view() : args.substr(at - 1);
    std::optional<std::string> text = ParseTextArgument(reason);
    if (!text) return "edit: bad reason (a control character, a bad escape or not UTF-8)";
    if (text->empty() && form->reasonRequired)
        return "edit " + std::string(form->name) + " needs a reason";
    event.text = std::move(*text);
    return {};
}

void AppendCorrection(std::string& line, const JournalEvent& event) {
    const Correction& c = event.correction;
    const CorrectionForm& form = FormOf(c.operation);
    line += ' ' + std::to_string(c.number) + ' ' + event.wallClock + ' ' + std::string(form.name);
    switch (form.arguments) {
        case CorrectionArguments::IdAndPass:
            line += ' ' + std::to_string(c.id) + ' ' +
                    (c.pass.manual > 0 ? '+' + std::to_string(c.pass.manual)
                                       : std::to_string(c.pass.ordinal));
            break;
        case CorrectionArguments::IdAndRaceMs:
            line += ' ' + std::to_string(c.id) + ' ' + std::to_string(c.raceMs);
            break;
        case CorrectionArguments::Id:
            line += ' ' + std::to_string(c.id);
            break;
        case CorrectionArguments::Number:
            line += ' ' + std::to_string(c.reverted);
            break;
        case CorrectionArguments::TwoIds:
            line += ' ' + std::to_string(c.id) + ' ' + std::to_string(c.assignedTo);
            break;
        case CorrectionArguments::IdLapsAndMs:
            line += ' ' + std::to_string(c.id) + ' ' + std::to_string(c.penaltyLaps) + ' ' +
                    std::to_string(c.penaltyMs);
            break;
    }
    if (!event.text.empty()) line += ' ' + EscapeJournalText(event.text);
}

// Parses one event line; returns an error text, empty when the line is good.
std::string ParseEventLine(std::string_view line, JournalEvent& event) {
    // "<tick> <event>", then the arguments as the event reads them.
    const std::size_t firstSpace = line.find(' ');
    if (firstSpace == std::string_view::npos) return "expected \"<tick> <event> [arguments]\"";
    const std::size_t nameEnd = std::min(line.find(' ', firstSpace + 1), line.size());
    const std::string_view tickText = line.substr(0, firstSpace);
    const std::string_view nameText = line.substr(firstSpace + 1, nameEnd - firstSpace - 1);
    if (tickText.empty() || nameText.empty()) return "fields must be separated by single spaces";
    long long tick = 0;
    if (!ParseInteger(tickText, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max(), tick))
        return "the tick must be a signed 32-bit decimal number";
    event.tick = static_cast<std::int32_t>(tick);
    const EventName* name = nullptr;
    for (const auto& e : kEventNames)
        if (e.name == nameText) name = &e;
    if (name == nullptr) return "unknown event " + EchoedText(nameText);
    event.kind = name->kind;
    // What follows the event name, its separating space included.
    const std::string_view rest = line.substr(nameEnd);
    const std::string_view args = rest.empty() ? rest : rest.substr(1);
    switch (event.kind) {
        case JournalEventKind::Rx:
        case JournalEventKind::Open:
            if (!ParseHexBytes(args, event.bytes))
                return std::string(name->name) + " needs bytes of two hex digits each";
            return {};
        case JournalEventKind::Comment:
        case JournalEventKind::Operator: {
            std::optional<std::string> text = ParseTextArgument(rest);
            if (!text)
                return std::string(name->name) +
                       ": bad text (a control character, a bad escape or not UTF-8)";
            event.text = std::move(*text);
            return {};
        }
        case JournalEventKind::Edit:
            return ParseEditArguments(args, event);
        case JournalEventKind::Name: {
            const std::size_t idEnd = std::min(args.find(' '), args.size());
            if (rest.empty() || !ParseRosterId(args.substr(0, idEnd), event.value))
                return "name needs an ID from 1 to 64";
            std::optional<std::string> text = ParseTextArgument(args.substr(idEnd));
            if (!text) return "name: bad text (a control character, a bad escape or not UTF-8)";
            event.text = std::move(*text);
            return {};
        }
        case JournalEventKind::Race:
            return ParseRaceArguments(args, event);
        case JournalEventKind::Carry:
            return ParseCarryArguments(args, event.carried);
        case JournalEventKind::Record:
            return ParseRecordArguments(args, event);
        case JournalEventKind::Heat:
            if (rest.empty()) return {};
            if (!IsHeatId(args))
                return "heat takes one word of UTF-8 (no space or control character), at most " +
                       std::to_string(kMostHeatIdBytes) + " bytes";
            event.text = std::string(args);
            return {};
        case JournalEventKind::Boot:
            if (rest.empty()) return {};
            if (!IsBootIdentity(args)) return "boot takes one word of printable ASCII";
            event.text = std::string(args);
            return {};
        case JournalEventKind::RaceTime:
        case JournalEventKind::StartWait:
        case JournalEventKind::TtsMode:
        case JournalEventKind::CallParts: {
            std::vector<std::string_view> fields;
            if (rest.empty() || !SplitFields(args, fields) || fields.size() != 1)
                return std::string(name->name) + " takes one number";
            const auto [min, max] = ParameterRange(event.kind);
            long long value = 0;
            if (!ParseInteger(fields[0], min, max, value))
                return std::string(name->name) + " value out of range or not a number";
            event.value = static_cast<std::int32_t>(value);
            return {};
        }
        case JournalEventKind::MinLap: {
            std::vector<std::string_view> fields;
            long long value = 0;
            if (rest.empty() || !SplitFields(args, fields) || fields.size() != 1 ||
                !ParseInteger(fields[0], 0, kMostMinLapMs, value))
                return "minlap takes one number of milliseconds from 0 to 600000";
            event.value = static_cast<std::int32_t>(value);
            return {};
        }
        case JournalEventKind::Start:
        case JournalEventKind::Stop:
        case JournalEventKind::Id1:
        case JournalEventKind::Id2:
        case JournalEventKind::Id3:
        case JournalEventKind::Clock:
        case JournalEventKind::ManualPass:
            break;
    }
    if (!rest.empty()) return std::string(name->name) + " takes no arguments";
    return {};
}

void AppendHexBytes(std::string& line, const std::vector<std::uint8_t>& bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    line.reserve(line.size() + bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        line += ' ';
        line += kHex[b >> 4];
        line += kHex[b & 0xF];
    }
}

void AppendCarriedState(std::string& line, const CarriedState& carried) {
    const auto number = [&line](long long value) {
        line += ' ';
        line += std::to_string(value);
    };
    number(carried.passId);
    if (carried.clockSecond)
        number(*carried.clockSecond);
    else
        line += " -";
    for (const std::int32_t value : {carried.lapRows, carried.lapTopRow, carried.syncCount,
                                     carried.frameLength, carried.frameSum})
        number(value);
    for (const std::uint8_t b : carried.frame) number(b);
}

}  // namespace

bool IsHeatId(std::string_view text) {
    return !text.empty() && text.size() <= kMostHeatIdBytes && IsWellFormedUtf8(text) &&
           std::none_of(text.begin(), text.end(), [](char c) {
               const auto byte = static_cast<unsigned char>(c);
               return byte <= 0x20 || byte == 0x7F;
           });
}

std::string EscapeJournalText(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\t':
                escaped += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    escaped += "\\x";
                    escaped += kHex[(c >> 4) & 0xF];
                    escaped += kHex[c & 0xF];
                } else {
                    escaped += c;
                }
        }
    }
    return escaped;
}

std::string FormatJournalLine(const JournalEvent& event) {
    std::string line = std::to_string(event.tick);
    line += ' ';
    line += NameOf(event.kind);
    switch (event.kind) {
        case JournalEventKind::Rx:
        case JournalEventKind::Open:
            AppendHexBytes(line, event.bytes);
            break;
        case JournalEventKind::RaceTime:
        case JournalEventKind::StartWait:
        case JournalEventKind::TtsMode:
        case JournalEventKind::CallParts:
        case JournalEventKind::MinLap:
            line += ' ';
            line += std::to_string(event.value);
            break;
        case JournalEventKind::Name:
            line += ' ';
            line += std::to_string(event.value);
            line += ' ';
            line += EscapeJournalText(event.text);
            break;
        case JournalEventKind::Comment:
        case JournalEventKind::Operator:
            line += ' ';
            line += EscapeJournalText(event.text);
            break;
        case JournalEventKind::Edit:
            AppendCorrection(line, event);
            break;
        case JournalEventKind::ManualPass:
            line += ' ';
            line += std::to_string(event.value);
            break;
        case JournalEventKind::Race:
            line += ' ';
            line += event.text;
            line += ' ';
            line += event.wallClock;
            break;
        case JournalEventKind::Carry:
            AppendCarriedState(line, event.carried);
            break;
        case JournalEventKind::Record:
            line += ' ';
            line += event.text;
            AppendHexBytes(line, event.bytes);
            break;
        case JournalEventKind::Boot:
        case JournalEventKind::Heat:
            if (!event.text.empty()) {
                line += ' ';
                line += event.text;
            }
            break;
        case JournalEventKind::Start:
        case JournalEventKind::Stop:
        case JournalEventKind::Id1:
        case JournalEventKind::Id2:
        case JournalEventKind::Id3:
        case JournalEventKind::Clock:
            break;
    }
    return line;
}

JournalParseResult ParseJournal(std::string_view text) {
    JournalParseResult result;
    // A line counts only with its line end: a last line without one was cut
    // short while it was written, and could read as a different event
    // ("racetime 30" for "racetime 300"). A header on its own is a journal
    // with no events yet, line end or not.
    if (const std::size_t lastLineEnd = text.rfind('\n'); lastLineEnd != std::string_view::npos) {
        const std::string_view torn = text.substr(lastLineEnd + 1);
        if (!torn.empty()) {
            result.tornLine = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
            result.tornText = std::string(torn);
            text.remove_suffix(torn.size());
        }
    }
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
            result.lines.clear();
            return result;
        };
        if (lineNumber == 1) {
            result.raceRecord = line == kRaceRecordHeader;
            if (line != kJournalHeader && !result.raceRecord)
                return fail("the first line must be \"" + std::string(kJournalHeader) +
                            "\" (or \"" + std::string(kRaceRecordHeader) + "\" for a race record)");
            continue;
        }
        if (line.empty() || line.front() == '#') continue;
        JournalEvent event;
        if (std::string error = ParseEventLine(line, event); !error.empty())
            return fail(std::move(error));
        if (lastTickSet && event.tick < lastTick) return fail("ticks must never decrease");
        const bool raceLine = event.kind == JournalEventKind::Race;
        if (!result.raceRecord && (raceLine || event.kind == JournalEventKind::Carry))
            return fail("race and carry lines belong to a race record, not a journal");
        if (result.raceRecord && event.kind == JournalEventKind::Record)
            return fail("a record line belongs to a run's journal, not a race record");
        if (result.raceRecord && raceLine != result.events.empty())
            return fail("a race record's first event, and only that, is its race line");
        lastTick = event.tick;
        lastTickSet = true;
        result.events.push_back(std::move(event));
        result.lines.push_back(lineNumber);
    }
    if (result.raceRecord && result.events.empty()) {
        JournalParseResult failed;
        failed.errorLine = lineNumber;
        failed.error = "a race record needs its race line";
        return failed;
    }
    result.ok = true;
    return result;
}

}  // namespace palomind
