#pragma once
#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <functional>
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
// The reader thread is stopped in a handshake, never just told: SetListener
// (with another listener or none) and the destructor ask it to stop
// delivering, then wait until it has (a block it was delivering meanwhile has
// been delivered); once they return, the previous listener is never called
// again, on any thread, and may be destroyed. Close waits likewise until the
// port is closed on that thread.
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
    PortDiagnosis Diagnose(int portNumber) const override;
    // Opens `device` itself, whatever port it stands for (the receiver
    // simulator's line, say); the line is set up as Open sets it.
    bool OpenDevice(const std::string& device);

  private:
    // The handshake above: stop requested (no delivery starts from now),
    // stopped (none is under way), waited for. Then `then` runs on the
    // reader thread, still before this returns.
    void StopDelivering(const std::function<void()>& then = {});
    void RunOnReaderAndWait(const std::function<void()>& work);
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
