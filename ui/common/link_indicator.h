#pragma once

// A small copy of the main window's link indicator for the windows that send: it shows the port
// box's colour and tool tip (open, playing, failed and why) wherever the user works, since the
// modal child windows cover the main window.

#include <QWidget>

namespace cantora {

// A named indicator placed in twips on `parent` that follows `portBox` (nothing when null).
QWidget* MakeLinkIndicator(QWidget* parent, QWidget* portBox, int left, int top, int width,
                           int height);

}  // namespace cantora
