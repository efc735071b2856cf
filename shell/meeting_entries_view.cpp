#include "shell/meeting_entries_view.h"

#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/meeting_command.h"
#include "meeting/class_settings.h"
#include "meeting/entry_import.h"
#include "meeting/entry_list.h"
#include "meeting/heat_draw.h"
#include "shell/class_settings_dialog.h"
#include "shell/entry_dialog.h"
#include "shell/picking_table.h"

namespace palomind {

namespace {

constexpr const char* kCsvFilter = "CSVファイル (*.csv)|*.csv";

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString Seconds(std::int64_t ms) {
    return QString::number(static_cast<double>(ms) / 1000.0, 'f', 3);
}

QString CountOrEvery(const std::optional<std::int64_t>& count) {
    return count ? QString::number(*count) : QStringLiteral("すべて");
}

QString Ranking(const RankingSettings& ranking) {
    const std::string_view name = RankingMethodName(ranking.method);
    QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (ranking.method == RankingMethod::RoundPoints || ranking.method == RankingMethod::LapsTime)
        text += QStringLiteral(" ベスト") + CountOrEvery(ranking.best);
    if (ranking.method == RankingMethod::Consecutive)
        text += QStringLiteral(" %1周").arg(ranking.consecutive);
    return text;
}

QString Finals(const FinalsSettings& finals) {
    return QStringLiteral("%1人 勝ち上がり%2 %3レグ ベスト%4")
        .arg(finals.mainSize)
        .arg(finals.bump)
        .arg(finals.legs)
        .arg(CountOrEvery(finals.bestLegs));
}

QTableWidget* Table(QWidget* parent, const char* name, const QStringList& headers) {
    QTableWidget* table = PickingTable(headers, parent);
    table->setObjectName(QString::fromLatin1(name));
    return table;
}

QVariant EntryKey(std::int64_t number) {
    return QVariant::fromValue(static_cast<qlonglong>(number));
}

void FillRow(QTableWidget& table, int row, const QStringList& cells, const QVariant& key) {
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        item->setData(Qt::UserRole, key);
        table.setItem(row, column, item);
    }
}

QVariant SelectedKey(const QTableWidget& table) {
    const QList<QTableWidgetItem*> selected = table.selectedItems();
    if (selected.isEmpty()) return {};
    return selected.front()->data(Qt::UserRole);
}

void SelectKey(QTableWidget& table, const QVariant& key) {
    for (int row = 0; row < table.rowCount(); ++row) {
        if (table.item(row, 0)->data(Qt::UserRole) == key) return table.selectRow(row);
    }
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// A titled part of the view: `table` above a row of controls, `left` at the
// left and `right` at the right.
QGroupBox* Section(QWidget* parent, const QString& title, QTableWidget* table,
                   std::initializer_list<QWidget*> left, std::initializer_list<QWidget*> right) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(table);
    auto* controls = new QHBoxLayout;
    for (QWidget* widget : left) controls->addWidget(widget);
    controls->addStretch();
    for (QWidget* widget : right) controls->addWidget(widget);
    layout->addLayout(controls);
    return box;
}

}  // namespace

