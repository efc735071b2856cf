#pragma once
#include <QWidget>

#include "app/meeting_session.h"
#include "platform/user_dialogs.h"

namespace palomind {

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
    MeetingSession& session_;
    UserDialogs& dialogs_;
};

}  // namespace palomind
