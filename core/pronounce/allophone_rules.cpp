#include "core/pronounce/allophone_rules.h"

#include <algorithm>
#include <array>

#include "core/pronounce/allophone_tables.h"

// How the rules read a word (the rules below, in the order they apply, and the tables of
// allophone_tables.cpp):
//
// 1. Spelling, where the lexicon's phones cannot tell the chip's sounds apart:
//    - a word spelled with "au", "aw" or "ough" says AO for every AA of the lexicon ("bought",
//      which the lexicon merges with "bot");
//    - a word that begins with "wh" starts with WH ("who", "whale");
//    - UW after N, D, T, S, Z or TH in a word spelled with "ew" or with a "u" that does not follow
//      an "o" is the gliding IHWW ("new", "nude", "dew", "tune"; not "do", "too", "soup").
// 2. Syllables: the consonants between two vowels go to the following syllable as far as they
//    can begin an English syllable ("s t r", "p l", "k w"), the rest close the syllable before.
// 3. Vowels, from the vowel table, then these context rules:
//    - an R that closes the syllable colours the vowel and is absorbed into it (AA R: AWRR,
//      AO R: OWRR, EH R: EYRR, ER: AXRR, IH R: IYRR; stressed IH R says the glide first,
//      IYEH IYRR, as in "near");
//    - stressed EH before an L that closes the syllable is EHLE, the L absorbed ("bell");
//    - IY before an unstressed schwa is IYEH, the schwa absorbed ("idea");
//    - unstressed vowels are reduced to AX, except IY, IH, UW and the diphthongs, which keep
//      their sound;
//    - stressed AA is the short UX before a stop or an affricate ("hot", "job"), else AW;
//    - EY and OW at the end of a word, stressed, say the steady vowel and then the glide
//      (EY EYIY, OW OWWW: "day", "snow"); before a vowel only the glide; before a consonant
//      EY, and OW, or the clipped AXUW when a voiceless consonant stands before it or a
//      voiceless stop after it ("coat", "phone");
//    - OY is OHIY, or the longer OWIY before a voiced consonant ("coin", "oil");
//    - Y before UW is absorbed into IYUW ("you", "cute").
// 4. Consonants, from the consonant table: a consonant that begins a syllable takes the form of
//    the vowel after it, one that closes a syllable the form of the vowel before it (BE before a
//    front vowel, BO before a back one; EB after a front vowel, OB after a back one). Then:
//    - T before S, both closing the syllable, is TS, the S absorbed ("parts"); T before UW is
//      TU ("tune"); every other T is TT;
//    - S takes SO only at the start of a syllable before a back vowel other than OH ("sun",
//      "so"; but "salt"); every other S is SE.
// Front vowels are those made with the tongue forward, the glides that start from one (IYUW,
// IHWW) and the r-coloured vowels except OWRR.

namespace cantora::pron {

using namespace tables;

namespace {

// What one phone says: at most two allophones (a vowel's steady part and its glide).
struct Said {
    std::array<Al, 2> allophones{};
    int count = 0;
    void push_back(Al a) { allophones[count++] = a; }
    bool empty() const { return count == 0; }
    Al front() const { return allophones[0]; }
    Al back() const { return allophones[count - 1]; }
};

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// Spelled with "ew", or with a "u" that is not part of "ou".
bool SpelledWithGlidingU(std::string_view spelling) {
    if (Contains(spelling, "ew")) {
        return true;
    }
    for (std::size_t i = 0; i < spelling.size(); ++i) {
        if (spelling[i] == 'u' && (i == 0 || spelling[i - 1] != 'o')) {
            return true;
        }
    }
    return false;
}

// A word as the rules work through it: its phones, which consonants close a syllable, what each
// phone says and which phones a neighbour's allophone has absorbed.
struct Word {
    explicit Word(const std::vector<Phone>& phones)
        : p(phones), n(static_cast<int>(p.size())), closing(n, false), out(n), absorbed(n, false) {}

