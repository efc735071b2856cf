#include "shell/installed_files.h"

#include <QDir>

#if !defined(PALOMIND_DATA_FROM_PROGRAM) || !defined(PALOMIND_SIMULATOR_FROM_PROGRAM)
#error "the build passes the installed folders relative to the program's folder"
#endif

namespace palomind {

InstalledFiles InstalledFilesFor(const QString& programFolder) {
    const QDir program(programFolder);
    return {
        QDir::cleanPath(program.filePath(QStringLiteral(PALOMIND_DATA_FROM_PROGRAM))),
        {QDir::cleanPath(program.filePath(QStringLiteral(PALOMIND_SIMULATOR_FROM_PROGRAM))),
         QDir::cleanPath(programFolder)},
    };
}

}  // namespace palomind
