#pragma once

// The words of a text that the translator leaves out.

#include <QString>
#include <QStringList>

namespace cantora {

// The plain words of `text`, split as TranslateText splits it (runs of letters, digits, "#" and
// "\" read over every character but the blank and the comma, so "don't" is "dont"; a word that
// begins with "\" is a code token), that say nothing: their dictionary value is missing or blank,
// or they hold a character above 255, which no dictionary key can. Each word once, in the order
// of first appearance, compared without regard to case, as first written: its word characters,
// and for a word holding a character above 255 those characters too. Letters and digits above
// 255 make a word even without any word character ("Привет"). Only the words of the text
// itself: words inside dictionary values are not followed.
QStringList UnknownWords(const QString& text);

}  // namespace cantora
