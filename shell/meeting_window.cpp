#include "shell/meeting_window.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "meeting/meeting_json.h"
#include "shell/japanese_font.h"
#include "shell/meeting_entries_view.h"
#include "shell/meeting_tables.h"
#include "shell/picking_table.h"

namespace palomind {

namespace {

// Often enough that a pass shows in the check at once, seldom enough to
// cost nothing: a tick re-reads only the session's own state.
constexpr int kFollowIntervalMs = 250;
constexpr int kPracticeWindowColumn = 9;

QTableWidget* Named(QTableWidget* table, const char* name) {
    table->setObjectName(QString::fromUtf8(name));
    return table;
}

QPushButton* Button(const char* caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    return button;
}

bool HasStandingRecord(HeatState state) {
    return state == HeatState::Done || state == HeatState::Provisional ||
           state == HeatState::Stopped;
}

QColor CheckColor(CheckMark mark) {
    switch (mark) {
        case CheckMark::Seen:
            return QColor(0xd8, 0xf0, 0xd8);
        case CheckMark::Missing:
            return QColor(0xff, 0xec, 0xb8);
        case CheckMark::Stranger:
            break;
    }
    return QColor(0xf8, 0xc8, 0xc8);
}

}  // namespace

MeetingWindow::MeetingWindow(MeetingSession& session, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmMeeting"));
    setFont(JapaneseFont(JapaneseFace::PGothic, 9));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("meetingTabs"));
    tabs_->addTab(BuildScheduleTab(), QStringLiteral("スケジュール"));
    entries_ = new MeetingEntriesView(session_, dialogs_, tabs_);
    entries_->setObjectName(QStringLiteral("meetingEntries"));
    tabs_->addTab(entries_, QStringLiteral("エントリー"));
    connect(entries_, &MeetingEntriesView::meetingChanged, this, &MeetingWindow::ShowTheMeeting);
    layout->addWidget(tabs_, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    QPushButton* close = Button("大会を閉じる", "closeMeetingButton", this);
    connect(close, &QPushButton::clicked, this, &MeetingWindow::closeMeetingRequested);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    follow_.setInterval(kFollowIntervalMs);
    connect(&follow_, &QTimer::timeout, this, &MeetingWindow::FollowTheSession);
    follow_.start();
    Refresh();
}

QWidget* MeetingWindow::BuildScheduleTab() {
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    scheduleError_ = new QLabel(tab);
    scheduleError_->setObjectName(QStringLiteral("scheduleError"));
    scheduleError_->setStyleSheet(QStringLiteral("color: #b00000;"));
    scheduleError_->hide();
    layout->addWidget(scheduleError_);

    auto* top = new QHBoxLayout;
    schedule_ = Named(PickingTable(ScheduleHeaders(), tab), "scheduleTable");
    connect(schedule_, &QTableWidget::itemSelectionChanged, this, [this] {
        ShowSelectedHeat();
        EnableButtons();
    });
    connect(schedule_, &QTableWidget::cellDoubleClicked, this, &MeetingWindow::PrepareSelected);
    top->addWidget(schedule_, 3);
    checkBox_ = new QGroupBox(tab);
    checkBox_->setObjectName(QStringLiteral("checkBox"));
    auto* checkLayout = new QVBoxLayout(checkBox_);
    checkSummary_ = new QLabel(checkBox_);
    checkSummary_->setObjectName(QStringLiteral("checkSummary"));
    checkLayout->addWidget(checkSummary_);
    check_ = Named(PickingTable(CheckHeaders(), checkBox_), "checkTable");
    check_->setSelectionMode(QAbstractItemView::NoSelection);
    checkLayout->addWidget(check_);
    top->addWidget(checkBox_, 2);
    layout->addLayout(top, 3);

    auto* buttons = new QHBoxLayout;
    prepareNext_ = Button("次のヒートを準備", "prepareNextButton", tab);
    prepareSelected_ = Button("このヒートを準備", "prepareHeatButton", tab);
    accept_ = Button("このヒートを採用", "acceptHeatButton", tab);
    rerun_ = Button("再レース", "rerunHeatButton", tab);
    connect(prepareNext_, &QPushButton::clicked, this, &MeetingWindow::PrepareNext);
    connect(prepareSelected_, &QPushButton::clicked, this, &MeetingWindow::PrepareSelected);
    connect(accept_, &QPushButton::clicked, this, &MeetingWindow::AcceptSelected);
    connect(rerun_, &QPushButton::clicked, this, &MeetingWindow::RerunSelected);
    for (QPushButton* button : {prepareNext_, prepareSelected_, accept_, rerun_})
        buttons->addWidget(button);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    heatTitle_ = new QLabel(tab);
    heatTitle_->setObjectName(QStringLiteral("heatTitle"));
    QFont bold = heatTitle_->font();
    bold.setBold(true);
    heatTitle_->setFont(bold);
    layout->addWidget(heatTitle_);
    auto* bottom = new QHBoxLayout;
    heat_ = Named(PickingTable(HeatHeaders(), tab), "heatTable");
    bottom->addWidget(heat_, 4);
    notEnteredBox_ = new QGroupBox(QStringLiteral("エントリー外"), tab);
    auto* notEnteredLayout = new QVBoxLayout(notEnteredBox_);
    notEntered_ = Named(PickingTable(NotEnteredHeaders(), notEnteredBox_), "notEnteredTable");
    notEnteredLayout->addWidget(notEntered_);
    bottom->addWidget(notEnteredBox_, 1);
    layout->addLayout(bottom, 2);
    return tab;
}

void MeetingWindow::Refresh() {
    entries_->Refresh();
    ShowTheMeeting();
}

void MeetingWindow::ShowTheMeeting() {
    const std::optional<Meeting>& meeting = session_.OpenMeeting();
    setWindowTitle(meeting ? QString::fromStdString(meeting->name) : QStringLiteral("大会"));
    ShowSchedule();
    checkShown_ = false;  // another heat may be loaded with the same seen
    ShowCheck();
    sessionMark_ = SessionMark();
}

std::string MeetingWindow::SessionMark() const {
    const std::optional<Meeting>& meeting = session_.OpenMeeting();
    std::string mark = meeting ? MeetingJson(*meeting) : std::string();
    mark += '\n' + session_.LoadedHeat() + (session_.Check() != nullptr ? "\nchecking" : "");
    return mark;
}

void MeetingWindow::FollowTheSession() {
    if (SessionMark() != sessionMark_)
        ShowTheMeeting();
    else
        ShowCheck();
}

void MeetingWindow::ShowSchedule() {
    // A heat newly loaded is shown; otherwise the one the director selected.
    const ScheduledHeat* selected = SelectedHeat();
    std::string keep = selected != nullptr && session_.LoadedHeat() == loadedShown_
                           ? selected->id
                           : session_.LoadedHeat();
    loadedShown_ = session_.LoadedHeat();
    std::string error;
    std::optional<std::vector<ScheduledHeat>> schedule = session_.Schedule(error);
    heats_ = schedule ? std::move(*schedule) : std::vector<ScheduledHeat>{};
    scheduleError_->setText(QString::fromStdString(error));
    scheduleError_->setVisible(!schedule);
    const std::optional<std::size_t> next = NextHeatToRun(heats_);
    if (keep.empty() && next) keep = heats_[*next].id;
    {
        const QSignalBlocker quiet(schedule_);
        schedule_->clearSelection();
        FillTable(*schedule_, ScheduleRows(heats_, next));
        if (next) {
            for (int column = 0; column < schedule_->columnCount(); ++column) {
                QTableWidgetItem* item = schedule_->item(static_cast<int>(*next), column);
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
        }
        schedule_->resizeColumnsToContents();
    }
    Select(keep);
    ShowSelectedHeat();
    EnableButtons();
}

void MeetingWindow::Select(const std::string& id) {
    const QSignalBlocker quiet(schedule_);
    for (std::size_t row = 0; row < heats_.size(); ++row) {
        if (heats_[row].id == id) schedule_->selectRow(static_cast<int>(row));
    }
}

const ScheduledHeat* MeetingWindow::SelectedHeat() const {
    const QList<QTableWidgetItem*> items = schedule_->selectedItems();
    if (items.isEmpty()) return nullptr;
    const auto row = static_cast<std::size_t>(items.front()->row());
    return row < heats_.size() ? &heats_[row] : nullptr;
}

const ScheduledHeat* MeetingWindow::HeatWithId(const std::string& id) const {
    const auto found = std::find_if(heats_.begin(), heats_.end(),
                                    [&id](const ScheduledHeat& heat) { return heat.id == id; });
    return found == heats_.end() ? nullptr : &*found;
}

void MeetingWindow::ShowSelectedHeat() {
    const ScheduledHeat* heat = SelectedHeat();
    if (heat == nullptr) {
        heatTitle_->clear();
        FillTable(*heat_, {});
        notEnteredBox_->hide();
        return;
    }
    std::string error;
    const std::optional<FiledHeatResult> filed = session_.FiledResult(*heat, error);
    QString title =
        QString::fromStdString(heat->title) + QStringLiteral("　") + HeatStateText(heat->state);
    if (heat->id == session_.LoadedHeat()) title += QStringLiteral("（準備済み）");
    if (filed && filed->provisional) title += QStringLiteral("　暫定結果");
    if (!error.empty()) title += QStringLiteral("　") + QString::fromStdString(error);
    heatTitle_->setText(title);
    FillTable(*heat_, HeatRows(*heat, filed ? &*filed : nullptr));
    heat_->setColumnHidden(kPracticeWindowColumn, heat->kind != HeatKind::Practice);
    heat_->resizeColumnsToContents();
    const bool strangers = filed && !filed->heat.notEntered.empty();
    FillTable(*notEntered_, strangers ? NotEnteredRows(filed->heat) : std::vector<QStringList>{});
    notEnteredBox_->setVisible(strangers);
}

void MeetingWindow::ShowCheck() {
    const TransponderCheck* check = session_.Check();
    const ScheduledHeat* heat = check != nullptr ? HeatWithId(session_.LoadedHeat()) : nullptr;
    if (heat == nullptr) {
        checkShown_ = false;
        checkBox_->hide();
        return;
    }
    if (checkShown_ && check->SeenInHeat() == seenShown_ && check->Strangers() == strangersShown_)
        return;
    checkShown_ = true;
    seenShown_ = check->SeenInHeat();
    strangersShown_ = check->Strangers();
    checkBox_->setTitle(QStringLiteral("トランスポンダ確認: ") +
                        QString::fromStdString(heat->title));
    const std::vector<CheckRow> rows = CheckRows(*heat, *check);
    std::vector<QStringList> cells;
    for (const CheckRow& row : rows) cells.push_back(row.cells);
    FillTable(*check_, cells);
    for (int row = 0; row < check_->rowCount(); ++row) {
        const QBrush shade(CheckColor(rows[static_cast<std::size_t>(row)].mark));
        for (int column = 0; column < check_->columnCount(); ++column)
            check_->item(row, column)->setBackground(shade);
    }
    check_->resizeColumnsToContents();
    const auto missing = check->Heat().size() - check->SeenInHeat().size();
    checkSummary_->setText(QStringLiteral("確認済み %1 / %2　未確認 %3　ヒート外 %4")
                               .arg(check->SeenInHeat().size())
                               .arg(check->Heat().size())
                               .arg(missing)
                               .arg(check->Strangers().size()));
    checkBox_->show();
}

void MeetingWindow::EnableButtons() {
    const ScheduledHeat* heat = SelectedHeat();
    const bool open = session_.IsOpen();
    prepareNext_->setEnabled(open);
    prepareSelected_->setEnabled(heat != nullptr && heat->state != HeatState::Running);
    accept_->setEnabled(heat != nullptr && heat->state == HeatState::Stopped);
    rerun_->setEnabled(heat != nullptr && HasStandingRecord(heat->state));
}

void MeetingWindow::Command(const std::string& message) {
    if (!message.empty()) dialogs_.ShowMessage(message);
    ShowTheMeeting();
}

void MeetingWindow::PrepareNext() {
    Command(session_.PrepareNextHeat());
}

// A heat with a record standing for it is run again only when the director
// says so: its new race replaces that record.
void MeetingWindow::PrepareSelected() {
    const ScheduledHeat* heat = SelectedHeat();
    if (heat == nullptr) return;
    if (HasStandingRecord(heat->state)) {
        RerunSelected();
        return;
    }
    const std::string message = session_.PrepareHeat(heat->id);
    Command(message);
}

void MeetingWindow::AcceptSelected() {
    if (const ScheduledHeat* heat = SelectedHeat()) Command(session_.AcceptHeat(heat->id));
}

void MeetingWindow::RerunSelected() {
    const ScheduledHeat* heat = SelectedHeat();
    if (heat == nullptr) return;
    const std::string question = "「" + heat->title +
                                 "」を再レースしますか？\n今の記録は残り、"
                                 "新しいレースの記録に置き換えられます。";
    if (!dialogs_.AskYesNo(question)) return;
    const std::string id = heat->id;
    Command(session_.RerunHeat(id));
}

}  // namespace palomind
