#pragma once
#include <QObject>
#include <QPointer>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/meeting_session.h"
#include "platform/settings_store.h"
#include "platform/user_dialogs.h"
#include "shell/meeting_window.h"

class QAction;
class QMenu;
class QWidget;

namespace palomind {

// A meeting the director opened lately, as the File menu lists it.
struct RecentMeeting {
    std::string folder;
    std::string name;
};

// How the director comes to a meeting: "大会を新規作成", "大会を開く", the
// recent meetings of the File menu, and the meeting that was open when the
// program ended, opened again at the next start. The recent list and that
// meeting are kept in the per-user settings store, never in "Palomind.ini".
// Once a meeting is open its window is shown; the window's request to close
// it closes it here.
class MeetingOpening final : public QObject {
    Q_OBJECT

  public:
    static constexpr std::size_t kRecentKept = 5;

    // `now`: the clock a new meeting's date is taken from. `windowParent`:
    // the main window, which the meeting window sits beside.
    MeetingOpening(MeetingSession& session, UserDialogs& dialogs, SettingsStore& settings,
                   std::function<std::time_t()> now, QWidget* windowParent);

    // The File menu's items: a separator, "大会を新規作成", "大会を開く" and
    // the recent meetings, inserted before `before`, kept up to date.
    void AddMenuItems(QMenu& menu, QAction* before);

    void CreateMeeting();  // "大会を新規作成"
    void OpenMeeting();    // "大会を開く"
    // The recent meeting at `index` (0: the newest). One that no longer
    // opens is told and leaves the list.
    void OpenRecent(std::size_t index);
    // At start, before a crashed race is restored: the meeting open when
    // the program ended. One that no longer opens is told once.
    void ReopenAtStart();
    // The meeting window's close request: the meeting closes and is not
    // opened again at the next start.
    void CloseMeeting();

    // The newest first, kRecentKept at most.
    const std::vector<RecentMeeting>& Recent() const { return recent_; }
    // Null until a meeting was first opened.
    MeetingWindow* Window() const { return window_; }

    // What the main window asks of the meeting: whether the roster holds a
    // heat's names in place of the file's, and a crashed run's race
    // restored as the heat `heat` (empty for none).
    bool HeatNamesLoaded() const { return session_.HeatRosterLoaded(); }
    void RaceRestored(const std::string& heat);

  private:
    // Opens the meeting in `folder` with `open`; returns whether it is open.
    bool OpenWith(const std::string& folder, const std::function<std::string()>& open);
    void ShowWindow();
    void Remember(const std::string& folder, const std::string& name);
    void Forget(const std::string& folder);
    void StoreRecent();
    void ShowRecentItems();

    MeetingSession& session_;
    UserDialogs& dialogs_;
    SettingsStore& settings_;
    std::function<std::time_t()> now_;
    QPointer<QWidget> windowParent_;
    QPointer<MeetingWindow> window_;
    std::vector<RecentMeeting> recent_;
    std::vector<QPointer<QAction>> recentItems_;
};

}  // namespace palomind
