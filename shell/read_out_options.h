#pragma once
#include <QObject>
#include <array>
#include <functional>

#include "app/application.h"

class QAction;
class QMenu;

namespace palomind {

// The lap call's parts and the voice's pace in 設定 > 読上げ設定: checkable
// items "番号", "周回数", "ラップタイム" and "順位", and the submenu "読上げ速度".
// Both are kept per user (section "Settings", keys "ReadOutParts" and
// "ReadOutPace"); the parts are the race's and journaled with it.
class ReadOutOptions final : public QObject {
  public:
    explicit ReadOutOptions(Application& app, QObject* parent = nullptr);

    // After the read-out modes: a separator, the parts, the pace submenu.
    void AddItems(QMenu& readOut);
    // Start-up, before the race is booted: the stored parts go to the race
    // (the boot journals them) and the stored pace to the voice.
    void LoadStored();
    // The check marks as the race's parts stand (a restored race brings its own).
    void ShowParts();
    // The voice, told of the pace now and whenever the operator changes it.
    void SetPaceListener(std::function<void(int wordsPerMinute)> listener);
    int WordsPerMinute() const { return wordsPerMinute_; }

  private:
    void PartToggled();
    void ChoosePace(int wordsPerMinute);

    Application& app_;
    std::array<QAction*, 4> partItems_{};
    std::array<QAction*, 3> paceItems_{};
    int wordsPerMinute_;
    std::function<void(int)> paceListener_;
};

}  // namespace palomind
