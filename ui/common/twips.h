#pragma once

// Layouts are drawn in twips. Every twip figure goes through one scale, taken from the
// application font: 12 twips to a pixel at the font the layouts were fitted to (9 pt Sans at
// 96 dots an inch, 1.25 times the classic 15), fewer for a larger font, so that every window
// grows with the font and keeps its proportions.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QWidget>

namespace cantora {

// The scale at the font the layouts were fitted to, and that font's mean letter width and line
// height in pixels.
constexpr double kTwipsPerPixel = 12.0;
constexpr double kFittedLetterWidth = 7.405;
constexpr double kFittedLineHeight = 13.969;

// Twips to a pixel for `font`: the fitted scale divided by how much wider or taller (whichever
// is more) the font's letters are than the fitted ones; never more than the fitted scale.
double TwipsPerPixelFor(const QFont& font);
// The same for the application font, as it is now.
double TwipsPerPixel();

inline int TwipsToPx(double twips) {
    return static_cast<int>(twips / TwipsPerPixel() + 0.5);
}
inline int PxToTwips(int px) {
    return static_cast<int>(px * TwipsPerPixel() + 0.5);
}
inline QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPx(left), TwipsToPx(top), TwipsToPx(width), TwipsToPx(height));
}
inline void PlaceTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(TwipsRect(left, top, width, height));
}

// Colours written as &HBBGGRR: 0xFF00 is green, 0xFF red, 0xFFC0C0 light blue.
inline QColor FromBgr(quint32 bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

}  // namespace cantora
