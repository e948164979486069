#pragma once

// Typed English to code-list text through the word dictionary, and the two small routines the
// dictionary's editors share.

#include <QString>
#include <QStringList>

namespace cantora {

// Replaces each plain word by its dictionary value (itself translated), keeps code tokens and
// turns runs of blanks and commas into pauses. A word already being expanded on the current
// path counts as unknown, so entries that refer to themselves end.
QString TranslateText(const QString& text);

// Sorts lines[low..high] in place by ordinal comparison. Uses constant extra stack per level
// and recurses only into the smaller side.
void QuickSort(QStringList& lines, qint32 low, qint32 high);

// The one place where a say-data text becomes a dictionary value: unchanged.
QString DictionaryEntryText(const QString& value);

}  // namespace cantora
