#include "shell/main_window.h"

#include <QAction>
#include <QDateTime>
#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTextEdit>
#include <cstdlib>

#include "shell/about_box.h"
#include "shell/race_window_view.h"
#include "shell/read_out_options.h"
#include "shell/roster_dialog.h"
#include "shell/spectator_publishing.h"
#include "shell/warning_banner.h"

namespace palomind {
namespace {

constexpr int kTimer1IntervalMs = 10;
constexpr int kStatusClockIntervalMs = 1000;

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

frmMain::frmMain(Application& app, QWidget* parent)
    : QMainWindow(parent),
      app_(app),
      dialogs_(app.Dialogs()),
      redraws_([this] {
          if (raceWindow_ != nullptr) raceWindow_->Refresh();
          if (statusProvisional_ != nullptr) statusProvisional_->setVisible(app_.Provisional());
      }),
      placement_(app.Settings()),
      portMenu_(app) {
    setWindowTitle(QStringLiteral("Palomind"));
    mdiArea_ = new QMdiArea(this);
    // The race window is larger than the default main window: scroll to it.
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    readOutOptions_ = new ReadOutOptions(app_, this);
    BuildMenus();
    spectators_ = std::make_unique<SpectatorPublishing>(
        app_, this, *findChild<QAction*>(QStringLiteral("mnuViewSpectatorPage")));
    BuildToolbar();
    BuildStatusBar();
    app_.SetView(this);
    app_.Subscribe(this);

    // The race clock's timer runs from the window's creation to its end.
    timer1_.setTimerType(Qt::PreciseTimer);
    timer1_.setInterval(kTimer1IntervalMs);
    connect(&timer1_, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    timer1_.start();
}

frmMain::~frmMain() {
    spectators_.reset();
    app_.Unsubscribe(this);
    app_.SetView(nullptr);
}

void frmMain::Timer1_Timer() {
    app_.Timer1_Timer();
    if (portMenu_.Reconnected()) warnings_->Mended(PlatformProblem::PortFailed);
}

void frmMain::OnRaceEvent(const RaceEvent& event) {
    // The comment box shows a comment that came from elsewhere (a result
    // file, a restored race) at once; typed text is already in it.
    if (event.kind == RaceEventKind::CommentChanged && raceWindow_ != nullptr)
        raceWindow_->LoadCommentFromModel();
    RaceChanged();
}

void frmMain::RaceChanged() {
    if (raceWindow_ != nullptr) redraws_.Changed();
    // A race that has ended and has a record can be corrected.
    if (mnuEditLapReview_ != nullptr) mnuEditLapReview_->setEnabled(app_.CanCorrect());
}

void frmMain::CreateRaceWindow() {
    raceWindow_ = new frmRaceResult(
        app_.Window(), [this](std::string stored) { app_.CommentTyped(std::move(stored)); });
    // An entrant's column of the lap history opens the lap review on it.
    raceWindow_->OnLapHistoryDoubleClicked([this](int column) {
        const std::string& heading = app_.Window().LapHistory.TextMatrix(0, column);
        int id = 0;
        if (heading.rfind("ID", 0) == 0) id = std::atoi(heading.c_str() + 2);
        if (id > 0) OpenLapReview(id);
    });
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
    QLabel* text = warnings_ = new WarningBanner(*this);
    statusDate_ = new QLabel(this);
    statusTime_ = new QLabel(this);
    statusDate_->setObjectName(QStringLiteral("sbStatusBarDate"));
    statusTime_->setObjectName(QStringLiteral("sbStatusBarTime"));
    for (QLabel* panel : {text, statusDate_, statusTime_}) {
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
    }
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    statusBar()->addWidget(text, 1);
    // Beside it, where the simulation notice follows: lasting, whatever the
    // text panel says meanwhile.
    receiverNotice_ = new QLabel(this);
    receiverNotice_->setObjectName(QStringLiteral("sbReceiverNotice"));
    receiverNotice_->setFrameShape(QFrame::Panel);
    receiverNotice_->setFrameShadow(QFrame::Sunken);
    receiverNotice_->setStyleSheet(QStringLiteral("QLabel { color: #a05000; font-weight: bold; }"));
    receiverNotice_->hide();
    statusBar()->addWidget(receiverNotice_);
    // Shown only while a flagged short lap is unresolved.
    statusProvisional_ = new QLabel(QStringLiteral("暫定"), this);
    statusProvisional_->setObjectName(QStringLiteral("sbStatusBarProvisional"));
    statusProvisional_->setFrameShape(QFrame::Panel);
    statusProvisional_->setFrameShadow(QFrame::Sunken);
    statusBar()->addPermanentWidget(statusProvisional_);
    statusProvisional_->setVisible(false);
    statusBar()->addPermanentWidget(statusDate_);
    statusBar()->addPermanentWidget(statusTime_);
    UpdateStatusClock();
    connect(&statusClock_, &QTimer::timeout, this, &frmMain::UpdateStatusClock);
    statusClock_.start(kStatusClockIntervalMs);
}

void frmMain::UpdateStatusClock() {
    const QDateTime now = QDateTime::currentDateTime();
    statusDate_->setText(now.toString(QStringLiteral("yyyy/MM/dd")));
    statusTime_->setText(now.toString(QStringLiteral("H:mm")));
}

void frmMain::ReceiverAbsenceChanged(const std::optional<ReceiverAbsence>& absence) {
    receiverNotice_->setVisible(absence.has_value());
    receiverNotice_->setText(absence ? FromUtf8(ReceiverAbsenceNotice(*absence)) : QString());
    receiverNotice_->setToolTip(absence ? FromUtf8(PortDiagnosisLine(absence->diagnosis))
                                        : QString());
}

void frmMain::PlatformFailed(PlatformProblem problem, std::string_view detail) {
    if (problem == PlatformProblem::PortFailed) portMenu_.PortFailed();
    warnings_->Report(problem, app_.State().PortNumber, detail);
}

}  // namespace palomind
