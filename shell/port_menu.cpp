#include "shell/port_menu.h"

#include <QAction>
#include <QMenu>

#include "app/application.h"
#include "shell/port_assignment_dialog.h"

namespace palomind {
namespace {

QString PortCaption(int portNumber) {
    return QStringLiteral("ポート") + QChar(0xFF10 + portNumber);  // full-width digit
}

}  // namespace

PortMenu::PortMenu(Application& app) : app_(app) {}

void PortMenu::AddItems(QMenu& menu, const std::function<void(int)>& chosen) {
    chosen_ = chosen;
    for (int n = 1; n <= kPortCount; ++n) {
        QAction* item = menu.addAction(PortCaption(n));
        item->setObjectName(QStringLiteral("mnuSCI_COM%1").arg(n));
        item->setCheckable(true);
        item->setChecked(true);
        QObject::connect(item, &QAction::triggered, &menu, [chosen, n] { chosen(n); });
        items_[static_cast<std::size_t>(n - 1)] = item;
    }
}

void PortMenu::AddSetupItems(QMenu& menu, QWidget& dialogParent) {
    menu.addSeparator();
    QAction* assign = menu.addAction(QStringLiteral("ポートの割り当て..."));
    assign->setObjectName(QStringLiteral("mnuSCI_Assign"));
    QObject::connect(assign, &QAction::triggered, &menu,
                     [this, &dialogParent] { ShowAssignments(dialogParent); });
    simulationItem_ = menu.addAction(QStringLiteral("受信機シミュレーション"));
    simulationItem_->setObjectName(QStringLiteral("mnuSCI_Simulation"));
    simulationItem_->setCheckable(true);
    QObject::connect(simulationItem_, &QAction::triggered, &menu,
                     [this](bool on) { TurnSimulation(on); });
}

void PortMenu::AttachSetup(SerialDeviceEnumerator& devices) {
    devices_ = &devices;
    if (simulationItem_ != nullptr) simulationItem_->setChecked(app_.Port().SimulationOn());
}

void PortMenu::ShowAssignments(QWidget& dialogParent) {
    if (devices_ == nullptr) return;
    const PortSession& session = app_.Port();
    const int inUse = session.PortInUse();
    PortAssignmentDialog dialog(app_.Settings(), *devices_, inUse,
                                inUse > 0 ? session.DevicePath(inUse) : std::string(),
                                &dialogParent);
    dialog.exec();
}

void PortMenu::TurnSimulation(bool on) {
    if (!app_.Port().CanSimulate()) {
        simulationItem_->setChecked(false);
        return;
    }
    app_.Port().SetSimulationOn(on);
    // The port in use reads what the switch now says at once.
    if (chosen_) chosen_(app_.State().PortNumber);
}

void PortMenu::ClearChecks() {
    for (QAction* item : items_) item->setChecked(false);
}

void PortMenu::Check(int portNumber) {
    items_[static_cast<std::size_t>(portNumber - 1)]->setChecked(true);
}

bool PortMenu::Select(int portNumber) {
    if (portNumber < 1 || portNumber > kPortCount) return false;
    const bool opened = app_.Port().Select(portNumber);
    // Whether it opened or not, the port in use before is closed now: no
    // other item may keep a check mark that claims an open port.
    ClearChecks();
    if (opened) Check(portNumber);
    return opened;
}

bool PortMenu::Reconnected() {
    if (!app_.Port().Reconnected()) return false;
    Check(app_.State().PortNumber);
    return true;
}

}  // namespace palomind
