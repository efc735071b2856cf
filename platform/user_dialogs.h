#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/message_sink.h"

namespace palomind {

// The modal dialogs the commands use. The application shows real dialogs;
// tests answer them from a script. Texts are UTF-8.
class UserDialogs : public MessageSink {
  public:
    // ShowMessage (from MessageSink): title "Palomind", no icon, one OK button.
    // Same with the information icon (the help commands).
    virtual void ShowInformation(std::string_view text) = 0;
    // Input box: the entered text, or nothing when cancelled.
    virtual std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                                std::string_view defaultText) = 0;
    // Yes/No question; true for Yes.
    virtual bool AskYesNo(std::string_view text) = 0;
    // File dialogs; an empty result means cancelled. The filter is one
    // description and one pattern separated by "|" (more pairs may follow).
    // A save with an `offeredName` opens in the working folder with that
    // name typed in, its extension following the type chosen; without one
    // it offers the file chosen last.
    virtual std::string OpenFileName(std::string_view title, std::string_view filter) = 0;
    virtual std::string SaveFileName(std::string_view title, std::string_view filter,
                                     std::string_view offeredName) = 0;
    // A folder chosen (a meeting's); empty means cancelled.
    virtual std::string FolderName(std::string_view title) = 0;
};

}  // namespace palomind
