// The virtual chip's decoder on arbitrary bytes: every event is one the chip knows, feeding in
// clear() forgets everything half read, and after any garbage a complete "\0RX" resets.

#include <QByteArray>
#include <vector>

#include "core/chip/decoder.h"
#include "fuzz/fuzz_support.h"

namespace {

using cantora::chip::Event;
using cantora::chip::EventKind;

void CheckEvent(const Event& e) {
    auto in = [](int v, int low, int high) { return v >= low && v <= high; };
    switch (e.kind) {
        case EventKind::Allophone:
            FUZZ_CHECK(in(e.code, 128, 199));
            break;
        case EventKind::Pause:
            FUZZ_CHECK(in(e.code, 0, 6) && e.value == e.code);
            break;
        case EventKind::Effect:
            FUZZ_CHECK(in(e.code, 200, 254));
            break;
        case EventKind::Volume:
        case EventKind::Speed:
        case EventKind::Pitch:
        case EventKind::Bend:
        case EventKind::PinControl:
        case EventKind::PinOutput:
        case EventKind::Repeat:
        case EventKind::Call:
        case EventKind::Play:
        case EventKind::Delay:
            FUZZ_CHECK(e.code == static_cast<int>(e.kind) - static_cast<int>(EventKind::Volume) +
                                     20 + (e.kind >= EventKind::Call ? 1 : 0));
            FUZZ_CHECK(in(e.value, 0, 255));
            break;
        case EventKind::RegisterWrite:
            FUZZ_CHECK(e.code >= 0);
            break;
        default:
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    const std::vector<Event> events = cantora::chip::DecodeBytes(input);
    for (const Event& e : events) {
        CheckEvent(e);
    }
    // Forgetting a half-read code or command: what follows reads as from a fresh decoder.
    const qsizetype cut = size > 0 ? bytes[0] % (input.size() + 1) : 0;
    cantora::chip::Decoder decoder;
    std::vector<Event> pieces;
    for (qsizetype i = 0; i < cut; ++i) {
        decoder.feed(static_cast<unsigned char>(input[i]), &pieces);
    }
    decoder.clear();
    pieces.clear();
    for (qsizetype i = cut; i < input.size(); ++i) {
        decoder.feed(static_cast<unsigned char>(input[i]), &pieces);
    }
    FUZZ_CHECK(pieces == cantora::chip::DecodeBytes(input.sliced(cut)));
    // "Shut Up" after anything: the last event of the four bytes is the reset.
    const size_t before = pieces.size();
    for (unsigned char c : {'\\', '0', 'R', 'X'}) {
        decoder.feed(c, &pieces);
    }
    FUZZ_CHECK(pieces.size() > before && pieces.back().kind == EventKind::ScpReset);
    for (size_t i = before; i < pieces.size(); ++i) {
        CheckEvent(pieces[i]);
    }
    return 0;
}