MeetingEntriesView::MeetingEntriesView(MeetingSession& session, UserDialogs& dialogs,
                                       QWidget* parent)
    : QWidget(parent),
      session_(session),
      dialogs_(dialogs),
      seeds_(SystemRandomSeed),
      entries_(
          Table(this, "tblEntries",
                {QStringLiteral("番号"), QStringLiteral("氏名"), QStringLiteral("トランスポンダ"),
                 QStringLiteral("クラス"), QStringLiteral("車両番号"), QStringLiteral("クラブ")})),
      classes_(
          Table(this, "tblClasses",
                {QStringLiteral("クラス"), QStringLiteral("レース時間(秒)"),
                 QStringLiteral("スタート待時間(秒)"), QStringLiteral("最短ラップ(秒)"),
                 QStringLiteral("最大人数"), QStringLiteral("予選ラウンド"),
                 QStringLiteral("練習(秒)"), QStringLiteral("予選順位"), QStringLiteral("決勝")})),
      round_(new QSpinBox(this)) {
    round_->setObjectName(QStringLiteral("spnRound"));
    round_->setRange(1, 1);

    QPushButton* add = Button(this, "btnAddEntry", QStringLiteral("追加"));
    QPushButton* edit = Button(this, "btnEditEntry", QStringLiteral("編集"));
    QPushButton* withdraw = Button(this, "btnWithdrawEntry", QStringLiteral("取消"));
    QPushButton* import = Button(this, "btnImportEntries", QStringLiteral("CSVから取り込み..."));
    QPushButton* addClass = Button(this, "btnAddClass", QStringLiteral("クラス追加..."));
    QPushButton* editClass = Button(this, "btnEditClass", QStringLiteral("クラス設定..."));
    QPushButton* draw = Button(this, "btnDrawHeats", QStringLiteral("予選ヒートを作成"));
    auto* roundLabel = new QLabel(QStringLiteral("予選ラウンド"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        Section(this, QStringLiteral("エントリー"), entries_, {add, edit, withdraw, import}, {}),
        3);
    layout->addWidget(Section(this, QStringLiteral("クラス"), classes_, {addClass, editClass},
                              {roundLabel, round_, draw}),
                      2);

    connect(add, &QPushButton::clicked, this, &MeetingEntriesView::AddNewEntry);
    connect(edit, &QPushButton::clicked, this, &MeetingEntriesView::EditSelectedEntry);
    connect(entries_, &QTableWidget::cellDoubleClicked, this,
            &MeetingEntriesView::EditSelectedEntry);
    connect(withdraw, &QPushButton::clicked, this, &MeetingEntriesView::WithdrawSelectedEntry);
    connect(import, &QPushButton::clicked, this, &MeetingEntriesView::ImportFromCsv);
    connect(addClass, &QPushButton::clicked, this, &MeetingEntriesView::AddNewClass);
    connect(editClass, &QPushButton::clicked, this, &MeetingEntriesView::EditSelectedClass);
    connect(classes_, &QTableWidget::cellDoubleClicked, this,
            &MeetingEntriesView::EditSelectedClass);
    connect(classes_, &QTableWidget::itemSelectionChanged, this,
            &MeetingEntriesView::FollowSelectedClass);
    connect(draw, &QPushButton::clicked, this, &MeetingEntriesView::DrawSelectedRound);
    Refresh();
}

void MeetingEntriesView::Refresh() {
    const std::optional<Meeting>& meeting = session_.OpenMeeting();
    setEnabled(meeting.has_value());
    ShowEntries(meeting.value_or(Meeting{}));
    ShowClasses(meeting.value_or(Meeting{}));
}

void MeetingEntriesView::ShowEntries(const Meeting& meeting) {
    const QVariant selected = SelectedKey(*entries_);
    std::vector<MeetingEntry> entries = meeting.entries;
    std::sort(entries.begin(), entries.end(),
              [](const MeetingEntry& a, const MeetingEntry& b) { return a.number < b.number; });
    entries_->clearContents();
    entries_->setRowCount(static_cast<int>(entries.size()));
    for (int row = 0; row < entries_->rowCount(); ++row) {
        const MeetingEntry& entry = entries[static_cast<std::size_t>(row)];
        const MeetingClass* meetingClass = ClassWithId(meeting, entry.classId);
        FillRow(
            *entries_, row,
            {QString::number(entry.number), Text(entry.name), QString::number(entry.transponder),
             meetingClass ? Text(meetingClass->name) : Text(entry.classId), Text(entry.car),
             Text(entry.club)},
            EntryKey(entry.number));
    }
    SelectKey(*entries_, selected);
}

void MeetingEntriesView::ShowClasses(const Meeting& meeting) {
    QVariant selected = SelectedKey(*classes_);
    classes_->clearContents();
    classes_->setRowCount(static_cast<int>(meeting.classes.size()));
    for (int row = 0; row < classes_->rowCount(); ++row) {
        const MeetingClass& c = meeting.classes[static_cast<std::size_t>(row)];
        FillRow(*classes_, row,
                {Text(c.name), QString::number(c.raceTimeS), QString::number(c.startWaitS),
                 c.minLapMs == 0 ? QStringLiteral("個人設定") : Seconds(c.minLapMs),
                 QString::number(c.heatSize), QString::number(c.rounds),
                 c.practiceTimeS == 0 ? QStringLiteral("なし") : QString::number(c.practiceTimeS),
                 Ranking(c.ranking), Finals(c.finals)},
                Text(c.id));
    }
    if (!selected.isValid() && !meeting.classes.empty()) selected = Text(meeting.classes[0].id);
    SelectKey(*classes_, selected);
    FollowSelectedClass();
}

void MeetingEntriesView::FollowSelectedClass() {
    const MeetingClass* meetingClass = SelectedClass();
    round_->setMaximum(meetingClass ? static_cast<int>(meetingClass->rounds) : 1);
}

std::optional<std::int64_t> MeetingEntriesView::SelectedEntry() const {
    const QVariant key = SelectedKey(*entries_);
    if (!key.isValid()) return std::nullopt;
    return key.toLongLong();
}

const MeetingClass* MeetingEntriesView::SelectedClass() const {
    const QVariant key = SelectedKey(*classes_);
    if (!key.isValid() || !session_.IsOpen()) return nullptr;
    return ClassWithId(*session_.OpenMeeting(), key.toString().toStdString());
}

bool MeetingEntriesView::Apply(const Edit& edit, const std::string& failure) {
    const std::string error = session_.Change(edit);
    if (!error.empty()) {
        dialogs_.ShowMessage(failure + error);
        return false;
    }
    Refresh();
    emit meetingChanged();
    return true;
}

void MeetingEntriesView::AddNewEntry() {
    if (!session_.IsOpen()) return;
    const Meeting& meeting = *session_.OpenMeeting();
    if (meeting.classes.empty()) {
        dialogs_.ShowMessage("先にクラスを追加してください。");
        return;
    }
    EntryDialog dialog(meeting.classes, QStringLiteral("エントリーの追加"), this);
    MeetingEntry offered;
    offered.number = NextEntryNumber(meeting);
    offered.transponder = 1;
    const MeetingClass* selectedClass = SelectedClass();
    offered.classId = selectedClass ? selectedClass->id : meeting.classes[0].id;
    dialog.SetEntry(offered);
    if (KeepOpenUntilStored(
            dialog, [&](Meeting& m, std::string& e) { return AddEntry(m, dialog.Entry(), e); },
            "エントリーを追加できません: "))
        SelectKey(*entries_, EntryKey(dialog.Entry().number));
}

void MeetingEntriesView::EditSelectedEntry() {
    const std::optional<std::int64_t> number = SelectedEntry();
    if (!number || !session_.IsOpen()) return;
    const Meeting& meeting = *session_.OpenMeeting();
    const MeetingEntry* entry = EntryNumbered(meeting, *number);
    if (entry == nullptr) return;
    EntryDialog dialog(meeting.classes, QStringLiteral("エントリーの編集"), this);
    dialog.SetEntry(*entry);
    if (KeepOpenUntilStored(
            dialog,
            [&](Meeting& m, std::string& e) { return EditEntry(m, *number, dialog.Entry(), e); },
            "エントリーを変更できません: "))
        SelectKey(*entries_, EntryKey(dialog.Entry().number));
}

void MeetingEntriesView::WithdrawSelectedEntry() {
    const std::optional<std::int64_t> number = SelectedEntry();
    if (!number || !session_.IsOpen()) return;
    const MeetingEntry* entry = EntryNumbered(*session_.OpenMeeting(), *number);
    if (entry == nullptr) return;
    const std::string question =
        std::to_string(*number) + " " + entry->name + " のエントリーを取り消しますか?";
    if (!dialogs_.AskYesNo(question)) return;
    Apply([&](Meeting& m, std::string& e) { return WithdrawEntry(m, *number, e); },
          "エントリーを取り消せません: ");
}

void MeetingEntriesView::ImportFromCsv() {
    if (!session_.IsOpen()) return;
    const std::string path = dialogs_.OpenFileName("CSVから取り込み", kCsvFilter);
    if (path.empty()) return;
    QFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::ReadOnly)) {
        dialogs_.ShowMessage("読み込めません: " + path);
        return;
    }
    const QByteArray read = file.readAll();
    const std::string bytes(read.constData(), static_cast<std::size_t>(read.size()));
    Apply([&](Meeting& m, std::string& e) { return ImportEntries(m, bytes, e); },
          "取り込めません (何も取り込んでいません): ");
}

