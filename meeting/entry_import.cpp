#include "meeting/entry_import.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "documents/cp932.h"
#include "documents/csv_reader.h"
#include "documents/utf8.h"
#include "meeting/entry_list.h"

namespace palomind {

namespace {

enum class Column { Name, Transponder, Class, Number, Car, Club };

struct ColumnName {
    Column column;
    std::string_view name;
};

// The header names each column is known by, English ones in any case.
constexpr std::array kColumnNames{
    ColumnName{Column::Name, "name"},
    ColumnName{Column::Name, "氏名"},
    ColumnName{Column::Name, "名前"},
    ColumnName{Column::Transponder, "transponder"},
    ColumnName{Column::Transponder, "トランスポンダ"},
    ColumnName{Column::Transponder, "ﾄﾗﾝｽﾎﾟﾝﾀﾞ"},
    ColumnName{Column::Class, "class"},
    ColumnName{Column::Class, "クラス"},
    ColumnName{Column::Number, "number"},
    ColumnName{Column::Number, "番号"},
    ColumnName{Column::Number, "ゼッケン"},
    ColumnName{Column::Car, "car"},
    ColumnName{Column::Car, "車両"},
    ColumnName{Column::Club, "club"},
    ColumnName{Column::Club, "クラブ"},
};

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

std::string AsciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::optional<Column> ColumnNamed(const std::string& header) {
    const std::string lower = AsciiLower(Trimmed(header));
    for (const ColumnName& known : kColumnNames) {
        if (known.name == lower) return known.column;
    }
    return std::nullopt;
}

// A whole number in ASCII digits from `least` to `most`.
std::optional<std::int64_t> WholeNumber(const std::string& text, std::int64_t least,
                                        std::int64_t most) {
    if (text.empty() || text.size() > 12 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const std::int64_t value = std::stoll(text);
    if (value < least || value > most) return std::nullopt;
    return value;
}

struct Refused {
    std::string why;
};

class Importer {
  public:
    explicit Importer(Meeting meeting) : meeting_(std::move(meeting)) {}

    void ReadHeader(const std::vector<std::string>& header) {
        for (std::size_t i = 0; i < header.size(); ++i) {
            const std::optional<Column> column = ColumnNamed(header[i]);
            if (!column) continue;
            if (!columns_.emplace(*column, i).second)
                throw Refused{"row 1: the column \"" + Trimmed(header[i]) + "\" is named twice"};
        }
        for (const auto& [column, name] :
             {std::pair{Column::Name, "name"}, std::pair{Column::Transponder, "transponder"},
              std::pair{Column::Class, "class"}}) {
            if (columns_.count(column) == 0)
                throw Refused{"row 1: the header has no " + std::string(name) + " column"};
        }
    }

    void Add(const std::vector<std::string>& row, std::size_t rowNumber) {
        const std::string at = "row " + std::to_string(rowNumber) + ": ";
        MeetingEntry entry;
        entry.name = Field(row, Column::Name);
        if (entry.name.empty()) throw Refused{at + "no name"};
        const std::string className = Field(row, Column::Class);
        if (className.empty()) throw Refused{at + "no class"};
        const std::string transponder = Field(row, Column::Transponder);
        const auto id = WholeNumber(transponder, 1, kLargestTransponder);
        if (!id) {
            throw Refused{at + "transponder \"" + transponder + "\" is not a number from 1 to " +
                          std::to_string(kLargestTransponder)};
        }
        entry.transponder = *id;
        const MeetingClass* meetingClass = ClassNamed(meeting_, className);
        // A heat's title, the class's name, goes into the race comment.
        if (meetingClass == nullptr && !Cp932CanHold(className)) {
            throw Refused{at + "the class \"" + className +
                          "\" cannot be stored in the race comment (a character cp932 does not "
                          "hold)"};
        }
        // The import works on a copy of the meeting: a refusal drops it whole.
        entry.classId = meetingClass ? meetingClass->id : AddClass(meeting_, className).id;
        entry.number = Number(Field(row, Column::Number), meeting_, at);
        entry.car = Field(row, Column::Car);
        entry.club = Field(row, Column::Club);
        std::string why;
        if (!AddEntry(meeting_, std::move(entry), why)) throw Refused{at + why};
    }

    Meeting Result() && { return std::move(meeting_); }

  private:
    std::string Field(const std::vector<std::string>& row, Column column) const {
        const auto found = columns_.find(column);
        if (found == columns_.end() || found->second >= row.size()) return {};
        return Trimmed(row[found->second]);
    }

    static std::int64_t Number(const std::string& given, const Meeting& meeting,
                               const std::string& at) {
        if (given.empty()) return NextEntryNumber(meeting);
        const auto read = WholeNumber(given, 1, 999'999'999);
        if (!read) throw Refused{at + "entry number \"" + given + "\" is not a whole number"};
        return *read;
    }

    Meeting meeting_;
    std::map<Column, std::size_t> columns_;
};

}  // namespace

bool ImportEntries(Meeting& meeting, std::string_view bytes, std::string& error) {
    if (bytes.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark)
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
    std::string text;
    if (IsWellFormedUtf8(bytes)) {
        text = bytes;
    } else if (const std::optional<std::string> decoded = Cp932ToUtf8Strict(bytes)) {
        text = *decoded;
    } else {
        error = "the file is neither UTF-8 nor cp932 text";
        return false;
    }
    const auto records = ReadCsv(text, error);
    if (!records) return false;
    if (records->empty()) {
        error = "the file has no header row";
        return false;
    }
    try {
        Importer importer(meeting);
        importer.ReadHeader(records->front());
        for (std::size_t i = 1; i < records->size(); ++i) {
            const std::vector<std::string>& row = (*records)[i];
            const bool blank = std::all_of(row.begin(), row.end(),
                                           [](const std::string& f) { return Trimmed(f).empty(); });
            if (!blank) importer.Add(row, i + 1);
        }
        meeting = std::move(importer).Result();
        return true;
    } catch (const Refused& refused) {
        error = refused.why;
        return false;
    }
}

}  // namespace palomind
