#pragma once
#include <string_view>

#include "journal/journal.h"

namespace palomind {

// Where the application records every event that drives the race engine, as
// it happens, so that a run can be replayed and a crash loses no pass.
class EventJournal {
  public:
    virtual ~EventJournal() = default;
    // Appends one event line. False once the journal can no longer be written
    // (the race goes on without it).
    virtual bool Record(const JournalEvent& event) = 0;
    // Appends a comment line for something the replay does not act on.
    virtual bool Note(std::string_view text) = 0;
    // Pushes written lines from the system's cache to the disk itself when
    // that is due; called often, does the costly part rarely.
    virtual void SyncIfDue() = 0;
};

}  // namespace palomind
