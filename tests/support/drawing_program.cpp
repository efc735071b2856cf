#include "tests/support/drawing_program.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QThread>
#include <QWidget>
#include <iostream>

namespace palomind::testing {

bool SavePicture(QWidget& shown, const QString& output, int settleMs) {
    constexpr int kStepMs = 20;
    for (int waited = 0; waited < settleMs; waited += kStepMs) {
        QApplication::processEvents();
        QThread::msleep(kStepMs);
    }
    const bool saved = shown.grab().save(output);
    if (!saved) std::cerr << "cannot write " << output.toStdString() << '\n';
    return saved;
}

int DrawingProgramMain(int argc, char** argv, const char* usage, int pictures,
                       const std::function<int(const QStringList& outputs)>& draw) {
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() != pictures) {
        std::cerr << "usage: " << usage << '\n';
        return 2;
    }
    QStringList outputs;
    for (const QString& argument : arguments) outputs << QDir::current().absoluteFilePath(argument);
    return draw(outputs);
}

}  // namespace palomind::testing
