#include "core/chip/speech.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

extern "C" {
#include <flite/cst_synth.h>
#include <flite/flite.h>
cst_voice* register_cmu_us_kal16(const char* voxdir);
}

#include "core/chip/renderer.h"  // kSpeechLibraryNotice, kSampleRate

namespace cantora::chip {

const char* const kSpeechLibraryNotice =
    "Speech by Flite, the speech synthesis library of the Language Technologies Institute, "
    "Carnegie Mellon University.\n"
    "Copyright (c) 1999-2001 by Language Technologies Institute, Carnegie Mellon University. "
    "All Rights Reserved.\n"
    "Permission is hereby granted, free of charge, to use and distribute this software and its "
    "documentation without restriction, including without limitation the rights to use, copy, "
    "modify, merge, publish, distribute, sublicense, and/or sell copies of this work, and to "
    "permit persons to whom this work is furnished to do so, subject to the following "
    "conditions: 1. The code must retain the above copyright notice, this list of conditions "
    "and the following disclaimer. 2. Any modifications must be clearly marked as such. "
    "3. Original authors' names are not deleted. 4. The authors' names are not used to endorse "
    "or promote products derived from this software without specific prior written "
    "permission.\n"
    "CARNEGIE MELLON UNIVERSITY AND THE CONTRIBUTORS TO THIS WORK DISCLAIM ALL WARRANTIES WITH "
    "REGARD TO THIS SOFTWARE, INCLUDING ALL IMPLIED WARRANTIES OF MERCHANTABILITY AND FITNESS, "
    "IN NO EVENT SHALL CARNEGIE MELLON UNIVERSITY NOR THE CONTRIBUTORS BE LIABLE FOR ANY "
    "SPECIAL, INDIRECT OR CONSEQUENTIAL DAMAGES OR ANY DAMAGES WHATSOEVER RESULTING FROM LOSS OF "
    "USE, DATA OR PROFITS, WHETHER IN AN ACTION OF CONTRACT, NEGLIGENCE OR OTHER TORTIOUS "
    "ACTION, ARISING OUT OF OR IN CONNECTION WITH THE USE OR PERFORMANCE OF THIS SOFTWARE.";

namespace {

// The speech library keeps its voice settings in the voice itself: one caller at a time.
std::mutex& SpeechMutex() {
    static std::mutex mutex;
    return mutex;
}

cst_utterance* NaturalDurations(cst_utterance* u);

cst_voice* SpeechVoice() {
    static cst_voice* voice = [] {
        flite_init();
        cst_voice* v = register_cmu_us_kal16(nullptr);
        if (v != nullptr) {
            feat_set(v->features, "duration_model_func", uttfunc_val(&NaturalDurations));
        }
        return v;
    }();
    return voice;
}

// Drops the silence the speech library puts before and after the phones.
void TrimSilence(std::vector<float>& s) {
    float peak = 0;
    for (const float v : s) {
        peak = std::max(peak, std::fabs(v));
    }
    const float threshold = std::max(peak * 0.02f, 0.002f);
    size_t first = 0;
    while (first < s.size() && std::fabs(s[first]) < threshold) {
        ++first;
    }
    size_t last = s.size();
    while (last > first && std::fabs(s[last - 1]) < threshold) {
        --last;
    }
    const size_t margin = kSampleRate / 200;
    first = first > margin ? first - margin : 0;
    last = std::min(s.size(), last + margin);
    s = std::vector<float>(s.begin() + static_cast<std::ptrdiff_t>(first),
                           s.begin() + static_cast<std::ptrdiff_t>(last));
}

bool IsVowel(const std::string& phone) {
    static const char* const vowels[] = {"iy", "ih", "ey", "eh", "ae", "ah", "aa", "ao",
                                         "ow", "uh", "uw", "er", "ay", "aw", "oy"};
    for (const char* v : vowels) {
        if (phone == v) {
            return true;
        }
    }
    return false;
}

// The voice has no recording of some joins that allophones strung freely can ask for; each is
// replaced by the nearest sound it has: "ng" after anything but a vowel is "n"; "hh" before
// anything but a vowel (a breath with nothing to breathe into) is dropped, or breathed into
// "ah" when it is the only sound; "w" and "y" before
// anything but a vowel are the vowels they glide from, "uw" and "iy".
std::string RepairJoins(const std::string& phones) {
    std::vector<std::string> list;
    size_t at = 0;
    while (at < phones.size()) {
        const size_t end = std::min(phones.find(' ', at), phones.size());
        if (end > at) {
            list.push_back(phones.substr(at, end - at));
        }
        at = end + 1;
    }
    std::vector<std::string> out;
    for (size_t i = 0; i < list.size(); ++i) {
        std::string phone = list[i];
        const bool vowelNext = i + 1 < list.size() && IsVowel(list[i + 1]);
        if (phone == "ng" && (out.empty() || !IsVowel(out.back()) || out.back() == "er")) {
            phone = "n";
        } else if (phone == "hh" && !vowelNext) {
            if (list.size() == 1) {
                out.push_back("hh");  // alone (a palette click): breathed into a short "ah"
                out.push_back("ah");
            }
            continue;
        } else if (phone == "w" && !vowelNext) {
            phone = "uw";
        } else if (phone == "y" && !vowelNext) {
            phone = "iy";
        }
        out.push_back(phone);
    }
    std::string joined;
    for (const std::string& phone : out) {
        joined += (joined.empty() ? "" : " ") + phone;
    }
    return joined;
}

// The speech library's statistics of one phone's length, or null.
const dur_stat* PhoneStats(cst_utterance* u, const char* phone) {
    const cst_val* v = feat_val(u->features, "dur_stats");
    if (v == nullptr) {
        return nullptr;
    }
    const auto* const* stats = reinterpret_cast<const dur_stat* const*>(val_dur_stats(v));
    for (int i = 0; stats[i] != nullptr; ++i) {
        if (std::strcmp(stats[i]->phone, phone) == 0) {
            return stats[i];
        }
    }
    return nullptr;
}

// Phones alone carry no stress, and the library's duration model gives them its unstressed
// lengths: words come out far too short (a vowel about half its length in the library's own
// reading). A chip gives every sound its own natural length at the normal speed, so each phone
// lasts at least its mean length in the library's statistics plus some standard deviations (as
// a stressed sound would), all scaled by the speed. Chosen by measurement with an outside
// recogniser: shorter was less clear, and so were longer vowels or a lengthened end of a run.
constexpr double kVowelDeviations = 1.0;
constexpr double kConsonantDeviations = 0.6;

cst_utterance* NaturalDurations(cst_utterance* u) {
    cart_duration(u);
    const double stretch = get_param_float(u->features, "duration_stretch", 1.0);
    float before = 0;
    float end = 0;
    for (cst_item* s = relation_head(utt_relation(u, "Segment")); s != nullptr; s = item_next(s)) {
        const float was = item_feat_float(s, "end");
        double length = was - before;
        before = was;
        const char* phone = item_name(s);
        const dur_stat* stats = PhoneStats(u, phone);
        if (stats != nullptr && std::strcmp(phone, "pau") != 0) {
            const double z = IsVowel(phone) ? kVowelDeviations : kConsonantDeviations;
            length = std::max(length, stretch * (stats->mean + z * stats->stddev));
        }
        end += static_cast<float>(length);
        item_set_float(s, "end", end);
    }
    return u;
}

}  // namespace

std::vector<float> SynthesisePhones(const std::string& phones, double f0, double stddev,
                                    double stretch) {
    std::lock_guard<std::mutex> lock(SpeechMutex());
    cst_voice* voice = SpeechVoice();
    std::vector<float> out;
    if (voice == nullptr) {
        return out;
    }
    feat_set_float(voice->features, "int_f0_target_mean", static_cast<float>(f0));
    feat_set_float(voice->features, "int_f0_target_stddev", static_cast<float>(stddev));
    feat_set_float(voice->features, "duration_stretch", static_cast<float>(stretch));
    const std::string repaired = RepairJoins(phones);
    if (repaired.empty()) {
        return out;
    }
    const std::string text = "pau " + repaired + " pau";
    cst_utterance* utterance = flite_synth_phones(text.c_str(), voice);
    if (utterance == nullptr) {
        return out;
    }
    const cst_wave* wave = utt_wave(utterance);
    if (wave != nullptr && wave->num_samples > 0) {
        out.resize(static_cast<size_t>(wave->num_samples));
        for (int i = 0; i < wave->num_samples; ++i) {
            out[static_cast<size_t>(i)] = static_cast<float>(wave->samples[i]) / 32768.0f;
        }
    }
    delete_utterance(utterance);
    TrimSilence(out);
    return out;
}

}  // namespace cantora::chip
