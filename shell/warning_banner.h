#pragma once
#include <QLabel>
#include <map>
#include <string>
#include <string_view>

#include "app/application.h"

namespace palomind {

// The status bar's text panel, which tells the operator of platform failures
// until they are mended. Not a message box: a failure may come in the middle
// of a race, and the race goes on. Because the status bar can be hidden, the
// warnings show in the window's title as well; each problem once, however
// often it recurs.
class WarningBanner final : public QLabel {
    Q_OBJECT
  public:
    // A panel of `window`, showing no warning yet.
    explicit WarningBanner(QWidget& window);

    // A problem already on show keeps its first description.
    void Report(PlatformProblem problem, int portNumber, std::string_view detail);
    void Mended(PlatformProblem problem);
    // A note for the operator, shown where no warning is (empty: none).
    void SetNote(std::string note);

  private:
    void ShowWarnings();

    QWidget& window_;
    std::map<PlatformProblem, std::string> warnings_;
    std::string note_;
};

}  // namespace palomind
