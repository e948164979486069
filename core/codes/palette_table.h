#pragma once

// The code palette of the phrase editor: one table of every label (index, caption, tool tip,
// group, row and column; for allophones the speech phones the virtual chip speaks them with),
// the code a caption stands for, the bytes a click sends and the text a double-click inserts.
// No widgets here, so the logic can be checked on its own.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace cantora::palette {

// The groups that hold palette labels, in the order the window builds them.
enum class Group {
    Pauses,
    MusicalScale,
    Vowels,
    Diphthongs,
    ResonateNasal,
    Rs,
    VoicedStops,
    VoicelessStops,
    VoicelessFricatives,
    VoicedFricatives,
    MiscSounds,
    Commands,
    Controls,
    Modifiers,
};

struct Element {
    int index;        // element of the label array "Command1(index)"
    QString caption;  // the mnemonic without its backslash, as shown
    QString toolTip;  // empty when the label has none
    Group group;
    int row;              // row within the group, 0 first
    int column;           // column within the group, 0 first
    bool hidden = false;  // the Soft label: never shown, never clicked
    // Allophones: the speech phones the virtual chip speaks it with, space-separated, chosen to
    // match the tool tip's example words. Empty for every other label.
    const char* phones = "";
};

// All 183 labels in reading order, group by group. Indexes are unique, between 0 and 197.
const std::vector<Element>& Elements();
// The element with this index, or null.
const Element* FindByIndex(int index);
// The element with this caption (compared without regard to case), or null.
const Element* FindByCaption(const QString& caption);

// The code a caption stands for: the code table's number for a backslash and the caption.
int CodeOf(const QString& caption);

constexpr int kFirstAllophone = 128;
constexpr int kAllophoneCount = 72;
// The phones of an allophone code (128-199); empty for any other code.
const char* PhonesForCode(int code);

constexpr int kWaitCode = 16;
constexpr int kRepeatCode = 26;
constexpr int kResetCode = 31;
constexpr int kPitchCode = 22;
constexpr int kFirstNote = 256;

// Whether the code takes one parameter byte from a parameter box: PCTRL, POUT, REPEAT, CALL,
// PLAY and DELAY.
bool HasParameter(int code);
// The objectName of the code's parameter box ("txtRepeat"), empty when it has none.
QString ParameterBoxName(int code);
// The byte a parameter box's text stands for: its leading number rounded half to even. No value
// when that lies outside 0 to 255, since no byte could carry it.
std::optional<int> ParameterByte(const QString& text);
// The message that refuses a click whose parameter box cannot be sent.
QString ParameterRefusalText(const QString& caption, const QString& boxText);

// The bytes one click sends: the control prefix, then the code (for a note: the pitch code and
// the note's pitch value), then the parameter byte when the code takes one (`parameter`, 0 to
// 255; ignored for the other codes).
QByteArray ClickBytes(const QByteArray& prefix, int code, int parameter = 0);

// The text a double-click inserts: a backslash and the caption, and for the six parameter codes
// a blank, a backslash and the parameter box's text as typed.
QString DoubleClickText(const QString& caption, const QString& boxText);

// The question a Wait click asks before it sends, lines joined by CR LF.
QString WaitNoticeText();

// Set by a Repeat click so that the next click sends its code right behind the repeat count,
// without the control prefix. Lives for the whole program run, across openings of the editor.
bool SkipNextControls();
void SetSkipNextControls(bool skip);

}  // namespace cantora::palette
