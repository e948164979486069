#include "core/pronounce/allophone_rules.h"

#include <array>

// How the rules read a word (the tables and rules below, in the order they apply):
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

namespace {

constexpr int kVowels = 16;

constexpr std::array<const char*, 40> kPhoneNames = {
    "aa", "ae", "ah", "ao", "aw", "ax", "ay", "eh", "er", "ey", "ih", "iy", "ow", "oy",
    "uh", "uw", "b",  "ch", "d",  "dh", "f",  "g",  "hh", "jh", "k",  "l",  "m",  "n",
    "ng", "p",  "r",  "s",  "sh", "t",  "th", "v",  "w",  "y",  "z",  "zh"};

constexpr std::array<const char*, 72> kAllophoneNames = {
    "IY",   "IH",   "EY",   "EH",   "AY",   "AX",   "UX",   "AW",   "OH",   "OW",   "UH",   "UW",
    "MM",   "NE",   "NO",   "NGE",  "NGO",  "LE",   "LO",   "WW",   "RR",   "IYRR", "EYRR", "AXRR",
    "AWRR", "OWRR", "EYIY", "OHIY", "OWIY", "OHIH", "IYEH", "EHLE", "IYUW", "AXUW", "IHWW", "AYWW",
    "OWWW", "JH",   "VV",   "ZZ",   "ZH",   "DH",   "BE",   "BO",   "EB",   "OB",   "DE",   "DO",
    "ED",   "OD",   "GE",   "GO",   "EG",   "OG",   "CH",   "HE",   "HO",   "WH",   "FF",   "SE",
    "SO",   "SH",   "TH",   "TT",   "TU",   "TS",   "KE",   "KO",   "EK",   "OK",   "PE",   "PO"};

// The vowel table: the allophone when stressed, when unstressed, and when an R closes the
// syllable (none: the R stays a consonant of its own).
struct VowelRow {
    Al stressed;
    Al unstressed;
    std::optional<Al> withR;
};

constexpr std::array<VowelRow, kVowels> kVowelTable = {{
    {Al::AW, Al::AX, Al::AWRR},      // aa: father, calm (UX before a stop: hot)
    {Al::AY, Al::AX, Al::AWRR},      // ae: hat, fast
    {Al::AX, Al::AX, Al::AXRR},      // ah: cup, sun
    {Al::OH, Al::AX, Al::OWRR},      // ao: talk, song; store
    {Al::AYWW, Al::AYWW, {}},        // aw: out, how
    {Al::AX, Al::AX, Al::AXRR},      // ax: about
    {Al::OHIH, Al::OHIH, {}},        // ay: sky, five
    {Al::EH, Al::AX, Al::EYRR},      // eh: met, bed; hair
    {Al::AXRR, Al::AXRR, Al::AXRR},  // er: bird, hurt
    {Al::EY, Al::EY, Al::EYRR},      // ey: hate, made
    {Al::IH, Al::IH, Al::IYRR},      // ih: sit, fix; hear
    {Al::IY, Al::IY, Al::IYRR},      // iy: see, feed
    {Al::OW, Al::OW, Al::OWRR},      // ow: zone, close
    {Al::OHIY, Al::OHIY, {}},        // oy: boy, toy
    {Al::UH, Al::AX, Al::OWRR},      // uh: book, could; sure
    {Al::UW, Al::UW, Al::OWRR},      // uw: food, blue
}};

// The consonant table: the forms that begin a syllable before a front and a back vowel, and the
// forms that close a syllable after a front and a back vowel.
struct ConsonantRow {
    Al onsetFront;
    Al onsetBack;
    Al codaFront;
    Al codaBack;
};

constexpr std::array<ConsonantRow, 24> kConsonantTable = {{
    {Al::BE, Al::BO, Al::EB, Al::OB},      // b
    {Al::CH, Al::CH, Al::CH, Al::CH},      // ch
    {Al::DE, Al::DO, Al::ED, Al::OD},      // d
    {Al::DH, Al::DH, Al::DH, Al::DH},      // dh
    {Al::FF, Al::FF, Al::FF, Al::FF},      // f
    {Al::GE, Al::GO, Al::EG, Al::OG},      // g
    {Al::HE, Al::HO, Al::HE, Al::HE},      // hh
    {Al::JH, Al::JH, Al::JH, Al::JH},      // jh
    {Al::KE, Al::KO, Al::EK, Al::OK},      // k
    {Al::LE, Al::LO, Al::LE, Al::LO},      // l
    {Al::MM, Al::MM, Al::MM, Al::MM},      // m
    {Al::NE, Al::NO, Al::NE, Al::NO},      // n
    {Al::NGE, Al::NGO, Al::NGE, Al::NGO},  // ng
    {Al::PE, Al::PO, Al::PE, Al::PO},      // p
    {Al::RR, Al::RR, Al::RR, Al::RR},      // r
    {Al::SE, Al::SO, Al::SE, Al::SE},      // s (SO also needs a vowel other than OH)
    {Al::SH, Al::SH, Al::SH, Al::SH},      // sh
    {Al::TT, Al::TT, Al::TT, Al::TT},      // t (TS, TU: context rules)
    {Al::TH, Al::TH, Al::TH, Al::TH},      // th
    {Al::VV, Al::VV, Al::VV, Al::VV},      // v
    {Al::WW, Al::WW, Al::WW, Al::WW},      // w
    {Al::IY, Al::IY, Al::IY, Al::IY},      // y (absorbed into IYUW before UW)
    {Al::ZZ, Al::ZZ, Al::ZZ, Al::ZZ},      // z
    {Al::ZH, Al::ZH, Al::ZH, Al::ZH},      // zh
}};

bool IsVowel(Ph ph) {
    return static_cast<int>(ph) < kVowels;
}

bool IsFront(Al a) {
    switch (a) {
        case Al::IY:
        case Al::IH:
        case Al::EY:
        case Al::EH:
        case Al::AY:
        case Al::EYIY:
        case Al::IYEH:
        case Al::IYRR:
        case Al::EYRR:
        case Al::AXRR:
        case Al::AWRR:
        case Al::EHLE:
        case Al::IYUW:
        case Al::IHWW:
            return true;
        default:
            return false;
    }
}

bool IsOneOf(Ph ph, std::initializer_list<Ph> set) {
    for (Ph p : set) {
        if (p == ph) {
            return true;
        }
    }
    return false;
}

bool IsVoiceless(Ph ph) {
    return IsOneOf(ph, {Ph::P, Ph::T, Ph::K, Ph::F, Ph::TH, Ph::S, Ph::SH, Ph::CH, Ph::HH});
}

bool IsVoicelessStop(Ph ph) {
    return IsOneOf(ph, {Ph::P, Ph::T, Ph::K, Ph::CH});
}

bool IsStopOrAffricate(Ph ph) {
    return IsOneOf(ph, {Ph::P, Ph::B, Ph::T, Ph::D, Ph::K, Ph::G, Ph::CH, Ph::JH});
}

// Whether the consonants c[0..len) can begin an English syllable.
bool CanBeginSyllable(const Phone* c, int len) {
    if (len == 1) {
        return c[0].ph != Ph::NG;
    }
    const Ph a = c[0].ph;
    const Ph b = c[1].ph;
    if (len == 2) {
        if (b == Ph::Y) {
            return IsOneOf(a, {Ph::P, Ph::B, Ph::T, Ph::D, Ph::K, Ph::G, Ph::F, Ph::V, Ph::TH,
                               Ph::S, Ph::Z, Ph::M, Ph::N, Ph::HH, Ph::L});
        }
        if (b == Ph::L) {
            return IsOneOf(a, {Ph::P, Ph::B, Ph::K, Ph::G, Ph::F, Ph::S});
        }
        if (b == Ph::R) {
            return IsOneOf(a, {Ph::P, Ph::B, Ph::T, Ph::D, Ph::K, Ph::G, Ph::F, Ph::TH, Ph::SH});
        }
        if (b == Ph::W) {
            return IsOneOf(a, {Ph::T, Ph::D, Ph::K, Ph::G, Ph::S, Ph::TH});
        }
        return a == Ph::S && IsOneOf(b, {Ph::P, Ph::T, Ph::K, Ph::M, Ph::N, Ph::F});
    }
    return len == 3 && a == Ph::S && IsOneOf(b, {Ph::P, Ph::T, Ph::K}) &&
           IsOneOf(c[2].ph, {Ph::L, Ph::R, Ph::W, Ph::Y});
}

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
    std::vector<Phone> p = input;
    const int n = static_cast<int>(p.size());

