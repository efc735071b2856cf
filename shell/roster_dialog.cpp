#include "shell/roster_dialog.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "documents/roster_file.h"
#include "shell/japanese_font.h"
#include "shell/twips.h"

namespace palomind {

namespace {

constexpr int kClientWidthTwips = 5850;
constexpr int kClientHeightTwips = 4155;
constexpr int kGridRows = 17;  // the header and 16 IDs per column pair
constexpr int kGridCols = 8;
constexpr int kLastRow = kGridRows - 1;
constexpr int kFirstNameCol = 1;
constexpr int kLastNameCol = kGridCols - 1;
constexpr int kIdColTwips = 300;
constexpr int kNameColTwips = 700;
// Not given for this grid: the smallest height that holds the 9 pt text,
// which lets all 17 rows fit the grid's height without a scroll bar.
constexpr int kRowTwips = 225;

// The name cell at (row, col) belongs to this ID; col is 1, 3, 5 or 7.
int IdOfCell(int row, int col) {
    return (col / 2) * 16 + row;
}

QString TwoDigits(int number) {
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

// Paints the current cell highlighted at all times, also while the edit box
// beside the grid has the focus, and never a focus rectangle: the highlighted
// cell is always the one being edited.
class CurrentCellDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
        const auto* view = qobject_cast<const QAbstractItemView*>(option->widget);
        if (view != nullptr && index == view->currentIndex())
            option->state |= QStyle::State_Selected | QStyle::State_Active;
    }
};

}  // namespace

