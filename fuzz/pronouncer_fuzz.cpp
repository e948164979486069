// Pronunciation suggestions for fuzzed words: never a failure, always canonical code text of
// allophones, and nothing past the first 256 characters counts.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "core/codes/code_table.h"
#include "core/codes/code_text.h"
#include "core/pronounce/pronouncer.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    cantora::LoadCodeNames();
    cantora::WarmUpPronouncer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    using namespace cantora;
    FuzzedDataProvider data(bytes, size);
    const QString word = fuzz::ConsumeText(data, 400);
    const QString said = SuggestCodeText(word);
    if (said.isEmpty()) {
        return 0;
    }
    // Tokens separated by one blank, none before the first: the canonical form less its blank.
    FUZZ_CHECK(NormalizeCodeText(said) == u' ' + said);
    const QStringList tokens = said.split(u' ');
    const QByteArray codes = CodeTextToBytes(said);
    FUZZ_CHECK(codes.size() == tokens.size());
    for (char code : codes) {
        const int c = static_cast<unsigned char>(code);
        FUZZ_CHECK(c >= 128 && c <= 199);  // allophones only
    }
    if (word.size() > 256) {
        FUZZ_CHECK(SuggestCodeText(word.left(256)) == said);
    }
    return 0;
}
