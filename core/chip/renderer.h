#pragma once

// The virtual chip's sound: decoded events in, 16-bit mono PCM at kSampleRate out. Speech goes
// through the flite library (fed phones, never text); effects come from the effect table; the
// register writes drive a model of the chip's synthesiser, which sounds under everything else.
// Pure computation: no audio device, no event loop.

#include <QByteArray>
#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include "core/chip/decoder.h"
#include "core/chip/effects.h"

namespace cantora::chip {

// Shown in the About text: the speech library's notice.
extern const char* const kSpeechLibraryNotice;

// Silence lengths in milliseconds of the pause codes 0-6 (their palette tool tips).
constexpr int kPauseMs[7] = {0, 100, 300, 700, 10, 36, 60};
// DELAY: milliseconds of silence per unit of its value.
constexpr int kDelayUnitMs = 10;

// The voice controls and their values after a reset.
struct Voice {
    int volume = 96;  // 0 silent to 127; linear, 96 the normal level
    int speed = 114;  // 114 normal; durations scale by 114 / speed
    int pitch = 88;   // the fundamental in hertz
    int bend = 5;     // 0-15: a run of sounds wanders by bend x 2 % of the pitch
};

// The synthesiser, chosen by ear:
// - oscillators 1-3: a sine plus a fifth of its third harmonic (a soft reed), 0-3999 Hz;
// - oscillators 4-5: noise, a new random level `frequency` times a second (low = rumble,
//   high = hiss);
// - each oscillator's volume 0-31 is linear, a full-volume one giving 0.3 of full scale;
// - the envelope runs at register 0 / 16 Hz (88 gives 5.5 Hz) between 0 and 1, shaped by the
//   low two bits of register 8 (saw, sine, triangle, square); "Enveloped" (64) applies it to
//   the tones, "One Half Enveloped" (128) to the noise;
// - distortion 0-255 drives a soft clipper (0 clean, 255 about sixteen times overdriven);
// - master volume 0-127 scales the sum linearly.
// Changes glide over about 5 ms so that dragging a slider does not click.
class SynthModel {
  public:
    void write(int reg, int value);
    void reset();
    // Adds the synthesiser into `mix` (samples between -1 and 1).
    void addTo(float* mix, int frames);
    // Whether anything could sound now (an audible oscillator and a master volume).
    bool sounding() const;
    int registerValue(int reg) const { return reg >= 0 && reg < 16 ? regs_[reg] : 0; }

  private:
    std::array<int, 16> regs_{};
    std::array<double, 6> phase_{};
    std::array<float, 6> level_{};  // smoothed oscillator levels
    std::array<float, 6> held_{};   // noise oscillators' current random level
    float master_ = 0;
    double envPhase_ = 0;
    uint32_t noise_ = 0x9e3779b9u;
};

// What a modifier code sets for the next sound alone. Each is a property within the chip's
// range, not a factor: a second FAST or SLOW replaces the first, STRESS and RELAX replace each
// other, SOFT is on or off. So no row of modifiers can stretch, shrink or amplify a sound
// further than one of them does.
struct NextSound {
    double rate = 1.0;      // FAST 1.5, SLOW 0.5
    double pitch = 1.0;     // STRESS 1.12, RELAX 0.92
    double emphasis = 1.0;  // STRESS 1.3, RELAX 0.75 (gain)
    bool soft = false;      // SOFT: half volume
    int repeat = 1;         // REPEAT's value, 1-255
    bool plain() const {
        return rate == 1.0 && pitch == 1.0 && emphasis == 1.0 && !soft && repeat == 1;
    }
};

// The chip's input buffer: this many events (about one per code byte) wait to be played, more
// than the longest phrase the windows send (about half an hour of speech). When it is full the
// chip holds off its CTS line: `room()` runs out, `VirtualChip::full()` turns true and
// cantora-chip stops reading its terminal, so a sender blocks as on a chip with flow control.
// Bytes a sender writes anyway are dropped, as on the chip, except that "\0RX" still resets at
// once. The memory held stays the same however long the stream.
constexpr int kInputBufferEvents = 32768;
// A run of sounds is spoken in one piece so that they join up, but never more than this many:
// a run this long is spoken even while more of it is still arriving.
constexpr int kLongestRun = 32;
// No one sound (one code, any modifiers, any SPEED) lasts longer than this, once; REPEAT plays
// it again that many times without holding more of it.
constexpr int kLongestSoundMs = 8000;
// The longest any one event can sound, REPEAT included: the bound on the output per input code.
constexpr qint64 kLongestEventMs = 255LL * kLongestSoundMs;

class Renderer {
  public:
    Renderer();

    // Queues an event; the SCP reset acts at once (it is how "Shut Up" cuts a phrase short).
    // False, dropping it, when the input buffer is full.
    bool push(const Event& event);
    // Decodes and queues bytes while there is room; returns how many were taken.
    qsizetype pushBytes(const QByteArray& bytes);
    // Events that can still be queued before the buffer is full.
    int room() const { return kInputBufferEvents - static_cast<int>(queue_.size()); }

    // Renders the next `frames` samples. With `holdOpenRun` a run of sounds at the end of the
    // queue is not spoken yet, since more of it may still be arriving on the line (unless it is
    // kLongestRun long). Returns how many of the frames came from queued sounds and pauses (the
    // rest is synthesiser alone).
    int render(int16_t* out, int frames, bool holdOpenRun = false);

    // Something is queued or still playing (not counting the synthesiser).
    bool speaking() const;
    bool synthSounding() const { return synth_.sounding(); }
    const Voice& voice() const { return voice_; }
    const SynthModel& synth() const { return synth_; }
    // Samples held for the sound now playing (one copy of it, however often it repeats).
    size_t heldFrames() const { return current_.size(); }

  private:
    bool startNext(bool holdOpenRun);
    // Speaks the run of sounds at the front of the queue; false, leaving it queued, when it is
    // held open.
    bool speakRun(bool holdOpenRun);
    // A modifier for the next sound, a voice control or a register write: changes state only.
    void applyControl(const Event& event);
    void speak(const std::vector<int>& codes);
    void playEffect(int code);
    void silence(int ms);
    void resetAll();

    Decoder decoder_;
    std::vector<Event> decoded_;
    std::deque<Event> queue_;
    std::vector<float> current_;
    size_t position_ = 0;
    int repeatsLeft_ = 0;  // times current_ plays again after this one
    Voice voice_;
    SynthModel synth_;
    NextSound next_;
};

// Renders a byte string as the chip would play it, to the end of its last sound; a sounding
// synthesiser is heard for `tailMs` more. At most ten minutes.
std::vector<int16_t> RenderBytes(const QByteArray& bytes, int tailMs = 1000);

}  // namespace cantora::chip
