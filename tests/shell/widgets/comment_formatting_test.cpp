#include "shell/comment_formatting.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include "widget_test.h"

namespace palomind {
namespace {

class CommentFormattingTest : public ::testing::Test {
  protected:
    void Select(int from, int to) {
        QTextCursor cursor(box.document());
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        box.setTextCursor(cursor);
    }
    // The format of the character at `position`.
    QTextCharFormat FormatAt(int position) {
        QTextCursor cursor(box.document());
        cursor.setPosition(position + 1);
        return cursor.charFormat();
    }
    static bool Has(const QTextCharFormat& format, CharAttribute attribute) {
        switch (attribute) {
            case CharAttribute::Bold:
                return format.fontWeight() == QFont::Bold;
            case CharAttribute::Italic:
                return format.fontItalic();
            case CharAttribute::Underline:
                return format.fontUnderline();
        }
        return false;
    }
    Qt::Alignment AlignmentOf(int block) {
        return box.document()->findBlockByNumber(block).blockFormat().alignment() &
               (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter | Qt::AlignJustify);
    }

    QTextEdit box;
};

constexpr CharAttribute kAttributes[] = {CharAttribute::Bold, CharAttribute::Italic,
                                         CharAttribute::Underline};

TEST_F(CommentFormattingTest, EachToggleTurnsTheSelectionOnThenOffWithTheButtonFollowing) {
    for (CharAttribute attribute : kAttributes) {
        box.setPlainText(QStringLiteral("plain text"));
        Select(0, 5);
        EXPECT_TRUE(ToggleCharAttribute(&box, attribute));
        EXPECT_TRUE(Has(FormatAt(0), attribute));
        EXPECT_TRUE(Has(FormatAt(4), attribute));
        EXPECT_FALSE(Has(FormatAt(6), attribute));
        EXPECT_FALSE(ToggleCharAttribute(&box, attribute));
        EXPECT_FALSE(Has(FormatAt(0), attribute));
        EXPECT_FALSE(Has(FormatAt(4), attribute));
    }
}

TEST_F(CommentFormattingTest, PartlyFormattedSelectionIsTurnedOnThroughout) {
    box.setPlainText(QStringLiteral("abcdef"));
    Select(0, 3);
    ToggleCharAttribute(&box, CharAttribute::Bold);
    Select(0, 6);
    EXPECT_TRUE(ToggleCharAttribute(&box, CharAttribute::Bold));
    for (int position = 0; position < 6; ++position)
        EXPECT_TRUE(Has(FormatAt(position), CharAttribute::Bold));
    // The other attributes are left as they were.
    EXPECT_FALSE(Has(FormatAt(0), CharAttribute::Italic));
}

TEST_F(CommentFormattingTest, WithoutSelectionTheToggleAppliesToTheTextTypedNext) {
    box.setPlainText(QStringLiteral("ab"));
    Select(2, 2);
    EXPECT_TRUE(ToggleCharAttribute(&box, CharAttribute::Italic));
    box.insertPlainText(QStringLiteral("c"));
    EXPECT_FALSE(Has(FormatAt(1), CharAttribute::Italic));
    EXPECT_TRUE(Has(FormatAt(2), CharAttribute::Italic));
}

TEST_F(CommentFormattingTest, AlignmentAppliesToEveryParagraphTouchedBySelection) {
    box.setPlainText(QStringLiteral("one\ntwo\nthree"));
    Select(1, 5);  // from inside "one" to inside "two"
    SetParagraphAlignment(&box, 2);
    EXPECT_EQ(AlignmentOf(0), Qt::AlignHCenter);
    EXPECT_EQ(AlignmentOf(1), Qt::AlignHCenter);
    EXPECT_EQ(AlignmentOf(2), Qt::AlignLeft);
    SetParagraphAlignment(&box, 1);
    EXPECT_EQ(AlignmentOf(1), Qt::AlignRight);
    SetParagraphAlignment(&box, 7);  // not an alignment: nothing changes
    EXPECT_EQ(AlignmentOf(1), Qt::AlignRight);
    SetParagraphAlignment(&box, 0);
    EXPECT_EQ(AlignmentOf(0), Qt::AlignLeft);
    EXPECT_EQ(box.toPlainText(), QStringLiteral("one\ntwo\nthree"));
}

TEST_F(CommentFormattingTest, WithoutACommentBoxNothingHappens) {
    EXPECT_FALSE(ToggleCharAttribute(nullptr, CharAttribute::Bold));
    SetParagraphAlignment(nullptr, 2);
}

}  // namespace
}  // namespace palomind
