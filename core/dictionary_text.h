#pragma once

// The dictionary editor's text work, kept apart from its widgets: turning file bytes into editor
// text and back, lower-casing keys, building the sorted and the cleaned text, finding text, and
// splitting a word list into import words.
//
// Editor text uses "\n" for a line end; in the file every line end is CR LF.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace cantora::dictionary {

// File bytes (8-bit) as editor text: each CR LF, or bare LF, becomes "\n".
QString FileBytesToEditorText(const QByteArray& bytes);
// Editor text as file bytes: each "\n" (and the editor's paragraph and line separators) becomes
// CR LF. Exactly the editor's lines: no line end is added after the last one.
QByteArray EditorTextToFileBytes(const QString& text);

// The lines of a file or editor text: split at LF, a CR just before it dropped. A text that ends
// with a line end gives an empty last element.
QStringList SplitLines(const QString& text);

// Everything before the first "=" in lower case; a line without "=" entirely in lower case.
QString LowerCaseKey(const QString& line);

// The text without spaces (only the space character) at either end.
QString TrimBlanks(const QString& text);
// Whether a text is empty once spaces (only the space character) are removed at both ends.
bool IsBlank(const QString& text);

// Sorted text: keys lower-cased, lines in ascending order of their character codes (through the
// shared QuickSort), blank lines dropped, each line followed by a line end.
QString BuildSortedText(QStringList lines);
// Cleaned text: "[words]" first, then every line that is not blank and whose value after the
// first "=" is not blank, keys lower-cased, in order, each followed by a line end.
QString BuildErasedText(const QStringList& lines);

// Position of the first case-insensitive match of `needle` within text[from, to), or -1. An
// empty needle never matches.
qsizetype FindText(const QString& text, const QString& needle, qsizetype from, qsizetype to);

// Calls `onWord` for every word of the word list, in order: maximal runs of the letters A-Z and
// a-z within a line, lower-cased.
void ForEachImportWord(const QString& wordList, const std::function<void(const QString&)>& onWord);

// The text to append to an editor text for the new words: one "word=" line each, every one
// followed by a line end, and a line end first when `editorEndsOpen` (the editor text has a last
// line without a line end).
QString ImportEntriesText(const QStringList& newWords, bool editorEndsOpen);

}  // namespace cantora::dictionary
