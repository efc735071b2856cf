#include "tests/support/startup_files.h"

namespace palomind::testing {

std::string SettingsFileBytes(int port, int raceTime, int startWait, int ttsMode) {
    // "レースコメント記入欄" in cp932, quoted.
    return std::to_string(port) + "\r\n" + std::to_string(raceTime) + "\r\n" +
           std::to_string(startWait) + "\r\n" + std::to_string(ttsMode) + "\r\n" +
           "\"\x83\x8c\x81\x5b\x83\x58\x83\x52\x83\x81\x83\x93\x83\x67\x8b\x4c\x93\xfc\x97\x93\"\r"
           "\n";
}

std::string RosterFileBytes() {
    std::string bytes;
    for (int id = 1; id <= 64; ++id) {
        bytes += "\"R" + std::string(id < 10 ? "0" : "") + std::to_string(id) + "\"\r\n";
    }
    return bytes;
}

}  // namespace palomind::testing
