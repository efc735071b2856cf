#pragma once
#include <string>
#include <vector>

namespace palomind {

// The system's resolver (getaddrinfo: /etc/hosts, then DNS as the machine is
// set up): the numeric addresses a host name has, in its order. It may wait
// on the network, so it never runs on the window thread.
std::vector<std::string> SystemResolveHost(const std::string& hostName);

}  // namespace palomind
