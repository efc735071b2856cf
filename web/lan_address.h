#pragma once
#include <QString>

namespace palomind {

// The address a phone on the same network opens the page at: the machine's
// first IPv4 address on a running, non-loopback interface; empty when the
// machine is on no network.
QString LanAddress();

}  // namespace palomind
