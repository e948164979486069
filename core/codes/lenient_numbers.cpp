#include "core/codes/lenient_numbers.h"

#include <cmath>
#include <limits>
#include <string>

namespace cantora {

namespace {

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

}  // namespace

double LeadingNumber(const QString& text) {
    // Collect the characters of the leading number with blanks removed, then let the C library
    // convert them, which gives correctly rounded results.
    std::string number;
    int i = 0;
    const int n = text.size();
    auto skipBlanks = [&] {
        while (i < n && IsBlank(text[i])) {
            ++i;
        }
    };
    auto takeDigits = [&] {
        int count = 0;
        for (;;) {
            skipBlanks();
            if (i < n && text[i] >= u'0' && text[i] <= u'9') {
                number.push_back(static_cast<char>(text[i].unicode()));
                ++i;
                ++count;
            } else {
                return count;
            }
        }
    };
    skipBlanks();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        number.push_back(static_cast<char>(text[i].unicode()));
        ++i;
    }
    int digits = takeDigits();
    skipBlanks();
    if (i < n && text[i] == u'.') {
        number.push_back('.');
        ++i;
        digits += takeDigits();
    }
    if (digits == 0) {
        return 0.0;
    }
    skipBlanks();
    if (i < n && (text[i] == u'E' || text[i] == u'e' || text[i] == u'D' || text[i] == u'd')) {
        const std::string mantissa = number;
        const int save = i;
        number.push_back('e');
        ++i;
        skipBlanks();
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            number.push_back(static_cast<char>(text[i].unicode()));
            ++i;
        }
        if (takeDigits() == 0) {
            // "12E" or "1E+" is just the mantissa.
            number = mantissa;
            i = save;
        }
    }
    const double value = std::strtod(number.c_str(), nullptr);
    if (std::isnan(value)) {
        return 0.0;
    }
    return value;
}

qint64 RoundHalfEven(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr double kMax = 9.2e18;
    if (value >= kMax) {
        return static_cast<qint64>(kMax);
    }
    if (value <= -kMax) {
        return -static_cast<qint64>(kMax);
    }
    // nearbyint rounds halves to even in the default rounding mode.
    return static_cast<qint64>(std::nearbyint(value));
}

qint64 LeadingInteger(const QString& text) {
    return RoundHalfEven(LeadingNumber(text));
}

int NearestPosition(double value, int maximum) {
    if (!(value > 0)) {  // negative, zero, or not a number at all
        return 0;
    }
    if (value >= maximum) {
        return maximum;
    }
    return static_cast<int>(RoundHalfEven(value));
}

}  // namespace cantora
