#include "platform/qt_translation.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>

namespace palomind {
namespace {

class QtTranslationTest : public ::testing::Test {
  protected:
    void TearDown() override {
        // Later tests expect Qt's own texts.
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
};

TEST_F(QtTranslationTest, StandardDialogButtonsBecomeJapanese) {
    InstallJapaneseTranslation(*qApp);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
              QStringLiteral("キャンセル"));
}

}  // namespace
}  // namespace palomind
