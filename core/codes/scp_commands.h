#pragma once

// Every SCP command text the program sends, spelled here once. A register write is "\0", the
// register in decimal, "J", the value with a blank (or "-") in its sign position, "N", "X":
// oscillator 1 at 440 is "\01J 440NX".

#include <QByteArray>
#include <QtGlobal>

namespace cantora {

// Registers the synthesiser panel writes.
namespace synth_register {
constexpr int kEnvelopeFrequency = 0;  // 1 to 5: oscillator frequencies
constexpr int kLevelBase = 6;          // 6 distortion, 7 master volume
constexpr int kEnvelopeControl = 8;
constexpr int kVolumeBase = 10;  // 11 to 15: oscillator volumes
}  // namespace synth_register

// One register write, exactly as it goes on the line.
QByteArray RegisterWriteText(int registerNumber, qint64 value);

// The chip's reset command, "\0RX".
QByteArray ResetCommandText();

// What a "Shut Up" of the phrase editor sends: the reset, then the codes 31 (reset) and 0.
QByteArray ShutUpCommandText();

// The main window's port test: the code 31, then "\0VX".
QByteArray TestCommandText();

// The envelope control byte: the wave index (0 Saw, 1 Sine, 2 Triangle, 3 Square; anything else
// counts as 0) in bits 0-1, 128 for "One Half Enveloped", 64 for "Enveloped".
quint8 EnvelopeControlByte(int waveIndex, bool halfEnveloped, bool enveloped);

}  // namespace cantora
