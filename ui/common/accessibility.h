#pragma once

// What a screen reader needs of the windows: a name for every control, given in one place once a
// window's controls are built, and whole-text replacements of big text areas that do not send
// the whole text to it.

#include <QString>

class QPlainTextEdit;
class QWidget;

namespace cantora {

// Gives every control of `window` that has no accessible name one a screen reader can say:
// - a button, check box or option button its caption (access-key marks removed), or its tool
//   tip when the caption is only a sign ("?", "…");
// - a text box, text area or scroll bar the caption of its label: a label whose buddy it is,
//   else the nearest label on its left in the same row, else the one just above it, else the
//   caption of its frame;
// - a label its caption, and its tool tip as the description (the palette's code labels);
// - a frame its caption;
// - anything else that takes the focus (an empty picture box) its window's caption.
// Names set before stay. Call once, after the window's controls are built.
void NameControlsForScreenReaders(QWidget* window);

// Replaces the whole text of `box` by `text`. A screen reader is told only that the caret moved,
// not the old and new text: for a dictionary of 100,000 lines that would be megabytes sent over
// the accessibility bus at every sort.
void ReplaceTextQuietly(QPlainTextEdit* box, const QString& text);

}  // namespace cantora
