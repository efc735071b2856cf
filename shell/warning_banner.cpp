#include "shell/warning_banner.h"

#include "app/receiver_reconnect.h"

namespace palomind {
namespace {

std::string WarningText(PlatformProblem problem, int portNumber, std::string_view detail) {
    switch (problem) {
        case PlatformProblem::PortFailed:
            return ReceiverLostText(portNumber);
        case PlatformProblem::SoundUnavailable:
            return "音声を出力できません。音なしで続行します";
        case PlatformProblem::JournalFailed:
            return detail.empty() ? "レースの記録ファイルを書き込めません"
                                  : "レースの記録ファイルを書き込めません: " + std::string(detail);
        case PlatformProblem::SettingsFailed:
            return detail.empty() ? "設定ファイルが保存できません。"
                                  : "設定ファイルが保存できません。(" + std::string(detail) + ")";
    }
    return std::string(detail);
}

}  // namespace

WarningBanner::WarningBanner(QWidget& window) : QLabel(&window), window_(window) {
    setObjectName(QStringLiteral("sbStatusBarText"));
    ShowWarnings();
}

void WarningBanner::Report(PlatformProblem problem, int portNumber, std::string_view detail) {
    if (warnings_.contains(problem)) return;
    warnings_[problem] = WarningText(problem, portNumber, detail);
    ShowWarnings();
}

void WarningBanner::Mended(PlatformProblem problem) {
    if (warnings_.erase(problem) != 0) ShowWarnings();
}

void WarningBanner::SetNote(std::string note) {
    if (note == note_) return;
    note_ = std::move(note);
    ShowWarnings();
}

void WarningBanner::ShowWarnings() {
    std::string joined;
    for (const auto& [problem, text] : warnings_) joined += (joined.empty() ? "" : "  ") + text;
    if (joined.empty()) {
        setText(note_.empty() ? QStringLiteral("ｽﾃｰﾀｽ") : QString::fromStdString(note_));
        setStyleSheet(QString());
        window_.setWindowTitle(QStringLiteral("Palomind"));
        return;
    }
    const QString warning = QStringLiteral("警告: ") + QString::fromStdString(joined);
    setText(warning);
    setStyleSheet(QStringLiteral("QLabel { color: #c00000; font-weight: bold; }"));
    window_.setWindowTitle(QStringLiteral("Palomind - ") + warning);
}

}  // namespace palomind
