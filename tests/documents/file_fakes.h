#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_store.h"
#include "platform/message_sink.h"

namespace palomind::testing {

// Files in memory. A write that is set to fail leaves the previous content,
// as the disk store's atomic replace does.
class FakeFileStore final : public FileStore {
  public:
    std::optional<std::string> ReadAll(const std::string& path) override {
        const auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    bool WriteAtomically(const std::string& path, const std::string& bytes) override {
        ++writeAttempts;
        if (failWrites) return false;
        files[path] = bytes;
        return true;
    }

    std::map<std::string, std::string> files;
    bool failWrites = false;
    int writeAttempts = 0;
};

class RecordingMessageSink final : public MessageSink {
  public:
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    std::vector<std::string> messages;
};

}  // namespace palomind::testing
