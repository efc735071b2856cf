#pragma once
#include <array>
#include <functional>

#include "app/receiver_reconnect.h"

class QAction;
class QMenu;
class QWidget;

namespace palomind {

class Application;
class ReceiverSimulationSwitch;
class SerialDeviceEnumerator;

// The Settings menu's port items "ポート１".."ポート８": opening the chosen
// port, the check mark on the open one, and reopening the receiver's port by
// itself after it failed during a run; after them "ポートの割り当て..." and the
// switch "受信機シミュレーション".
class PortMenu {
  public:
    static constexpr int kPortCount = 8;

    explicit PortMenu(Application& app);

    // Adds the eight items to `menu`, each checkable and checked, as the
    // window is created; choosing item n calls `chosen(n)`.
    void AddItems(QMenu& menu, const std::function<void(int)>& chosen);
    // Adds, after the port items, a separator, "ポートの割り当て..." (its
    // dialog opens on `dialogParent`) and the checkable
    // "受信機シミュレーション". They act once AttachSetup has been called.
    void AddSetupItems(QMenu& menu, QWidget& dialogParent);
    // The devices the assignment dialog lists and the simulation switch;
    // both must outlive the menu.
    void AttachSetup(SerialDeviceEnumerator& devices, ReceiverSimulationSwitch& simulation);

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
    void ShowAssignments(QWidget& dialogParent);
    void TurnSimulation(bool on);

    Application& app_;
    std::array<QAction*, kPortCount> items_{};
    ReceiverReconnect reconnect_;
    std::function<void(int)> chosen_;
    QAction* simulationItem_ = nullptr;
    SerialDeviceEnumerator* devices_ = nullptr;
    ReceiverSimulationSwitch* simulation_ = nullptr;
};

}  // namespace palomind
