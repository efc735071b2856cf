#pragma once
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/meeting_session.h"
#include "platform/user_dialogs.h"

class QDialog;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace palomind {

// The open meeting's entry list and classes, and the qualifying draw: the
// meeting window's second tab. Every edit goes through
// MeetingSession::Change (saved at once) and every message through the
// dialogs; meetingChanged() follows every saved change.
class MeetingEntriesView final : public QWidget {
    Q_OBJECT

  public:
    MeetingEntriesView(MeetingSession& session, UserDialogs& dialogs, QWidget* parent = nullptr);

    // Shows the open meeting afresh (empty while none is open).
    void Refresh();
    // Where the draw's seeds come from: the system's random device unless
    // a test fixes them.
    void SetSeedSource(std::function<std::uint64_t()> seeds) { seeds_ = std::move(seeds); }

  signals:
    void meetingChanged();

  private:
    void AddNewEntry();
    void EditSelectedEntry();
    void WithdrawSelectedEntry();
    void ImportFromCsv();
    void AddNewClass();
    void EditSelectedClass();
    void DrawSelectedRound();

    using Edit = std::function<bool(Meeting&, std::string& error)>;
    // Saves `edit` through the session; on a refusal shows `failure` and
    // the reason and returns false.
    bool Apply(const Edit& edit, const std::string& failure);
    // Opens `dialog` until `edit`, reading what it holds, is saved (true) or
    // it is cancelled: a refusal keeps what was typed.
    bool KeepOpenUntilStored(QDialog& dialog, const Edit& edit, const std::string& failure);
    // Opens the class dialog on `settings` until it is stored or cancelled.
    void EditClass(const MeetingClass& settings, const QString& title);
    std::optional<std::int64_t> SelectedEntry() const;
    const MeetingClass* SelectedClass() const;
    void FollowSelectedClass();
    void ShowEntries(const Meeting& meeting);
    void ShowClasses(const Meeting& meeting);

    MeetingSession& session_;
    UserDialogs& dialogs_;
    std::function<std::uint64_t()> seeds_;
    QTableWidget* entries_;
    QTableWidget* classes_;
    QSpinBox* round_;
};

}  // namespace palomind
