#include "platform/qt_sound_player.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace palomind {

QtSoundPlayer::QtSoundPlayer(std::function<void()> defaultSound, QString dataFolder)
    : defaultSound_(defaultSound ? std::move(defaultSound)
                                 : std::function<void()>(&QApplication::beep)),
      dataFolder_(std::move(dataFolder)) {}

QtSoundPlayer::~QtSoundPlayer() {
    // Effects are destroyed one by one below; none of them may call back into
    // a half-destroyed player.
    for (auto& [name, effect] : effects_) effect->disconnect();
}

void QtSoundPlayer::SetNoAudioOutputHandler(std::function<void()> handler) {
    noAudioOutput_ = std::move(handler);
}

void QtSoundPlayer::PlaySound(std::string_view fileName) {
    QSoundEffect* effect = EffectFor(std::string(fileName));
    latest_ = effect;
    StopAllExcept(effect);
    // A bad file gives the default sound whether or not there is an output:
    // the system's beep does not need one.
    if (effect == nullptr || effect->status() == QSoundEffect::Error) {
        defaultSound_();
        return;
    }
    if (!HasAudioOutput()) return;

    // Follows a device plugged in or changed since the effect was made.
    effect->setAudioDevice(QMediaDevices::defaultAudioOutput());
    // A sound asked for again restarts from its beginning. While the file is
    // still loading, play() is remembered and starts once it is ready.
    effect->stop();
    effect->play();
}

QSoundEffect* QtSoundPlayer::EffectFor(const std::string& fileName) {
    if (const auto found = effects_.find(fileName); found != effects_.end()) {
        return found->second.get();
    }
    const QString path = FindFile(fileName);
    // A missing file is not remembered, so one copied in later is played.
    if (path.isEmpty()) return nullptr;

    auto effect = std::make_unique<QSoundEffect>();
    QSoundEffect* raw = effect.get();
    QObject::connect(raw, &QSoundEffect::statusChanged, raw, [this, raw] { OnStatusChanged(raw); });
    raw->setSource(QUrl::fromLocalFile(path));
    effects_.emplace(fileName, std::move(effect));
    return raw;
}

QString QtSoundPlayer::FindFile(const std::string& fileName) const {
    if (fileName.empty()) return {};
    const QString name = QString::fromStdString(fileName);
    // The current folder first: sounds the operator put there win over the
    // installed ones.
    const QString local = QDir::current().absoluteFilePath(name);
    if (QFileInfo(local).isFile()) return local;
    if (dataFolder_.isEmpty()) return {};
    const QString installed = QDir(dataFolder_).absoluteFilePath(name);
    return QFileInfo(installed).isFile() ? installed : QString();
}

void QtSoundPlayer::StopAllExcept(const QSoundEffect* keep) {
    for (auto& [name, effect] : effects_) {
        // Also clears a play still waiting for its file to load.
        if (effect.get() != keep) effect->stop();
    }
}

void QtSoundPlayer::OnStatusChanged(QSoundEffect* effect) {
    // Decoding happens after play() returned; a file that turns out not to be
    // a playable wave gives the default sound, as a missing one does.
    if (effect->status() == QSoundEffect::Error && effect == latest_) {
        defaultSound_();
    }
}

bool QtSoundPlayer::HasAudioOutput() {
    if (!QMediaDevices::defaultAudioOutput().isNull()) {
        noAudioOutputTold_ = false;
        return true;
    }
    if (!noAudioOutputTold_) {
        noAudioOutputTold_ = true;
        if (noAudioOutput_) noAudioOutput_();
    }
    return false;
}

}  // namespace palomind
