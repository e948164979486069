#pragma once

// Code-list text: tokens of a backslash and a mnemonic or a decimal number.

#include <QByteArray>
#include <QString>

namespace cantora {

// The canonical form: upper case, tokens " \XX" separated by one blank each.
QString NormalizeCodeText(const QString& text);
// The byte string a code-list text stands for. Unknown tokens, tokens without a backslash and
// numbers above 255 are skipped.
QByteArray CodeTextToBytes(const QString& text);

}  // namespace cantora
