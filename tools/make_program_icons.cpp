// Writes the program's icon as the desktop's icon theme expects it:
// <output folder>/<N>x<N>/apps/palomind.png for each size given. The
// pictures come from the drawing the window itself uses.
//
// Usage: make_program_icons <output folder> <size>...

#include <QDir>
#include <QImage>
#include <iostream>

#include "shell/program_icon.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: make_program_icons <output folder> <size>...\n";
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        bool isNumber = false;
        const int pixels = QString::fromLocal8Bit(argv[i]).toInt(&isNumber);
        if (!isNumber || pixels <= 0) {
            std::cerr << "make_program_icons: not a size: " << argv[i] << '\n';
            return 2;
        }
        const QString folder = QStringLiteral("%1x%1/apps").arg(pixels);
        const QString file = output.filePath(folder + QStringLiteral("/palomind.png"));
        if (!output.mkpath(folder) || !palomind::ProgramIconImage(pixels).save(file, "PNG")) {
            std::cerr << "make_program_icons: cannot write " << file.toStdString() << '\n';
            return 1;
        }
    }
    return 0;
}
