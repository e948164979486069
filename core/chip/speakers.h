#pragma once

// The virtual chip through the computer's speakers, by the PulseAudio client library (which
// PipeWire desktops serve too). The output follows the sound server: without one it stays
// silent, says why, and tries again every kReconnectMs, so sound comes back by itself once a
// server appears or has restarted. Nothing blocks the caller for long.

#include <memory>

#include "core/chip/virtual_chip.h"

namespace cantora::chip {

// About 100 ms of buffer: a slider change is heard within that.
constexpr int kSpeakerBufferMs = 100;
// How often a lost or missing sound server is looked for again.
constexpr int kReconnectMs = 1000;

std::unique_ptr<PcmOutput> MakeSpeakerOutput();

}  // namespace cantora::chip
