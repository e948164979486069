#pragma once

// The road of "Say It" without the window: text through the dictionary (and, when asked, the
// pronouncer for words it lacks) into codes, behind the voice controls' prefix.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace cantora {

// The four voice controls as the phrase editor starts with them, and whether their prefix goes
// in front of a phrase ("Apply Controls Before Playing 'Say Data'").
struct VoiceSettings {
    int volume = 96;
    int speed = 114;
    int pitch = 88;
    int bend = 5;
    bool apply = true;
};

// The 8-byte control prefix: 20, volume, 21, speed, 22, pitch, 23, bend, each value clamped to
// its control's range (volume and speed 0 to 127, pitch 0 to 255, bend 0 to 15).
QByteArray ControlPrefix(const VoiceSettings& voice);

struct PhraseRoad {
    QString dictionaryPath;  // empty: the program's dictionary
    bool pronounceUnknown = false;
    VoiceSettings voice;
};

struct SaidPhrase {
    QByteArray codes;
    // The typed words the dictionary lacks, each once (letter case ignored) as first written.
    QStringList unknownWords;
};

// Exactly what "Say It" sends for `text` with these settings.
SaidPhrase SayPhrase(const QString& text, const PhraseRoad& road);

}  // namespace cantora
