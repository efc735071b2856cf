#include "shell/lap_review_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <charconv>
#include <cmath>

#include "app/lap_review.h"
#include "app/seconds_input.h"

namespace palomind {

namespace {

constexpr const char* kOperatorSection = "LapReview";
constexpr const char* kOperatorKey = "Operator";
constexpr const char* kReasonNeeded = "理由を入力してください。";

// A whole number typed into an input box, nothing for anything else.
std::optional<int> WholeNumber(const std::optional<std::string>& entered) {
    if (!entered) return std::nullopt;
    int value = 0;
    const auto [ptr, ec] =
        std::from_chars(entered->data(), entered->data() + entered->size(), value);
    if (ec != std::errc() || ptr != entered->data() + entered->size()) return std::nullopt;
    return value;
}

}  // namespace

LapReviewWindow::LapReviewWindow(Application& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("frmLapReview"));
    setWindowTitle(QStringLiteral("ラップ修正"));
    auto* layout = new QVBoxLayout(this);
    entrants_ = new QComboBox(this);
    entrants_->setObjectName(QStringLiteral("cboEntrant"));
    layout->addWidget(entrants_);
    passes_ = new QTableWidget(0, 6, this);
    passes_->setObjectName(QStringLiteral("grdPasses"));
    passes_->setHorizontalHeaderLabels(
        {"順番", "レース時間", "ラップ", "ソース", "結果", "フラグ"});
    passes_->setSelectionBehavior(QAbstractItemView::SelectRows);
    passes_->setSelectionMode(QAbstractItemView::SingleSelection);
    passes_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    passes_->verticalHeader()->hide();
    layout->addWidget(passes_, 1);

    auto* buttons = new QHBoxLayout;
    const auto addButton = [&](const char* name, const char* caption,
                               void (LapReviewWindow::*command)()) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        button->setObjectName(QString::fromUtf8(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, command);
        buttons->addWidget(button);
    };
    addButton("cmdDelete", "削除", &LapReviewWindow::DeletePass);
    addButton("cmdRestore", "復元", &LapReviewWindow::RestorePass);
    addButton("cmdAdd", "追加...", &LapReviewWindow::AddPass);
    addButton("cmdSplit", "分割...", &LapReviewWindow::SplitLap);
    addButton("cmdAccept", "確認", &LapReviewWindow::AcceptShortLap);
    addButton("cmdDq", "失格", &LapReviewWindow::Disqualify);
    addButton("cmdReinstate", "失格取消", &LapReviewWindow::Reinstate);
    addButton("cmdAssign", "割当...", &LapReviewWindow::AssignPasses);
    addButton("cmdPenalty", "ペナルティ...", &LapReviewWindow::Penalize);
    addButton("cmdUndo", "元に戻す", &LapReviewWindow::Undo);
    layout->addLayout(buttons);

    auto* fields = new QHBoxLayout;
    reason_ = new QLineEdit(this);
    reason_->setObjectName(QStringLiteral("txtReason"));
    operator_ = new QLineEdit(this);
    operator_->setObjectName(QStringLiteral("txtOperator"));
    operator_->setText(QString::fromStdString(
        app_.Settings().GetSetting(kOperatorSection, kOperatorKey).value_or("")));
    connect(operator_, &QLineEdit::editingFinished, this, [this] {
        app_.Settings().SaveSetting(kOperatorSection, kOperatorKey,
                                    operator_->text().toStdString());
    });
    fields->addWidget(new QLabel(QStringLiteral("理由"), this));
    fields->addWidget(reason_, 2);
    fields->addWidget(new QLabel(QStringLiteral("オペレーター"), this));
    fields->addWidget(operator_, 1);
    layout->addLayout(fields);

    audit_ = new QListWidget(this);
    audit_->setObjectName(QStringLiteral("lstAudit"));
    layout->addWidget(audit_);
    resize(760, 520);

    connect(entrants_, &QComboBox::currentIndexChanged, this, [this] { ShowPasses(); });
    app_.Subscribe(this);
}

LapReviewWindow::~LapReviewWindow() {
    app_.Unsubscribe(this);
    ++auditGeneration_;  // the audit thread's result is for no one now
}

void LapReviewWindow::ShowEntrant(int id) {
    Rescore();
    if (const int index = entrants_->findData(id); index >= 0) entrants_->setCurrentIndex(index);
    show();
    raise();
}

