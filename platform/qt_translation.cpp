#include "platform/qt_translation.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace palomind {

void InstallJapaneseTranslation(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

}  // namespace palomind
