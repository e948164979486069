#pragma once

// Filling the blank entries of a dictionary text with suggested pronunciations.

#include <QString>

namespace cantora {

// The code text cut to at most `limit` characters at the end of a whole token (tokens are
// separated by blanks); unchanged when it fits.
QString CutAtWholeToken(const QString& codeText, qsizetype limit);

// Gives every blank entry of a dictionary text (a line with a key, "=" and nothing or only blanks
// after it, as IsBlankDictionaryValue judges) the suggestion of SuggestCodeText for its key:
// "word=" becomes "word=\WW ...". Header lines, entries with a value, lines without "=" and entries
// whose key has no suggestion stay exactly as they were, line ends included. A suggestion longer
// than a look-up gives back is cut at a whole token (CutAtWholeToken), so that it reads back as
// written; `cut` (may be null) receives how many were. Returns how many entries were filled.
int FillBlankEntries(QString& dictionaryText, int* cut = nullptr);

}  // namespace cantora