void LapReviewWindow::OnRaceEvent(const RaceEvent& event) {
    if (isVisible() &&
        (event.kind == RaceEventKind::RaceCorrected ||
         event.kind == RaceEventKind::ResultFileShown || event.kind == RaceEventKind::RaceReset))
        Rescore();
}

// The latest revision of the race shown, scored from its record.
void LapReviewWindow::Rescore() {
    record_.reset();
    latest_.reset();
    const JournalParseResult parsed = ParseJournal(app_.ShownRecordText());
    if (app_.CanCorrect() && parsed.ok && parsed.raceRecord) {
        record_ = SplitRaceRecord(parsed.events, parsed.lines);
        latest_ = ScoreRevision(*record_, static_cast<int>(record_->corrections.size()));
    }
    const int picked = PickedId();
    const QSignalBlocker quiet(entrants_);
    entrants_->clear();
    if (latest_) {
        std::vector<int> ids;
        for (const RacePass& pass : latest_->passes)
            if (std::find(ids.begin(), ids.end(), pass.identity.id) == ids.end())
                ids.push_back(pass.identity.id);
        std::sort(ids.begin(), ids.end());
        for (const int id : ids) {
            const std::string name =
                id >= 1 && id < kRosterSize ? latest_->roster[static_cast<std::size_t>(id)] : "";
            entrants_->addItem(QString::fromStdString("ID" + std::to_string(id) + " " + name), id);
        }
    }
    if (const int index = entrants_->findData(picked); index >= 0)
        entrants_->setCurrentIndex(index);
    ShowPasses();
    BuildAudit();
}

void LapReviewWindow::ShowPasses() {
    shown_ = latest_ ? PassesOf(latest_->passes, PickedId()) : std::vector<RacePass>{};
    passes_->setRowCount(static_cast<int>(shown_.size()));
    std::optional<std::size_t> offered;
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        const ReviewRow row = ReviewRowOf(shown_[i]);
        const std::string cells[] = {row.ordinal, row.raceTime, row.lapTime,
                                     row.source,  row.became,   row.flags};
        for (int col = 0; col < 6; ++col) {
            auto* item = new QTableWidgetItem(QString::fromStdString(cells[col]));
            if (row.marked) item->setBackground(QColor(0xff, 0xf0, 0xc0));
            passes_->setItem(static_cast<int>(i), col, item);
        }
        if (shown_[i].shortLap && !offered) offered = PreselectedDeletion(shown_, i);
    }
    // A short lap: the pass whose deletion the director would most likely
    // confirm is picked, never deleted by itself.
    if (offered) passes_->selectRow(static_cast<int>(*offered));
}

// Every correction with the entrant's standing before and after it: one
// scoring per revision, off the window thread.
void LapReviewWindow::BuildAudit() {
    audit_->clear();
    if (!record_ || record_->corrections.empty()) return;
    const int generation = ++auditGeneration_;
    const RaceRecord record = *record_;
    QPointer<LapReviewWindow> window(this);
    auditor_ = std::jthread([record, generation, window, this](std::stop_token stop) {
        const auto current = [&] {
            return !stop.stop_requested() && auditGeneration_ == generation;
        };
        const std::vector<std::string> audit =
            AuditLines(record, static_cast<int>(record.corrections.size()), current);
        if (!current()) return;
        QStringList lines;
        for (const std::string& line : audit) lines << QString::fromStdString(line);
        QMetaObject::invokeMethod(
            window.data(),
            [window, lines, generation, this] {
                if (window && auditGeneration_ == generation) audit_->addItems(lines);
            },
            Qt::QueuedConnection);
    });
}

int LapReviewWindow::PickedId() const {
    return entrants_->currentIndex() < 0 ? 0 : entrants_->currentData().toInt();
}

const RacePass* LapReviewWindow::PickedPass() const {
    const int row = passes_->currentRow();
    return row >= 0 && row < static_cast<int>(shown_.size())
               ? &shown_[static_cast<std::size_t>(row)]
               : nullptr;
}

void LapReviewWindow::Correct(Correction correction) {
    const std::string problem = app_.CorrectRace(correction, reason_->text().toStdString(),
                                                 operator_->text().toStdString());
    if (!problem.empty()) app_.Dialogs().ShowMessage(problem);
}

