#pragma once

// Typed English to code-list text through the word dictionary, and the two small routines the
// dictionary's editors share.

#include <QString>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <utility>

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

// Code-list text to say for a word of the typed text that the dictionary lacks (no value, or a
// blank one), or empty to leave it out. Gets the word's characters as typed.
using UnknownWordFallback = std::function<QString(const QString& word)>;

struct TranslateOptions {
    QString dictionaryPath;           // empty: the program's dictionary
    UnknownWordFallback unknownWord;  // empty: unknown words are left out
};

// TranslateText with another dictionary and a say for unknown words. Dictionary entries always
// win; only words typed in `text` (not words inside dictionary values) reach the fallback, and
// what it returns is appended as it stands, counted against the same work bound.
QString TranslateText(const QString& text, const TranslateOptions& options);

// Sorts lines[low..high] in place by ordinal comparison. Uses constant extra stack per level
// and recurses only into the smaller side.
void QuickSort(QStringList& lines, qint32 low, qint32 high);

// The same sort on any indexable list whose items compare with "<" (views of lines, say, which
// sort without copying the text).
template <typename Lines>
void QuickSortItems(Lines& lines, qint32 low, qint32 high) {
    const qint32 size = static_cast<qint32>(lines.size());
    if (low < 0 || high >= size) {
        // Clamp a range that reaches outside the list rather than read past it.
        low = std::max<qint32>(low, 0);
        high = std::min<qint32>(high, size - 1);
    }
    // Partition as the classic middle-pivot quicksort does, then recurse into the smaller side
    // and loop on the larger one, so the depth stays below log2(n).
    while (low < high) {
        qint32 i = low;
        qint32 j = high;
        const auto pivot = lines[low + (high - low) / 2];
        while (i <= j) {
            while (lines[i] < pivot && i < high) {
                ++i;
            }
            while (pivot < lines[j] && j > low) {
                --j;
            }
            if (i <= j) {
                using std::swap;
                swap(lines[i], lines[j]);
                ++i;
                --j;
            }
        }
        // Left part: low..j, right part: i..high.
        if (j - low < high - i) {
            if (low < j) {
                QuickSortItems(lines, low, j);
            }
            low = i;
        } else {
            if (i < high) {
                QuickSortItems(lines, i, high);
            }
            high = j;
        }
    }
}

// The one place where a say-data text becomes a dictionary value: unchanged.
QString DictionaryEntryText(const QString& value);

}  // namespace cantora
