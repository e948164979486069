// The virtual chip's renderer on arbitrary bytes: the sound it makes is never longer than a
// bound worked out from the decoded events alone (each sound at most its longest, times its
// REPEAT), and the samples it holds for one sound never exceed the longest sound.

#include <QByteArray>
#include <algorithm>
#include <vector>

#include "core/chip/decoder.h"
#include "core/chip/renderer.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace cantora::chip;

constexpr qint64 kFramesPerMs = kSampleRate / 1000;

// The most the events can sound, in frames: what no renderer may exceed.
qint64 LengthBound(const std::vector<Event>& events) {
    qint64 bound = 0;
    int repeat = 1;
    for (const Event& e : events) {
        switch (e.kind) {
            case EventKind::Allophone:
            case EventKind::Effect:
                bound += repeat * static_cast<qint64>(kLongestSoundMs) * kFramesPerMs;
                repeat = 1;
                break;
            case EventKind::Repeat:
                repeat = std::clamp(e.value, 1, 255);
                break;
            case EventKind::Pause:
                bound += kPauseMs[std::clamp(e.value, 0, 6)] * kFramesPerMs;
                break;
            case EventKind::Delay:
                bound += static_cast<qint64>(e.value) * kDelayUnitMs * kFramesPerMs;
                break;
            case EventKind::Wait:
                bound += kWaitMs * kFramesPerMs;
                break;
            case EventKind::ScpReset:
                repeat = 1;
                break;
            default:
                break;
        }
    }
    return bound;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    // REPEAT 255 of an eight-second sound is half an hour: keep inputs short.
    if (size > 512) {
        return 0;
    }
    const QByteArray input(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    const qint64 bound = LengthBound(DecodeBytes(input));
    // Long REPEATs of long sounds are legitimate but take too long to render on every input;
    // what a fault makes (a row of SLOWs before one sound) overshoots a short bound at once.
    if (bound > 300LL * kSampleRate) {
        return 0;
    }

    Renderer renderer;
    FUZZ_CHECK(renderer.pushBytes(input) == input.size());
    constexpr int kBlock = kSampleRate / 10;
    std::vector<int16_t> block(kBlock);
    const size_t longestHeld = static_cast<size_t>(kLongestRun) * kLongestSoundMs * kFramesPerMs;
    qint64 made = 0;
    while (renderer.speaking()) {
        made += renderer.render(block.data(), kBlock);
        FUZZ_CHECK(made <= bound);
        FUZZ_CHECK(renderer.heldFrames() <= longestHeld);
    }
    return 0;
}
