#include "shell/spectator_page_dialog.h"

#include <qrencode.h>

#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <memory>

#include "web/web_address.h"

namespace palomind {

namespace {

constexpr int kQrScale = 5;
constexpr int kQuietZoneModules = 4;

}  // namespace

QImage QrCodeImage(const QString& text, int scale) {
    const QByteArray utf8 = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (code == nullptr) return {};
    const int modules = code->width + 2 * kQuietZoneModules;
    QImage image(modules * scale, modules * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            // Bit 0 of each byte is the module's colour: 1 is dark.
            if ((code->data[y * code->width + x] & 1) == 0) continue;
            painter.fillRect((x + kQuietZoneModules) * scale, (y + kQuietZoneModules) * scale,
                             scale, scale, Qt::black);
        }
    }
    return image;
}

SpectatorPageDialog::SpectatorPageDialog(QWidget* parent, std::function<QString(int)> changePort)
    : QDialog(parent),
      changePort_(std::move(changePort)),
      url_(new QLabel(this)),
      qrCode_(new QLabel(this)),
      problem_(new QLabel(this)),
      port_(new QSpinBox(this)) {
    setObjectName(QStringLiteral("dlgSpectatorPage"));
    setWindowTitle(QStringLiteral("観客用ﾍﾟｰｼﾞ"));
    url_->setObjectName(QStringLiteral("lblSpectatorUrl"));
    url_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont big = url_->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    url_->setFont(big);
    qrCode_->setObjectName(QStringLiteral("lblSpectatorQrCode"));
    qrCode_->setAlignment(Qt::AlignCenter);
    problem_->setObjectName(QStringLiteral("lblSpectatorProblem"));
    problem_->setStyleSheet(QStringLiteral("QLabel { color: #c00000; }"));
    problem_->setWordWrap(true);
    problem_->hide();
    auto* note = new QLabel(
        QStringLiteral("同じネットワークにつながっている人は、だれでもこのページを見られます。"
                       "ページは読み取り専用で、レースを変えることはできません。"),
        this);
    note->setWordWrap(true);

    port_->setObjectName(QStringLiteral("spnSpectatorPort"));
    port_->setRange(1, 65535);
    auto* apply = new QPushButton(QStringLiteral("変更"), this);
    apply->setObjectName(QStringLiteral("btnSpectatorPort"));
    connect(apply, &QPushButton::clicked, this, &SpectatorPageDialog::ApplyPort);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* portRow = new QHBoxLayout;
    portRow->addWidget(new QLabel(QStringLiteral("ポート:"), this));
    portRow->addWidget(port_);
    portRow->addWidget(apply);
    portRow->addStretch();
    portRow->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("スマートフォンでこのアドレスを開いてください:"), this));
    layout->addWidget(url_);
    layout->addWidget(qrCode_);
    layout->addWidget(note);
    layout->addWidget(problem_);
    layout->addLayout(portRow);
}

void SpectatorPageDialog::ShowAddress(const QString& host, int port) {
    port_->setValue(port);
    if (host.isEmpty()) {
        url_->setText(QStringLiteral("(ネットワークに接続されていません)"));
        qrCode_->clear();
        return;
    }
    const QString url = QString::fromStdString(
        WebUrl(WebAddress{host.toStdString(), static_cast<std::uint16_t>(port), {}},
               static_cast<std::uint16_t>(port)));
    url_->setText(url);
    qrCode_->setPixmap(QPixmap::fromImage(QrCodeImage(url, kQrScale)));
}

void SpectatorPageDialog::ApplyPort() {
    const QString problem = changePort_(port_->value());
    problem_->setText(problem);
    problem_->setVisible(!problem.isEmpty());
}

}  // namespace palomind
