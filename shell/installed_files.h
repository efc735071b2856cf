#pragma once
#include <QString>
#include <QStringList>

namespace palomind {

// Where the program finds the files installed with it. The install keeps
// them at fixed places relative to the program (bin/palomind,
// share/palomind/, libexec/palomind/), so an installed tree works wherever
// it is put.
struct InstalledFiles {
    // The wave files, for a name missing from the current folder.
    QString dataFolder;
    // Where to look for the receiver simulator, in order: its installed
    // folder, then the program's own (a build tree keeps it there).
    QStringList simulatorFolders;
};

InstalledFiles InstalledFilesFor(const QString& programFolder);

}  // namespace palomind
