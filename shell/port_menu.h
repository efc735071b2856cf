#pragma once
#include <array>
#include <functional>

#include "app/receiver_reconnect.h"

class QAction;
class QMenu;

namespace palomind {

class Application;

// The Settings menu's port items "ポート１".."ポート８": opening the chosen
// port, the check mark on the open one, and reopening the receiver's port by
// itself after it failed during a run.
class PortMenu {
  public:
    static constexpr int kPortCount = 8;

    explicit PortMenu(Application& app);

    // Adds the eight items to `menu`, each checkable and checked, as the
    // window is created; choosing item n calls `chosen(n)`.
    void AddItems(QMenu& menu, const std::function<void(int)>& chosen);

    // Closes the open port and opens `portNumber` in its place. True when it
    // opened; otherwise the operator has been told and no item is checked.
    bool Select(int portNumber);
    void ClearChecks();

    // The open port failed: no item may claim it is open any more, and it is
    // tried again about once a second until it is back.
    void PortFailed();
    // The 10 ms timer. True when this call opened the failed port again.
    bool Reconnected();

  private:
    void Check(int portNumber);

    Application& app_;
    std::array<QAction*, kPortCount> items_{};
    ReceiverReconnect reconnect_;
};

}  // namespace palomind
