#pragma once

// Letter case inside the 8-bit code page (Latin-1), one character at a time: a letter changes
// only when its counterpart is itself a single Latin-1 character. So "ß", "µ" and "ÿ" stay as
// they are (their upper-case forms lie outside the code page or are two letters), and a text
// never changes length. Characters above 255 are left unchanged.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace cantora {

QChar Latin1Upper(QChar c);
QChar Latin1Lower(QChar c);
QString Latin1Upper(QStringView text);
QString Latin1Lower(QStringView text);

// The same on bytes read as Latin-1 (profile files are compared this way).
char Latin1UpperByte(char c);
char Latin1LowerByte(char c);
QByteArray Latin1LowerBytes(QByteArrayView bytes);

// The first character of `text` that a file in the 8-bit code page cannot hold (above 255),
// whole (a surrogate pair stays together); empty when every character fits.
QString FirstUnstorableCharacter(QStringView text);

}  // namespace cantora
