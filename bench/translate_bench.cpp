// Translation and dictionary look-ups against a large dictionary:
//   translate_bench
// Generates a dictionary of 100,000 entries and a text of 10,000 words in a temporary folder and
// reports the time of TranslateText on the text, of one GetDictionaryValue look-up after the file
// changed, and of PutDictionaryValue into that dictionary.

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "bench_util.h"
#include "core/profile.h"
#include "core/translator.h"

using namespace cantora;

namespace {

constexpr int kEntries = 100000;
constexpr int kWords = 10000;

QByteArray WordFor(int i) {
    // Letters only, distinct for every i.
    QByteArray word;
    int n = i;
    do {
        word.append(static_cast<char>('a' + n % 26));
        n /= 26;
    } while (n > 0);
    return "w" + word;
}

QByteArray MakeDictionary(int variant) {
    QByteArray data = "[words]\r\n";
    data.reserve(kEntries * 32);
    for (int i = 0; i < kEntries; ++i) {
        data += WordFor(i) + "=\\HE \\EH \\LO \\OW \\" + QByteArray::number((i + variant) % 200) +
                "\r\n";
    }
    return data;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    SetProgramFolder(folder.path());
    const QString path = DictionaryFilePath();
    ReplaceFileAtomically(path, MakeDictionary(0));

    QRandomGenerator random(42);
    QString text;
    for (int i = 0; i < kWords; ++i) {
        // Mostly known words, some unknown ones, commas and double blanks now and then.
        text += QString::fromLatin1(random.bounded(10) == 0 ? QByteArray("unknownword")
                                                            : WordFor(random.bounded(kEntries)));
        text += random.bounded(20) == 0 ? QStringLiteral(",  ") : QStringLiteral(" ");
    }
    std::printf("dictionary: %d entries, %lld bytes; text: %d words\n", kEntries,
                static_cast<long long>(QFile(path).size()), kWords);

    QString result;
    bench::Measure("TranslateText, 10,000 words (index warm)", 100, 5, nullptr,
                   [&] { result = TranslateText(text); });
    std::printf("  translation: %lld characters\n", static_cast<long long>(result.size()));

    int variant = 1;
    bench::Measure(
        "GetDictionaryValue after the file changed", 200, 5,
        [&] { ReplaceFileAtomically(path, MakeDictionary(variant++)); },
        [&] { GetDictionaryValue("Words", QString::fromLatin1(WordFor(77777)), ""); });

    bench::Measure(
        "TranslateText, 10,000 words, file changed first", 300, 3,
        [&] { ReplaceFileAtomically(path, MakeDictionary(variant++)); },
        [&] { result = TranslateText(text); });

    int n = 0;
    bench::Measure("PutDictionaryValue into the dictionary", 200, 5, nullptr, [&] {
        PutDictionaryValue("Words", QString::fromLatin1(WordFor(n++ * 997)), "\\IY \\IH");
    });
    bench::Measure("PutDictionaryValue of a new word", 200, 5, nullptr, [&] {
        PutDictionaryValue("Words", QStringLiteral("brandnew%1").arg(n++), "\\IY");
    });
    SetProgramFolder(QString());
    return 0;
}
