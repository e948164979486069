#pragma once

// Phrases as C source for a microcontroller: one array of codes per phrase, with the text it was
// made from as a comment and its length as a named constant; and the viewer's decimal list read
// back into codes.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace cantora {

// One phrase for C: the name of its array, the text it was made from, its codes.
struct CPhrase {
    QString name;
    QString text;
    QByteArray codes;
};

// The name "Copy as C" gives its array.
inline constexpr char kCPhraseName[] = "phrase";

// Why `name` cannot name a phrase's array, or empty when it can: a C identifier of a letter
// followed by letters, digits and "_", at most 63 characters, no C keyword, not beginning with
// "cantora_" (the header's own names).
QString CPhraseNameProblem(const QString& name);

// The phrase's text as a comment, one line of the text to a comment line, then
// «const uint8_t name[] = {» with the codes 16 to a line, «};» and «#define NAME_LENGTH n».
// `isStatic` puts "static " in front, as a header needs. An empty code list gets one 0 (C has no
// empty arrays) and a length of 0.
QString CArrayText(const CPhrase& phrase, bool isStatic = false);

// A whole header: a guard, <stddef.h> and <stdint.h>, the arrays, and with `withTable` a table
// «cantora_phrases» of {name, codes, length} and CANTORA_PHRASE_COUNT.
QString CHeaderText(const QList<CPhrase>& phrases, bool withTable);

// The codes as the codes viewer shows them: decimal values joined by ", ".
QString CodesAsDecimalText(const QByteArray& codes);

// The codes of a decimal list such as the viewer holds: numbers 0 to 255 between commas and
// blanks (line breaks and tabs count as blanks). Empty when something else stands there; `bad`
// then gets the first such piece.
std::optional<QByteArray> DecimalTextToCodes(const QString& text, QString* bad = nullptr);

// What "Save As…" writes, chosen by the file name's ending (letter case ignored): a C header
// (".h"), the raw codes (".bin") or the decimal text (".txt").
enum class CodesFileKind { Header, Raw, Text, Unknown };
CodesFileKind CodesFileKindOf(const QString& path);

// The contents of such a file: `decimalText` is the viewer's text, written as it stands into a
// text file; the other kinds hold `phrase`'s codes.
QByteArray CodesFileBytes(CodesFileKind kind, const CPhrase& phrase, const QString& decimalText);

}  // namespace cantora
