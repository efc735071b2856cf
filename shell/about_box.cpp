#include "shell/about_box.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "shell/japanese_font.h"
#include "shell/program_icon.h"
#include "shell/twips.h"

#if !defined(PALOMIND_VERSION_MAJOR) || !defined(PALOMIND_VERSION_MINOR) || \
    !defined(PALOMIND_VERSION_REVISION)
#error "the build passes the program version in PALOMIND_VERSION_MAJOR/MINOR/REVISION"
#endif

namespace palomind {

namespace {

constexpr int kIconPixels = 32;
constexpr int kBoxWidthTwips = 4500;
constexpr int kBoxHeightTwips = 1800;

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 Palomind"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(JapaneseFont(JapaneseFace::PGothic, 9));

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    const QIcon windowIcon = QApplication::windowIcon();
    picIcon->setPixmap((windowIcon.isNull() ? ProgramIcon() : windowIcon).pixmap(kIconPixels));

    auto* lblTitle = new QLabel(QStringLiteral("Palomind"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(JapaneseFont(JapaneseFace::PGothic, 12, true));

    // The build's version has four parts (0.8.0.4); the operator sees
    // major.minor.revision, the fourth part being the revision (0.8.4).
    auto* lblVersion = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2.%3")
                                      .arg(PALOMIND_VERSION_MAJOR)
                                      .arg(PALOMIND_VERSION_MINOR)
                                      .arg(PALOMIND_VERSION_REVISION),
                                  this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picIcon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(lblTitle, 0, 1);
    layout->addWidget(lblVersion, 1, 1);
    layout->addWidget(cmdOK, 2, 1, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
    layout->setHorizontalSpacing(TwipsToPixels(240, logicalDpiX()));
    // A small dialog box, roomy enough to read at a glance.
    setFixedSize(QSize(TwipsToPixels(kBoxWidthTwips, logicalDpiX()),
                       TwipsToPixels(kBoxHeightTwips, logicalDpiY()))
                     .expandedTo(layout->minimumSize()));
}

}  // namespace palomind
