#pragma once
#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/user_dialogs.h"

namespace palomind {

// Qt's filter text for a dialog filter written as "description|pattern"
// (more pairs may follow, each separated by "|"). A description that already
// ends with its pattern in parentheses, such as "ﾚｰｽﾘｻﾞﾙﾄﾌｧｲﾙ (*.rdt)", is used
// as it is; otherwise the pattern is appended in parentheses. Patterns joined
// by ";" become Qt's space-separated list.
QString QtFileDialogFilter(std::string_view filter);

// The modal dialogs over Qt's message box, input dialog and file dialogs, all
// centred on the given parent window. Message boxes are titled "Palomind".
class QtUserDialogs final : public UserDialogs {
  public:
    explicit QtUserDialogs(QWidget* parent);

    void ShowMessage(std::string_view text) override;
    void ShowInformation(std::string_view text) override;
    std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override;
    bool AskYesNo(std::string_view text) override;
    std::string OpenFileName(std::string_view title, std::string_view filter) override;
    std::string SaveFileName(std::string_view title, std::string_view filter,
                             std::string_view offeredName) override;
    std::string FolderName(std::string_view title) override;

  private:
    enum class FileDialogKind { Open, Save };
    std::string AskFileName(FileDialogKind kind, std::string_view title, std::string_view filter);
    std::string AskOfferedName(std::string_view title, std::string_view filter,
                               std::string_view offeredName);

    // The parent may close before this object is dropped; dialogs then open
    // without a parent instead of on a dangling one.
    QPointer<QWidget> parent_;
    // The file name chosen last in any file dialog of this run, offered again
    // the next time.
    QString lastFileName_;
};

}  // namespace palomind
