#pragma once
#include <optional>
#include <string>

#include "platform/serial_port.h"

namespace palomind {

// No receiver port is open: which port the race names (0: none was ever
// chosen) and why its device does not open.
struct ReceiverAbsence {
    int portNumber = 0;
    PortDiagnosis diagnosis;

    bool operator==(const ReceiverAbsence&) const = default;
};

// The status bar's lasting notice while no port is open: the port, its
// device and why.
std::string ReceiverAbsenceNotice(const ReceiverAbsence& absence);

// The line the port's failure message adds under its two: the device and the
// reason, and where the reason is permission, how to get it on this system.
std::string PortDiagnosisLine(const PortDiagnosis& diagnosis);

}  // namespace palomind
