#pragma once
#include <string>

#include "engine/race_state.h"
#include "engine/race_window_model.h"
#include "platform/file_store.h"
#include "platform/message_sink.h"

namespace palomind {

inline constexpr const char* kSettingsFileName = "Palomind.ini";
inline constexpr const char* kDefaultComment = "レースコメント記入欄";
inline constexpr std::int32_t kDefaultRaceTime = 480;

// Reads the five settings (port number, race time, start-wait time, read-out
// mode, comment) into the race state and the race window's comment. When the
// file is missing, unreadable, short or malformed, tells the operator and
// puts every setting at its default instead. Never fails.
void Load_Setting(RaceState& state, RaceWindowModel& window, FileStore& files,
                  MessageSink& messages, const std::string& path = kSettingsFileName);

// The file's bytes for these settings: the four settings and the fixed
// comment text, in the file's encoding.
std::string SettingsFileBytes(const RaceState& state);

// Writes the four settings and the fixed comment text. On failure tells the
// operator, leaves any previous file as it was and returns false; the caller
// goes on either way.
bool Save_Setting(const RaceState& state, FileStore& files, MessageSink& messages,
                  const std::string& path = kSettingsFileName);

// Start-up's rule after reading the settings: a race time of 0 means the
// default race time. (Reading itself keeps 0, as it keeps every value read.)
void ApplyStartupRaceTimeDefault(RaceState& state);

}  // namespace palomind
