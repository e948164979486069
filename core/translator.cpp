#include "core/translator.h"

#include <QSet>
#include <utility>

#include "core/profile.h"

namespace cantora {

namespace {

// Entries written in terms of other entries nest; past this depth a word counts as unknown, so
// a long chain of entries cannot exhaust the stack.
constexpr int kMaxNesting = 200;

enum class Kind { None, Word, Blank, Comma };

bool IsWordChar(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'#' || c == u'\\';
}

void Translate(const QString& text, QSet<QString>& path, QString& result) {
    QString word;
    int blanks = 0;
    int commas = 0;
    Kind kind = Kind::None;
    Kind previous = Kind::None;

    auto closeRun = [&](Kind run) {
        switch (run) {
            case Kind::Word: {
                if (word.startsWith(u'\\')) {
                    result += word;
                } else {
                    const QString folded = word.toLower();
                    if (!path.contains(folded) && path.size() < kMaxNesting) {
                        const QString value = GetDictionaryValue("Words", word, QString());
                        if (!value.isEmpty()) {
                            path.insert(folded);
                            Translate(value, path, result);
                            path.remove(folded);
                        }
                    }
                }
                word.clear();
                break;
            }
            case Kind::Blank:
                if (blanks == 2) {
                    result += QStringLiteral(" \\P6");
                } else if (blanks >= 3) {
                    result += QStringLiteral(" \\P4 \\P1");
                }
                blanks = 0;
                break;
            case Kind::Comma:
                for (int i = 0; i < commas; ++i) {
                    result += QStringLiteral(" \\P2");
                }
                commas = 0;
                break;
            case Kind::None:
                break;
        }
    };

    auto step = [&](QChar c) {
        if (IsWordChar(c)) {
            kind = Kind::Word;
            word += c;
        } else if (c == u' ') {
            kind = Kind::Blank;
            ++blanks;
        } else if (c == u',') {
            kind = Kind::Comma;
            ++commas;
        }
        if (kind != previous) {
            closeRun(previous);
            previous = kind;
        }
    };
    for (QChar c : text) {
        step(c);
    }
    // The blank that closes the last word; the run of blanks it ends is never closed.
    step(u' ');
}

}  // namespace

QString TranslateText(const QString& text) {
    QString result;
    QSet<QString> path;
    Translate(text, path, result);
    return result;
}

void QuickSort(QStringList& lines, qint32 low, qint32 high) {
    if (low < 0 || high >= lines.size()) {
        // Clamp a range that reaches outside the list rather than read past it.
        low = std::max<qint32>(low, 0);
        high = std::min<qint32>(high, static_cast<qint32>(lines.size()) - 1);
    }
    // Partition as the classic middle-pivot quicksort does, then recurse into the smaller side
    // and loop on the larger one, so the depth stays below log2(n).
    while (low < high) {
        qint32 i = low;
        qint32 j = high;
        const QString pivot = lines[low + (high - low) / 2];
        while (i <= j) {
            while (lines[i] < pivot && i < high) {
                ++i;
            }
            while (pivot < lines[j] && j > low) {
                --j;
            }
            if (i <= j) {
                lines.swapItemsAt(i, j);
                ++i;
                --j;
            }
        }
        // Left part: low..j, right part: i..high.
        if (j - low < high - i) {
            if (low < j) {
                QuickSort(lines, low, j);
            }
            low = i;
        } else {
            if (i < high) {
                QuickSort(lines, i, high);
            }
            high = j;
        }
    }
}

QString DictionaryEntryText(const QString& value) {
    return value;
}

}  // namespace cantora
