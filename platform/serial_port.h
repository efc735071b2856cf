#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace palomind {

// Why a port is not open, as the system sees its device.
enum class PortUnavailable {
    NotPresent,    // no such device, or nothing behind it
    InUse,         // another program holds it
    NoPermission,  // this user may not read it
    NotSerial,     // the name is not a serial line
    Unknown,
};

struct PortDiagnosis {
    std::string device;  // the device the port maps to
    PortUnavailable reason = PortUnavailable::Unknown;
    // NoPermission: the group that owns the device ("dialout"), whose members
    // may read it; empty when it is not known.
    std::string group;

    bool operator==(const PortDiagnosis&) const = default;
};

// What a serial port tells its user.
class SerialListener {
  public:
    virtual ~SerialListener() = default;
    // Data received: every byte waiting, in arrival order, unchanged. A port
    // with a reader thread calls it there, the moment the bytes are read (the
    // time of a pass is when its bytes arrive), so it must only take note of
    // them: stamp and hand over, never block.
    virtual void OnBytes(std::span<const std::uint8_t> bytes) = 0;
    // On the user-interface thread, after one or more OnBytes: time to
    // process what was handed over.
    virtual void OnBytesWaiting() {}
    // On the user-interface thread: the open port failed (device removed,
    // read error). The port has already closed itself; it is reported once
    // per failure.
    virtual void OnPortFailed(std::string_view reason) = 0;
};

// The receiver's port: a narrow byte source. Ports are numbered 1 to 8
// (COM1 to COM8); the line is always 19200 baud, no parity, 8 data bits,
// 1 stop bit, raw bytes, nothing is ever sent.
class SerialPort {
  public:
    virtual ~SerialPort() = default;
    // Once this returns, the listener set before is never called again, on
    // any thread (a port with a reader thread waits for it), and may go.
    virtual void SetListener(SerialListener* listener) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;
    // Opens port n; false when it does not exist or is in use.
    virtual bool Open(int portNumber) = 0;
    // The device behind port n (for messages and the README's mapping).
    virtual std::string DevicePath(int portNumber) const = 0;
    // Why port n does not open now (after Open failed, or the open port
    // failed): its device as the system sees it at this moment.
    virtual PortDiagnosis Diagnose(int portNumber) const = 0;
};

}  // namespace palomind
