#pragma once

// The main window's colours, shared by its building and its link indicator.

#include <QColor>
#include <QPalette>
#include <QWidget>

#include "ui/common/contrast.h"

namespace cantora {

// Written as &HBBGGRR (see FromBgr).
constexpr quint32 kWhite = 0xFFFFFF;
constexpr quint32 kGreen = 0xFF00;
constexpr quint32 kRed = 0xFF;
constexpr quint32 kLightBlue = 0xFFC0C0;

// The same colour whether the window is active or not, with a text colour that reads on it.
inline void SetBackColour(QWidget* widget, QColor colour, QPalette::ColorRole role) {
    SetFixedBackground(widget, colour, role);
}

}  // namespace cantora
