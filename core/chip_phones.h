#pragma once

// What each allophone sounds like on the virtual chip: the speech phones it is spoken with,
// chosen to match the example words of its palette tool tip. Keyed by palette caption.

#include <QString>

namespace cantora::chip {

struct AllophonePhones {
    const char* caption;  // palette caption, the mnemonic without its backslash
    const char* phones;   // space-separated speech phones
};

// The 72 allophones in code order, 128 first.
const AllophonePhones* AllophonePhoneTable();
constexpr int kAllophoneCount = 72;

// The phones for an allophone code (128-199); empty for any other code.
const char* PhonesForCode(int code);

}  // namespace cantora::chip
