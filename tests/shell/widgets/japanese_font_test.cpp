#include "shell/japanese_font.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>

#include "widget_test.h"

namespace palomind {
namespace {

using JapaneseFontTest = ::testing::Test;

// Every kind of character the windows show: kanji, hiragana, katakana,
// half-width katakana, full-width brackets and ASCII.
constexpr char32_t kShownCharacters[] =
    U"レース経過時間待機中計測中全終了＜現在順位＞ﾊﾞｰｼﾞｮﾝ情報ドライバ登録未登録の0aZ:";

TEST_F(JapaneseFontTest, BothFacesResolveToAnInstalledFontThatHasEveryCharacterShown) {
    for (JapaneseFace face : {JapaneseFace::Gothic, JapaneseFace::PGothic}) {
        const QFont font = JapaneseFont(face, 12, true);
        EXPECT_TRUE(font.bold());
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 12.0);
        const QFontMetrics metrics(font);
        for (const char32_t* c = kShownCharacters; *c != 0; ++c)
            EXPECT_TRUE(metrics.inFontUcs4(*c))
                << QFontInfo(font).family().toStdString() << " lacks U+" << std::hex
                << static_cast<unsigned>(*c);
    }
}

}  // namespace
}  // namespace palomind
