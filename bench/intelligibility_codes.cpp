// The intelligibility benchmark's helper (bench/intelligibility.sh). Two uses:
//   intelligibility_codes palette   prints the palette's example words, one a line, lower case
//   intelligibility_codes codes     reads lines of text and prints, for each, the bytes that
//                                   "Suggest" would send for it as decimal codes ("20,96,128"),
//                                   each word suggested on its own and the words run together
//                                   as a single blank between words translates
#include <QSet>
#include <QStringList>
#include <QTextStream>
#include <cstdio>
#include <iostream>
#include <string>

#include "core/codes/code_text.h"
#include "core/codes/palette_table.h"
#include "core/pronounce/pronouncer.h"

namespace {

int PrintPaletteWords() {
    QSet<QString> seen;
    for (const cantora::palette::Element& element : cantora::palette::Elements()) {
        if (*element.phones == '\0') {
            continue;
        }
        for (const QString& word : element.toolTip.split(u',', Qt::SkipEmptyParts)) {
            const QString w = word.trimmed().toLower();
            if (!w.isEmpty() && !seen.contains(w)) {
                seen.insert(w);
                std::printf("%s\n", qPrintable(w));
            }
        }
    }
    return 0;
}

int PrintCodes() {
    cantora::WarmUpPronouncer();
    std::string line;
    while (std::getline(std::cin, line)) {
        QStringList parts;
        const QString text = QString::fromStdString(line);
        for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
            const QString codes = cantora::SuggestCodeText(word);
            if (!codes.isEmpty()) {
                parts << codes;
            }
        }
        const QByteArray bytes = cantora::CodeTextToBytes(parts.join(u' '));
        QStringList numbers;
        for (const char byte : bytes) {
            numbers << QString::number(static_cast<unsigned char>(byte));
        }
        std::printf("%s\n", qPrintable(numbers.join(u',')));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "palette") {
        return PrintPaletteWords();
    }
    if (mode == "codes") {
        return PrintCodes();
    }
    std::fprintf(stderr, "usage: intelligibility_codes palette|codes\n");
    return 2;
}
