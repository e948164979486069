#pragma once

// Filling the blank entries of a dictionary text with suggested pronunciations.

#include <QString>

namespace cantora {

// Gives every blank entry of a dictionary text (a line with a key, "=" and nothing or only blanks
// after it) the suggestion of SuggestCodeText for its key: "word=" becomes "word=\WW ...". Header
// lines, entries with a value, lines without "=" and entries whose key has no suggestion stay
// exactly as they were, line ends included. Returns how many entries were filled.
int FillBlankEntries(QString& dictionaryText);

}  // namespace cantora
