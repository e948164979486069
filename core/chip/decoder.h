#pragma once

// Reads the byte stream exactly as the chip's serial input receives it, one byte at a time, and
// turns it into events for the virtual chip. It never fails: bytes without a meaning are
// skipped, and a stream cut short anywhere (a send stopped by "Shut Up") or plain garbage picks
// up again at the next complete code or command.

#include <QByteArray>
#include <vector>

namespace cantora::chip {

enum class EventKind {
    Allophone,      // code 128-199
    Pause,          // code 0-6; value = the pause number
    Fast,           // 7: the next sound at one and a half speed
    Slow,           // 8: the next sound at half speed
    Stress,         // 14
    Relax,          // 15
    Wait,           // 16: a fixed pause, see kWaitMs
    Soft,           // 18: the next sound at half volume
    Reset,          // 31: voice controls back to their defaults
    Volume,         // 20 + value
    Speed,          // 21 + value
    Pitch,          // 22 + value (the fundamental in hertz)
    Bend,           // 23 + value
    PinControl,     // 24 + value: output pin, cannot be heard
    PinOutput,      // 25 + value: output pin, cannot be heard
    Repeat,         // 26 + value
    Call,           // 28 + value: stored phrase, the virtual chip stores none
    Play,           // 29 + value: stored phrase, the virtual chip stores none
    Delay,          // 30 + value: silence of 10 ms times the value
    Effect,         // 200-254
    ScpReset,       // "\0RX": silence everything at once
    RegisterWrite,  // "\0<register>J <value>NX"; code = register
    ScpOther,       // any other complete SCP command, consumed and ignored
};

struct Event {
    EventKind kind;
    int code = 0;   // the byte (allophones, effects, control codes) or the register number
    int value = 0;  // the value byte, the pause number or the register value
    bool operator==(const Event&) const = default;
};

// WAIT stops the chip until something restarts it; the virtual chip has no restart line, so it
// holds the sound for this long and goes on.
constexpr int kWaitMs = 1000;

class Decoder {
  public:
    // Takes one byte; appends the events it completes to `out`.
    void feed(unsigned char byte, std::vector<Event>* out);
    // Forgets a half-read code or command.
    void clear();

  private:
    void startCommand();
    void commandByte(unsigned char byte, std::vector<Event>* out);

    int pendingCode_ = -1;  // a control code waiting for its value byte
    enum class Scp { Idle, Escape, Body } scp_ = Scp::Idle;
    bool otherChip_ = false;  // a command for another chip number: read, then ignored
    QByteArray body_;
};

std::vector<Event> DecodeBytes(const QByteArray& bytes);

}  // namespace cantora::chip
