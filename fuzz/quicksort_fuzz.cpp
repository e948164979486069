// QuickSort on fuzzed lists (few distinct lines, so many equal ones) and fuzzed ranges, also
// ranges reaching outside the list: the clamped range ends up sorted and a permutation of what
// it held, and nothing outside it moves.

#include <QString>
#include <QStringList>
#include <algorithm>

#include "core/codes/translator.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    const bool wholeList = data.ConsumeBool();
    const int low = data.ConsumeIntegralInRange<int>(-3, 3000);
    const int high = data.ConsumeIntegralInRange<int>(-3, 3000);
    QStringList lines;
    while (data.remaining_bytes() > 0 && lines.size() < 3000) {
        lines.append(cantora::fuzz::ConsumeText(data, 6));
    }
    const qint32 n = static_cast<qint32>(lines.size());
    const qint32 first = wholeList ? 0 : low;
    const qint32 last = wholeList ? n - 1 : high;

    QStringList expected = lines;
    const qint32 from = std::max(first, 0);
    const qint32 to = std::min(last, n - 1);
    if (from < to) {
        std::sort(expected.begin() + from, expected.begin() + to + 1);
    }
    QStringList sorted = lines;
    cantora::QuickSort(sorted, first, last);
    // Sorted, holding the same lines, untouched outside the range: one comparison says all.
    FUZZ_CHECK(sorted == expected);
    return 0;
}
