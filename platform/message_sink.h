#pragma once
#include <string_view>

namespace palomind {

// Where the file operations tell the operator what went wrong: a modal
// message box with a single OK button in the application, standard error in
// the headless replay. Texts are UTF-8.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(std::string_view text) = 0;
};

}  // namespace palomind
