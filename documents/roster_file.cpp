#include "documents/roster_file.h"

#include <optional>

#include "documents/quoted_records.h"
#include "platform/file_store.h"

namespace palomind {

namespace {

// Entries 1 to 64 as read, or nothing when any of them is missing.
std::optional<RosterTable> ParseRoster(std::string_view bytes) {
    QuotedRecordReader reader(bytes);
    RosterTable names;
    for (int id = 1; id < kRosterSize; ++id) {
        auto name = reader.ReadText();
        if (!name) return std::nullopt;
        names[static_cast<std::size_t>(id)] = std::move(*name);
    }
    return names;
}

}  // namespace

void Load_IdName(RosterTable& names, FileStore& files, MessageSink& messages,
                 const std::string& path) {
    const auto bytes = files.ReadAll(path);
    auto read = bytes ? ParseRoster(*bytes) : std::nullopt;
    const bool loaded = read.has_value();
    if (!loaded) {
        read.emplace();
        read->fill(kUnregisteredName);
    }
    // Entry 0 is not the file's: it keeps whatever it held.
    for (int id = 1; id < kRosterSize; ++id)
        names[static_cast<std::size_t>(id)] = std::move((*read)[static_cast<std::size_t>(id)]);
    if (!loaded) messages.ShowMessage("参加者名簿を新規に作成します。");
}

bool Save_IdName(const RosterTable& names, FileStore& files, MessageSink& messages,
                 const std::string& path) {
    QuotedRecordWriter writer;
    for (int id = 1; id < kRosterSize; ++id) writer.WriteText(names[static_cast<std::size_t>(id)]);
    if (files.WriteAtomically(path, writer.Cp932Bytes())) return true;
    messages.ShowMessage("参加者名簿が保存できませんでした。" + FailureReasonLine(files));
    return false;
}

}  // namespace palomind