void LapReviewWindow::CorrectPickedPass(CorrectionOperation operation) {
    if (const RacePass* pass = PickedPass())
        Correct({.operation = operation,
                 .id = pass->identity.id,
                 .pass = {.ordinal = pass->identity.ordinal, .manual = pass->identity.manual}});
}

void LapReviewWindow::DeletePass() {
    CorrectPickedPass(CorrectionOperation::Delete);
}

void LapReviewWindow::RestorePass() {
    CorrectPickedPass(CorrectionOperation::Restore);
}

void LapReviewWindow::AcceptShortLap() {
    CorrectPickedPass(CorrectionOperation::Accept);
}

// The proposed time can be typed over: seconds, with up to three decimals.
void LapReviewWindow::AddPass() {
    const int id = PickedId();
    if (id == 0) return;
    const std::optional<std::int64_t> proposed = ProposedAddRaceMs(shown_);
    char text[32] = "";
    if (proposed) std::snprintf(text, sizeof text, "%.3f", static_cast<double>(*proposed) / 1000.0);
    const std::optional<std::string> entered =
        app_.Dialogs().InputBox("追加するパスのレース時間(秒)", "ラップ修正", text);
    if (!entered) return;
    double seconds = 0;
    const auto [ptr, ec] =
        std::from_chars(entered->data(), entered->data() + entered->size(), seconds);
    if (ec != std::errc() || ptr != entered->data() + entered->size() || !std::isfinite(seconds))
        return;
    Correct({.operation = CorrectionOperation::Add,
             .id = id,
             .raceMs = static_cast<std::int64_t>(std::floor(seconds * 1000.0 + 0.5))});
}

void LapReviewWindow::SplitLap() {
    const RacePass* pass = PickedPass();
    if (pass == nullptr || !pass->lapMs) return;
    const std::optional<int> parts =
        WholeNumber(app_.Dialogs().InputBox("何周に分割しますか", "ラップ修正", "2"));
    if (!parts) return;
    const int id = pass->identity.id;
    if (reason_->text().isEmpty()) {
        app_.Dialogs().ShowMessage(kReasonNeeded);
        return;
    }
    for (const std::int64_t raceMs : SplitRaceMs(*pass, *parts))
        Correct({.operation = CorrectionOperation::Add, .id = id, .raceMs = raceMs});
}

void LapReviewWindow::Disqualify() {
    if (const int id = PickedId(); id != 0)
        Correct({.operation = CorrectionOperation::Dq, .id = id});
}

void LapReviewWindow::Reinstate() {
    if (const int id = PickedId(); id != 0)
        Correct({.operation = CorrectionOperation::Reinstate, .id = id});
}

// For a driver who raced with a borrowed transponder: the picked ID's
// passes scored as another entrant's. The application refuses an entrant
// who has passes of their own.
void LapReviewWindow::AssignPasses() {
    const int id = PickedId();
    if (id == 0) return;
    const std::optional<int> to =
        WholeNumber(app_.Dialogs().InputBox("どのIDのパスとして数えますか", "ラップ修正", ""));
    if (to) Correct({.operation = CorrectionOperation::Assign, .id = id, .assignedTo = *to});
}

// Laps taken off, then time added (seconds, two decimals) to the picked
// entrant's result; 0 for either leaves it as it is.
void LapReviewWindow::Penalize() {
    const int id = PickedId();
    if (id == 0) return;
    const std::optional<int> laps =
        WholeNumber(app_.Dialogs().InputBox("減らす周回数", "ペナルティ", "0"));
    if (!laps) return;
    const std::optional<std::string> seconds =
        app_.Dialogs().InputBox("加える時間(秒)", "ペナルティ", "0");
    if (!seconds) return;
    const SecondsInput added = ParseHundredthsInput(*seconds);
    if (added.kind != SecondsInput::Kind::Value) return;
    Correct({.operation = CorrectionOperation::Penalty,
             .id = id,
             .penaltyLaps = *laps,
             .penaltyMs = static_cast<std::int64_t>(added.value) * 10});
}

void LapReviewWindow::Undo() {
    if (!record_) return;
    if (const std::optional<int> n = CorrectionToUndo(*record_))
        Correct({.operation = CorrectionOperation::Revert, .reverted = *n});
}

}  // namespace palomind
