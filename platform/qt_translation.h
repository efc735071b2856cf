#pragma once
#include <QCoreApplication>

namespace palomind {

// Loads Qt's own Japanese texts ("qtbase_ja" from Qt's translations folder)
// so that the buttons of standard dialogs match the Japanese interface. The
// translator belongs to the application object. Without the translation
// files installed, Qt's English texts stay.
void InstallJapaneseTranslation(QCoreApplication& application);

}  // namespace palomind
