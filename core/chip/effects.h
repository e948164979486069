#pragma once

// The sound effects of the virtual chip (codes 200-254): touch tones as the telephone's tone
// pairs, the others short synthesised sounds, all described in one table.

#include <vector>

namespace cantora::chip {

// Samples per second of everything the virtual chip renders (mono, 16-bit).
constexpr int kSampleRate = 16000;

enum class EffectShape {
    Pair,    // two sines at f1 and f2 together (touch tones)
    Pulses,  // a sine at f1 switched on and off `rate` times a second
    Sweep,   // a glide from f1 to f2, played `rate` times
    Warble,  // a sine jumping between f1 and f2 `rate` times a second (sirens)
    Buzz,    // a square wave at f1, ring-modulated at f2, chopped `rate` times a second
    Noise,   // a noise burst dying away with time constant f1 ms, low-passed at f2 Hz
    Chirp,   // `rate` short glides a second from f1 to f2, each softly windowed (birds, crickets)
    Ping,    // a sine at f1 dying away with time constant f2 ms, echoed after `rate` ms
    Wow,     // a glide from f1 up to f2 and back, with vibrato at `rate` Hz
};

struct EffectRecipe {
    const char* caption;  // palette caption
    const char* sound;    // what it is meant to sound like
    EffectShape shape;
    float f1;
    float f2;
    int ms;  // length
    float rate;
};

// The 55 effects in code order, 200 first.
const std::vector<EffectRecipe>& EffectTable();

// The samples of an effect code (200-254), between -1 and 1; empty for any other code.
std::vector<float> RenderEffect(int code);

}  // namespace cantora::chip
