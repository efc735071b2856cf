#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "tools/receiver_simulator/transmission_sources.h"

namespace palomind::simulator {

// The bytes a race journal says the port received ("rx" lines), with their
// ticks, in journal order. Other events are skipped. False with `error` set
// when the text is not a journal.
bool ReadRecordedReceptions(std::string_view journalText,
                            std::vector<RecordedReception>& receptions, std::string& error);

}  // namespace palomind::simulator