dlgIdName::dlgIdName(const RosterTable& names, NameSetter setName, FileStore& files,
                     MessageSink& messages, FileNamesShown fileNamesShown, QWidget* parent)
    : QDialog(parent),
      names_(names),
      setName_(std::move(setName)),
      files_(files),
      messages_(messages),
      fileNamesShown_(std::move(fileNamesShown)),
      grid_(new QTableWidget(kGridRows, kGridCols, this)),
      okButton_(new QPushButton(QStringLiteral("OK"), this)),
      idLabel_(new QLabel(this)),
      nameEdit_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("dlgIdName"));
    setWindowTitle(QStringLiteral("ドライバ登録"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(JapaneseFont(JapaneseFace::PGothic, 9));
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    setFixedSize(TwipsToPixels(kClientWidthTwips, dpiX), TwipsToPixels(kClientHeightTwips, dpiY));

    grid_->setObjectName(QStringLiteral("MSFlexGrid1"));
    grid_->setFont(JapaneseFont(JapaneseFace::PGothic, 9));
    grid_->setGeometry(TwipsToRect(120, 120, 4100, 3900, dpiX, dpiY));
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    for (QHeaderView* header : {grid_->horizontalHeader(), grid_->verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    grid_->verticalHeader()->setDefaultSectionSize(TwipsToPixels(kRowTwips, dpiY));
    // Names are edited in the box beside the grid, never in the grid itself.
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    grid_->setWordWrap(false);
    // A text too long for its cell is cut at the cell's edge, not replaced
    // by an ellipsis that would hide more of it.
    grid_->setTextElideMode(Qt::ElideNone);
    grid_->setItemDelegate(new CurrentCellDelegate(grid_));
    for (int col = 0; col < kGridCols; ++col) {
        const bool isNameCol = col % 2 == 1;
        grid_->setColumnWidth(col, TwipsToPixels(isNameCol ? kNameColTwips : kIdColTwips, dpiX));
        auto* header =
            new QTableWidgetItem(isNameCol ? QStringLiteral("Name") : QStringLiteral("ID"));
        // The header row can never become the current cell.
        header->setFlags(Qt::NoItemFlags);
        header->setForeground(palette().windowText());
        header->setBackground(palette().button());
        grid_->setItem(0, col, header);
        for (int row = 1; row < kGridRows; ++row) {
            auto* cell =
                new QTableWidgetItem(isNameCol ? QString() : TwoDigits(IdOfCell(row, col + 1)));
            cell->setFlags(Qt::ItemIsEnabled);
            cell->setTextAlignment(Qt::AlignVCenter | (isNameCol ? Qt::AlignLeft : Qt::AlignRight));
            grid_->setItem(row, col, cell);
        }
    }
    // Only a click gives the grid the focus, which it hands on to the edit
    // box at once; in the Tab order it would send Tab straight back there.
    // Tab and Shift+Tab go between the edit box and OK.
    grid_->setFocusPolicy(Qt::ClickFocus);
    grid_->installEventFilter(this);
    // However the current cell moves (a click, a drag), the editor follows it.
    connect(grid_, &QTableWidget::currentCellChanged, this, [this] { PutEditorOnCurrentCell(); });

    okButton_->setObjectName(QStringLiteral("OKButton"));
    okButton_->setGeometry(TwipsToRect(4440, 240, 1215, 375, dpiX, dpiY));
    // Enter belongs to the edit box (next ID), never to the OK button.
    okButton_->setAutoDefault(false);
    connect(okButton_, &QPushButton::clicked, this, &dlgIdName::OKButton_Click);

    idLabel_->setObjectName(QStringLiteral("Label1"));
    idLabel_->setGeometry(TwipsToRect(4440, 840, 1215, 255, dpiX, dpiY));

    nameEdit_->setObjectName(QStringLiteral("Text1"));
    nameEdit_->setFont(JapaneseFont(JapaneseFace::PGothic, 12));
    nameEdit_->setGeometry(TwipsToRect(4440, 1080, 1215, 495, dpiX, dpiY));
    nameEdit_->installEventFilter(this);
    connect(nameEdit_, &QLineEdit::textChanged, this, &dlgIdName::StoreTypedName);
    setTabOrder(nameEdit_, okButton_);
}

// Read afresh from the file; only the names that differ are changed, so only
// they reach the race (and its journal).
void dlgIdName::Load_IdName() {
    RosterTable fromFile = names_;
    ::palomind::Load_IdName(fromFile, files_, messages_);
    for (int id = 1; id < kRosterSize; ++id) {
        const auto i = static_cast<std::size_t>(id);
        if (fromFile[i] != names_[i]) setName_(id, std::move(fromFile[i]));
    }
}

void dlgIdName::Save_IdName() {
    ::palomind::Save_IdName(names_, files_, messages_);
}

void dlgIdName::ShowDialog() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    if (FileNamesInRoster()) Load_IdName();
    FillGrid();
    show();
    raise();
    activateWindow();
    // Activation puts the editor on the current cell; do it here as well so
    // the editor is ready even where the window system does not activate.
    PutEditorOnCurrentCell();
}

void dlgIdName::FillGrid() {
    for (int row = 1; row < kGridRows; ++row)
        for (int col = kFirstNameCol; col < kGridCols; col += 2)
            grid_->item(row, col)->setText(
                QString::fromStdString(names_[static_cast<std::size_t>(IdOfCell(row, col))]));
    editorRow_ = -1;
    SetCurrentCell(1, kFirstNameCol);
}

void dlgIdName::SetCurrentCell(int row, int col) {
    grid_->setCurrentCell(row, col, QItemSelectionModel::NoUpdate);
}

void dlgIdName::PutEditorOnCurrentCell() {
    if (puttingEditor_) return;
    puttingEditor_ = true;
    int row = grid_->currentRow();
    int col = grid_->currentColumn();
    if (row < 1) row = 1;
    if (col < 0) col = kFirstNameCol;
    // An ID cell hands over to the name beside it.
    if (col % 2 == 0) ++col;
    SetCurrentCell(row, col);
    nameEdit_->setFocus();
    // Coming back to the dialog puts the editor on the cell it is already on:
    // the name being typed keeps its caret, so the next key goes on typing.
    if (row != editorRow_ || col != editorCol_ ||
        nameEdit_->text() != grid_->item(row, col)->text()) {
        editorRow_ = row;
        editorCol_ = col;
        nameEdit_->setText(grid_->item(row, col)->text());
        // Selected, so that typing replaces the name (usually "未登録") at
        // once; End keeps it for amending.
        nameEdit_->selectAll();
    }
    idLabel_->setText(QStringLiteral("ID%1ドライバ").arg(TwoDigits(IdOfCell(row, col))));
    puttingEditor_ = false;
}

void dlgIdName::StoreTypedName(const QString& text) {
    const int row = grid_->currentRow();
    const int col = grid_->currentColumn();
    if (row < 1 || row > kLastRow || col % 2 != 1) return;
    grid_->item(row, col)->setText(text);
    setName_(IdOfCell(row, col), text.toStdString());
}

bool dlgIdName::MoveByKey(int key) {
    int row = grid_->currentRow();
    int col = grid_->currentColumn();
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Always the next ID: down the column pair, then on to the top of
            // the next one, from ID 64 back to ID 1.
            StoreTypedName(nameEdit_->text());
            if (row == kLastRow) {
                row = 1;
                col = col + 2 > kLastNameCol ? kFirstNameCol : col + 2;
            } else {
                ++row;
            }
            break;
        case Qt::Key_Up:
            if (row > 1) --row;
            break;
        case Qt::Key_Down:
            if (row < kLastRow) ++row;
            break;
        case Qt::Key_Left:
            if (col > 2) col -= 2;
            break;
        case Qt::Key_Right:
            if (col < kLastNameCol) col += 2;
            break;
        default:
            return false;
    }
    SetCurrentCell(row, col);
    PutEditorOnCurrentCell();
    return true;
}

bool dlgIdName::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::FocusIn) {
        PutEditorOnCurrentCell();
    } else if (watched == nameEdit_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // With Shift, Ctrl or Alt the arrows keep their editing meaning
        // (selecting, moving by word) inside the name.
        const bool isEnter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if ((isEnter || plain) && MoveByKey(key->key())) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void dlgIdName::keyPressEvent(QKeyEvent* event) {
    // Esc does not close the dialog: the names typed would be lost at the
    // next opening. The window's close button still closes it unsaved.
    if (event->matches(QKeySequence::Cancel)) return;
    QDialog::keyPressEvent(event);
}

bool dlgIdName::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate) PutEditorOnCurrentCell();
    return handled;
}

void dlgIdName::OKButton_Click() {
    if (FileNamesInRoster()) Save_IdName();
    accept();
}

}  // namespace palomind
