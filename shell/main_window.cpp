#include "shell/main_window.h"

#include <QDateTime>
#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTextEdit>

#include "shell/about_box.h"
#include "shell/race_window_view.h"
#include "shell/roster_dialog.h"

namespace palomind {
namespace {

constexpr int kTimer1IntervalMs = 10;
// The race window is redrawn at most this often (about 25 times a second).
constexpr qint64 kRefreshIntervalMs = 40;
constexpr int kStatusClockIntervalMs = 1000;

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What the operator is told when a platform piece fails. Not a message box:
// it may happen in the middle of a race, and the race goes on.
std::string WarningText(PlatformProblem problem, int portNumber, std::string_view detail) {
    switch (problem) {
        case PlatformProblem::PortFailed:
            return ReceiverLostText(portNumber);
        case PlatformProblem::SoundUnavailable:
            return "音声を出力できません。音なしで続行します";
        case PlatformProblem::JournalFailed:
            return detail.empty() ? "レースの記録ファイルを書き込めません"
                                  : "レースの記録ファイルを書き込めません: " + std::string(detail);
    }
    return std::string(detail);
}

}  // namespace

frmMain::frmMain(Application& app, QWidget* parent)
    : QMainWindow(parent), app_(app), dialogs_(app.Services().dialogs), portMenu_(app) {
    setWindowTitle(QStringLiteral("Palomind"));
    mdiArea_ = new QMdiArea(this);
    // The race window is larger than the default main window: scroll to it.
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    BuildMenus();
    BuildToolbar();
    BuildStatusBar();
    app_.SetView(this);

    // The race clock's timer runs from the window's creation to its end.
    timer1_.setTimerType(Qt::PreciseTimer);
    timer1_.setInterval(kTimer1IntervalMs);
    connect(&timer1_, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    timer1_.start();
    pendingRefresh_.setSingleShot(true);
    connect(&pendingRefresh_, &QTimer::timeout, this, &frmMain::RefreshRaceWindow);
}

frmMain::~frmMain() {
    app_.SetView(nullptr);
}

void frmMain::Timer1_Timer() {
    app_.Timer1_Timer();
    if (portMenu_.Reconnected() && warnings_.erase(PlatformProblem::PortFailed) != 0) {
        ShowWarnings();
    }
}

// A receiver line at full rate delivers some 270 blocks a second; redrawing
// the race window for each took half a core. A change is drawn at once when
// the last redraw is older than one frame of the pacing interval, otherwise
// once at the end of it, so no change waits more than 40 ms to be seen.
void frmMain::RaceChanged() {
    if (raceWindow_ == nullptr) return;
    if (!sinceRefresh_.isValid() || sinceRefresh_.elapsed() >= kRefreshIntervalMs) {
        RefreshRaceWindow();
    } else if (!pendingRefresh_.isActive()) {
        pendingRefresh_.start(static_cast<int>(kRefreshIntervalMs - sinceRefresh_.elapsed()));
    }
}

void frmMain::RefreshRaceWindow() {
    pendingRefresh_.stop();
    sinceRefresh_.start();
    if (raceWindow_ != nullptr) raceWindow_->Refresh();
}

void frmMain::CreateRaceWindow() {
    raceWindow_ = new frmRaceResult(app_.Window());
    raceSubWindow_ = mdiArea_->addSubWindow(raceWindow_);
    raceSubWindow_->setWindowTitle(FromUtf8(app_.Window().Caption));
    // The race window is the only view of the race and could not be brought
    // back once closed, so it has no close button and ignores close requests.
    raceSubWindow_->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowMinMaxButtonsHint);
    raceSubWindow_->installEventFilter(this);
    raceSubWindow_->show();
    raceSubWindow_->adjustSize();  // the frame around the race window's client area
    mdiArea_->setActiveSubWindow(raceSubWindow_);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == raceSubWindow_ && event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QTextEdit* frmMain::ActiveCommentBox() const {
    // The current child rather than the active one: the child stays current
    // while another application has the focus.
    const QMdiSubWindow* child = mdiArea_->currentSubWindow();
    const auto* raceWindow =
        child != nullptr ? qobject_cast<frmRaceResult*>(child->widget()) : nullptr;
    return raceWindow != nullptr ? raceWindow->RichTextBox1() : nullptr;
}

void frmMain::BuildStatusBar() {
    statusText_ = new QLabel(this);
    statusDate_ = new QLabel(this);
    statusTime_ = new QLabel(this);
    statusText_->setObjectName(QStringLiteral("sbStatusBarText"));
    statusDate_->setObjectName(QStringLiteral("sbStatusBarDate"));
    statusTime_->setObjectName(QStringLiteral("sbStatusBarTime"));
    for (QLabel* panel : {statusText_, statusDate_, statusTime_}) {
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
    }
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    statusBar()->addWidget(statusText_, 1);
    statusBar()->addPermanentWidget(statusDate_);
    statusBar()->addPermanentWidget(statusTime_);
    ShowWarnings();
    UpdateStatusClock();
    connect(&statusClock_, &QTimer::timeout, this, &frmMain::UpdateStatusClock);
    statusClock_.start(kStatusClockIntervalMs);
}

void frmMain::UpdateStatusClock() {
    const QDateTime now = QDateTime::currentDateTime();
    statusDate_->setText(now.toString(QStringLiteral("yyyy/MM/dd")));
    statusTime_->setText(now.toString(QStringLiteral("H:mm")));
}

void frmMain::PlatformFailed(PlatformProblem problem, std::string_view detail) {
    if (problem == PlatformProblem::PortFailed) portMenu_.PortFailed();
    // Told once: a problem already on show keeps its first description.
    if (warnings_.contains(problem)) return;
    warnings_[problem] = WarningText(problem, app_.State().PortNumber, detail);
    ShowWarnings();
}

void frmMain::ShowWarnings() {
    // Shown in the status bar and, because the status bar can be hidden, in
    // the window title; each problem once, however often it recurs.
    std::string joined;
    for (const auto& [problem, text] : warnings_) joined += (joined.empty() ? "" : "  ") + text;
    if (joined.empty()) {
        statusText_->setText(QStringLiteral("ｽﾃｰﾀｽ"));
        statusText_->setStyleSheet(QString());
        setWindowTitle(QStringLiteral("Palomind"));
        return;
    }
    statusText_->setText(QStringLiteral("警告: ") + FromUtf8(joined));
    statusText_->setStyleSheet(QStringLiteral("QLabel { color: #c00000; font-weight: bold; }"));
    setWindowTitle(QStringLiteral("Palomind - 警告: ") + FromUtf8(joined));
}

}  // namespace palomind
