#include "shell/port_assignment_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/picking_table.h"

namespace palomind {

namespace {

constexpr int kPortCount = 8;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

std::string PortKey(int portNumber) {
    return "COM" + std::to_string(portNumber);
}

void SetRow(QTableWidget& table, int row, const QStringList& cells) {
    for (int column = 0; column < cells.size(); ++column) {
        table.setItem(row, column, new QTableWidgetItem(cells[column]));
    }
}

QString InUseText(int portInUse, const std::string& deviceInUse) {
    if (portInUse < 1) return QStringLiteral("使用中のポート: なし");
    return QStringLiteral("使用中のポート: COM%1 (%2)").arg(portInUse).arg(Text(deviceInUse));
}

}  // namespace

PortAssignmentDialog::PortAssignmentDialog(SettingsStore& settings, SerialDeviceEnumerator& devices,
                                           int portInUse, const std::string& deviceInUse,
                                           QWidget* parent)
    : QDialog(parent), settings_(settings), enumerator_(devices) {
    setObjectName(QStringLiteral("dlgPortAssignment"));
    setWindowTitle(QStringLiteral("ポートの割り当て"));
    auto* layout = new QVBoxLayout(this);

    auto* inUse = new QLabel(InUseText(portInUse, deviceInUse), this);
    inUse->setObjectName(QStringLiteral("lblPortInUse"));
    layout->addWidget(inUse);

    ports_ = PickingTable({QStringLiteral("ポート"), QStringLiteral("割り当てたデバイス")}, this);
    ports_->setObjectName(QStringLiteral("tblPorts"));
    ports_->setRowCount(kPortCount);
    layout->addWidget(ports_);

    layout->addWidget(new QLabel(QStringLiteral("接続されているデバイス:"), this));
    deviceTable_ =
        PickingTable({QStringLiteral("デバイス"), QStringLiteral("説明"), QStringLiteral("製造元"),
                      QStringLiteral("シリアル番号"), QStringLiteral("固定パス")},
                     this);
    deviceTable_->setObjectName(QStringLiteral("tblDevices"));
    layout->addWidget(deviceTable_);

    auto* pathRow = new QHBoxLayout;
    path_ = new QLineEdit(this);
    path_->setObjectName(QStringLiteral("txtDevicePath"));
    path_->setPlaceholderText(QStringLiteral("/dev/serial/by-id/..."));
    auto* assign = new QPushButton(QStringLiteral("割り当て"), this);
    assign->setObjectName(QStringLiteral("cmdAssign"));
    auto* clear = new QPushButton(QStringLiteral("解除"), this);
    clear->setObjectName(QStringLiteral("cmdClear"));
    pathRow->addWidget(new QLabel(QStringLiteral("パス:"), this));
    pathRow->addWidget(path_, 1);
    pathRow->addWidget(assign);
    pathRow->addWidget(clear);
    layout->addLayout(pathRow);

    layout->addWidget(
        new QLabel(QStringLiteral("変更は、ポートを選び直したときから使われます。"), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
    layout->addWidget(buttons);

    connect(assign, &QPushButton::clicked, this, &PortAssignmentDialog::AssignPath);
    connect(clear, &QPushButton::clicked, this, &PortAssignmentDialog::ClearAssignment);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(deviceTable_, &QTableWidget::itemSelectionChanged, this,
            &PortAssignmentDialog::TakeChosenDevice);

    ShowAssignments();
    SelectPort(portInUse >= 1 ? portInUse : 1);
    RefreshDevices();
    poll_ = new QTimer(this);
    poll_->setInterval(kPollIntervalMs);
    connect(poll_, &QTimer::timeout, this, &PortAssignmentDialog::RefreshDevices);
    poll_->start();
    resize(720, 600);
}

int PortAssignmentDialog::SelectedPort() const {
    return ports_->currentRow() + 1;
}

void PortAssignmentDialog::SelectPort(int portNumber) {
    ports_->selectRow(portNumber - 1);
}

void PortAssignmentDialog::SetPath(const QString& path) {
    path_->setText(path);
}

void PortAssignmentDialog::AssignPath() {
    const std::string path = path_->text().trimmed().toStdString();
    if (path.empty() || SelectedPort() < 1) return;
    settings_.SaveSetting("Ports", PortKey(SelectedPort()), path);
    ShowAssignments();
}

void PortAssignmentDialog::ClearAssignment() {
    if (SelectedPort() < 1) return;
    settings_.SaveSetting("Ports", PortKey(SelectedPort()), "");
    ShowAssignments();
}

void PortAssignmentDialog::ShowAssignments() {
    for (int n = 1; n <= kPortCount; ++n) {
        const std::string assigned = settings_.GetSetting("Ports", PortKey(n)).value_or("");
        SetRow(
            *ports_, n - 1,
            {QStringLiteral("COM%1").arg(n),
             assigned.empty() ? QStringLiteral("(既定) /dev/ttyS%1").arg(n - 1) : Text(assigned)});
    }
}

void PortAssignmentDialog::RefreshDevices() {
    std::vector<SerialDevice> present = enumerator_.Devices();
    const auto samePaths = [](const SerialDevice& a, const SerialDevice& b) {
        return a.systemPath == b.systemPath && a.byIdPath == b.byIdPath;
    };
    // Rebuilt only when the devices changed, so a poll keeps the selection.
    if (std::equal(present.begin(), present.end(), devices_.begin(), devices_.end(), samePaths))
        return;
    devices_ = std::move(present);
    const QSignalBlocker quiet(deviceTable_);
    deviceTable_->clearSelection();
    deviceTable_->setRowCount(static_cast<int>(devices_.size()));
    for (std::size_t row = 0; row < devices_.size(); ++row) {
        const SerialDevice& device = devices_[row];
        SetRow(*deviceTable_, static_cast<int>(row),
               {Text(device.systemPath), Text(device.description), Text(device.manufacturer),
                Text(device.serialNumber), Text(device.byIdPath)});
    }
    deviceTable_->resizeColumnsToContents();
}

void PortAssignmentDialog::TakeChosenDevice() {
    const int row = deviceTable_->currentRow();
    if (row < 0 || row >= static_cast<int>(devices_.size())) return;
    SetPath(Text(devices_[static_cast<std::size_t>(row)].PreferredPath()));
}

}  // namespace palomind
