#include "shell/japanese_font.h"

#include <QStringList>

namespace palomind {

namespace {

QStringList FamiliesFor(JapaneseFace face) {
    // Both the English and the Japanese names of the Windows faces: which one
    // a system knows depends on its locale.
    if (face == JapaneseFace::Gothic) {
        return {QStringLiteral("MS Gothic"),
                QStringLiteral("ＭＳ ゴシック"),
                QStringLiteral("IPAGothic"),
                QStringLiteral("IPAゴシック"),
                QStringLiteral("TakaoGothic"),
                QStringLiteral("VL Gothic"),
                QStringLiteral("Noto Sans Mono CJK JP"),
                QStringLiteral("Osaka-Mono"),
                QStringLiteral("Hiragino Sans")};
    }
    // Without MS PGothic, IPAGothic comes before IPAPGothic: the windows'
    // columns were sized for MS PGothic's narrow digits, which IPAGothic's
    // half-width digits match, while IPAPGothic's are a quarter wider and cut
    // the race and lap times in the grids short.
    return {QStringLiteral("MS PGothic"),       QStringLiteral("ＭＳ Ｐゴシック"),
            QStringLiteral("IPAGothic"),        QStringLiteral("IPAゴシック"),
            QStringLiteral("IPAPGothic"),       QStringLiteral("IPA Pゴシック"),
            QStringLiteral("TakaoPGothic"),     QStringLiteral("VL PGothic"),
            QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Osaka"),
            QStringLiteral("Hiragino Sans")};
}

}  // namespace

QFont JapaneseFont(JapaneseFace face, double pointSize, bool bold) {
    QFont font;
    font.setFamilies(FamiliesFor(face));
    font.setStyleHint(face == JapaneseFace::Gothic ? QFont::Monospace : QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

}  // namespace palomind
