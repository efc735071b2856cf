#include "documents/csv_reader.h"

namespace palomind {

std::optional<std::vector<std::vector<std::string>>> ReadCsv(std::string_view text,
                                                             std::string& error) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    std::size_t at = 0;
    const auto refuse = [&](const std::string& why) {
        error = "row " + std::to_string(records.size() + 1) + ": " + why;
        return std::nullopt;
    };
    while (at < text.size()) {
        if (text[at] == '"') {
            if (!field.empty()) return refuse("a quote inside an unquoted field");
            for (++at;; ++at) {
                if (at >= text.size()) return refuse("a quoted field is never closed");
                if (text[at] != '"') {
                    field += text[at];
                } else if (at + 1 < text.size() && text[at + 1] == '"') {
                    field += '"';
                    ++at;
                } else {
                    break;
                }
            }
            ++at;
            if (at < text.size() && text[at] != ',' && text[at] != '\r' && text[at] != '\n')
                return refuse("text after a closing quote");
            continue;
        }
        const bool crlf = text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n';
        if (text[at] == ',') {
            record.push_back(std::move(field));
            field.clear();
        } else if (crlf || text[at] == '\n') {
            record.push_back(std::move(field));
            field.clear();
            records.push_back(std::move(record));
            record.clear();
            if (crlf) ++at;
        } else {
            field += text[at];
        }
        ++at;
    }
    if (!field.empty() || !record.empty() || (!text.empty() && text.back() == '"')) {
        record.push_back(std::move(field));
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace palomind
