#include "core/chip/renderer.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/chip/speech.h"
#include "core/codes/palette_table.h"

namespace cantora::chip {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kNormalSpeed = 114.0;
// The speech library's own level is quiet; at the default volume it is doubled.
constexpr double kSpeechGain = 2.0;
constexpr int kDefaultVolume = 96;
// Effects are pure tones and noise, which sound louder than speech at the same peak.
constexpr double kEffectGain = 0.45;

int Clamp(int value, int low, int high) {
    return std::min(std::max(value, low), high);
}

}  // namespace

// --- the synthesiser ---

void SynthModel::write(int reg, int value) {
    if (reg < 0 || reg >= 16) {
        return;
    }
    int high = 255;
    if (reg >= 1 && reg <= 5) {
        high = 3999;
    } else if (reg == 7) {
        high = 127;
    } else if (reg >= 11) {
        high = 31;
    }
    regs_[static_cast<size_t>(reg)] = Clamp(value, 0, high);
}

void SynthModel::reset() {
    regs_.fill(0);
}

bool SynthModel::sounding() const {
    if (master_ > 1e-4f) {
        return true;
    }
    if (regs_[7] == 0) {
        return false;
    }
    for (int i = 1; i <= 5; ++i) {
        if (regs_[static_cast<size_t>(i)] > 0 && regs_[static_cast<size_t>(10 + i)] > 0) {
            return true;
        }
    }
    return false;
}

void SynthModel::addTo(float* mix, int frames) {
    const float glide = 1.0f - std::exp(-1.0f / (0.005f * kSampleRate));
    std::array<float, 6> target{};
    for (int i = 1; i <= 5; ++i) {
        const auto k = static_cast<size_t>(i);
        target[k] = regs_[k] > 0 ? 0.3f * static_cast<float>(regs_[10 + k]) / 31.0f : 0.0f;
    }
    const float masterTarget = static_cast<float>(regs_[7]) / 127.0f;
    if (masterTarget == 0 && master_ < 1e-5f) {
        master_ = 0;
        level_.fill(0);
        return;
    }
    const double envRate = regs_[0] / 16.0 / kSampleRate;
    const int wave = regs_[8] & 3;
    const bool toneEnveloped = (regs_[8] & 64) != 0;
    const bool noiseEnveloped = (regs_[8] & 128) != 0;
    const int distortion = regs_[6];
    const double drive = 1.0 + distortion / 16.0;
    const double driveNorm = std::tanh(drive);
    for (int n = 0; n < frames; ++n) {
        envPhase_ += envRate;
        envPhase_ -= std::floor(envPhase_);
        double env = envPhase_;
        if (wave == 1) {
            env = 0.5 - 0.5 * std::cos(kTwoPi * envPhase_);
        } else if (wave == 2) {
            env = 1.0 - std::fabs(2.0 * envPhase_ - 1.0);
        } else if (wave == 3) {
            env = envPhase_ < 0.5 ? 1.0 : 0.0;
        }
        master_ += glide * (masterTarget - master_);
        double tones = 0;
        for (size_t k = 1; k <= 3; ++k) {
            level_[k] += glide * (target[k] - level_[k]);
            const double f = regs_[k];
            phase_[k] += kTwoPi * f / kSampleRate;
            if (phase_[k] > kTwoPi) {
                phase_[k] -= kTwoPi;
            }
            double v = std::sin(phase_[k]);
            if (3 * f < kSampleRate / 2) {
                v += 0.2 * std::sin(3 * phase_[k]);
            }
            tones += level_[k] * v;
        }
        double noise = 0;
        for (size_t k = 4; k <= 5; ++k) {
            level_[k] += glide * (target[k] - level_[k]);
            phase_[k] += static_cast<double>(regs_[k]) / kSampleRate;
            if (phase_[k] >= 1.0) {
                phase_[k] -= std::floor(phase_[k]);
                noise_ = noise_ * 1664525u + 1013904223u;
                held_[k] = static_cast<float>(static_cast<int32_t>(noise_)) / 2147483648.0f;
            }
            noise += level_[k] * held_[k];
        }
        double x = (toneEnveloped ? tones * env : tones) + (noiseEnveloped ? noise * env : noise);
        if (distortion > 0) {
            x = std::tanh(drive * x) / driveNorm;
        }
        mix[n] += static_cast<float>(master_ * x);
    }
}

// --- the renderer ---

Renderer::Renderer() {
    // Builds the phones table here, on the thread that makes the chip, rather than on the audio
    // thread in the middle of a sound.
    palette::PhonesForCode(palette::kFirstAllophone);
}

