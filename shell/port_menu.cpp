#include "shell/port_menu.h"

#include <QAction>
#include <QMenu>
#include <string>

#include "app/application.h"
#include "shell/port_assignment_dialog.h"
#include "shell/receiver_simulation_switch.h"

namespace palomind {
namespace {

QString PortCaption(int portNumber) {
    return QStringLiteral("ポート") + QChar(0xFF10 + portNumber);  // full-width digit
}

}  // namespace

PortMenu::PortMenu(Application& app)
    : app_(app), reconnect_(app.Services().serial, app.Services().tickSource) {}

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

void PortMenu::AttachSetup(SerialDeviceEnumerator& devices, ReceiverSimulationSwitch& simulation) {
    devices_ = &devices;
    simulation_ = &simulation;
    if (simulationItem_ != nullptr) simulationItem_->setChecked(simulation.SimulationOn());
}

void PortMenu::ShowAssignments(QWidget& dialogParent) {
    if (devices_ == nullptr) return;
    SerialPort& port = app_.Services().serial;
    const int inUse = port.IsOpen() ? app_.State().PortNumber : 0;
    PortAssignmentDialog dialog(app_.Services().settings, *devices_, inUse,
                                inUse > 0 ? port.DevicePath(inUse) : std::string(), &dialogParent);
    dialog.exec();
}

void PortMenu::TurnSimulation(bool on) {
    if (simulation_ == nullptr) {
        simulationItem_->setChecked(false);
        return;
    }
    simulation_->SetSimulationOn(on);
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
    // The receiver is where the operator says now, whether this port opens
    // or not: the one that failed is no longer tried behind their back.
    reconnect_.Cancel();
    SerialPort& port = app_.Services().serial;
    if (port.IsOpen()) port.Close();
    // The adapter sets the line (19200 baud, no parity, 8 data bits, 1 stop
    // bit, raw bytes, every waiting byte delivered) as it opens the port.
    if (!port.Open(portNumber)) {
        // The port in use is closed now, so no item may keep a check mark
        // that claims an open port. PortNumber keeps its value.
        ClearChecks();
        app_.Services().dialogs.ShowMessage("通信ポートが開けません。(COM" +
                                            std::to_string(portNumber) +
                                            ")\r\n他のポートをお試しください");
        return false;
    }
    ClearChecks();
    Check(portNumber);
    app_.SetPortNumber(static_cast<std::int16_t>(portNumber));
    app_.NoteInJournal("serial port COM" + std::to_string(portNumber) + " opened (" +
                       port.DevicePath(portNumber) + ")");
    return true;
}

void PortMenu::PortFailed() {
    ClearChecks();
    reconnect_.PortFailed(app_.State().PortNumber);
}

bool PortMenu::Reconnected() {
    if (reconnect_.Poll() != ReceiverReconnect::Result::Reconnected) return false;
    const int port = app_.State().PortNumber;
    Check(port);
    app_.NoteInJournal("serial port COM" + std::to_string(port) + " reopened (" +
                       app_.Services().serial.DevicePath(port) + ")");
    return true;
}

}  // namespace palomind
