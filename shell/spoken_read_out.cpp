#include "shell/spoken_read_out.h"

#include <QMetaObject>

#include "shell/main_window.h"
#include "shell/read_out_options.h"
#include "voice/phrases.h"

namespace palomind {

SpokenReadOut::SpokenReadOut(Application& app, frmMain& window, TickClock& clock)
    : app_(app),
      window_(window),
      // The output's thread finds no device; the window thread tells the
      // operator, with the one warning the wave sounds give too.
      output_([&app, &window] {
          QMetaObject::invokeMethod(
              &window, [&app] { app.ReportPlatformProblem(PlatformProblem::SoundUnavailable, {}); },
              Qt::QueuedConnection);
      }),
      speaker_(engine_, output_, clock),
      readOut_(app.State(), app.Roster(), speaker_) {
    window.ReadOutChoices().SetPaceListener(
        [this](int wordsPerMinute) { speaker_.SetWordsPerMinute(wordsPerMinute); });
    window.SetReadOutVoices(engine_.HasVoice(VoiceOf(ReadOutLanguage::Japanese)),
                            engine_.HasVoice(VoiceOf(ReadOutLanguage::English)));
}

SpokenReadOut::~SpokenReadOut() {
    window_.ReadOutChoices().SetPaceListener(nullptr);
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
