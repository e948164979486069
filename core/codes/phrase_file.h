#pragma once

// A phrase file: one "name: text" a line, for making a header of many phrases at once.

#include <QList>
#include <QString>

namespace cantora {

struct NamedPhrase {
    QString name;
    QString text;  // what follows the first ":", without the blanks around it
};

struct PhraseFile {
    QList<NamedPhrase> phrases;
    QString error;  // "line 3: ...", empty when the whole file was read
};

// Reads the lines of a phrase file. Empty lines and lines beginning with "#" are skipped; every
// other line needs a name (as CPhraseNameProblem allows it), a ":" and the text. Two names that
// differ only in letter case would give one length constant, so they count as the same name.
// Stops at the first bad line.
PhraseFile ParsePhraseFile(const QString& contents);

}  // namespace cantora
