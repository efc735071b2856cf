#include "shell/class_settings_dialog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <array>
#include <cmath>

#include "meeting/class_settings.h"
#include "shell/form_dialog.h"

namespace palomind {

namespace {

constexpr std::array kMethods{RankingMethod::RoundPoints, RankingMethod::BestRound,
                              RankingMethod::LapsTime, RankingMethod::FastestLap,
                              RankingMethod::Consecutive};

// The box's value 0 reads "すべて": every round or leg counts.
constexpr int kEveryOne = 0;

QSpinBox* LimitedBox(QWidget* parent, const char* name, SettingLimits limits, std::int64_t value) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(static_cast<int>(limits.least), static_cast<int>(limits.most));
    box->setValue(static_cast<int>(value));
    return box;
}

// A count that may be "every one": none is shown as kEveryOne.
QSpinBox* CountOrEveryBox(QWidget* parent, const char* name,
                          const std::optional<std::int64_t>& value) {
    QSpinBox* box = LimitedBox(parent, name, {kEveryOne, kCountLimits.most}, value.value_or(0));
    box->setSpecialValueText(QStringLiteral("すべて"));
    return box;
}

std::optional<std::int64_t> CountOrEvery(const QSpinBox& box) {
    if (box.value() == kEveryOne) return std::nullopt;
    return box.value();
}

}  // namespace

ClassSettingsDialog::ClassSettingsDialog(const MeetingClass& settings, const QString& title,
                                         QWidget* parent)
    : QDialog(parent),
      base_(settings),
      name_(new QLineEdit(QString::fromStdString(settings.name), this)),
      raceTime_(LimitedBox(this, "spnRaceTime", kRaceTimeLimits, settings.raceTimeS)),
      startWait_(LimitedBox(this, "spnStartWait", kStartWaitLimits, settings.startWaitS)),
      minLap_(new QDoubleSpinBox(this)),
      heatSize_(LimitedBox(this, "spnHeatSize", kHeatSizeLimits, settings.heatSize)),
      rounds_(LimitedBox(this, "spnRounds", kRoundsLimits, settings.rounds)),
      practiceTime_(
          LimitedBox(this, "spnPracticeTime", kPracticeTimeLimits, settings.practiceTimeS)),
      method_(new QComboBox(this)),
      best_(CountOrEveryBox(this, "spnBest", settings.ranking.best)),
      consecutive_(LimitedBox(this, "spnConsecutive", kCountLimits, settings.ranking.consecutive)),
      mainSize_(LimitedBox(this, "spnMainSize", kCountLimits, settings.finals.mainSize)),
      bump_(LimitedBox(this, "spnBump", kBumpLimits, settings.finals.bump)),
      legs_(LimitedBox(this, "spnLegs", kCountLimits, settings.finals.legs)),
      bestLegs_(CountOrEveryBox(this, "spnBestLegs", settings.finals.bestLegs)) {
    setWindowTitle(title);
    name_->setObjectName(QStringLiteral("edtClassName"));
    minLap_->setObjectName(QStringLiteral("dblMinLap"));
    minLap_->setDecimals(3);
    minLap_->setRange(kMinLapLimits.least / 1000.0, kMinLapLimits.most / 1000.0);
    minLap_->setValue(settings.minLapMs / 1000.0);
    method_->setObjectName(QStringLiteral("cboMethod"));
    for (const RankingMethod method : kMethods) {
        const QString name =
            QString::fromUtf8(RankingMethodName(method).data(),
                              static_cast<qsizetype>(RankingMethodName(method).size()));
        method_->addItem(name, static_cast<int>(method));
    }
    method_->setCurrentIndex(method_->findData(static_cast<int>(settings.ranking.method)));

    LayOutForm(*this, {
                          {QStringLiteral("クラス名"), name_},
                          {QStringLiteral("レース時間(秒)"), raceTime_},
                          {QStringLiteral("スタート待時間(秒)"), startWait_},
                          {QStringLiteral("最短ラップ(秒) 0で個人設定"), minLap_},
                          {QStringLiteral("1ヒートの最大人数"), heatSize_},
                          {QStringLiteral("予選ラウンド数"), rounds_},
                          {QStringLiteral("練習時間(秒) 0でなし"), practiceTime_},
                          {QStringLiteral("予選順位の決め方"), method_},
                          {QStringLiteral("数えるベストラウンド数"), best_},
                          {QStringLiteral("連続周回数"), consecutive_},
                          {QStringLiteral("決勝の人数"), mainSize_},
                          {QStringLiteral("勝ち上がり人数"), bump_},
                          {QStringLiteral("決勝のレグ数"), legs_},
                          {QStringLiteral("数えるベストレグ数"), bestLegs_},
                      });
}

MeetingClass ClassSettingsDialog::Settings() const {
    MeetingClass settings = base_;
    settings.name = name_->text().trimmed().toStdString();
    settings.raceTimeS = raceTime_->value();
    settings.startWaitS = startWait_->value();
    settings.minLapMs = static_cast<std::int32_t>(std::lround(minLap_->value() * 1000.0));
    settings.heatSize = heatSize_->value();
    settings.rounds = rounds_->value();
    settings.practiceTimeS = practiceTime_->value();
    settings.ranking.method = static_cast<RankingMethod>(method_->currentData().toInt());
    settings.ranking.best = CountOrEvery(*best_);
    settings.ranking.consecutive = consecutive_->value();
    settings.finals.mainSize = mainSize_->value();
    settings.finals.bump = bump_->value();
    settings.finals.legs = legs_->value();
    settings.finals.bestLegs = CountOrEvery(*bestLegs_);
    return settings;
}

}  // namespace palomind
