#include "platform/qt_translation.h"

#include <QCoreApplication>
#include <QTranslator>

#include "tests/platform/qt_message_guard.h"

namespace palomind {
namespace {

class QtTranslationTest : public testing::QtGuardedTest {
  protected:
    void TearDown() override {
        // Later tests expect Qt's own texts.
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        QtGuardedTest::TearDown();
    }
};

TEST_F(QtTranslationTest, StandardDialogButtonsBecomeJapanese) {
    InstallJapaneseTranslation(*qApp);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
              QStringLiteral("キャンセル"));
}

}  // namespace
}  // namespace palomind
