#include "core/pronounce/pronouncer.h"
#include <QStringList>

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/pronounce/allophone_rules.h"

extern "C" {
#include <flite/cst_lexicon.h>
#include <flite/cst_val.h>
// The US English lexicon's constructor; its library installs no header of its own.
cst_lexicon* cmu_lex_init(void);
}

namespace cantora {

namespace {

using pron::Phone;

constexpr int kMaxCharacters = 256;
constexpr int kMaxNumberDigits = 12;

// Words the lexicon holds in more than one reading, of which the first is the rare one: the
// part of speech ("n" noun, "v" verb) whose reading is the everyday one, as the speech library
// itself reads the word alone ("does" is "d ah z", not the plural of "doe"). Null for every
// other word: the lexicon's first reading.
const char* EverydayPartOfSpeech(const std::string& word) {
    struct Reading {
        const char* word;
        const char* partOfSpeech;
    };
    static constexpr Reading kReadings[] = {
        {"does", "v"},    {"live", "v"},   {"minute", "n"},
        {"putting", "v"}, {"labour", "n"}, {"katie", "n"},
    };
    for (const Reading& r : kReadings) {
        if (word == r.word) {
            return r.partOfSpeech;
        }
    }
    return nullptr;
}

// The lexicon, loaded once. Its lookups allocate lists as they go, so they are serialised.
class Lexicon {
  public:
    static Lexicon& Instance() {
        static Lexicon lexicon;
        return lexicon;
    }

    std::vector<Phone> Phones(const std::string& word) {
        std::vector<Phone> phones;
        std::lock_guard lock(mutex_);
        cst_val* list = lex_lookup(lexicon_, word.c_str(), EverydayPartOfSpeech(word), nullptr);
        for (const cst_val* item = list; item; item = val_cdr(item)) {
            if (auto phone = pron::ParsePhone(val_string(val_car(item)))) {
                phones.push_back(*phone);
            }
        }
        delete_val(list);
        return phones;
    }

    bool Contains(const std::string& word) {
        std::lock_guard lock(mutex_);
        return in_lex(lexicon_, word.c_str(), nullptr, nullptr) != 0;
    }

