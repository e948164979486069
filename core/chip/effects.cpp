#include "core/chip/effects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace cantora::chip {

namespace {

constexpr double kTwoPi = 6.283185307179586;
using S = EffectShape;

// Designed by ear: each row a different character, none longer than about a second, none
// louder than the speech.
const std::vector<EffectRecipe> kEffects = {
    // Robot: buzzing square waves.
    {"R0", "low steady drone", S::Buzz, 110, 0, 500, 0},
    {"R1", "stuttering drone", S::Buzz, 110, 0, 500, 12},
    {"R2", "ring-modulated voice", S::Buzz, 150, 55, 500, 0},
    {"R3", "metallic chatter", S::Buzz, 220, 90, 450, 8},
    {"R4", "high servo whine", S::Sweep, 400, 900, 400, 1},
    {"R5", "servo up and down", S::Wow, 300, 700, 600, 0},
    {"R6", "computing bleeps", S::Warble, 660, 990, 500, 16},
    {"R7", "deep growl", S::Buzz, 70, 23, 600, 4},
    {"R8", "power down", S::Sweep, 600, 60, 700, 1},
    {"R9", "power up", S::Sweep, 60, 600, 700, 1},
    // Alarms: warbles and repeated tones.
    {"A0", "two-tone siren", S::Warble, 650, 900, 900, 2},
    {"A1", "fast warble", S::Warble, 800, 1000, 800, 12},
    {"A2", "rising whoop", S::Sweep, 300, 1200, 800, 2},
    {"A3", "falling whoop", S::Sweep, 1200, 400, 800, 2},
    {"A4", "klaxon", S::Buzz, 180, 0, 700, 3},
    {"A5", "alarm clock", S::Pulses, 2000, 0, 800, 16},
    {"A6", "slow beeper", S::Pulses, 1000, 0, 900, 3},
    {"A7", "wailing siren", S::Wow, 500, 1100, 1000, 0},
    {"A8", "red alert", S::Sweep, 350, 800, 900, 3},
    {"A9", "buzzer", S::Buzz, 120, 0, 600, 0},
    // Beeps: short pure tones.
    {"B0", "short high beep", S::Pulses, 1000, 0, 120, 0},
    {"B1", "short low beep", S::Pulses, 500, 0, 120, 0},
    {"B2", "long beep", S::Pulses, 800, 0, 400, 0},
    {"B3", "double beep", S::Pulses, 1200, 0, 250, 8},
    {"B4", "triple beep", S::Pulses, 1500, 0, 375, 8},
    {"B5", "up blip", S::Sweep, 600, 1400, 120, 1},
    {"B6", "down blip", S::Sweep, 1400, 600, 120, 1},
    {"B7", "confirm (two notes)", S::Warble, 880, 1320, 240, 8.34f},
    {"B8", "error (low pair)", S::Warble, 400, 300, 300, 6.67f},
    {"B9", "tick", S::Noise, 4, 4000, 40, 0},
    // Bio sounds: chirps and breath.
    {"C0", "bird tweet", S::Chirp, 2500, 4000, 500, 8},
    {"C1", "bird trill", S::Chirp, 3000, 3600, 600, 20},
    {"C2", "cricket", S::Chirp, 4200, 4400, 700, 30},
    {"C3", "frog croak", S::Buzz, 90, 30, 500, 6},
    {"C4", "heartbeat", S::Pulses, 60, 0, 900, 2.5f},
    {"C5", "breath", S::Noise, 250, 1200, 600, 0},
    {"C6", "cuckoo call", S::Warble, 680, 560, 500, 4},
    {"C7", "owl hoot", S::Wow, 350, 420, 700, 5},
    {"C8", "duck quack", S::Buzz, 300, 150, 350, 0},
    {"C9", "cat meow", S::Wow, 500, 900, 700, 6},
    // Touch tones: the telephone's row and column pairs; D10 "*", D11 "#".
    {"D0", "touch tone 0", S::Pair, 941, 1336, 200, 0},
    {"D1", "touch tone 1", S::Pair, 697, 1209, 200, 0},
    {"D2", "touch tone 2", S::Pair, 697, 1336, 200, 0},
    {"D3", "touch tone 3", S::Pair, 697, 1477, 200, 0},
    {"D4", "touch tone 4", S::Pair, 770, 1209, 200, 0},
    {"D5", "touch tone 5", S::Pair, 770, 1336, 200, 0},
    {"D6", "touch tone 6", S::Pair, 770, 1477, 200, 0},
    {"D7", "touch tone 7", S::Pair, 852, 1209, 200, 0},
    {"D8", "touch tone 8", S::Pair, 852, 1336, 200, 0},
    {"D9", "touch tone 9", S::Pair, 852, 1477, 200, 0},
    {"D10", "touch tone *", S::Pair, 941, 1209, 200, 0},
    {"D11", "touch tone #", S::Pair, 941, 1477, 200, 0},
    // The three named ones.
    {"M0", "Sonar Ping", S::Ping, 1500, 180, 900, 300},
    {"M1", "Pistol Shot", S::Noise, 60, 2500, 500, 0},
    {"M2", "WOW effect", S::Wow, 200, 800, 800, 7},
};

// A cheap, repeatable noise source, so a render is the same every time.
class Noise {
  public:
    float next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(static_cast<int32_t>(state_)) / 2147483648.0f;
    }