void Renderer::resetAll() {
    queue_.clear();
    current_.clear();
    position_ = 0;
    repeatsLeft_ = 0;
    voice_ = Voice{};
    synth_.reset();
    next_ = NextSound{};
}

bool Renderer::push(const Event& event) {
    if (event.kind == EventKind::ScpReset) {
        resetAll();
        return true;
    }
    if (room() <= 0) {
        return false;
    }
    queue_.push_back(event);
    return true;
}

qsizetype Renderer::pushBytes(const QByteArray& bytes) {
    qsizetype taken = 0;
    // One byte completes at most one command, and a command holds at most a few dozen events.
    while (taken < bytes.size() && room() >= 64) {
        decoded_.clear();
        decoder_.feed(static_cast<unsigned char>(bytes[taken]), &decoded_);
        ++taken;
        for (const Event& event : decoded_) {
            push(event);
        }
    }
    return taken;
}

bool Renderer::speaking() const {
    return position_ < current_.size() || repeatsLeft_ > 0 || !queue_.empty();
}

void Renderer::silence(int ms) {
    current_.assign(static_cast<size_t>(ms) * kSampleRate / 1000, 0.0f);
    position_ = 0;
    repeatsLeft_ = 0;
}

void Renderer::speak(const std::vector<int>& codes) {
    std::string phones;
    for (const int code : codes) {
        if (!phones.empty()) {
            phones += ' ';
        }
        phones += palette::PhonesForCode(code);
    }
    const double speed = std::max(voice_.speed, 8);
    // A lone sound (a palette click) is held three times as long, or a vowel would be over in
    // 70 ms, too short to hear its pitch.
    const double lone = codes.size() == 1 ? 3.0 : 1.0;
    const double stretch = kNormalSpeed / speed / next_.rate * lone;
    const double f0 = std::clamp(voice_.pitch, 30, 500) * next_.pitch;
    // A lone sound is sung flat at the pitch; only a run of sounds gets an intonation.
    const double stddev = codes.size() > 1 ? f0 * voice_.bend * 0.02 : 0.0;
    current_ = SynthesisePhones(phones, f0, stddev, stretch);
    // Whatever the speech library makes of it, no sound outlasts its bound.
    const size_t longest = codes.size() * static_cast<size_t>(kLongestSoundMs) * kSampleRate / 1000;
    if (current_.size() > longest) {
        current_.resize(longest);
    }
    const double soft = next_.soft ? 0.5 : 1.0;
    const auto gain =
        static_cast<float>(kSpeechGain * voice_.volume / kDefaultVolume * next_.emphasis * soft);
    for (float& v : current_) {
        v *= gain;
    }
    position_ = 0;
    repeatsLeft_ = next_.repeat - 1;
}

void Renderer::playEffect(int code) {
    const std::vector<float> once = RenderEffect(code);
    const double soft = next_.soft ? 0.5 : 1.0;
    const auto gain =
        static_cast<float>(kEffectGain * voice_.volume / kDefaultVolume * next_.emphasis * soft);
    // FAST and SLOW play an effect faster or slower by skipping or repeating samples.
    const double step = next_.rate;
    current_.clear();
    current_.reserve(static_cast<size_t>(static_cast<double>(once.size()) / step) + 1);
    for (double i = 0; i < static_cast<double>(once.size()); i += step) {
        current_.push_back(once[static_cast<size_t>(i)] * gain);
    }
    position_ = 0;
    repeatsLeft_ = next_.repeat - 1;
}

bool Renderer::speakRun(bool holdOpenRun) {
    // A run of sounds is spoken in one piece so that they join up; a modifier applies to the
    // next sound alone.
    size_t length = 1;
    if (next_.plain()) {
        while (length < queue_.size() && length < static_cast<size_t>(kLongestRun) &&
               queue_[length].kind == EventKind::Allophone) {
            ++length;
        }
    }
    if (holdOpenRun && length == queue_.size() && length < static_cast<size_t>(kLongestRun)) {
        return false;
    }
    std::vector<int> codes;
    for (size_t i = 0; i < length; ++i) {
        codes.push_back(queue_.front().code);
        queue_.pop_front();
    }
    speak(codes);
    return true;
}

