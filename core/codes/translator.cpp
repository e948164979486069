#include "core/codes/translator.h"

#include <array>
#include <utility>
#include <vector>

#include "core/files/latin1_case.h"
#include "core/files/profile.h"

namespace cantora {

namespace {

// Entries written in terms of other entries nest; past this depth a word counts as unknown, so
// a long chain of entries cannot exhaust the stack.
constexpr int kMaxNesting = 200;

// The work one call may spend on dictionary values: every look-up costs 1 and every expanded
// value its length, out of kWorkBase plus kWorkPerCharacter per character of the typed text.
// Entries that name each other several times grow exponentially; past the bound every further
// word counts as unknown. A realistic text (ten thousand words, each expanded through a few
// entries) uses well under a tenth of it.
constexpr qint64 kWorkBase = 4'000'000;
constexpr qint64 kWorkPerCharacter = 64;

// The dictionary reader's read size: values are seen cut as GetDictionaryValue cuts them.
constexpr int kDictionaryReadSize = 2560;

enum class Kind { None, Word, Blank, Comma };

constexpr std::array<bool, 128> kWordChars = [] {
    std::array<bool, 128> table{};
    for (int c = 0; c < 128; ++c) {
        table[c] = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                   c == '#' || c == '\\';
    }
    return table;
}();

bool IsWordChar(char16_t c) {
    return c < 128 && kWordChars[c];
}

char16_t CharAt(QStringView text, qsizetype i) {
    return text[i].unicode();
}

char16_t CharAt(QByteArrayView text, qsizetype i) {
    return static_cast<unsigned char>(text[i]);
}

void AppendRun(QByteArray& word, QStringView text, qsizetype from, qsizetype to) {
    for (qsizetype i = from; i < to; ++i) {
        word.append(static_cast<char>(text[i].unicode()));
    }
}

void AppendRun(QByteArray& word, QByteArrayView text, qsizetype from, qsizetype to) {
    word.append(text.sliced(from, to - from));
}

class Translator {
  public:
    Translator(const profile::Snapshot& dictionary, qint64 budget, QString& result,
               const UnknownWordFallback& fallback)
        : dictionary_(dictionary),
          section_(dictionary.SectionNumber("words")),
          budget_(budget),
          fallback_(fallback),
          result_(result) {
        path_.reserve(kMaxNesting);
        words_.reserve(kMaxNesting + 1);
    }

    template <typename Text>
    void Run(Text text) {
        // Word characters are all ASCII. One buffer per nesting level, kept between words.
        if (depth_ == words_.size()) {
            words_.emplace_back();
        }
        QByteArray& word = words_[depth_];
        word.truncate(0);
        ++depth_;
        Reading reading{word};
        const qsizetype size = text.size();
        for (qsizetype i = 0; i < size;) {
            if (IsWordChar(CharAt(text, i))) {
                // A run of word characters at once: only its first one can change the kind.
                qsizetype end = i + 1;
                while (end < size && IsWordChar(CharAt(text, end))) {
                    ++end;
                }
                Step(reading, CharAt(text, i));
                AppendRun(word, text, i + 1, end);
                i = end;
            } else {
                Step(reading, CharAt(text, i));
                ++i;
            }
        }
        // The blank that closes the last word; the run of blanks it ends is never closed.
        Step(reading, u' ');
        --depth_;
    }

  private:
    // Where Run is in its text: the word being read and the run of blanks or commas counted.
    struct Reading {
        QByteArray& word;
        bool tainted = false;  // the word holds a character no file can store
        int blanks = 0;
        int commas = 0;
        Kind kind = Kind::None;
        Kind previous = Kind::None;
    };

    // Reads one character; when it starts a run of another kind, closes the run before.
    void Step(Reading& r, char16_t c) {
        if (IsWordChar(c)) {
            r.kind = Kind::Word;
            r.word.append(static_cast<char>(c));
        } else if (c == u' ' || c == u',') {
            if (r.kind != Kind::Word) {
                r.tainted = false;  // a stray character between separators taints no word
            }
            if (c == u' ') {
                r.kind = Kind::Blank;
                ++r.blanks;
            } else {
                r.kind = Kind::Comma;
                ++r.commas;
            }
        } else if (c > 255) {
            // Ignored like any other character, but the word it stands in (or starts) could
            // never have been stored under its own name: it is unknown.
            r.tainted = true;
        }
        if (r.kind != r.previous) {
            CloseRun(r, r.previous);
            r.previous = r.kind;
        }
    }

