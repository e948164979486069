#pragma once

#include <QString>
#include <QtGlobal>

namespace cantora {

// Reads the number a user typed the way the chip's old tools did: the number at the start of
// the text (blanks anywhere are skipped, optional sign, digits, decimal point, exponent written
// with E or D), 0 when the text does not start with a number. Never fails.
double LeadingNumber(const QString& text);

// Rounds to the nearest integer, halves to the even neighbour (12.5 -> 12, 13.5 -> 14).
// Values beyond the 64-bit range are clamped to it.
qint64 RoundHalfEven(double value);

// LeadingNumber then RoundHalfEven.
qint64 LeadingInteger(const QString& text);

// The nearest position a scroll bar from 0 to `maximum` can hold for `value`: 0 for negative
// values and for what is not a number, `maximum` at or above it, otherwise rounded half to even.
int NearestPosition(double value, int maximum);

}  // namespace cantora
