#include "core/codes/palette_table.h"

#include "core/codes/code_table.h"
#include "core/codes/lenient_numbers.h"

#include <array>
#include <span>

namespace cantora::palette {

namespace {

// The label array, by index. Gaps between groups leave room and keep each group's indexes
// together:
//
//   index    group                    labels (reading order, row by row)
//   0-11     Vowels                   IY UW IH / UH EY AX / OW EH OH / AY UX AW
//   12-19    Resonate && Nasal        LE NE NGE / LO NO NGO / WW MM
//   20-25    R's                      RR AXRR / IYRR AWRR / EYRR OWRR
//   26-36    Diphthongs               EYIY IYEH IYUW AYWW / OHIY OHIH AXUW OWWW / OWIY EHLE IHWW
//   37-41    Voiced Fricatives        JH VV ZZ / ZH DH
//   42-53    Voiced Stops             BE DE GE / BO DO GO / EB ED EG / OB OD OG
//   54-62    Voiceless Stops          KE TT PE / KO TU PO / EK TS OK
//   63-71    Voiceless Fricatives     HE SE SH / CH HO SO / TH FF WH
//   72-79    (unused)
//   80-134   Misc Sounds              R0-R9 M0 (80-90) / A0-A9 M1 (91-101) / B0-B9 M2 (102-112)
//                                     / C0-C9 (113-122) / D0-D11 (123-134)
//   135-139  (unused)
//   140-148  Pauses                   P0 P4 Wait / P1 P5 / P2 P6 / P3 Delay
//   149      (unused)
//   150-185  Musical Scale            NTC1 NTC2 NTC3 / NTC#1 NTC#2 NTC#3 / ... / NTB1 NTB2 NTB3
//   186-191  Modifiers                Fast Stress / Slow Relax / Repeat (Soft hidden, 191)
//   192-195  Commands                 Call / Play / PCtrl / POut
//   196      (unused)
//   197      Controls                 Reset
//
// 183 labels in all.

// An allophone label: its tool tip names example words, and the virtual chip speaks it with
// the speech phones that match them. Variants the speech library cannot tell apart (front and
// back, initial and final consonants) share a phone; WH is "w" because the voice has no join
// from "hh" to "w".
struct Allophone {
    const char* caption;
    const char* examples;
    const char* phones;
};

// One group of allophone labels, laid out row by row in `columns` columns.
struct AllophoneGroup {
    Group group;
    int columns;
    std::span<const Allophone> sounds;
};

constexpr Allophone kVowels[] = {
    {"IY", "See, Even, Feed", "iy"},    {"UW", "Food, Blue, Too", "uw"},
    {"IH", "Sit, Fix, Pin", "ih"},      {"UH", "Book, Could, Should", "uh"},
    {"EY", "Hate, Made, Day", "ey"},    {"AX", "About, Cup, Sun", "ah"},
    {"OW", "Zone, Close, Snow", "ow"},  {"EH", "Met, Bed, Head", "eh"},
    {"OH", "Talk, Song, Bought", "ao"}, {"AY", "Hat, Fast, Fan", "ae"},
    {"UX", "Hot, Clock, Fox", "aa"},    {"AW", "Father, Calm, Wasp", "aa"},
};

constexpr Allophone kResonateNasal[] = {
    {"LE", "Lake, Alarm, Leaf", "l"},   {"NE", "Knee, Ten, Nip", "n"},
    {"NGE", "Sing, Think, King", "ng"}, {"LO", "Clock, Plus, Hello", "l"},
    {"NO", "No, Snow, On", "n"},        {"NGO", "Hung, Song, Long", "ng"},
    {"WW", "Wool, Sweat, Wet", "w"},    {"MM", "Milk, Lamb, Him", "m"},
};

constexpr Allophone kRs[] = {
    {"RR", "Rag, Ray, Run", "r"},
    {"AXRR", "Fir, Bird, Hurt", "er"},
    {"IYRR", "Clear, Hear, Year", "ih r"},
    {"AWRR", "Part, Farm, Yarn", "aa r"},
    {"EYRR", "Hair, Stair, Repair", "eh r"},
    {"OWRR", "Store, Corn, Four", "ao r"},
};

constexpr Allophone kDiphthongs[] = {
    {"EYIY", "Day, Gray, Say", "ey"},    {"IYEH", "Idea, Ear, Near", "iy ah"},
    {"IYUW", "You, Few, Cute", "y uw"},  {"AYWW", "Out, How, Down", "aw"},
    {"OHIY", "Boy, Toy, Voice", "oy"},   {"OHIH", "I, Sky, Five", "ay"},
    {"AXUW", "Coat, Boat, Phone", "ow"}, {"OWWW", "Go, Slow, Show", "ow"},
    {"OWIY", "Oil, Coin, Noise", "oy"},  {"EHLE", "Bell, Well, Tell", "eh l"},
    {"IHWW", "New, Nude, Dew", "y uw"},
};

constexpr Allophone kVoicedFricatives[] = {
    {"JH", "Jet, Dodge, Savage", "jh"}, {"VV", "Vest, Even, Van", "v"},
    {"ZZ", "Zoo, Zap, Buzz", "z"},      {"ZH", "Azure, Treasure, Vision", "zh"},
    {"DH", "There, That, This", "dh"},
};

constexpr Allophone kVoicedStops[] = {
    {"BE", "Bee, Bed, Bit", "b"},     {"DE", "Deep, Date, Dim", "d"},
    {"GE", "Get, Gift, Geese", "g"},  {"BO", "Bone, Book, Bought", "b"},
    {"DO", "Do, Dough, Dull", "d"},   {"GO", "Go, Got, Gum", "g"},
    {"EB", "Web, Fib, Ebb", "b"},     {"ED", "Bed, Red, Said", "d"},
    {"EG", "Big, Peg, Leg", "g"},     {"OB", "Cob, Mob, Job", "b"},
    {"OD", "Could, Food, Good", "d"}, {"OG", "Dog, Log, Bug", "g"},
};

constexpr Allophone kVoicelessStops[] = {
    {"KE", "Key, Kit, Can't", "k"},   {"TT", "Tart, Test, Time", "t"},
    {"PE", "People, Pit, Pen", "p"},  {"KO", "Comb, Coat, Cut", "k"},
    {"TU", "Tune, Tool, Tooth", "t"}, {"PO", "Pow, Pole, Pot", "p"},
    {"EK", "Peek, Tick, Deck", "k"},  {"TS", "Parts, Costs, Robots", "t s"},
    {"OK", "Book, Took, Rock", "k"},
};

constexpr Allophone kVoicelessFricatives[] = {
    {"HE", "Help, Hand, Heel", "hh"},   {"SE", "Salt, Sit, See", "s"},
    {"SH", "Ship, Wish, Sure", "sh"},   {"CH", "Church, Cheap, Chin", "ch"},
    {"HO", "Hoe, Hot, Hug", "hh"},      {"SO", "So, Soap, Sun", "s"},
    {"TH", "Thin, Month, Thick", "th"}, {"FF", "Food, Fan, Fish", "f"},
    {"WH", "Who, Whale, White", "w"},
};

// The allophone groups in reading order; their indexes follow on from 0 without a gap.
constexpr AllophoneGroup kAllophoneGroups[] = {
    {Group::Vowels, 3, kVowels},
    {Group::ResonateNasal, 3, kResonateNasal},
    {Group::Rs, 2, kRs},
    {Group::Diphthongs, 4, kDiphthongs},
    {Group::VoicedFricatives, 3, kVoicedFricatives},
    {Group::VoicedStops, 3, kVoicedStops},
    {Group::VoicelessStops, 3, kVoicelessStops},
    {Group::VoicelessFricatives, 3, kVoicelessFricatives},
};

// A label at a place of its own in its group: the pauses, modifiers, commands and controls.
struct Fixed {
    const char* caption;
    const char* tip;
    int row;
    int column;
    bool hidden = false;
};

constexpr Fixed kPauses[] = {
    {"P0", "0ms Pause /wout transition", 0, 0},
    {"P4", "10ms Pause /w transition", 0, 1},
    {"Wait", "Stop sound until restarted.", 0, 2},
    {"P1", "100ms Pause /wout transition", 1, 0},
    {"P5", "36ms Pause /w transition", 1, 1},
    {"P2", "300ms Pause /wout transition", 2, 0},
    {"P6", "60ms Pause /w transition", 2, 1},
    {"P3", "700ms Pause /wout transition", 3, 0},
    {"Delay", "Delay 10xMS before playing the next sound.", 3, 1},
};

constexpr Fixed kModifiers[] = {
    {"Fast", "Play the Next Sound at 1 1/2 speed", 0, 0},
    {"Stress", "Play the Next Sound with Stress.", 0, 1},
    {"Slow", "Play the Next Sound at 1/2 speed", 1, 0},
    {"Relax", "Play the Next Sound Relaxed.", 1, 1},
    {"Repeat", "Repeat the following Sound x Times", 2, 0},
    {"Soft", "", 3, 0, true},
};

constexpr Fixed kCommands[] = {
    {"Call", "Call EEPROM Phrase x.", 0, 0},
    {"Play", "Play EEPROM Phrase x.", 1, 0},
    {"PCtrl", "Set the Output Pin's Control to x.", 2, 0},
    {"POut", "Set the Output Pin's Output state to x.", 3, 0},
};

constexpr Fixed kControls[] = {
    {"Reset", "Reset all controls back to defaults", 0, 0},
};

// The group's labels, row by row, with indexes on from `index`.
void AddAllophones(std::vector<Element>& out, int& index, const AllophoneGroup& group) {
    int position = 0;
    for (const Allophone& sound : group.sounds) {
        out.push_back(Element{
            index++, QString::fromLatin1(sound.caption), QString::fromLatin1(sound.examples),
            group.group, position / group.columns, position % group.columns, false, sound.phones});
        ++position;
    }
}

// Fixed labels with consecutive indexes from `first`.
void AddFixed(std::vector<Element>& out, int first, Group group, std::span<const Fixed> labels) {
    int index = first;
    for (const Fixed& label : labels) {
        out.push_back(Element{index++, QString::fromLatin1(label.caption),
                              QString::fromLatin1(label.tip), group, label.row, label.column,
                              label.hidden});
    }
}

// Sound effects: five rows after their row headings; M0 to M2 close the first three rows in the
// twelfth column, the column of D11.
void AddSoundEffects(std::vector<Element>& out) {
    int index = 80;
    const char* rowLetters = "RABCD";
    const char* const effectTips[] = {"Sonar Ping", "Pistol Shot", "WOW effect"};
    for (int row = 0; row < 5; ++row) {
        const int count = row == 4 ? 12 : 10;
        for (int i = 0; i < count; ++i) {
            out.push_back(Element{index++, QString(QChar(rowLetters[row])) + QString::number(i),
                                  QString(), Group::MiscSounds, row, i});
        }
        if (row < 3) {
            out.push_back(Element{index++, QStringLiteral("M%1").arg(row),
                                  QString::fromLatin1(effectTips[row]), Group::MiscSounds, row,
                                  11});
        }
    }
}

// Notes: one row per semitone, one column per octave (row 0 holds the octave headings).
void AddNotes(std::vector<Element>& out) {
    int index = 150;
    const char* const notes[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    for (int row = 0; row < 12; ++row) {
        for (int octave = 1; octave <= 3; ++octave) {
            const QString note = QString::fromLatin1(notes[row]) + QString::number(octave);
            out.push_back(Element{index++, QStringLiteral("NT") + note,
                                  QStringLiteral("Set the Pitch to the Frequency for ") + note,
                                  Group::MusicalScale, row + 1, octave - 1});
        }
    }
}

// Every label in reading order, group by group, at the indexes of the list above.
std::vector<Element> BuildElements() {
    std::vector<Element> e;
    e.reserve(183);
    int index = 0;
    for (const AllophoneGroup& group : kAllophoneGroups) {
        AddAllophones(e, index, group);
    }
    AddSoundEffects(e);
    AddFixed(e, 140, Group::Pauses, kPauses);
    AddNotes(e);
    AddFixed(e, 186, Group::Modifiers, kModifiers);
    AddFixed(e, 192, Group::Commands, kCommands);
    AddFixed(e, 197, Group::Controls, kControls);
    return e;
}

bool skipNextControls = false;

}  // namespace

const std::vector<Element>& Elements() {
    static const std::vector<Element> elements = BuildElements();
    return elements;
}

const Element* FindByIndex(int index) {
    for (const Element& element : Elements()) {
        if (element.index == index) {
            return &element;
        }
    }
    return nullptr;
}

const Element* FindByCaption(const QString& caption) {
    for (const Element& element : Elements()) {
        if (element.caption.compare(caption, Qt::CaseInsensitive) == 0) {
            return &element;
        }
    }
    return nullptr;
}

const char* PhonesForCode(int code) {
    // By code, built once from the labels (on first use, by the thread that makes the virtual
    // chip's renderer).
    static const std::array<const char*, kAllophoneCount> byCode = [] {
        std::array<const char*, kAllophoneCount> table{};
        table.fill("");
        for (const Element& element : Elements()) {
            const int code = CodeOf(element.caption);
            if (code >= kFirstAllophone && code < kFirstAllophone + kAllophoneCount) {
                table[static_cast<size_t>(code - kFirstAllophone)] = element.phones;
            }
        }
        return table;
    }();
    if (code < kFirstAllophone || code >= kFirstAllophone + kAllophoneCount) {
        return "";
    }
    return byCode[static_cast<size_t>(code - kFirstAllophone)];
}

int CodeOf(const QString& caption) {
    return GetCodeNumber(QStringLiteral("\\") + caption);
}

bool HasParameter(int code) {
    return !ParameterBoxName(code).isEmpty();
}

QString ParameterBoxName(int code) {
    switch (code) {
        case 24:
            return QStringLiteral("txtPCtrl");
        case 25:
            return QStringLiteral("txtPOut");
        case 26:
            return QStringLiteral("txtRepeat");
        case 28:
            return QStringLiteral("txtCall");
        case 29:
            return QStringLiteral("txtPlay");
        case 30:
            return QStringLiteral("TxtDelay");
        default:
            return QString();
    }
}

std::optional<int> ParameterByte(const QString& text) {
    const qint64 value = LeadingInteger(text);
    if (value < 0 || value > 255) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

QString ParameterRefusalText(const QString& caption, const QString& boxText) {
    return QStringLiteral(
               "The value \"%1\" of %2 cannot be sent: it must be a number from 0 to "
               "255.\r\nNothing was sent to the Quillon.")
        .arg(boxText, caption);
}

QByteArray ClickBytes(const QByteArray& prefix, int code, int parameter) {
    QByteArray bytes = prefix;
    if (code >= kFirstNote) {
        bytes.append(static_cast<char>(kPitchCode));
        bytes.append(static_cast<char>(GetNotePitch(code)));
    } else {
        bytes.append(static_cast<char>(code));
    }
    if (HasParameter(code)) {
        bytes.append(static_cast<char>(parameter));
    }
    return bytes;
}

QString DoubleClickText(const QString& caption, const QString& boxText) {
    QString text = QStringLiteral("\\") + caption;
    if (HasParameter(CodeOf(caption))) {
        text += QStringLiteral(" \\") + boxText;
    }
    return text;
}

QString WaitNoticeText() {
    const QStringList lines = {
        "This control code will cause set the Quillon to stop until restarted.",
        "To restart the Quillon you must do one of the following;",
        "",
        " 1. Activate an event that has been tied to the Restart function.",
        " 2. Send an SCP Restart command.",
        " 3. Reset the Quillon with the Reset line. ",
        " 4. Reset the Quillon with the SCP Reset command.",
        "       Note that the \"Shut Up\" Button in the phrase editor",
        "       sends the SCP Reset command.",
        "",
        "-OR-",
        "",
        " Press the Cancel button to not send this command to the Quillon.",
    };
    return lines.join(QStringLiteral("\r\n"));
}

bool SkipNextControls() {
    return skipNextControls;
}

void SetSkipNextControls(bool skip) {
    skipNextControls = skip;
}

}  // namespace cantora::palette
