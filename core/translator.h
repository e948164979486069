#pragma once

// Typed English to code-list text through the word dictionary, and the two small routines the
// dictionary's editors share.

#include <QString>
#include <QStringList>

namespace cantora {

// Replaces each plain word by its dictionary value (itself translated), keeps code tokens and
// turns runs of blanks and commas into pauses. A word already being expanded on the current
// path counts as unknown, so entries that refer to themselves end; so does a word holding a
// character above 255 (no file can store its name). The dictionary is checked for changes once
// per call. The work spent on dictionary values is bounded: one look-up costs 1 and one expanded
// value its length, out of 4,000,000 plus 64 per character of `text`; past that every further
// word counts as unknown, so no dictionary can make a call take more than a fraction of a second
// (a realistic text uses under a tenth of it).
QString TranslateText(const QString& text);

// Sorts lines[low..high] in place by ordinal comparison. Uses constant extra stack per level
// and recurses only into the smaller side.
void QuickSort(QStringList& lines, qint32 low, qint32 high);

// The one place where a say-data text becomes a dictionary value: unchanged.
QString DictionaryEntryText(const QString& value);

}  // namespace cantora
