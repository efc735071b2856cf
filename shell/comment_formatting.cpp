#include "shell/comment_formatting.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

namespace palomind {

namespace {

bool Carries(const QTextCharFormat& format, CharAttribute attribute) {
    switch (attribute) {
        case CharAttribute::Bold:
            return format.fontWeight() >= QFont::Bold;
        case CharAttribute::Italic:
            return format.fontItalic();
        case CharAttribute::Underline:
            return format.fontUnderline();
    }
    return false;
}

QTextCharFormat FormatWith(CharAttribute attribute, bool on) {
    QTextCharFormat format;
    switch (attribute) {
        case CharAttribute::Bold:
            format.setFontWeight(on ? QFont::Bold : QFont::Normal);
            break;
        case CharAttribute::Italic:
            format.setFontItalic(on);
            break;
        case CharAttribute::Underline:
            format.setFontUnderline(on);
            break;
    }
    return format;
}

// True when every selected character carries the attribute. Without a
// selection (or when only paragraph breaks are selected) the format of the
// text typed next decides.
bool SelectionCarries(const QTextEdit& edit, CharAttribute attribute) {
    const QTextCursor cursor = edit.textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    bool sawCharacter = false;
    for (QTextBlock block = edit.document()->findBlock(start);
         block.isValid() && block.position() < end; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from >= to) continue;
            if (!Carries(fragment.charFormat(), attribute)) return false;
            sawCharacter = true;
        }
    }
    return sawCharacter || Carries(edit.currentCharFormat(), attribute);
}

}  // namespace

bool ToggleCharAttribute(QTextEdit* edit, CharAttribute attribute) {
    if (edit == nullptr) return false;
    edit->mergeCurrentCharFormat(FormatWith(attribute, !SelectionCarries(*edit, attribute)));
    return SelectionCarries(*edit, attribute);
}

void SetParagraphAlignment(QTextEdit* edit, int value) {
    if (edit == nullptr) return;
    // Left and right are meant on the page, also in right-to-left text.
    Qt::Alignment alignment;
    switch (value) {
        case 0:
            alignment = Qt::AlignLeft | Qt::AlignAbsolute;
            break;
        case 1:
            alignment = Qt::AlignRight | Qt::AlignAbsolute;
            break;
        case 2:
            alignment = Qt::AlignHCenter;
            break;
        default:
            return;
    }
    edit->setAlignment(alignment);
}

}  // namespace palomind
