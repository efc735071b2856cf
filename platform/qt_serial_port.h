#pragma once
#include <QObject>
#include <QSerialPort>
#include <string>

#include "platform/serial_port.h"
#include "platform/settings_store.h"

namespace palomind {

// The receiver's port over QSerialPort. Port n (COM1 to COM8) maps to a
// device, first match wins:
//   1. the environment variable PALOMIND_COMn (e.g. PALOMIND_COM1=/dev/ttyUSB0),
//   2. the per-user setting "Ports/COMn",
//   3. the platform's n-th serial port: COMn on Windows, /dev/ttyS(n-1) elsewhere.
// The environment comes first so that one run can be pointed at another
// device (a USB adapter, a test pseudo-terminal) without touching what the
// operator stored.
class QtSerialPort final : public QObject, public SerialPort {
    Q_OBJECT

  public:
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 8;

    explicit QtSerialPort(SettingsStore& settings, QObject* parent = nullptr);
    ~QtSerialPort() override;

    void SetListener(SerialListener* listener) override;
    bool IsOpen() const override;
    void Close() override;
    bool Open(int portNumber) override;
    // Empty for a number outside 1..8.
    std::string DevicePath(int portNumber) const override;

  private:
    void DeliverWaitingBytes();
    void HandleError(QSerialPort::SerialPortError error);

    SettingsStore& settings_;
    QSerialPort port_;
    SerialListener* listener_ = nullptr;
};

}  // namespace palomind
