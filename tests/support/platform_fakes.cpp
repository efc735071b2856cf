#include "tests/support/platform_fakes.h"

#include <gtest/gtest.h>

#include <iostream>

namespace palomind::testing {

namespace {

// Takes the next scripted answer, or fails the test when there is none.
template <typename Answer>
Answer NextAnswer(std::deque<Answer>& answers, std::string_view what, std::string_view shown,
                  Answer none) {
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected " << what << ": " << shown;
        return none;
    }
    Answer answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

template <typename Map, typename Key>
std::optional<typename Map::mapped_type> Find(const Map& map, const Key& key) {
    const auto found = map.find(key);
    if (found == map.end()) return std::nullopt;
    return found->second;
}

}  // namespace

bool FakeSerialPort::Open(int portNumber) {
    openAttempts.push_back(portNumber);
    if (openable.count(portNumber) == 0) return false;
    openPort_ = portNumber;
    return true;
}

void FakeSerialPort::Receive(std::vector<std::uint8_t> bytes) {
    if (openPort_ == 0 || listener_ == nullptr) return;
    listener_->OnBytes(bytes);
    if (!holdBytes) listener_->OnBytesWaiting();
}

void FakeSerialPort::Vanish(std::string_view reason) {
    openPort_ = 0;
    if (listener_ != nullptr) listener_->OnPortFailed(reason);
}

std::optional<std::string> ScriptedUserDialogs::InputBox(std::string_view prompt,
                                                         std::string_view title,
                                                         std::string_view defaultText) {
    inputs.push_back({std::string(prompt), std::string(title), std::string(defaultText)});
    return NextAnswer(inputAnswers, "input box", title, std::optional<std::string>());
}

bool ScriptedUserDialogs::AskYesNo(std::string_view text) {
    questions.emplace_back(text);
    if (whileAsking) whileAsking();
    return NextAnswer(yesNoAnswers, "question", text, false);
}

std::string ScriptedUserDialogs::FileName(std::string kind, std::string_view title,
                                          std::string_view filter, std::string_view offeredName) {
    fileRequests.push_back(
        {std::move(kind), std::string(title), std::string(filter), std::string(offeredName)});
    return NextAnswer(fileAnswers, "file dialog", title, std::string());
}

std::string ScriptedUserDialogs::FolderName(std::string_view title) {
    folderRequests.emplace_back(title);
    return NextAnswer(folderAnswers, "folder dialog", title, std::string());
}

void PrintedUserDialogs::ShowMessage(std::string_view text) {
    ++messages;
    std::cerr << "message: " << text << '\n';
}

std::optional<std::string> MemorySettingsStore::GetSetting(const std::string& section,
                                                           const std::string& key) {
    return Find(values, std::pair(section, key));
}

std::optional<std::string> MemoryFileStore::ReadAll(const std::string& path) {
    if (failingReads > 0) {
        --failingReads;
        return std::nullopt;
    }
    return Find(files, path);
}

bool MemoryFileStore::WriteAtomically(const std::string& path, const std::string& bytes) {
    ++writeAttempts;
    if (failWrites) return false;
    files[path] = bytes;
    return true;
}

}  // namespace palomind::testing
