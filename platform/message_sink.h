#pragma once
#include <ostream>
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

// Messages as lines on a stream: where the headless replay and its report
// tell what went wrong (standard error).
class StreamMessageSink final : public MessageSink {
  public:
    explicit StreamMessageSink(std::ostream& out) : out_(out) {}
    void ShowMessage(std::string_view text) override { out_ << text << '\n'; }

  private:
    std::ostream& out_;
};

}  // namespace palomind
