#include "shell/meeting_opening.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

#include "app/meeting_command.h"

namespace palomind {

namespace {

// The per-user settings store's keys: "Recent<n>Folder" and "Recent<n>Name"
// for n from 1 (the newest), and the folder open when the program ended.
constexpr const char* kSection = "Meetings";
constexpr const char* kOpenAtExitKey = "OpenAtExit";

constexpr const char* kNewTitle = "大会を新規作成";
constexpr const char* kOpenTitle = "大会を開く";
constexpr const char* kNamePrompt = "大会名を入力してください";

std::string RecentKey(std::size_t index, const char* part) {
    return "Recent" + std::to_string(index + 1) + part;
}

// "&1 <name>": the name's own "&" shows as itself, not as a mnemonic.
QString RecentCaption(std::size_t index, const std::string& name) {
    QString shown = QString::fromStdString(name);
    shown.replace(u'&', QStringLiteral("&&"));
    return QStringLiteral("&%1 ").arg(index + 1) + shown;
}

}  // namespace

MeetingOpening::MeetingOpening(MeetingSession& session, UserDialogs& dialogs,
                               SettingsStore& settings, std::function<std::time_t()> now,
                               QWidget* windowParent)
    : session_(session),
      dialogs_(dialogs),
      settings_(settings),
      now_(std::move(now)),
      windowParent_(windowParent) {
    for (std::size_t i = 0; i < kRecentKept; ++i) {
        const std::string folder =
            settings_.GetSetting(kSection, RecentKey(i, "Folder")).value_or("");
        if (folder.empty()) continue;
        recent_.push_back(
            {folder, settings_.GetSetting(kSection, RecentKey(i, "Name")).value_or("")});
    }
}

void MeetingOpening::AddMenuItems(QMenu& menu, QAction* before) {
    menu.insertSeparator(before);
    const auto addItem = [&](const char* name, const char* caption, void (MeetingOpening::*run)()) {
        auto* item = new QAction(QString::fromUtf8(caption), &menu);
        item->setObjectName(QString::fromUtf8(name));
        menu.insertAction(before, item);
        connect(item, &QAction::triggered, this, run);
    };
    addItem("mnuFileNewMeeting", "大会を新規作成(&N)...", &MeetingOpening::CreateMeeting);
    addItem("mnuFileOpenMeeting", "大会を開く(&M)...", &MeetingOpening::OpenMeeting);
    // One item per place, shown while the list reaches it: an item is never
    // deleted, not even by its own command.
    for (std::size_t i = 0; i < kRecentKept; ++i) {
        auto* item = new QAction(&menu);
        item->setObjectName(QStringLiteral("mnuFileMeeting%1").arg(i + 1));
        menu.insertAction(before, item);
        connect(item, &QAction::triggered, this, [this, i] { OpenRecent(i); });
        recentItems_.emplace_back(item);
    }
    ShowRecentItems();
}

void MeetingOpening::CreateMeeting() {
    const std::string folder = dialogs_.FolderName(kNewTitle);
    if (folder.empty()) return;
    const std::optional<std::string> name = dialogs_.InputBox(kNamePrompt, kNewTitle, "");
    if (!name || name->empty()) return;
    OpenWith(folder, [&] { return session_.Create(folder, *name, LocalDate(now_())); });
}

void MeetingOpening::OpenMeeting() {
    const std::string folder = dialogs_.FolderName(kOpenTitle);
    if (folder.empty()) return;
    OpenWith(folder, [&] { return session_.Open(folder); });
}

void MeetingOpening::OpenRecent(std::size_t index) {
    if (index >= recent_.size()) return;
    const std::string folder = recent_[index].folder;
    if (!OpenWith(folder, [&] { return session_.Open(folder); })) Forget(folder);
}

void MeetingOpening::ReopenAtStart() {
    const std::string folder = settings_.GetSetting(kSection, kOpenAtExitKey).value_or("");
    if (folder.empty()) return;
    // Told once: the next start goes on without it.
    if (!OpenWith(folder, [&] { return session_.Open(folder); }))
        settings_.SaveSetting(kSection, kOpenAtExitKey, "");
}

void MeetingOpening::CloseMeeting() {
    session_.Close();
    if (window_ != nullptr) window_->hide();
    settings_.SaveSetting(kSection, kOpenAtExitKey, "");
}

void MeetingOpening::RaceRestored(const std::string& heat) {
    if (!heat.empty()) session_.FileRestoredRace(heat);
}

bool MeetingOpening::OpenWith(const std::string& folder, const std::function<std::string()>& open) {
    const std::string message = open();
    if (!message.empty()) {
        dialogs_.ShowMessage(message);
        return false;
    }
    Remember(folder, session_.OpenMeeting()->name);
    settings_.SaveSetting(kSection, kOpenAtExitKey, folder);
    ShowWindow();
    return true;
}

void MeetingOpening::ShowWindow() {
    if (window_ == nullptr) {
        window_ = new MeetingWindow(session_, dialogs_, windowParent_);
        connect(window_, &MeetingWindow::closeMeetingRequested, this,
                &MeetingOpening::CloseMeeting);
    }
    window_->Refresh();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void MeetingOpening::Remember(const std::string& folder, const std::string& name) {
    Forget(folder);
    recent_.insert(recent_.begin(), {folder, name});
    if (recent_.size() > kRecentKept) recent_.resize(kRecentKept);
    StoreRecent();
}

void MeetingOpening::Forget(const std::string& folder) {
    const auto kept =
        std::remove_if(recent_.begin(), recent_.end(),
                       [&folder](const RecentMeeting& m) { return m.folder == folder; });
    if (kept == recent_.end()) return;
    recent_.erase(kept, recent_.end());
    StoreRecent();
}

void MeetingOpening::StoreRecent() {
    for (std::size_t i = 0; i < kRecentKept; ++i) {
        const RecentMeeting meeting = i < recent_.size() ? recent_[i] : RecentMeeting{};
        settings_.SaveSetting(kSection, RecentKey(i, "Folder"), meeting.folder);
        settings_.SaveSetting(kSection, RecentKey(i, "Name"), meeting.name);
    }
    ShowRecentItems();
}

void MeetingOpening::ShowRecentItems() {
    for (std::size_t i = 0; i < recentItems_.size(); ++i) {
        QAction* item = recentItems_[i];
        if (item == nullptr) continue;
        const bool shown = i < recent_.size();
        item->setText(shown ? RecentCaption(i, recent_[i].name) : QString());
        item->setVisible(shown);
    }
}

}  // namespace palomind