void MeetingEntriesView::AddNewClass() {
    if (session_.IsOpen()) EditClass(MeetingClass{}, QStringLiteral("クラス追加"));
}

void MeetingEntriesView::EditSelectedClass() {
    if (const MeetingClass* meetingClass = SelectedClass())
        EditClass(*meetingClass, QStringLiteral("クラス設定"));
}

void MeetingEntriesView::EditClass(const MeetingClass& settings, const QString& title) {
    ClassSettingsDialog dialog(settings, title, this);
    KeepOpenUntilStored(
        dialog, [&](Meeting& m, std::string& e) { return StoreClass(m, dialog.Settings(), e); },
        "クラスを保存できません: ");
}

bool MeetingEntriesView::KeepOpenUntilStored(QDialog& dialog, const Edit& edit,
                                             const std::string& failure) {
    while (dialog.exec() == QDialog::Accepted) {
        if (Apply(edit, failure)) return true;
    }
    return false;
}

void MeetingEntriesView::DrawSelectedRound() {
    const MeetingClass* meetingClass = SelectedClass();
    if (meetingClass == nullptr) {
        dialogs_.ShowMessage("クラスを選んでください。");
        return;
    }
    const std::string classId = meetingClass->id;
    const std::int64_t round = round_->value();
    Meeting meeting = *session_.OpenMeeting();
    const MeetingRound* drawn = RoundOf(meeting, classId, round);
    if (drawn != nullptr && !drawn->heats.empty()) {
        const std::string question = meetingClass->name + " 予選" + std::to_string(round) +
                                     " のヒートは作成済みです。走っていないヒートを作り直しますか?";
        if (!dialogs_.AskYesNo(question)) return;
    }
    const std::uint64_t seed = seeds_();
    Apply([&](Meeting& m, std::string& e) { return DrawRound(m, classId, round, seed, e); },
          "予選ヒートを作成できません: ");
}

}  // namespace palomind
