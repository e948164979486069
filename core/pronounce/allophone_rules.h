#pragma once

// From the phones of an English pronouncing lexicon (ARPAbet with stress) to the chip's
// allophones: one data table for the vowels, one for the consonants (allophone_tables.cpp), and a
// handful of context rules (allophone_rules.cpp). No lexicon here, so the rules can be checked on
// their own.

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace cantora::pron {

// The lexicon's phones. Vowels first.
// clang-format off
enum class Ph : std::uint8_t {
    AA, AE, AH, AO, AW, AX, AY, EH, ER, EY, IH, IY, OW, OY, UH, UW,  // vowels
    B, CH, D, DH, F, G, HH, JH, K, L, M, N, NG, P, R, S, SH, T, TH, V, W, Y, Z, ZH,
};
// clang-format on

struct Phone {
    Ph ph;
    int stress;  // 1 stressed, 0 unstressed, -1 for a consonant
};

// A lexicon phone name such as "ow1", "ax0" or "hh"; none for names outside the set (pauses).
std::optional<Phone> ParsePhone(std::string_view name);
// The lexicon's name of a phone, without stress ("ow").
const char* PhoneName(Ph phone);

// The chip's allophones, numbered as the code table numbers them (IY is 128, PO is 199).
// clang-format off
enum class Al : std::uint8_t {
    IY = 128, IH, EY, EH, AY, AX, UX, AW, OH, OW, UH, UW, MM, NE, NO, NGE, NGO, LE, LO, WW, RR,
    IYRR, EYRR, AXRR, AWRR, OWRR, EYIY, OHIY, OWIY, OHIH, IYEH, EHLE, IYUW, AXUW, IHWW, AYWW, OWWW,
    JH, VV, ZZ, ZH, DH, BE, BO, EB, OB, DE, DO, ED, OD, GE, GO, EG, OG, CH, HE, HO, WH, FF, SE, SO,
    SH, TH, TT, TU, TS, KE, KO, EK, OK, PE, PO,
};
// clang-format on

// The mnemonic without its backslash ("OWWW").
const char* AllophoneName(Al allophone);

// The allophones for one word's phones. `spelling` is the word in lower-case letters a-z; a few
// rules read it where the lexicon's phones do not tell sounds apart (see allophone_rules.cpp).
std::vector<Al> AllophonesFor(const std::vector<Phone>& phones, std::string_view spelling);

// Appends " \NAME" for each allophone, without a blank before the first token of an empty text.
void AppendCodeText(QString& text, const std::vector<Al>& allophones);

}  // namespace cantora::pron
