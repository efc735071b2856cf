#include "shell/spoken_read_out.h"

#include <QMetaObject>

#include "shell/main_window.h"
#include "voice/phrases.h"

namespace palomind {

SpokenReadOut::SpokenReadOut(Application& app, frmMain& window, TickClock& clock)
    : app_(app),
      // The output's thread finds no device; the window thread tells the
      // operator, with the one warning the wave sounds give too.
      output_([&app, &window] {
          QMetaObject::invokeMethod(
              &window, [&app] { app.ReportPlatformProblem(PlatformProblem::SoundUnavailable, {}); },
              Qt::QueuedConnection);
      }),
      speaker_(engine_, output_, clock),
      readOut_(app.State(), app.Roster(), speaker_) {
    window.SetReadOutVoices(engine_.HasVoice(VoiceOf(ReadOutLanguage::Japanese)),
                            engine_.HasVoice(VoiceOf(ReadOutLanguage::English)));
}

SpokenReadOut::~SpokenReadOut() {
    app_.Unsubscribe(&readOut_);
    speaker_.Stop();
}

void SpokenReadOut::Start() {
    if (started_) return;
    started_ = true;
    speaker_.Start();
    app_.Subscribe(&readOut_);
}

}  // namespace palomind
