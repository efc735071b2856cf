#pragma once
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/file_store.h"
#include "tests/hostile/hostile_inputs.h"

namespace palomind::testing {

// What one read of a hostile input came to.
struct ReadOutcome {
    bool refused = false;  // the reader fell back or gave its message
    // Empty when the outcome is the one the reader promises: on refusal its
    // fallback exactly (and its message once), otherwise everything read and
    // every text valid UTF-8. Otherwise what went wrong.
    std::string problem;
};

// One of the program's readers of outside files, seen the same way: its
// real entry point reading a file among the program's other files.
struct ReaderUnderTest {
    std::string name;       // the reader
    std::string corpus;     // its corpus folder (a reader may share another's)
    std::string fileName;   // the file it reads
    std::string goodBytes;  // a well-formed file
    // The shortest prefix of goodBytes that holds every field: any shorter
    // cut is refused. Nothing for the journal, whose lines stand alone.
    std::optional<std::size_t> completeAt;
    // Reads the file `fileName` from the folder (the current directory).
    std::function<ReadOutcome(const ScratchFolder&)> read;
    // Saves through `files` over a previous good file; nothing for readers
    // without a save. Returns the messages given, and whether it succeeded.
    std::function<bool(const ScratchFolder&, FileStore& files, RecordingMessageSink& messages)>
        save;
    std::string saveFailureMessage;  // empty when the save itself says nothing
};

// Names the reader in test output, which otherwise shows the object's bytes
// (and so its addresses, which change from build to build).
inline void PrintTo(const ReaderUnderTest& reader, std::ostream* out) {
    *out << reader.name;
}

ReaderUnderTest SettingsReader();
ReaderUnderTest RosterReader();
ReaderUnderTest ResultFileReader();
ReaderUnderTest JournalReader();
// A journal left by a run that ended abnormally, as start-up finds it.
ReaderUnderTest CrashedJournalReader();

// The program's other files, put beside the one being read.
void WriteTheOtherFiles(const ScratchFolder& folder);

}  // namespace palomind::testing
