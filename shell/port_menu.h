#pragma once
#include <array>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace palomind {

class Application;
class SerialDeviceEnumerator;

// The Settings menu's port items "ポート１".."ポート８", which command the
// application's port session and carry the check mark on the open port;
// after them "ポートの割り当て..." and the switch "受信機シミュレーション".
class PortMenu {
  public:
    static constexpr int kPortCount = 8;

    explicit PortMenu(Application& app);

    // Adds the eight items to `menu`, each checkable and checked, as the
    // window is created; choosing item n calls `chosen(n)`.
    void AddItems(QMenu& menu, const std::function<void(int)>& chosen);
    // Adds, after the port items, a separator, "ポートの割り当て..." (its
    // dialog opens on `dialogParent`, once AttachSetup has been called)
    // and the checkable "受信機シミュレーション" (it acts where the port
    // session can simulate).
    void AddSetupItems(QMenu& menu, QWidget& dialogParent);
    // The devices the assignment dialog lists (they must outlive the menu);
    // the simulation item shows the session's switch from now on.
    void AttachSetup(SerialDeviceEnumerator& devices);

    // Closes the open port and opens `portNumber` in its place. True when it
    // opened; otherwise the operator has been told and no item is checked.
    bool Select(int portNumber);
    void ClearChecks();

    // The open port failed: no item may claim it is open any more (the
    // session tries it again by itself).
    void PortFailed() { ClearChecks(); }
    // The 10 ms timer. True when this call opened the failed port again.
    bool Reconnected();

  private:
    void Check(int portNumber);
    void ShowAssignments(QWidget& dialogParent);
    void TurnSimulation(bool on);

    Application& app_;
    std::array<QAction*, kPortCount> items_{};
    std::function<void(int)> chosen_;
    QAction* simulationItem_ = nullptr;
    SerialDeviceEnumerator* devices_ = nullptr;
};

}  // namespace palomind
