// Translation through a small fuzzed dictionary: it always ends, gives only code tokens and
// pauses (so translating the result again changes no byte), and a word whose entry holds only
// codes says exactly what its entry says, even though the dictionary file changes between runs.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include "core/codes/code_table.h"
#include "core/codes/code_text.h"
#include "core/files/profile.h"
#include "core/codes/translator.h"
#include "fuzz/fuzz_support.h"

namespace {

// The dictionary is rewritten for every input: in memory where the system offers it, since a
// disk file truncated and rewritten gets flushed each time. Removed when the run ends.
const QTemporaryDir& Folder() {
    static const QTemporaryDir folder(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                          ? QStringLiteral("/dev/shm/cantora-fuzz-XXXXXX")
                                          : QDir::tempPath() +
                                                QStringLiteral("/cantora-fuzz-XXXXXX"));
    return folder;
}

bool IsOutputChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') ||
           u == u'#' || u == u'\\' || u == u' ';
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The program always has its application object; without one every look-up of the
    // dictionary's folder asks for it and warns.
    static QCoreApplication app(*argc, *argv);
    cantora::LoadCodeNames();
    cantora::SetProgramFolder(Folder().path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    using namespace cantora;
    FuzzedDataProvider data(bytes, size);

    // The first entry holds only codes (fuzzed mnemonics and numbers); the others are free.
    QByteArray codes;
    bool plain = true;  // only code tokens: no plain word that could lead back to "zqcodes"
    const int codeCount = data.ConsumeIntegralInRange<int>(0, 6);
    for (int i = 0; i < codeCount; ++i) {
        codes += data.ConsumeBool() ? QByteArray(" ") : QByteArray("  ");
        codes += '\\';
        const QByteArray token = QByteArray::fromStdString(data.ConsumeRandomLengthString(4))
                                     .replace('\0', 'A')
                                     .replace('\r', 'A')
                                     .replace('\n', 'A');
        for (char c : token) {
            plain = plain && c != ' ' && IsOutputChar(QChar(static_cast<uchar>(c)));
        }
        codes += token;
    }
    QByteArray file = data.ConsumeBool() ? "[Words]\r\n" : "[words]\n";
    file += "zqcodes=" + codes + "\r\n";
    file += QByteArray::fromStdString(data.ConsumeRandomLengthString(1024));
    const QString text = fuzz::ConsumeRestAsText(data);
    // A plain rewrite in place (no sync to disk): the reader must see the change all the same.
    QFile out(DictionaryFilePath());
    FUZZ_CHECK(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(out.write(file) == file.size());
    out.close();

    const QString said = TranslateText(text);
    for (QChar c : said) {
        FUZZ_CHECK(IsOutputChar(c));
    }
    const QString again = TranslateText(said);
    FUZZ_CHECK(CodeTextToBytes(again) == CodeTextToBytes(said));
    FUZZ_CHECK(NormalizeCodeText(again) == NormalizeCodeText(said));

    if (plain) {
        const QString value = QString::fromLatin1(profile::CleanValue(codes, 2560).toByteArray());
        const QString direct = TranslateText(value);
        const QString viaWord = TranslateText(QStringLiteral("ZqCodes"));
        if (direct != viaWord) {
            std::fprintf(stderr, "value '%s': direct '%s', via the word '%s'\n",
                         fuzz::Show(value).c_str(), fuzz::Show(direct).c_str(),
                         fuzz::Show(viaWord).c_str());
        }
        FUZZ_CHECK(direct == viaWord);
    }
    return 0;
}
