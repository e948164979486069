#pragma once

// Looks over every window of the program as the user sees it: opens each one (main window,
// phrase editor, dictionary editor, synthesiser panel, codes viewer) and lists what does not fit
// or cannot be read. Controls are found generically, so new ones are checked too.

#include <QColor>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace cantora::test {

// Builds and shows every window in turn with the application font and palette as they are now,
// runs `look` on each (its name and the window) and closes it again.
void ForEveryWindow(const std::function<void(const QString&, QWidget*)>& look);

// Every visible caption of `window` whose text is wider or taller than the room its control
// gives it, or whose control reaches outside its container, one line each.
QStringList CaptionsThatDoNotFit(QWidget* window);

// Every line of a group box's frame in `window` that the controls inside it paint over for more
// than a fifth of its length, one line each.
QStringList FrameLinesHidden(QWidget* window);

// Every visible control of `window` given a background or text colour of its own whose text
// contrasts with its background by less than `minimum` (WCAG contrast ratio), one line each.
QStringList FixedColoursHardToRead(QWidget* window, double minimum = 4.5);

}  // namespace cantora::test
