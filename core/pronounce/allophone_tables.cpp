#include "core/pronounce/allophone_tables.h"

namespace cantora::pron::tables {

const std::array<const char*, 40> kPhoneNames = {
    "aa", "ae", "ah", "ao", "aw", "ax", "ay", "eh", "er", "ey", "ih", "iy", "ow", "oy",
    "uh", "uw", "b",  "ch", "d",  "dh", "f",  "g",  "hh", "jh", "k",  "l",  "m",  "n",
    "ng", "p",  "r",  "s",  "sh", "t",  "th", "v",  "w",  "y",  "z",  "zh"};

const std::array<const char*, 72> kAllophoneNames = {
    "IY",   "IH",   "EY",   "EH",   "AY",   "AX",   "UX",   "AW",   "OH",   "OW",   "UH",   "UW",
    "MM",   "NE",   "NO",   "NGE",  "NGO",  "LE",   "LO",   "WW",   "RR",   "IYRR", "EYRR", "AXRR",
    "AWRR", "OWRR", "EYIY", "OHIY", "OWIY", "OHIH", "IYEH", "EHLE", "IYUW", "AXUW", "IHWW", "AYWW",
    "OWWW", "JH",   "VV",   "ZZ",   "ZH",   "DH",   "BE",   "BO",   "EB",   "OB",   "DE",   "DO",
    "ED",   "OD",   "GE",   "GO",   "EG",   "OG",   "CH",   "HE",   "HO",   "WH",   "FF",   "SE",
    "SO",   "SH",   "TH",   "TT",   "TU",   "TS",   "KE",   "KO",   "EK",   "OK",   "PE",   "PO"};

const std::array<VowelRow, kVowels> kVowelTable = {{
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

const std::array<ConsonantRow, 24> kConsonantTable = {{
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

}  // namespace cantora::pron::tables
