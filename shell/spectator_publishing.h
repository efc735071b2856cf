#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <optional>

#include "app/application.h"
#include "web/race_snapshot_slot.h"
#include "web/spectator_feed.h"
#include "web/spectator_service.h"
#include "web/web_address.h"

class QAction;
class QWidget;

namespace palomind {

class SpectatorPageDialog;

// "観客用ﾍﾟｰｼﾞを公開": publishes the race on the spectators' page while the
// menu item is checked, and remembers that choice and its port per user.
class SpectatorPublishing final : public QObject {
    Q_OBJECT
  public:
    SpectatorPublishing(Application& app, QWidget* window, QAction& menuItem);
    ~SpectatorPublishing() override;

    // At start-up: serves at `forThisRun` (--web) when given, else as the
    // operator last left the menu item. No dialog is shown.
    void StartAtLaunch(const std::optional<WebAddress>& forThisRun);
    // The menu item was checked or unchecked.
    void MenuToggled();

    bool IsPublishing() const { return service_.IsRunning(); }
    std::uint16_t Port() const { return service_.Port(); }
    SpectatorPageDialog* Dialog() const { return dialog_; }

  private:
    // Serves at the address; the operator's message when it cannot.
    QString Serve(const WebAddress& address);
    void StopServing();
    QString ChangePort(int port);
    void Remember();
    void ShowDialog();
    // The address a phone opens: the one served, or the machine's on the
    // network when every address is served.
    QString ShownHost() const;

    Application& app_;
    QWidget* window_;
    QAction& item_;
    RaceSnapshotSlot race_;
    SpectatorFeed feed_;
    SpectatorService service_;
    QTimer flush_;
    WebAddress address_;
    SpectatorPageDialog* dialog_ = nullptr;
};

}  // namespace palomind
