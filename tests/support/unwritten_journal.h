#pragma once
#include <string_view>

#include "app/event_journal.h"

namespace palomind::testing {

// A journal that takes every line and keeps none, for tests about something
// else than what is journaled.
class UnwrittenJournal final : public EventJournal {
  public:
    bool Record(const JournalEvent&) override { return true; }
    bool Note(std::string_view) override { return true; }
    void SyncIfDue() override {}
};

}  // namespace palomind::testing
