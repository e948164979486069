#include "core/chip/decoder.h"

namespace cantora::chip {

namespace {

constexpr int kLongestCommand = 32;

bool TakesValue(int code) {
    return (code >= 20 && code <= 26) || (code >= 28 && code <= 30);
}

EventKind ValueKind(int code) {
    switch (code) {
        case 20:
            return EventKind::Volume;
        case 21:
            return EventKind::Speed;
        case 22:
            return EventKind::Pitch;
        case 23:
            return EventKind::Bend;
        case 24:
            return EventKind::PinControl;
        case 25:
            return EventKind::PinOutput;
        case 26:
            return EventKind::Repeat;
        case 28:
            return EventKind::Call;
        case 29:
            return EventKind::Play;
        default:
            return EventKind::Delay;
    }
}

// A command body such as "1J 440N": numbers, each followed by the letter that says what it is
// ("J" an address, "N" a value written to the address), or "R" for the reset.
void InterpretCommand(const QByteArray& body, std::vector<Event>* out) {
    const size_t before = out->size();
    long long number = 0;
    bool haveNumber = false;
    bool negative = false;
    int address = -1;
    for (const char c : body) {
        if (c >= '0' && c <= '9') {
            number = std::min<long long>(number * 10 + (c - '0'), 1000000000LL);
            haveNumber = true;
            continue;
        }
        if (c == '-') {
            negative = true;
            continue;
        }
        if (c == ' ' || c == '+') {
            continue;
        }
        const long long value = negative ? -number : number;
        const char letter = static_cast<char>(c & ~0x20);
        if (letter == 'J' && haveNumber) {
            address = static_cast<int>(value);
        } else if (letter == 'N' && haveNumber && address >= 0) {
            out->push_back({EventKind::RegisterWrite, address, static_cast<int>(value)});
        } else if (letter == 'R') {
            out->push_back({EventKind::ScpReset});
        }
        number = 0;
        haveNumber = false;
        negative = false;
    }
    if (out->size() == before) {
        out->push_back({EventKind::ScpOther});
    }
}

}  // namespace

void Decoder::clear() {
    pendingCode_ = -1;
    scp_ = Scp::Idle;
    body_.clear();
}

void Decoder::startCommand() {
    scp_ = Scp::Escape;
    body_.clear();
    otherChip_ = false;
}

void Decoder::feed(unsigned char byte, std::vector<Event>* out) {
    if (pendingCode_ >= 0) {
        out->push_back({ValueKind(pendingCode_), pendingCode_, byte});
        pendingCode_ = -1;
        // A send cut short right after a control code leaves the backslash of the next
        // command as its value: read it as a command too, so that the "\0RX" of "Shut Up" still
        // resets. Inside a phrase the following byte is not a digit, and this ends at once.
        if (byte == '\\') {
            startCommand();
        }
        return;
    }
    if (scp_ != Scp::Idle) {
        commandByte(byte, out);
        return;
    }
    const int code = byte;
    if (code <= 6) {
        out->push_back({EventKind::Pause, code, code});
    } else if (code == 7) {
        out->push_back({EventKind::Fast, code});
    } else if (code == 8) {
        out->push_back({EventKind::Slow, code});
    } else if (code == 14) {
        out->push_back({EventKind::Stress, code});
    } else if (code == 15) {
        out->push_back({EventKind::Relax, code});
    } else if (code == 16) {
        out->push_back({EventKind::Wait, code});
    } else if (code == 18) {
        out->push_back({EventKind::Soft, code});
    } else if (code == 31) {
        out->push_back({EventKind::Reset, code});
    } else if (TakesValue(code)) {
        pendingCode_ = code;
    } else if (code == '\\') {
        startCommand();
    } else if (code >= 128 && code <= 199) {
        out->push_back({EventKind::Allophone, code});
    } else if (code >= 200 && code <= 254) {
        out->push_back({EventKind::Effect, code});
    }
    // Anything else means nothing to the chip and is skipped.
}

void Decoder::commandByte(unsigned char byte, std::vector<Event>* out) {
    if (byte == '\\') {
        startCommand();
        return;
    }
    const bool printable = byte >= 32 && byte < 127;
    if (scp_ == Scp::Escape) {
        if (byte >= '0' && byte <= '9') {
            otherChip_ = byte != '0';
            scp_ = Scp::Body;
            return;
        }
        // Not a command after all: the byte counts as itself.
        scp_ = Scp::Idle;
        feed(byte, out);
        return;
    }
    if (!printable || body_.size() >= kLongestCommand) {
        // The command was cut short: drop it and read this byte afresh.
        scp_ = Scp::Idle;
        body_.clear();
        feed(byte, out);
        return;
    }
    if (byte == 'X' || byte == 'x') {
        scp_ = Scp::Idle;
        if (!otherChip_) {
            InterpretCommand(body_, out);
        }
        body_.clear();
        return;
    }
    body_.append(static_cast<char>(byte));
}

std::vector<Event> DecodeBytes(const QByteArray& bytes) {
    Decoder decoder;
    std::vector<Event> events;
    for (const char byte : bytes) {
        decoder.feed(static_cast<unsigned char>(byte), &events);
    }
    return events;
}

}  // namespace cantora::chip
