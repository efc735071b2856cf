#pragma once
#include <QDialog>
#include <string>
#include <vector>

#include "platform/serial_device_enumerator.h"
#include "platform/settings_store.h"

class QLabel;
class QLineEdit;
class QTableWidget;
class QTimer;

namespace palomind {

// "ポートの割り当て": which device each of COM1..COM8 opens. The operator picks
// a device present (its /dev/serial/by-id link where it has one, so the
// assignment survives replugging) or types a path, and assigns it to the
// selected port, or clears the port back to its default device. Each choice
// is stored at once in the per-user setting "Ports/COMn". The devices are
// listed anew about once a second while the dialog is open.
class PortAssignmentDialog final : public QDialog {
  public:
    static constexpr int kPollIntervalMs = 1000;

    // portInUse: 0 when no port is open; deviceInUse: what it opened.
    PortAssignmentDialog(SettingsStore& settings, SerialDeviceEnumerator& devices, int portInUse,
                         const std::string& deviceInUse, QWidget* parent = nullptr);

    // The port selected in the list of ports (1..8).
    int SelectedPort() const;
    void SelectPort(int portNumber);
    // Puts `path` in the path box, as choosing a device does.
    void SetPath(const QString& path);
    void AssignPath();
    void ClearAssignment();
    void RefreshDevices();

  private:
    void ShowAssignments();
    void TakeChosenDevice();

    SettingsStore& settings_;
    SerialDeviceEnumerator& enumerator_;
    std::vector<SerialDevice> devices_;
    QTableWidget* ports_;
    QTableWidget* deviceTable_;
    QLineEdit* path_;
    QTimer* poll_;
};

}  // namespace palomind
