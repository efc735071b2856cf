#pragma once
#include <string>

// The files the program reads at start-up, as an operator would have them.
namespace palomind::testing {

// The settings file "Palomind.ini" with these four values and the comment
// "レースコメント記入欄".
std::string SettingsFileBytes(int port, int raceTime, int startWait, int ttsMode);

// The roster file "idname.ind" naming IDs 1 to 64 "R01" to "R64".
std::string RosterFileBytes();

}  // namespace palomind::testing
