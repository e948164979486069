#include "core/codes/code_table.h"

#include <QHash>

#include "core/files/latin1_case.h"

#include <array>

namespace cantora {

namespace {

struct CodeTable {
    std::array<QString, kCodeTableSize> names;
    // Each name's first number, for reading long code texts without a scan per token.
    QHash<QString, int> numbers;
    bool loaded = false;
};

CodeTable& Table() {
    static CodeTable table;
    return table;
}

constexpr const char* kAllophones[] = {
    "IY",   "IH",   "EY",   "EH",   "AY",   "AX",   "UX",   "AW",   "OH",   "OW",   "UH",   "UW",
    "MM",   "NE",   "NO",   "NGE",  "NGO",  "LE",   "LO",   "WW",   "RR",   "IYRR", "EYRR", "AXRR",
    "AWRR", "OWRR", "EYIY", "OHIY", "OWIY", "OHIH", "IYEH", "EHLE", "IYUW", "AXUW", "IHWW", "AYWW",
    "OWWW", "JH",   "VV",   "ZZ",   "ZH",   "DH",   "BE",   "BO",   "EB",   "OB",   "DE",   "DO",
    "ED",   "OD",   "GE",   "GO",   "EG",   "OG",   "CH",   "HE",   "HO",   "WH",   "FF",   "SE",
    "SO",   "SH",   "TH",   "TT",   "TU",   "TS",   "KE",   "KO",   "EK",   "OK",   "PE",   "PO"};
static_assert(std::size(kAllophones) == 72);

constexpr const char* kNotes[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

// Pitch values of the notes by octave (1 to 3) and semitone: the frequency in hertz, rounded.
constexpr int kNotePitch[3][12] = {{33, 35, 37, 39, 41, 44, 46, 49, 52, 55, 58, 62},
                                   {65, 69, 73, 78, 82, 87, 93, 98, 104, 110, 117, 123},
                                   {131, 139, 147, 156, 165, 175, 185, 196, 208, 220, 233, 247}};

void Fill(CodeTable& table) {
    auto& n = table.names;
    for (QString& name : n) {
        name.clear();
    }
    auto set = [&n](int code, const QString& mnemonic) { n[code] = u'\\' + mnemonic; };
    for (int i = 0; i <= 6; ++i) {
        set(i, QStringLiteral("P%1").arg(i));
    }
    set(7, "FAST");
    set(8, "SLOW");
    set(14, "STRESS");
    set(15, "RELAX");
    set(16, "WAIT");
    set(18, "SOFT");
    set(20, "VOLUME");
    set(21, "SPEED");
    set(22, "PITCH");
    set(23, "BEND");
    set(24, "PCTRL");
    set(25, "POUT");
    set(26, "REPEAT");
    set(28, "CALL");
    set(29, "PLAY");
    set(30, "DELAY");
    set(31, "RESET");
    for (int i = 0; i < 72; ++i) {
        set(128 + i, QString::fromLatin1(kAllophones[i]));
    }
    const char* effects[] = {"R", "A", "B", "C"};
    for (int group = 0; group < 4; ++group) {
        for (int i = 0; i <= 9; ++i) {
            set(200 + group * 10 + i, QStringLiteral("%1%2").arg(effects[group]).arg(i));
        }
    }
    for (int i = 0; i <= 11; ++i) {
        set(240 + i, QStringLiteral("D%1").arg(i));
    }
    for (int i = 0; i <= 2; ++i) {
        set(252 + i, QStringLiteral("M%1").arg(i));
    }
    for (int octave = 1; octave <= 3; ++octave) {
        for (int note = 0; note < 12; ++note) {
            set(281 + octave * 20 + note,
                QStringLiteral("NT%1%2").arg(QLatin1String(kNotes[note])).arg(octave));
        }
    }
    table.numbers.clear();
    for (int i = 0; i < kCodeTableSize; ++i) {
        if (!n[i].isEmpty() && !table.numbers.contains(n[i])) {
            table.numbers.insert(n[i], i);
        }
    }
    table.loaded = true;
}

const CodeTable& Loaded() {
    CodeTable& table = Table();
    if (!table.loaded) {
        Fill(table);  // a caller before the main window's load still gets the full table
    }
    return table;
}

}  // namespace

void LoadCodeNames() {
    Fill(Table());
}

QString GetCodeName(int code) {
    if (code < 0 || code > 255) {
        return {};
    }
    return Loaded().names[code];
}

int GetCodeNumber(const QString& name) {
    return Loaded().numbers.value(Latin1Upper(name), kUnknownCode);
}

int GetNotePitch(int code) {
    for (int octave = 1; octave <= 3; ++octave) {
        const int first = 281 + octave * 20;
        if (code >= first && code < first + 12) {
            return kNotePitch[octave - 1][code - first];
        }
    }
    return 0;
}

}  // namespace cantora
