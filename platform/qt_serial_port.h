#pragma once
#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <string>

#include "platform/low_latency.h"
#include "platform/serial_port.h"
#include "platform/settings_store.h"

namespace palomind {

class SerialReader;

// The receiver's port over QSerialPort, read on a thread of its own: the
// moment bytes are read is the time of the pass, so reading must never wait
// for the window thread (painting, dialogs, a slow disk). The listener's
// OnBytes runs on that thread; OnBytesWaiting and OnPortFailed follow on the
// thread that created the port.
//
// Port n (COM1 to COM8) maps to a device, first match wins:
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

    explicit QtSerialPort(SettingsStore& settings, SerialIoctl serialIoctl = SystemSerialIoctl,
                          QObject* parent = nullptr);
    ~QtSerialPort() override;

    void SetListener(SerialListener* listener) override;
    bool IsOpen() const override;
    void Close() override;
    bool Open(int portNumber) override;
    // Empty for a number outside 1..8.
    std::string DevicePath(int portNumber) const override;
    // Opens `device` itself, whatever port it stands for (the receiver
    // simulator's line, say); the line is set up as Open sets it.
    bool OpenDevice(const std::string& device);

  private:
    void TellBytesWaiting();
    void TellFailure(const QString& reason);

    SettingsStore& settings_;
    QThread thread_;
    SerialReader* reader_;  // lives on thread_
    std::atomic<SerialListener*> listener_{nullptr};
    // A call of TellBytesWaiting is on its way to this thread: one is enough
    // for any number of blocks.
    std::atomic<bool> bytesWaitingTold_{false};
};

}  // namespace palomind
