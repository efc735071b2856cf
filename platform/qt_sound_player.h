#pragma once
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/sound_player.h"

class QSoundEffect;

namespace palomind {

// Wave playback over QSoundEffect, which decodes the file once and plays it
// from memory with little delay (the lap blip must sound at the pass, not a
// moment later). Each file is loaded at its first play, found in the current
// directory of that moment or else in the data folder, and kept for the rest
// of the run.
class QtSoundPlayer final : public SoundPlayer {
  public:
    // defaultSound stands in for a file that is missing or cannot be decoded;
    // when none is given it is the system's beep (QApplication::beep).
    // dataFolder holds the wave files installed with the program; empty for
    // none.
    explicit QtSoundPlayer(std::function<void()> defaultSound = {}, QString dataFolder = {});
    ~QtSoundPlayer() override;

    // Called once when a sound should play but the system has no audio output
    // device, so the owner can tell the operator; playback itself stays silent
    // and the race goes on. Told again only if a device appeared in between.
    void SetNoAudioOutputHandler(std::function<void()> handler);

    void PlaySound(std::string_view fileName) override;

  private:
    QSoundEffect* EffectFor(const std::string& fileName);
    QString FindFile(const std::string& fileName) const;
    void StopAllExcept(const QSoundEffect* keep);
    void OnStatusChanged(QSoundEffect* effect);
    bool HasAudioOutput();

    std::function<void()> defaultSound_;
    QString dataFolder_;
    std::function<void()> noAudioOutput_;
    bool noAudioOutputTold_ = false;
    std::map<std::string, std::unique_ptr<QSoundEffect>> effects_;
    // The sound asked for last: only its failure is worth the default sound,
    // an older one would have been cut off anyway.
    const QSoundEffect* latest_ = nullptr;
};

}  // namespace palomind
