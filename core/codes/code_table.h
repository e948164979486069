#pragma once

// The table of code mnemonics, numbers 0 to 400, and the pitch values of the 36 notes.

#include <QString>

namespace cantora {

constexpr int kCodeTableSize = 401;
constexpr int kUnknownCode = 401;

// Fills the table. Called once at start by the main window; calling it again is harmless.
void LoadCodeNames();
// The mnemonic of a code 0 to 255 ("\RESET"), empty when the code has no name or is out of range.
QString GetCodeName(int code);
// The number of a mnemonic, compared upper-cased; 401 when no entry holds it.
int GetCodeNumber(const QString& name);
// The pitch value of a note number 301 to 352; 0 for every other number.
int GetNotePitch(int code);

}  // namespace cantora
