#pragma once
#include <QTimer>
#include <QWidget>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/meeting_session.h"
#include "platform/user_dialogs.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace palomind {

class MeetingEntriesView;

// The window of the meeting open: its schedule, entry list and classes,
// the heat loaded and its transponder check. A top-level window of its own
// beside the main window, so the race windows' arrangement stays as it is;
// it commands the meeting only through the session.
class MeetingWindow final : public QWidget {
    Q_OBJECT

  public:
    MeetingWindow(MeetingSession& session, UserDialogs& dialogs, QWidget* parent = nullptr);

    // Shows the open meeting afresh: after it was opened or changed.
    void Refresh();

  signals:
    // The director asked to close the meeting: whoever opened it closes it,
    // so that it is not opened again at the next start.
    void closeMeetingRequested();

  private:
    QWidget* BuildScheduleTab();
    // The schedule, the heat and the check afresh (the entry list shows
    // its own changes).
    void ShowTheMeeting();
    void ShowSchedule();
    void ShowSelectedHeat();
    void ShowCheck();
    void FollowTheSession();
    void EnableButtons();
    const ScheduledHeat* SelectedHeat() const;
    const ScheduledHeat* HeatWithId(const std::string& id) const;
    void Select(const std::string& id);
    // Runs a command of the session and shows its message, if any.
    void Command(const std::string& message);
    void PrepareNext();
    void PrepareSelected();
    void AcceptSelected();
    void RerunSelected();
    // What the window was last drawn from that the session can change
    // without telling it: the meeting saved, the heat loaded, the check on.
    std::string SessionMark() const;

    MeetingSession& session_;
    UserDialogs& dialogs_;
    QTabWidget* tabs_ = nullptr;
    MeetingEntriesView* entries_ = nullptr;
    QLabel* scheduleError_ = nullptr;
    QTableWidget* schedule_ = nullptr;
    QPushButton* prepareNext_ = nullptr;
    QPushButton* prepareSelected_ = nullptr;
    QPushButton* accept_ = nullptr;
    QPushButton* rerun_ = nullptr;
    QLabel* heatTitle_ = nullptr;
    QTableWidget* heat_ = nullptr;
    QGroupBox* notEnteredBox_ = nullptr;
    QTableWidget* notEntered_ = nullptr;
    QGroupBox* checkBox_ = nullptr;
    QLabel* checkSummary_ = nullptr;
    QTableWidget* check_ = nullptr;
    // Re-reads the session's state a few times a second: passes reach the
    // check and heats are filed without the window being told.
    QTimer follow_;

    std::vector<ScheduledHeat> heats_;
    std::string sessionMark_;
    std::string loadedShown_;  // the heat loaded when the schedule was last shown
    // The check as last shown.
    std::set<int> seenShown_;
    std::set<int> strangersShown_;
    bool checkShown_ = false;
};

}  // namespace palomind
