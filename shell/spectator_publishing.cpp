#include "shell/spectator_publishing.h"

#include <QAction>
#include <charconv>

#include "shell/spectator_page_dialog.h"
#include "web/lan_address.h"

namespace palomind {

namespace {

// The per-user settings store keeps the menu item's state and the port.
constexpr const char* kSection = "SpectatorPage";
constexpr const char* kPublishKey = "Publish";
constexpr const char* kPortKey = "Port";

std::uint16_t StoredPort(SettingsStore& settings) {
    const std::optional<std::string> text = settings.GetSetting(kSection, kPortKey);
    unsigned port = 0;
    if (!text ||
        std::from_chars(text->data(), text->data() + text->size(), port).ec != std::errc() ||
        port == 0 || port > 65535)
        return kDefaultWebPort;
    return static_cast<std::uint16_t>(port);
}

}  // namespace

SpectatorPublishing::SpectatorPublishing(Application& app, QWidget* window, QAction& menuItem)
    : app_(app),
      window_(window),
      item_(menuItem),
      feed_(
          app.Window(), [&app] { return app.Result(); }, race_),
      service_(race_) {
    // Changes the pacing held back reach the page within this time.
    flush_.setInterval(SpectatorFeed::kDefaultIntervalMs);
    connect(&flush_, &QTimer::timeout, this, [this] { feed_.Flush(app_.Now()); });
}

SpectatorPublishing::~SpectatorPublishing() {
    StopServing();
}

void SpectatorPublishing::StartAtLaunch(const std::optional<WebAddress>& forThisRun) {
    SettingsStore& settings = app_.Settings();
    if (!forThisRun && settings.GetSetting(kSection, kPublishKey) != "1") return;
    const QString problem = Serve(forThisRun ? *forThisRun : WebAddress{{}, StoredPort(settings)});
    item_.setChecked(problem.isEmpty());
    if (!problem.isEmpty()) app_.Dialogs().ShowMessage(problem.toStdString());
}

void SpectatorPublishing::MenuToggled() {
    if (!item_.isChecked()) {
        StopServing();
        if (dialog_ != nullptr) dialog_->hide();
        Remember();
        return;
    }
    const QString problem = Serve({{}, StoredPort(app_.Settings())});
    if (!problem.isEmpty()) {
        item_.setChecked(false);
        app_.Dialogs().ShowMessage(problem.toStdString());
        return;
    }
    Remember();
    ShowDialog();
}

QString SpectatorPublishing::Serve(const WebAddress& address) {
    StopServing();
    const SpectatorService::StartResult started = service_.Start(address);
    if (!started.serving) {
        if (started.portInUse)
            return QStringLiteral(
                       "ポート %1 は他のプログラムが使っているため、観客用ページを"
                       "公開できません。\r\n別のポートを指定してください。")
                .arg(address.port);
        return QStringLiteral("観客用ページを公開できません (ポート %1): %2")
            .arg(address.port)
            .arg(QString::fromStdString(started.error));
    }
    address_ = address;
    address_.port = service_.Port();
    app_.Subscribe(&feed_);
    feed_.PublishNow(app_.Now());
    flush_.start();
    app_.NoteInJournal("spectators' page served at port " + std::to_string(address_.port));
    return {};
}

void SpectatorPublishing::StopServing() {
    if (!service_.IsRunning()) return;
    flush_.stop();
    app_.Unsubscribe(&feed_);
    service_.Stop();
}

QString SpectatorPublishing::ChangePort(int port) {
    const WebAddress previous = address_;
    WebAddress moved = previous;
    moved.port = static_cast<std::uint16_t>(port);
    QString problem = Serve(moved);
    if (!problem.isEmpty()) {
        // The page stays where it was; the operator is told why.
        if (!Serve(previous).isEmpty()) item_.setChecked(false);
    } else {
        Remember();
    }
    if (dialog_ != nullptr) dialog_->ShowAddress(ShownHost(), address_.port);
    return problem;
}

void SpectatorPublishing::Remember() {
    SettingsStore& settings = app_.Settings();
    settings.SaveSetting(kSection, kPublishKey, item_.isChecked() ? "1" : "0");
    if (IsPublishing()) settings.SaveSetting(kSection, kPortKey, std::to_string(address_.port));
}

QString SpectatorPublishing::ShownHost() const {
    if (address_.host.empty()) return LanAddress();
    return QString::fromStdString(address_.resolved.empty() ? address_.host
                                                            : address_.resolved.front());
}

void SpectatorPublishing::ShowDialog() {
    if (dialog_ == nullptr)
        dialog_ = new SpectatorPageDialog(window_, [this](int port) { return ChangePort(port); });
    dialog_->ShowAddress(ShownHost(), address_.port);
    dialog_->show();
    dialog_->raise();
}

}  // namespace palomind
