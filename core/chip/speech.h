#pragma once

// The renderer's speech: phones in, samples out, through the flite library. Internal to the
// virtual chip.

#include <string>
#include <vector>

namespace cantora::chip {

// Speaks space-separated phones at a mean pitch of `f0` Hz wandering by `stddev` Hz, with every
// duration scaled by `stretch`. Samples between -1 and 1 at kSampleRate, the library's silence
// before and after trimmed; empty if nothing can be spoken.
std::vector<float> SynthesisePhones(const std::string& phones, double f0, double stddev,
                                    double stretch);

}  // namespace cantora::chip
