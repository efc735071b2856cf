#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "platform/file_store.h"
#include "platform/speech_engine.h"

namespace palomind {

// True when the command line asks to synthesise one utterance ("--say ...").
bool IsSayCommandLine(const std::vector<std::string>& args);

// palomind --say TEXT --voice ja|en --wav FILE [--rate WPM]
// `args` are the arguments after the program name. Writes the text spoken in
// the voice, at WPM words per minute (by default the voice's default pace), to FILE as a 16-bit PCM
// mono wave file; needs no display and no audio device. Returns the exit status.
int RunSayCommand(const std::vector<std::string>& args, SpeechEngine& engine, FileStore& files,
                  std::ostream& err);

}  // namespace palomind
