#include "ui/common/contrast.h"

#include <algorithm>
#include <cmath>

namespace cantora {

namespace {

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) +
           0.0722 * Linear(colour.blueF());
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableTextOn(const QColor& background) {
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}

QPalette::ColorRole TextRoleOn(QPalette::ColorRole background) {
    switch (background) {
        case QPalette::Button:
            return QPalette::ButtonText;
        case QPalette::Base:
            return QPalette::Text;
        default:
            return QPalette::WindowText;
    }
}

void SetFixedBackground(QWidget* widget, const QColor& colour, QPalette::ColorRole role) {
    QPalette palette = widget->palette();
    const QColor text = ReadableTextOn(colour);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, role, colour);
        palette.setColor(group, TextRoleOn(role), text);
    }
    widget->setPalette(palette);
}

}  // namespace cantora
