#pragma once

// Layouts are drawn in twips. Fonts here are wider than those the layouts were drawn for, so
// every twip figure goes through one scale: 12 twips to a pixel (1.25 times the classic 15).

#include <QColor>
#include <QRect>
#include <QWidget>

namespace cantora {

constexpr double kTwipsPerPixel = 12.0;

inline int TwipsToPx(double twips) {
    return static_cast<int>(twips / kTwipsPerPixel + 0.5);
}
inline int PxToTwips(int px) {
    return static_cast<int>(px * kTwipsPerPixel + 0.5);
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
