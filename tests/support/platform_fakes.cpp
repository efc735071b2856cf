#include "tests/shell/shell_fakes.h"

#include <gtest/gtest.h>

namespace palomind::testing {

bool FakeSerialPort::Open(int portNumber) {
    openAttempts.push_back(portNumber);
    if (openable.count(portNumber) == 0) return false;
    openPort_ = portNumber;
    return true;
}

void FakeSerialPort::Receive(std::vector<std::uint8_t> bytes) {
    if (openPort_ != 0 && listener_ != nullptr) listener_->OnBytes(bytes);
}

void FakeSerialPort::Vanish(std::string_view reason) {
    openPort_ = 0;
    if (listener_ != nullptr) listener_->OnPortFailed(reason);
}

std::optional<std::string> ScriptedUserDialogs::InputBox(std::string_view prompt,
                                                         std::string_view title,
                                                         std::string_view defaultText) {
    inputs.push_back({std::string(prompt), std::string(title), std::string(defaultText)});
    if (inputAnswers.empty()) {
        ADD_FAILURE() << "unexpected input box: " << title;
        return std::nullopt;
    }
    auto answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

bool ScriptedUserDialogs::AskYesNo(std::string_view text) {
    questions.emplace_back(text);
    if (whileAsking) whileAsking();
    if (yesNoAnswers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return false;
    }
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

std::string ScriptedUserDialogs::FileName(std::string kind, std::string_view title,
                                          std::string_view filter) {
    fileRequests.push_back({std::move(kind), std::string(title), std::string(filter)});
    if (fileAnswers.empty()) {
        ADD_FAILURE() << "unexpected file dialog: " << title;
        return {};
    }
    std::string answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

}  // namespace palomind::testing
