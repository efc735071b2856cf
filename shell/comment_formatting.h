#pragma once

class QTextEdit;

namespace palomind {

enum class CharAttribute { Bold, Italic, Underline };

// Turns the attribute of the selected characters over (with no selection:
// of the text typed next) and returns whether the selection now carries it,
// which is the pressed state of the toolbar button. A selection that carries
// it only in part counts as not carrying it, so the first press turns it on
// throughout. Does nothing and returns false without a text box.
bool ToggleCharAttribute(QTextEdit* edit, CharAttribute attribute);

// Aligns the paragraphs of the selection: 0 left, 1 right, 2 centre. Other
// values, or no text box, do nothing.
void SetParagraphAlignment(QTextEdit* edit, int value);

}  // namespace palomind
