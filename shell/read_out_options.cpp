#include "shell/read_out_options.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <charconv>
#include <optional>
#include <string>

#include "voice/speech_pace.h"

namespace palomind {
namespace {

constexpr const char* kSection = "Settings";
constexpr const char* kPartsKey = "ReadOutParts";
constexpr const char* kPaceKey = "ReadOutPace";

struct PartItem {
    const char* name;
    const char* caption;
    CallPart part;
};
constexpr std::array<PartItem, 4> kPartItems{{
    {"mnuTTSPartWho", "番号", kCallWho},
    {"mnuTTSPartLaps", "周回数", kCallLaps},
    {"mnuTTSPartLapTime", "ラップタイム", kCallLapTime},
    {"mnuTTSPartPlace", "順位", kCallPlace},
}};
constexpr std::array<const char*, kSpeechPaces.size()> kPaceNames{
    "mnuTTSPaceStandard", "mnuTTSPaceFast", "mnuTTSPaceFastest"};

// A stored whole number from `min` to `max`; nothing for anything else.
std::optional<int> StoredNumber(SettingsStore& settings, const char* key, int min, int max) {
    const std::optional<std::string> text = settings.GetSetting(kSection, key);
    if (!text) return std::nullopt;
    int value = 0;
    const char* end = text->data() + text->size();
    const auto [ptr, ec] = std::from_chars(text->data(), end, value);
    if (text->empty() || ec != std::errc() || ptr != end || value < min || value > max)
        return std::nullopt;
    return value;
}

bool IsOfferedPace(int wordsPerMinute) {
    for (const SpeechPace& pace : kSpeechPaces)
        if (pace.wordsPerMinute == wordsPerMinute) return true;
    return false;
}

}  // namespace

ReadOutOptions::ReadOutOptions(Application& app, QObject* parent)
    : QObject(parent), app_(app), wordsPerMinute_(kDefaultWordsPerMinute) {}

void ReadOutOptions::AddItems(QMenu& readOut) {
    readOut.addSeparator();
    for (std::size_t i = 0; i < kPartItems.size(); ++i) {
        QAction* item = readOut.addAction(QString::fromUtf8(kPartItems[i].caption));
        item->setObjectName(QString::fromUtf8(kPartItems[i].name));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this] { PartToggled(); });
        partItems_[i] = item;
    }
    QMenu* pace = readOut.addMenu(QStringLiteral("読上げ速度"));
    pace->setObjectName(QStringLiteral("mnuTTSPace"));
    pace->menuAction()->setObjectName(QStringLiteral("mnuTTSPace"));
    auto* group = new QActionGroup(pace);
    for (std::size_t i = 0; i < kSpeechPaces.size(); ++i) {
        const int wordsPerMinute = kSpeechPaces[i].wordsPerMinute;
        QAction* item = pace->addAction(
            QString::fromUtf8(kSpeechPaces[i].caption.data(), kSpeechPaces[i].caption.size()));
        item->setObjectName(QString::fromUtf8(kPaceNames[i]));
        item->setCheckable(true);
        group->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, wordsPerMinute] { ChoosePace(wordsPerMinute); });
        paceItems_[i] = item;
    }
    ShowParts();
    ChoosePace(wordsPerMinute_);
}

void ReadOutOptions::LoadStored() {
    SettingsStore& settings = app_.Settings();
    const std::optional<int> parts = StoredNumber(settings, kPartsKey, 0, kAllCallParts);
    app_.SetCallParts(static_cast<std::int16_t>(parts.value_or(kDefaultCallParts)));
    const std::optional<int> pace =
        StoredNumber(settings, kPaceKey, kSlowestWordsPerMinute, kFastestWordsPerMinute);
    // Only the offered paces: the submenu shows which is in force.
    wordsPerMinute_ = pace && IsOfferedPace(*pace) ? *pace : kDefaultWordsPerMinute;
    ShowParts();
    ChoosePace(wordsPerMinute_);
}

void ReadOutOptions::ShowParts() {
    const int parts = app_.State().CallParts;
    for (std::size_t i = 0; i < kPartItems.size(); ++i)
        if (partItems_[i] != nullptr) partItems_[i]->setChecked((parts & kPartItems[i].part) != 0);
}

void ReadOutOptions::SetPaceListener(std::function<void(int)> listener) {
    paceListener_ = std::move(listener);
    if (paceListener_) paceListener_(wordsPerMinute_);
}

void ReadOutOptions::PartToggled() {
    int parts = 0;
    for (std::size_t i = 0; i < kPartItems.size(); ++i)
        if (partItems_[i]->isChecked()) parts |= kPartItems[i].part;
    app_.SetCallParts(static_cast<std::int16_t>(parts));
    app_.Settings().SaveSetting(kSection, kPartsKey, std::to_string(parts));
}

void ReadOutOptions::ChoosePace(int wordsPerMinute) {
    const bool changed = wordsPerMinute != wordsPerMinute_;
    wordsPerMinute_ = wordsPerMinute;
    for (std::size_t i = 0; i < kSpeechPaces.size(); ++i)
        if (paceItems_[i] != nullptr)
            paceItems_[i]->setChecked(kSpeechPaces[i].wordsPerMinute == wordsPerMinute);
    if (changed) app_.Settings().SaveSetting(kSection, kPaceKey, std::to_string(wordsPerMinute));
    if (paceListener_) paceListener_(wordsPerMinute);
}

}  // namespace palomind
