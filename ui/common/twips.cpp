#include "ui/common/twips.h"

#include <QApplication>
#include <QFontMetricsF>
#include <algorithm>

namespace cantora {

double TwipsPerPixelFor(const QFont& font) {
    const QFontMetricsF metrics(font);
    static const QString kLetters =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const double width = metrics.horizontalAdvance(kLetters) / kLetters.size();
    const double growth =
        std::max(width / kFittedLetterWidth, metrics.height() / kFittedLineHeight);
    // Within rounding of the fitted font nothing moves.
    if (!(growth > 1.005)) {
        return kTwipsPerPixel;
    }
    return kTwipsPerPixel / std::min(growth, 8.0);
}

double TwipsPerPixel() {
    // Measured once per font: every control placed asks.
    static QFont measured;
    static double scale = kTwipsPerPixel;
    static bool known = false;
    const QFont font = QApplication::font();
    if (!known || !(font == measured)) {
        measured = font;
        scale = TwipsPerPixelFor(font);
        known = true;
    }
    return scale;
}

}  // namespace cantora
