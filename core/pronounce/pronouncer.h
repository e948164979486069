#pragma once

// Suggests how to say an English word on the chip: the word's phones from the US English
// pronouncing lexicon (letter-to-sound rules for words it does not hold), turned into allophones
// by the rules of allophone_rules.h.
//
// How a word is read:
// - Letters are folded to a-z (accents dropped: "café" reads "cafe"); other letters, control
//   characters and punctuation separate the parts of the word, which are said one after another
//   ("well-known" is "well" then "known").
// - Apostrophes join what they stand between ("it's" reads "its", "can't" reads "cant").
// - A run of digits is said as a number ("42": forty two); followed by "st", "nd", "rd" or "th"
//   as an ordinal ("21st": twenty first). Runs of more than 12 digits, or with a leading zero
//   ("007"), are said digit by digit.
// - A run of letters with no vowel letter (a, e, i, o, u, y) is spelled out by letter names
//   ("3pm": three, P, M; "tv": T, V).
// - "&" says "and", "%" says "percent", "+" says "plus".
// - Only the first 256 characters are read.
//
// The lexicon is loaded once, on the first call or by WarmUpPronouncer. All functions may be
// called from several threads at once.

#include <QString>

namespace cantora {

// Code-list text for the word, tokens separated by one blank, no blank before the first
// ("hello" gives "\HO \AX \LO \OW \OWWW"). Empty when there is nothing to say.
QString SuggestCodeText(const QString& word);

// The lexicon phones behind the suggestion, words separated by " | " ("hh ax0 l ow1"), for
// diagnostics and tests.
QString SuggestedPhones(const QString& word);

// Whether the lexicon holds the word (lower-case letters) itself; any other word is said by the
// letter-to-sound rules. The lexicon leaves out the words those rules already say right.
bool InPronouncingLexicon(const QString& word);

// Loads the lexicon now rather than on the first suggestion.
void WarmUpPronouncer();

}  // namespace cantora