  private:
    Lexicon() : lexicon_(cmu_lex_init()) {}
    cst_lexicon* lexicon_;
    std::mutex mutex_;
};

// What one part of a word says: lexicon words, or phones written out here (letter names).
struct Spoken {
    std::string word;    // looked up in the lexicon; also the spelling the rules read
    const char* phones;  // when set, said as written instead
};

// Letter names, for runs of letters without a vowel.
constexpr std::array<const char*, 26> kLetterNames = {"ey1",
                                                      "b iy1",
                                                      "s iy1",
                                                      "d iy1",
                                                      "iy1",
                                                      "eh1 f",
                                                      "jh iy1",
                                                      "ey1 ch",
                                                      "ay1",
                                                      "jh ey1",
                                                      "k ey1",
                                                      "eh1 l",
                                                      "eh1 m",
                                                      "eh1 n",
                                                      "ow1",
                                                      "p iy1",
                                                      "k y uw1",
                                                      "aa1 r",
                                                      "eh1 s",
                                                      "t iy1",
                                                      "y uw1",
                                                      "v iy1",
                                                      "d ah1 b ax0 l y uw0",
                                                      "eh1 k s",
                                                      "w ay1",
                                                      "z iy1"};

constexpr std::array<const char*, 20> kOnes = {
    "zero",     "one",     "two",     "three",     "four",     "five",    "six",
    "seven",    "eight",   "nine",    "ten",       "eleven",   "twelve",  "thirteen",
    "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
constexpr std::array<const char*, 10> kTens = {"",      "",      "twenty",  "thirty", "forty",
                                               "fifty", "sixty", "seventy", "eighty", "ninety"};

void BelowThousand(int n, std::vector<Spoken>& out) {
    if (n >= 100) {
        out.push_back({kOnes[n / 100], nullptr});
        out.push_back({"hundred", nullptr});
        n %= 100;
    }
    if (n >= 20) {
        out.push_back({kTens[n / 10], nullptr});
        n %= 10;
        if (n > 0) {
            out.push_back({kOnes[n], nullptr});
        }
    } else if (n > 0) {
        out.push_back({kOnes[n], nullptr});
    }
}

void Cardinal(std::uint64_t n, std::vector<Spoken>& out) {
    if (n == 0) {
        out.push_back({"zero", nullptr});
        return;
    }
    const std::pair<std::uint64_t, const char*> scales[] = {
        {1000000000ULL, "billion"}, {1000000ULL, "million"}, {1000ULL, "thousand"}};
    for (const auto& [scale, name] : scales) {
        if (n >= scale) {
            BelowThousand(static_cast<int>(n / scale), out);
            out.push_back({name, nullptr});
            n %= scale;
        }
    }
    BelowThousand(static_cast<int>(n), out);
}

void MakeOrdinal(std::string& word) {
    static const std::pair<const char*, const char*> irregular[] = {
        {"one", "first"},    {"two", "second"}, {"three", "third"},   {"five", "fifth"},
        {"eight", "eighth"}, {"nine", "ninth"}, {"twelve", "twelfth"}};
    for (const auto& [cardinal, ordinal] : irregular) {
        if (word == cardinal) {
            word = ordinal;
            return;
        }
    }
    if (!word.empty() && word.back() == 'y') {
        word.replace(word.size() - 1, 1, "ieth");
    } else {
        word += "th";
    }
}

void SayDigits(const std::string& digits, std::vector<Spoken>& out, bool ordinal) {
    if (static_cast<int>(digits.size()) > kMaxNumberDigits ||
        (digits.size() > 1 && digits[0] == '0')) {
        for (char d : digits) {
            out.push_back({kOnes[d - '0'], nullptr});
        }
    } else {
        Cardinal(std::stoull(digits), out);
    }
    if (ordinal) {
        MakeOrdinal(out.back().word);
    }
}

void SayLetters(const std::string& letters, std::vector<Spoken>& out) {
    if (letters.find_first_of("aeiouy") == std::string::npos) {
        for (char c : letters) {
            out.push_back({std::string(1, c), kLetterNames[c - 'a']});
        }
    } else {
        out.push_back({letters, nullptr});
    }
}

bool IsApostrophe(QChar c) {
    return c == u'\'' || c == QChar(0x2019) || c == QChar(0x2018) || c == QChar(0x02BC);
}

// Splits the word into the parts a reader would say, in order.
std::vector<Spoken> Parts(const QString& word) {
    const QString folded = word.left(kMaxCharacters).normalized(QString::NormalizationForm_KD);
    std::vector<Spoken> out;
    std::string letters;
    std::string digits;
    auto flushLetters = [&] {
        if (!letters.empty()) {
            SayLetters(letters, out);
            letters.clear();
        }
    };
    for (qsizetype i = 0; i <= folded.size(); ++i) {
        const QChar c = i < folded.size() ? folded[i].toLower() : QChar(u' ');
        if (c.isMark() || (IsApostrophe(c) && !letters.empty())) {
            continue;
        }
        const bool isLetter = c >= u'a' && c <= u'z';
        const bool isDigit = c >= u'0' && c <= u'9';
        if (!digits.empty() && !isDigit) {
            // An ordinal suffix belongs to its number.
            const QString rest = folded.mid(i, 3).toLower();
            const QString suffix = rest.left(2);
            const bool ordinal =
                (suffix == u"st" || suffix == u"nd" || suffix == u"rd" || suffix == u"th") &&
                !(rest.size() == 3 && rest[2] >= u'a' && rest[2] <= u'z');
            SayDigits(digits, out, ordinal);
            digits.clear();
            if (ordinal) {
                ++i;  // skip both letters of the suffix
                continue;
            }
        }
        if (isLetter) {
            letters += static_cast<char>(c.unicode());
            continue;
        }
        flushLetters();
        if (isDigit) {
            digits += static_cast<char>(c.unicode());
        } else if (c == u'&') {
            out.push_back({"and", nullptr});
        } else if (c == u'%') {
            out.push_back({"percent", nullptr});
        } else if (c == u'+') {
            out.push_back({"plus", nullptr});
        }
    }
    return out;
}

std::vector<Phone> PhonesOf(const Spoken& part) {
    if (!part.phones) {
        return Lexicon::Instance().Phones(part.word);
    }
    std::vector<Phone> phones;
    std::string_view rest(part.phones);
    while (!rest.empty()) {
        const std::size_t blank = rest.find(' ');
        if (auto phone = pron::ParsePhone(rest.substr(0, blank))) {
            phones.push_back(*phone);
        }
        rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    }
    return phones;
}

}  // namespace

QString SuggestCodeText(const QString& word) {
    QString text;
    for (const Spoken& part : Parts(word)) {
        // Letter names go without spelling rules: their letters are not their spelling.
        pron::AppendCodeText(text,
                             pron::AllophonesFor(PhonesOf(part), part.phones ? "" : part.word));
    }
    return text;
}

QString SuggestedPhones(const QString& word) {
    QStringList words;
    for (const Spoken& part : Parts(word)) {
        if (part.phones) {
            words << QString::fromLatin1(part.phones);
            continue;
        }
        QStringList names;
        for (const Phone& phone : PhonesOf(part)) {
            QString name = QString::fromLatin1(pron::PhoneName(phone.ph));
            if (phone.stress >= 0) {
                name += QString::number(phone.stress);
            }
            names << name;
        }
        words << names.join(u' ');
    }
    return words.join(QStringLiteral(" | "));
}

bool InPronouncingLexicon(const QString& word) {
    const QString lower = word.toLower();
    for (QChar c : lower) {
        if (c < u'a' || c > u'z') {
            return false;
        }
    }
    return !lower.isEmpty() && Lexicon::Instance().Contains(lower.toStdString());
}

void WarmUpPronouncer() {
    Lexicon::Instance();
}

}  // namespace cantora