    // Closes a run: a word adds its translation, two blanks a short pause, three or more a longer
    // one, and every comma a pause of its own.
    void CloseRun(Reading& r, Kind run) {
        switch (run) {
            case Kind::Word:
                CloseWord(r.word, r.tainted);
                r.word.truncate(0);
                r.tainted = false;
                break;
            case Kind::Blank:
                if (r.blanks == 2) {
                    result_ += QLatin1StringView(" \\P6");
                } else if (r.blanks >= 3) {
                    result_ += QLatin1StringView(" \\P4 \\P1");
                }
                r.blanks = 0;
                break;
            case Kind::Comma:
                for (int i = 0; i < r.commas; ++i) {
                    result_ += QLatin1StringView(" \\P2");
                }
                r.commas = 0;
                break;
            case Kind::None:
                break;
        }
    }

    void CloseWord(QByteArray& word, bool tainted) {
        if (word.startsWith('\\')) {
            result_ += QLatin1StringView(word);
            return;
        }
        if (exhausted_ || path_.size() >= static_cast<size_t>(kMaxNesting)) {
            return;
        }
        // Only the typed text's own words reach the fallback, as they were typed.
        const bool typed = path_.empty() && fallback_;
        if (typed) {
            typedWord_ = word;
        }
        if (tainted) {
            if (typed) {
                Fallback();
            }
            return;
        }
        for (char& c : word) {
            c = Latin1LowerByte(c);
        }
        for (QByteArrayView open : path_) {
            if (open == QByteArrayView(word)) {
                return;  // already being expanded on this path
            }
        }
        QByteArrayView raw;
        if (--budget_ < 0) {
            exhausted_ = true;
            return;
        }
        const bool found = dictionary_.FindInSection(section_, word, &raw);
        const QByteArrayView value =
            found ? profile::CleanValue(raw, kDictionaryReadSize) : QByteArrayView();
        if (value.isEmpty()) {
            if (typed) {
                Fallback();
            }
            return;
        }
        if (value.size() > budget_) {
            exhausted_ = true;
            return;
        }
        budget_ -= value.size();
        path_.push_back(word);
        Run(value);
        path_.pop_back();
    }

    // Appends what the fallback says for the typed word, within the work bound.
    void Fallback() {
        const QString said = fallback_(QString::fromLatin1(typedWord_));
        if (said.size() > budget_) {
            exhausted_ = true;
            return;
        }
        budget_ -= said.size();
        result_ += said;
    }

    const profile::Snapshot& dictionary_;
    const int section_;  // "Words", matched without regard to case
    qint64 budget_;
    bool exhausted_ = false;
    std::vector<QByteArrayView> path_;  // folded words being expanded, outermost first
    std::vector<QByteArray> words_;     // the word being read at each nesting level
    size_t depth_ = 0;
    const UnknownWordFallback& fallback_;
    QByteArray typedWord_;  // the typed word being closed, before folding
    QString& result_;
};

}  // namespace

QString TranslateText(const QString& text) {
    return TranslateText(text, TranslateOptions{});
}

QString TranslateText(const QString& text, const TranslateOptions& options) {
    QString result;
    result.reserve(text.size() * 2);
    const profile::Snapshot dictionary(options.dictionaryPath.isEmpty() ? DictionaryFilePath()
                                                                        : options.dictionaryPath);
    Translator translator(dictionary, kWorkBase + kWorkPerCharacter * text.size(), result,
                          options.unknownWord);
    translator.Run(QStringView(text));
    return result;
}

void QuickSort(QStringList& lines, qint32 low, qint32 high) {
    QuickSortItems(lines, low, high);
}

QString DictionaryEntryText(const QString& value) {
    return value;
}

}  // namespace cantora
