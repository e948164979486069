#pragma once

// What the allophone rules look up: the names of the phones and allophones, the vowel and the
// consonant table, and the classes of phones the context rules ask about. Only
// allophone_rules.cpp reads them.

#include <array>
#include <initializer_list>
#include <optional>

#include "core/pronounce/allophone_rules.h"

namespace cantora::pron::tables {

constexpr int kVowels = 16;

extern const std::array<const char*, 40> kPhoneNames;
extern const std::array<const char*, 72> kAllophoneNames;

// The vowel table: the allophone when stressed, when unstressed, and when an R closes the
// syllable (none: the R stays a consonant of its own).
struct VowelRow {
    Al stressed;
    Al unstressed;
    std::optional<Al> withR;
};

extern const std::array<VowelRow, kVowels> kVowelTable;

// The consonant table: the forms that begin a syllable before a front and a back vowel, and the
// forms that close a syllable after a front and a back vowel.
struct ConsonantRow {
    Al onsetFront;
    Al onsetBack;
    Al codaFront;
    Al codaBack;
};

extern const std::array<ConsonantRow, 24> kConsonantTable;

bool IsVowel(Ph ph);
// Made with the tongue forward, a glide that starts from one, or r-coloured other than OWRR.
bool IsFront(Al a);
bool IsOneOf(Ph ph, std::initializer_list<Ph> set);
bool IsVoiceless(Ph ph);
bool IsVoicelessStop(Ph ph);
bool IsStopOrAffricate(Ph ph);
// Whether the consonants c[0..len) can begin an English syllable.
bool CanBeginSyllable(const Phone* c, int len);

}  // namespace cantora::pron::tables
