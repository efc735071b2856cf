#include "shell/meeting_window.h"

namespace palomind {

MeetingWindow::MeetingWindow(MeetingSession& session, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), dialogs_(dialogs) {
    Refresh();
}

void MeetingWindow::Refresh() {
    if (const std::optional<Meeting>& meeting = session_.OpenMeeting())
        setWindowTitle(QString::fromStdString(meeting->name));
}

}  // namespace palomind