void Renderer::applyControl(const Event& event) {
    switch (event.kind) {
        case EventKind::Fast:
            next_.rate = 1.5;
            break;
        case EventKind::Slow:
            next_.rate = 0.5;
            break;
        case EventKind::Stress:
            next_.pitch = 1.12;
            next_.emphasis = 1.3;
            break;
        case EventKind::Relax:
            next_.pitch = 0.92;
            next_.emphasis = 0.75;
            break;
        case EventKind::Soft:
            next_.soft = true;
            break;
        case EventKind::Repeat:
            next_.repeat = Clamp(event.value, 1, 255);
            break;
        case EventKind::Reset:
            voice_ = Voice{};
            break;
        // A raw byte can carry more than the controls offer; keep to their range.
        case EventKind::Volume:
            voice_.volume = std::min(event.value, 127);
            break;
        case EventKind::Speed:
            voice_.speed = event.value;
            break;
        case EventKind::Pitch:
            voice_.pitch = event.value;
            break;
        case EventKind::Bend:
            voice_.bend = std::min(event.value, 15);
            break;
        case EventKind::RegisterWrite:
            synth_.write(event.code, event.value);
            break;
        default:
            // Output pins and stored phrases: nothing to hear.
            break;
    }
}

bool Renderer::startNext(bool holdOpenRun) {
    while (!queue_.empty()) {
        const Event event = queue_.front();
        switch (event.kind) {
            case EventKind::Allophone:
                if (!speakRun(holdOpenRun)) {
                    return false;
                }
                break;
            case EventKind::Effect:
                queue_.pop_front();
                playEffect(event.code);
                break;
            case EventKind::Pause:
                queue_.pop_front();
                silence(kPauseMs[Clamp(event.value, 0, 6)]);
                break;
            case EventKind::Delay:
                queue_.pop_front();
                silence(event.value * kDelayUnitMs);
                break;
            case EventKind::Wait:
                queue_.pop_front();
                silence(kWaitMs);
                break;
            default:
                queue_.pop_front();
                applyControl(event);
                continue;
        }
        if (event.kind == EventKind::Allophone || event.kind == EventKind::Effect) {
            next_ = NextSound{};
        }
        if (!current_.empty()) {
            return true;
        }
        repeatsLeft_ = 0;  // nothing to say again
    }
    return false;
}

int Renderer::render(int16_t* out, int frames, bool holdOpenRun) {
    std::vector<float> mix(static_cast<size_t>(frames), 0.0f);
    int done = 0;
    while (done < frames) {
        if (position_ >= current_.size() && repeatsLeft_ > 0) {
            --repeatsLeft_;
            position_ = 0;
        }
        if (position_ >= current_.size()) {
            current_.clear();
            position_ = 0;
            if (!startNext(holdOpenRun)) {
                break;
            }
        }
        const size_t take =
            std::min(current_.size() - position_, static_cast<size_t>(frames - done));
        std::copy_n(current_.begin() + static_cast<std::ptrdiff_t>(position_), take,
                    mix.begin() + done);
        position_ += take;
        done += static_cast<int>(take);
    }
    synth_.addTo(mix.data(), frames);
    for (int i = 0; i < frames; ++i) {
        const float v = std::clamp(mix[static_cast<size_t>(i)], -1.0f, 32767.0f / 32768.0f);
        out[i] = static_cast<int16_t>(std::lround(v * 32768.0f));
    }
    return done;
}

std::vector<int16_t> RenderBytes(const QByteArray& bytes, int tailMs) {
    Renderer renderer;
    qsizetype fed = renderer.pushBytes(bytes);
    std::vector<int16_t> pcm;
    constexpr int kBlock = kSampleRate / 100;
    constexpr size_t kLimit = static_cast<size_t>(kSampleRate) * 600;
    while ((renderer.speaking() || fed < bytes.size()) && pcm.size() < kLimit) {
        const size_t at = pcm.size();
        pcm.resize(at + kBlock);
        const int sounded = renderer.render(pcm.data() + at, kBlock);
        // The input buffer is read as it empties, as the chip reads its line.
        fed += renderer.pushBytes(bytes.sliced(fed));
        if (!renderer.synthSounding()) {
            // End exactly where the last sound (or pause) ended, and leave no gap where the
            // queue ran dry before the next bytes were read.
            pcm.resize(at + static_cast<size_t>(sounded));
        }
    }
    if (renderer.synthSounding() && tailMs > 0) {
        const size_t at = pcm.size();
        pcm.resize(at + static_cast<size_t>(tailMs) * kSampleRate / 1000);
        renderer.render(pcm.data() + at, static_cast<int>(pcm.size() - at));
    }
    return pcm;
}

}  // namespace cantora::chip