    // 1. Spelling.
    if (Contains(spelling, "au") || Contains(spelling, "aw") || Contains(spelling, "ough")) {
        for (Phone& phone : p) {
            if (phone.ph == Ph::AA) {
                phone.ph = Ph::AO;
            }
        }
    }
    const bool startsWithWh = spelling.substr(0, 2) == "wh";
    const bool glidingU = SpelledWithGlidingU(spelling);

    // 2. Which consonants close a syllable.
    std::vector<bool> closing(n, false);
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
            closing[k] = true;
        }
        i = end;
    }

    // 3. Vowels.
    std::vector<Said> out(n);
    std::vector<bool> absorbed(n, false);
    for (int i = 0; i < n; ++i) {
        if (!IsVowel(p[i].ph) || absorbed[i]) {
            continue;
        }
        const Phone v = p[i];
        const VowelRow& row = kVowelTable[static_cast<int>(v.ph)];
        const bool stressed = v.stress > 0;
        const bool last = i + 1 == n;
        const Phone* next = last ? nullptr : &p[i + 1];
        const bool beforeVowel = next && IsVowel(next->ph);
        Said& o = out[i];

        if (next && next->ph == Ph::R && closing[i + 1] && row.withR) {
            if (v.ph == Ph::IH && stressed) {
                o.push_back(Al::IYEH);
            }
            o.push_back(*row.withR);
            absorbed[i + 1] = true;
            continue;
        }
        switch (v.ph) {
            case Ph::EH:
                if (stressed && next && next->ph == Ph::L && closing[i + 1]) {
                    o.push_back(Al::EHLE);
                    absorbed[i + 1] = true;
                } else {
                    o.push_back(stressed ? Al::EH : Al::AX);
                }
                break;
            case Ph::IY:
                if (next && (next->ph == Ph::AX || next->ph == Ph::AH) && next->stress == 0) {
                    o.push_back(Al::IYEH);
                    absorbed[i + 1] = true;
                } else {
                    o.push_back(Al::IY);
                }
                break;
            case Ph::AA:
                o.push_back(!stressed                             ? Al::AX
                            : next && IsStopOrAffricate(next->ph) ? Al::UX
                                                                  : Al::AW);
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

    // 4. Consonants.
    auto vowelAllophone = [&](int from, int step) -> std::optional<Al> {
        for (int k = from; k >= 0 && k < n; k += step) {
            if (IsVowel(p[k].ph) && !out[k].empty()) {
                return step > 0 ? out[k].front() : out[k].back();
            }
        }
        return std::nullopt;
    };
    for (int i = 0; i < n; ++i) {
        if (IsVowel(p[i].ph) || absorbed[i]) {
            continue;
        }
        const Ph c = p[i].ph;
        const Phone* next = i + 1 < n ? &p[i + 1] : nullptr;
        Said& o = out[i];
        if (c == Ph::Y && next && next->ph == Ph::UW) {
            continue;  // said by the IYUW of the vowel
        }
        if (i == 0 && startsWithWh && (c == Ph::W || c == Ph::HH)) {
            o.push_back(Al::WH);
            continue;
        }
        if (c == Ph::T) {
            if (closing[i] && next && next->ph == Ph::S && closing[i + 1]) {
                o.push_back(Al::TS);
                absorbed[i + 1] = true;
            } else {
                o.push_back(next && next->ph == Ph::UW ? Al::TU : Al::TT);
            }
            continue;
        }
        // The vowel whose form the consonant takes: the one after it when it begins a syllable,
        // the one before it when it closes one; the other one when that side has none.
        std::optional<Al> after = vowelAllophone(i + 1, 1);
        std::optional<Al> before = vowelAllophone(i - 1, -1);
        bool coda = closing[i];
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

    std::vector<Al> result;
    for (int i = 0; i < n; ++i) {
        if (!absorbed[i]) {
            result.insert(result.end(), out[i].allophones.begin(),
                          out[i].allophones.begin() + out[i].count);
        }
    }
    return result;
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
