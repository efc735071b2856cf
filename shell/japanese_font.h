#pragma once
#include <QFont>

namespace palomind {

// The two Japanese Gothic faces the windows are designed for: fixed-pitch
// and proportional.
enum class JapaneseFace { Gothic, PGothic };

// Asks for the Windows face first and falls back to an installed Japanese
// Gothic (IPA fonts on Debian, Hiragino/Osaka on macOS) whose digits are as
// wide as the Windows face's, so the Japanese texts never render as empty
// boxes and the times still fit the columns laid out for them.
QFont JapaneseFont(JapaneseFace face, double pointSize, bool bold = false);

}  // namespace palomind
