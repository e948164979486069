#pragma once

// Fixed background colours with a text colour that stays readable on them, whatever the theme.

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace cantora {

// The contrast ratio of two colours as the web's accessibility guidelines define it: from 1 (the
// same) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

// Black or white, whichever reads better on `background`.
QColor ReadableTextOn(const QColor& background);

// The text role drawn on a background role: ButtonText on Button, Text on Base, WindowText on
// Window.
QPalette::ColorRole TextRoleOn(QPalette::ColorRole background);

// Gives `widget` the background `colour` in `role`, the same whether its window is active or not,
// and the text colour that reads on it; every other colour stays the theme's.
void SetFixedBackground(QWidget* widget, const QColor& colour, QPalette::ColorRole role);

}  // namespace cantora
