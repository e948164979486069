#pragma once

// The virtual chip through the computer's speakers (Qt Multimedia). On a machine without an
// audio device it stays silent: nothing blocks, nothing is shown.

#include <memory>

#include "core/chip/virtual_chip.h"

namespace cantora::chip {

// About 100 ms of buffer: a slider change is heard within that.
constexpr int kSpeakerBufferMs = 100;

std::unique_ptr<PcmOutput> MakeSpeakerOutput();

// Whether the system has an audio output at all.
bool HasAudioOutput();

}  // namespace cantora::chip