  private:
    uint32_t state_ = 12345u;
};

float Square(double phase) {
    // Band-limited: odd harmonics below half the sample rate only, so high notes do not alias.
    return std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 5 +
           std::sin(7 * phase) / 7;
}

void Fade(std::vector<float>& s) {
    const size_t fade = std::min<size_t>(s.size() / 2, kSampleRate / 200);
    for (size_t i = 0; i < fade; ++i) {
        const float g = static_cast<float>(i) / static_cast<float>(fade);
        s[i] *= g;
        s[s.size() - 1 - i] *= g;
    }
}

// What an effect carries from one sample to the next.
struct EffectState {
    double phase = 0;
    double phase2 = 0;
    Noise noise;
    float low = 0;  // the low-passed noise
};

// The sample of recipe `r` at `t` seconds from its start.
double EffectSample(const EffectRecipe& r, double t, EffectState& state) {
    const double dt = 1.0 / kSampleRate;
    const double span = static_cast<double>(r.ms) / 1000.0;
    double v = 0;
    switch (r.shape) {
        case S::Pair:
            v = 0.45 * std::sin(kTwoPi * r.f1 * t) + 0.45 * std::sin(kTwoPi * r.f2 * t);
            break;
        case S::Pulses: {
            state.phase += kTwoPi * r.f1 * dt;
            const bool on = r.rate <= 0 || std::fmod(t * r.rate, 1.0) < 0.5;
            v = on ? 0.6 * std::sin(state.phase) : 0;
            break;
        }
        case S::Sweep: {
            const double reps = std::max(1.0f, r.rate);
            const double x = std::fmod(t / span * reps, 1.0);
            state.phase += kTwoPi * r.f1 * std::pow(r.f2 / r.f1, x) * dt;
            v = 0.6 * std::sin(state.phase);
            break;
        }
        case S::Warble: {
            const bool first = std::fmod(t * r.rate, 1.0) < 0.5;
            state.phase += kTwoPi * (first ? r.f1 : r.f2) * dt;
            v = 0.6 * std::sin(state.phase);
            break;
        }
        case S::Buzz: {
            state.phase += kTwoPi * r.f1 * dt;
            v = 0.4 * Square(state.phase);
            if (r.f2 > 0) {
                v *= std::sin(kTwoPi * r.f2 * t);
            }
            if (r.rate > 0 && std::fmod(t * r.rate, 1.0) >= 0.6) {
                v = 0;
            }
            break;
        }
        case S::Noise: {
            const float a = static_cast<float>(1.0 - std::exp(-kTwoPi * r.f2 * dt));
            state.low += a * (state.noise.next() - state.low);
            v = state.low * std::exp(-t * 1000.0 / r.f1);
            break;
        }
        case S::Chirp: {
            const double x = std::fmod(t * r.rate, 1.0) / 0.6;
            if (x < 1.0) {
                state.phase += kTwoPi * (r.f1 + (r.f2 - r.f1) * x) * dt;
                v = 0.5 * std::sin(state.phase) * std::sin(3.14159265 * x);
            }
            break;
        }
        case S::Ping: {
            const double echo = t - r.rate / 1000.0;
            v = 0.7 * std::sin(kTwoPi * r.f1 * t) * std::exp(-t * 1000.0 / r.f2);
            if (echo > 0) {
                v += 0.25 * std::sin(kTwoPi * r.f1 * echo) * std::exp(-echo * 1000.0 / r.f2);
            }
            break;
        }
        case S::Wow: {
            const double x = t / span;
            const double glide = x < 0.5 ? x * 2 : (1 - x) * 2;
            const double vibrato = 1 + 0.03 * std::sin(kTwoPi * r.rate * t);
            state.phase += kTwoPi * (r.f1 + (r.f2 - r.f1) * glide) * vibrato * dt;
            state.phase2 += kTwoPi * 2 * (r.f1 + (r.f2 - r.f1) * glide) * vibrato * dt;
            v = 0.45 * std::sin(state.phase) + 0.15 * std::sin(state.phase2);
            break;
        }
    }
    return v;
}

// Low-passing takes a varying share of the power away: bring every burst to one peak.
void LevelNoise(std::vector<float>& s) {
    float peak = 0;
    for (const float v : s) {
        peak = std::max(peak, std::fabs(v));
    }
    if (peak > 0) {
        for (float& v : s) {
            v *= 0.9f / peak;
        }
    }
}

}  // namespace

const std::vector<EffectRecipe>& EffectTable() {
    return kEffects;
}

std::vector<float> RenderEffect(int code) {
    if (code < 200 || code >= 200 + static_cast<int>(kEffects.size())) {
        return {};
    }
    const EffectRecipe& r = kEffects[static_cast<size_t>(code - 200)];
    const size_t n = static_cast<size_t>(r.ms) * kSampleRate / 1000;
    std::vector<float> s(n);
    const double dt = 1.0 / kSampleRate;
    EffectState state;
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) * dt;
        s[i] = static_cast<float>(EffectSample(r, t, state));
    }
    Fade(s);
    if (r.shape == S::Noise) {
        LevelNoise(s);
    }
    return s;
}

}  // namespace cantora::chip
