#pragma once

// Shared pieces of the fuzz targets: turning fuzz bytes into texts, and a check that stops the
// run with a message (a finding) when a property fails.

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

namespace cantora::fuzz {

// A text as a user or a file could hand it over: mostly 8-bit (every byte one character), now
// and then raw UTF-16 (characters above 255 and broken surrogate pairs included).
inline QString ConsumeText(FuzzedDataProvider& data, size_t maxLength = 4096) {
    const bool wide = data.ConsumeIntegralInRange<int>(0, 7) == 0;
    const std::string bytes = data.ConsumeRandomLengthString(maxLength * (wide ? 2 : 1));
    if (wide) {
        return QString(reinterpret_cast<const QChar*>(bytes.data()),
                       static_cast<qsizetype>(bytes.size() / 2));
    }
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline QString ConsumeRestAsText(FuzzedDataProvider& data) {
    const std::string bytes = data.ConsumeRemainingBytesAsString();
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Shows a text in a finding's message.
inline std::string Show(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace cantora::fuzz
