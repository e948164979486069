#pragma once

// The words of a text that the translator leaves out.

#include <QString>
#include <QStringList>

namespace cantora {

// The plain words of `text` (as TranslateText splits it: runs of letters, digits, "#" and "\"
// that do not begin with "\") whose dictionary value is missing or blank, so that they say
// nothing. Each word once, in the order of first appearance, compared without regard to case,
// as first written. Only the words of the text itself: words inside dictionary values are not
// followed.
QStringList UnknownWords(const QString& text);

}  // namespace cantora
