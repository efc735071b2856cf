#include "shell/race_window_view.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QTableView>
#include <QTextEdit>
#include <array>

#include "shell/grid_view.h"
#include "shell/japanese_font.h"
#include "shell/model_colors.h"
#include "shell/twips.h"

namespace palomind {

// The window's client area in twips.
constexpr int kClientWidthTwips = 14970;
constexpr int kClientHeightTwips = 8430;

// A filled rectangle with a thin border: the grey panel behind the clocks and
// the status lamp.
class FilledShape final : public QWidget {
  public:
    explicit FilledShape(QWidget* parent) : QWidget(parent) {}
    void SetColor(const QColor& color) {
        if (color == color_) return;
        color_ = color;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), color_);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

  private:
    QColor color_;
};

namespace {

struct TwipRect {
    int left, top, width, height;
};

struct LabelSpec {
    const char* name;
    const char* text;
    JapaneseFace face;
    double points;
    bool bold;
    TwipRect place;
};

// Created in this order, so labels lying on a shape are created after it and
// stay on top of it.
constexpr std::array kLabels{
    LabelSpec{"Label1", "レース経過時間:", JapaneseFace::Gothic, 12, false, {360, 240, 1845, 405}},
    LabelSpec{"Label2", "00h00m00s", JapaneseFace::Gothic, 12, false, {2205, 240, 1380, 405}},
    LabelSpec{"Label3", "レース残存時間:", JapaneseFace::Gothic, 12, false, {360, 600, 1845, 405}},
    LabelSpec{"Label4", "00h00m00s", JapaneseFace::Gothic, 12, false, {2205, 600, 1380, 405}},
    LabelSpec{"Label5", "ステータス", JapaneseFace::Gothic, 9.75, true, {3960, 240, 1080, 255}},
    LabelSpec{"Label17", "待機中", JapaneseFace::Gothic, 12, true, {4080, 540, 855, 255}},
    LabelSpec{"Label6", "＜現在順位＞", JapaneseFace::PGothic, 12, true, {240, 1080, 1695, 255}},
    LabelSpec{"Label7", "＜ラップ履歴＞", JapaneseFace::PGothic, 12, true, {6000, 1080, 1695, 255}},
};

// The text box keeps paragraphs and line breaks as its own characters; the
// stored comment uses CR LF. An embedded object (a pasted picture) has no
// plain-text form, so it is left out rather than stored as U+FFFC.
std::string CommentToStored(const QString& plainText) {
    QString text = plainText;
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text.toStdString();
}

QString StoredToComment(const std::string& stored) {
    QString text = QString::fromStdString(stored);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

frmRaceResult::frmRaceResult(const RaceWindowModel& model, CommentTyped commentTyped,
                             QWidget* parent)
    : QWidget(parent), model_(model), commentTyped_(std::move(commentTyped)) {
    setObjectName(QStringLiteral("frmRaceResult"));
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    auto place = [dpiX, dpiY](QWidget* widget, TwipRect r) {
        widget->setGeometry(TwipsToRect(r.left, r.top, r.width, r.height, dpiX, dpiY));
    };

    auto* panel = new FilledShape(this);
    panel->setObjectName(QStringLiteral("Shape2"));
    panel->SetColor(ResolveColor(kPanelGrey, palette()));
    place(panel, {240, 120, 3495, 855});

    lamp_ = new FilledShape(this);
    lamp_->setObjectName(QStringLiteral("Shape3"));
    place(lamp_, {3840, 480, 1335, 375});

    BuildLabels();

    richTextBox1_ = new QTextEdit(this);
    richTextBox1_->setObjectName(QStringLiteral("RichTextBox1"));
    richTextBox1_->setFont(JapaneseFont(JapaneseFace::PGothic, 9));
    richTextBox1_->setAcceptRichText(true);
    place(richTextBox1_, {5280, 120, 9135, 855});
    connect(richTextBox1_, &QTextEdit::textChanged, this, &frmRaceResult::StoreTypedComment);

    standings_ = new GridView(model_.Standings, JapaneseFont(JapaneseFace::PGothic, 9.75), this);
    standings_->setObjectName(QStringLiteral("MSFlexGrid1"));
    place(standings_, {240, 1440, 5610, 5130});

    lapHistory_ = new GridView(model_.LapHistory, JapaneseFont(JapaneseFace::PGothic, 9), this);
    lapHistory_->setObjectName(QStringLiteral("MSFlexGrid2"));
    place(lapHistory_, {6000, 1440, 8895, 5085});

    resize(sizeHint());
    // Nothing shown yet: make the first Refresh write every label and colour.
    shownElapsedColor_ = ~model_.ElapsedForeColor;
    shownLampColor_ = ~model_.LampColor;
    shownCaption_ = model_.Caption + '\n';
    shownElapsed_ = model_.ElapsedCaption + '\n';
    shownRemaining_ = model_.RemainingCaption + '\n';
    shownStatus_ = model_.StatusCaption + '\n';
    Refresh();
    LoadCommentFromModel();
}

void frmRaceResult::BuildLabels() {
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    for (const LabelSpec& layout : kLabels) {
        auto* label = new QLabel(QString::fromUtf8(layout.text), this);
        label->setObjectName(QString::fromLatin1(layout.name));
        label->setFont(JapaneseFont(layout.face, layout.points, layout.bold));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(TwipsToRect(layout.place.left, layout.place.top, layout.place.width,
                                       layout.place.height, dpiX, dpiY));
        const std::string_view name = layout.name;
        if (name == "Label2") elapsed_ = label;
        if (name == "Label4") remaining_ = label;
        if (name == "Label17") status_ = label;
    }
}

void frmRaceResult::OnLapHistoryDoubleClicked(std::function<void(int column)> handler) {
    connect(lapHistory_->Table(), &QTableView::doubleClicked, this,
            [handler = std::move(handler)](const QModelIndex& index) { handler(index.column()); });
}

QSize frmRaceResult::sizeHint() const {
    return QSize(TwipsToPixels(kClientWidthTwips, logicalDpiX()),
                 TwipsToPixels(kClientHeightTwips, logicalDpiY()));
}

void frmRaceResult::Refresh() {
    auto updateText = [](std::string& shown, const std::string& wanted, auto&& apply) {
        if (shown == wanted) return;
        shown = wanted;
        apply(QString::fromStdString(wanted));
    };
    updateText(shownCaption_, model_.Caption, [this](const QString& t) { setWindowTitle(t); });
    updateText(shownElapsed_, model_.ElapsedCaption,
               [this](const QString& t) { elapsed_->setText(t); });
    updateText(shownRemaining_, model_.RemainingCaption,
               [this](const QString& t) { remaining_->setText(t); });
    updateText(shownStatus_, model_.StatusCaption,
               [this](const QString& t) { status_->setText(t); });
    if (shownElapsedColor_ != model_.ElapsedForeColor || shownLampColor_ != model_.LampColor)
        ApplyColors();
    standings_->Refresh();
    lapHistory_->Refresh();
}

void frmRaceResult::ApplyColors() {
    shownElapsedColor_ = model_.ElapsedForeColor;
    shownLampColor_ = model_.LampColor;
    QPalette elapsedPalette = elapsed_->palette();
    elapsedPalette.setColor(QPalette::WindowText, ResolveColor(shownElapsedColor_, palette()));
    elapsed_->setPalette(elapsedPalette);
    lamp_->SetColor(ResolveColor(shownLampColor_, palette()));
}

void frmRaceResult::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The button-text colour follows the system palette.
    if (event->type() == QEvent::PaletteChange && elapsed_ != nullptr) ApplyColors();
}

void frmRaceResult::LoadCommentFromModel() {
    if (CommentToStored(richTextBox1_->toPlainText()) == model_.Comment) return;
    loadingComment_ = true;
    richTextBox1_->setPlainText(StoredToComment(model_.Comment));
    loadingComment_ = false;
}

void frmRaceResult::StoreTypedComment() {
    // Loading puts the model's own text in the box; storing it back would
    // only rewrite lone CRs or LFs that the model chose to keep.
    if (loadingComment_ || !commentTyped_) return;
    commentTyped_(CommentToStored(richTextBox1_->toPlainText()));
}

}  // namespace palomind
