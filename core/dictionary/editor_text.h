#pragma once

// The dictionary editor's text work, kept apart from its widgets: turning file bytes into editor
// text and back, lower-casing keys, building the sorted and the cleaned text, finding text, and
// splitting a word list into import words.
//
// Editor text uses "\n" for a line end; in the file every line end is CR LF. Read from a file,
// CR LF, LF and a lone CR all end a line, as they do for every other reader of the dictionary.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace cantora::dictionary {

// File bytes (8-bit) as editor text: each CR LF, bare LF or lone CR becomes "\n". UTF-8
// byte-order marks at the start are dropped (the readers skip them; kept, they would sort as
// text).
QString FileBytesToEditorText(const QByteArray& bytes);
// Editor text as file bytes: each "\n" (and the editor's paragraph and line separators) becomes
// CR LF. Exactly the editor's lines: no line end is added after the last one.
QByteArray EditorTextToFileBytes(const QString& text);
// The same for a piece of editor text, appended to `bytes`.
void AppendFileBytes(QByteArray& bytes, QStringView text);

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

// The same two texts straight from the bytes of the file just saved, for large dictionaries: the
// bytes are let go as soon as they have been read, and the lines are sorted or filtered as views
// into one working text, so the work holds one copy of the text besides the result.
QString SortedTextFromFile(QByteArray fileBytes);
QString ErasedTextFromFile(QByteArray fileBytes);

// The first character of a name in `line` (the key before its first "=", or the section name of
// a "[...]" line) that the 8-bit file cannot hold; empty when all fit. Values may hold such
// characters: they are stored as "?".
QString UnstorableNameCharacter(QStringView line);

// Position of the first case-insensitive match of `needle` within text[from, to), or -1. An
// empty needle never matches.
qsizetype FindText(const QString& text, const QString& needle, qsizetype from, qsizetype to);

// Calls `onWord` for every word of the word list, in order: maximal runs of the letters A-Z and
// a-z within a line, lower-cased.
void ForEachImportWord(const QString& wordList, const std::function<void(const QString&)>& onWord);

// Where "Import New Words" puts a "[words]" header line so that the dictionary reads the entries
// it adds: none when the text has a words section; at the top when the text has no section at
// all (its loose entries are then read too); just before the new entries when it has other
// sections only.
enum class WordsHeader { Present, AtTop, BeforeEntries };
// Fed the editor text a line at a time (as the reader sees lines); done() once the answer is
// known, so a large text need not be read to its end.
class WordsHeaderScan {
  public:
    void addLine(QStringView line);
    bool done() const { return found_; }
    WordsHeader result() const;

  private:
    bool found_ = false;
    bool anySection_ = false;
};

// The text to append to an editor text for the new words: a line end first when `editorEndsOpen`
// (the editor text has a last line without a line end), then "[words]" on its own line when
// `withHeader`, then one "word=" line each, every one followed by a line end.
QString ImportEntriesText(const QStringList& newWords, bool editorEndsOpen,
                          bool withHeader = false);

}  // namespace cantora::dictionary