    std::vector<Phone> p;
    int n;
    std::vector<bool> closing;
    std::vector<Said> out;
    std::vector<bool> absorbed;
};

// What the letters tell where the phones do not.
struct SpellingHints {
    bool startsWithWh;
    bool glidingU;
};

// 1. Spelling: AA is AO in a word spelled with "au", "aw" or "ough". What the spelling tells of
// WH and of a gliding U is kept for the consonants and the vowels.
SpellingHints ReadSpelling(Word& w, std::string_view spelling) {
    if (Contains(spelling, "au") || Contains(spelling, "aw") || Contains(spelling, "ough")) {
        for (Phone& phone : w.p) {
            if (phone.ph == Ph::AA) {
                phone.ph = Ph::AO;
            }
        }
    }
    return {spelling.substr(0, 2) == "wh", SpelledWithGlidingU(spelling)};
}

// 2. Syllables: which consonants close a syllable.
void MarkClosingConsonants(Word& w) {
    const std::vector<Phone>& p = w.p;
    const int n = w.n;
    for (int i = 0; i < n;) {
        if (IsVowel(p[i].ph)) {
            ++i;
            continue;
        }
        int end = i;
        while (end < n && !IsVowel(p[end].ph)) {
            ++end;
        }
        const bool vowelBefore = i > 0;
        const bool vowelAfter = end < n;
        int onset = 0;
        if (!vowelBefore) {
            onset = end - i;
        } else if (vowelAfter) {
            for (int len = std::min(3, end - i); len > 0; --len) {
                if (CanBeginSyllable(&p[end - len], len)) {
                    onset = len;
                    break;
                }
            }
        }
        for (int k = i; k < end - onset; ++k) {
            w.closing[k] = true;
        }
        i = end;
    }
}

// An R that closes the syllable colours the vowel at i and is absorbed into it. False when the
// vowel has no such form or no such R follows.
bool SayWithR(Word& w, int i) {
    const Phone v = w.p[i];
    const std::optional<Al>& withR = kVowelTable[static_cast<int>(v.ph)].withR;
    if (i + 1 == w.n || w.p[i + 1].ph != Ph::R || !w.closing[i + 1] || !withR) {
        return false;
    }
    if (v.ph == Ph::IH && v.stress > 0) {
        w.out[i].push_back(Al::IYEH);
    }
    w.out[i].push_back(*withR);
    w.absorbed[i + 1] = true;
    return true;
}

// The vowel at i, where no R colours it.
void SayVowel(Word& w, int i, bool glidingU) {
    const std::vector<Phone>& p = w.p;
    const Phone v = p[i];
    const VowelRow& row = kVowelTable[static_cast<int>(v.ph)];
    const bool stressed = v.stress > 0;
    const bool last = i + 1 == w.n;
    const Phone* next = last ? nullptr : &p[i + 1];
    const bool beforeVowel = next && IsVowel(next->ph);
    Said& o = w.out[i];
    switch (v.ph) {
        case Ph::EH:
            if (stressed && next && next->ph == Ph::L && w.closing[i + 1]) {
                o.push_back(Al::EHLE);
                w.absorbed[i + 1] = true;
            } else {
                o.push_back(stressed ? Al::EH : Al::AX);
            }
            break;
        case Ph::IY:
            if (next && (next->ph == Ph::AX || next->ph == Ph::AH) && next->stress == 0) {
                o.push_back(Al::IYEH);
                w.absorbed[i + 1] = true;
            } else {
                o.push_back(Al::IY);
            }
            break;
        case Ph::AA:
            o.push_back(!stressed ? Al::AX : next && IsStopOrAffricate(next->ph) ? Al::UX : Al::AW);
            break;
        case Ph::EY:
            if (last && stressed) {
                o.push_back(Al::EY);
            }
            o.push_back(last || beforeVowel ? Al::EYIY : Al::EY);
            break;
        case Ph::OW:
            if (last && stressed) {
                o.push_back(Al::OW);
            }
            if (last || beforeVowel) {
                o.push_back(Al::OWWW);
            } else if (stressed &&
                       ((i > 0 && IsVoiceless(p[i - 1].ph)) || IsVoicelessStop(next->ph))) {
                o.push_back(Al::AXUW);
            } else {
                o.push_back(Al::OW);
            }
            break;
        case Ph::OY:
            o.push_back(last || beforeVowel || IsVoiceless(next->ph) ? Al::OHIY : Al::OWIY);
            break;
        case Ph::UW:
            if (i > 0 && p[i - 1].ph == Ph::Y) {
                o.push_back(Al::IYUW);
            } else if (glidingU && i > 0 &&
                       IsOneOf(p[i - 1].ph, {Ph::N, Ph::D, Ph::T, Ph::S, Ph::Z, Ph::TH})) {
                o.push_back(Al::IHWW);
            } else {
                o.push_back(Al::UW);
            }
            break;
        default:
            o.push_back(stressed ? row.stressed : row.unstressed);
            break;
    }
}

// 3. Vowels, each from the vowel table and the context rules.
void SayVowels(Word& w, bool glidingU) {
    for (int i = 0; i < w.n; ++i) {
        if (!IsVowel(w.p[i].ph) || w.absorbed[i]) {
            continue;
        }
        if (!SayWithR(w, i)) {
            SayVowel(w, i, glidingU);
        }
    }
}

// The allophone of the nearest vowel that says one, looking from `from` on by `step`: its first
// allophone when looking forward, its last when looking back.
std::optional<Al> NearestVowel(const Word& w, int from, int step) {
    for (int k = from; k >= 0 && k < w.n; k += step) {
        if (IsVowel(w.p[k].ph) && !w.out[k].empty()) {
            return step > 0 ? w.out[k].front() : w.out[k].back();
        }
    }
    return std::nullopt;
}

// The consonant at i.
void SayConsonant(Word& w, int i, bool startsWithWh) {
    const Ph c = w.p[i].ph;
    const Phone* next = i + 1 < w.n ? &w.p[i + 1] : nullptr;
    Said& o = w.out[i];
    if (c == Ph::Y && next && next->ph == Ph::UW) {
        return;  // said by the IYUW of the vowel
    }
    if (i == 0 && startsWithWh && (c == Ph::W || c == Ph::HH)) {
        o.push_back(Al::WH);
        return;
    }
    if (c == Ph::T) {
        if (w.closing[i] && next && next->ph == Ph::S && w.closing[i + 1]) {
            o.push_back(Al::TS);
            w.absorbed[i + 1] = true;
        } else {
            o.push_back(next && next->ph == Ph::UW ? Al::TU : Al::TT);
        }
        return;
    }
    // The vowel whose form the consonant takes: the one after it when it begins a syllable,
    // the one before it when it closes one; the other one when that side has none.
    std::optional<Al> after = NearestVowel(w, i + 1, 1);
    std::optional<Al> before = NearestVowel(w, i - 1, -1);
    bool coda = w.closing[i];
    std::optional<Al> vowel = coda ? before : after;
    if (!vowel) {
        vowel = coda ? after : before;
    }
    const bool front = !vowel || IsFront(*vowel);
    const ConsonantRow& row = kConsonantTable[static_cast<int>(c) - kVowels];
    if (c == Ph::S) {
        o.push_back(!coda && !front && *vowel != Al::OH ? Al::SO : Al::SE);
    } else if (coda) {
        o.push_back(front ? row.codaFront : row.codaBack);
    } else {
        o.push_back(front ? row.onsetFront : row.onsetBack);
    }
}

// 4. Consonants, each from the consonant table and the context rules.
void SayConsonants(Word& w, bool startsWithWh) {
    for (int i = 0; i < w.n; ++i) {
        if (!IsVowel(w.p[i].ph) && !w.absorbed[i]) {
            SayConsonant(w, i, startsWithWh);
        }
    }
}

// What the word says: every phone's allophones in order, leaving out the absorbed phones.
std::vector<Al> Spoken(const Word& w) {
    std::vector<Al> result;
    for (int i = 0; i < w.n; ++i) {
        if (!w.absorbed[i]) {
            result.insert(result.end(), w.out[i].allophones.begin(),
                          w.out[i].allophones.begin() + w.out[i].count);
        }
    }
    return result;
}

}  // namespace

std::optional<Phone> ParsePhone(std::string_view name) {
    int stress = -1;
    if (!name.empty() && name.back() >= '0' && name.back() <= '9') {
        stress = name.back() == '0' ? 0 : 1;
        name.remove_suffix(1);
    }
    for (std::size_t i = 0; i < kPhoneNames.size(); ++i) {
        if (name == kPhoneNames[i]) {
            const Ph ph = static_cast<Ph>(i);
            if (IsVowel(ph)) {
                return Phone{ph, stress < 0 ? 0 : stress};
            }
            return Phone{ph, -1};
        }
    }
    return std::nullopt;
}

const char* PhoneName(Ph phone) {
    return kPhoneNames[static_cast<int>(phone)];
}

const char* AllophoneName(Al allophone) {
    return kAllophoneNames[static_cast<int>(allophone) - static_cast<int>(Al::IY)];
}

std::vector<Al> AllophonesFor(const std::vector<Phone>& input, std::string_view spelling) {
    Word w(input);
    const SpellingHints hints = ReadSpelling(w, spelling);
    MarkClosingConsonants(w);
    SayVowels(w, hints.glidingU);
    SayConsonants(w, hints.startsWithWh);
    return Spoken(w);
}

void AppendCodeText(QString& text, const std::vector<Al>& allophones) {
    for (Al a : allophones) {
        if (!text.isEmpty()) {
            text += u' ';
        }
        text += u'\\';
        text += QLatin1StringView(AllophoneName(a));
    }
}

}  // namespace cantora::pron
