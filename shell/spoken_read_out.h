#pragma once
#include "app/application.h"
#include "platform/espeak_speech_engine.h"
#include "platform/qt_pcm_output.h"
#include "platform/tick_clock.h"
#include "voice/read_out.h"
#include "voice/speaker.h"

namespace palomind {

class frmMain;

// The live program's voice: eSpeak NG speech on the voice's own thread,
// played on an audio output of its own, reading the application's race out
// in the read-out mode in force. Made beside the main window, whose read-out
// items it enables for the voices that could be loaded.
class SpokenReadOut {
  public:
    // `clock`: the tick counter the application stamps its events with.
    SpokenReadOut(Application& app, frmMain& window, TickClock& clock);
    ~SpokenReadOut();
    SpokenReadOut(const SpokenReadOut&) = delete;
    SpokenReadOut& operator=(const SpokenReadOut&) = delete;

    // From here on the race is read out. Called once start-up is done, so a
    // restored race is not read out a second time.
    void Start();

    VoiceFigures Figures() const { return speaker_.Figures(); }

  private:
    Application& app_;
    frmMain& window_;
    EspeakSpeechEngine engine_;
    QtPcmOutput output_;
    Speaker speaker_;
    ReadOut readOut_;
    bool started_ = false;
};

}  // namespace palomind
