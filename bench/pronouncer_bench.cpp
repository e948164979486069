// Word suggestions and the blank-entry fill:
//   pronouncer_bench
// Reports the one-time start-up (lexicon load and first suggestion), suggestions for 10,000
// different words, and filling a dictionary text of 100,000 blank entries. The words are made of
// English-like syllables, so most of them are not in the lexicon and go through the
// letter-to-sound rules, the slower road.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>
#include <QStringList>
#include <cstdio>

#include "bench_util.h"
#include "core/dictionary/blank_entries.h"
#include "core/pronounce/pronouncer.h"

using namespace cantora;

namespace {

const char* const kOnsets[] = {"",   "b",  "c",  "d",  "f",  "g",  "h",  "j",  "l",  "m",
                               "n",  "p",  "r",  "s",  "t",  "v",  "w",  "bl", "br", "ch",
                               "cl", "dr", "fl", "gr", "pl", "sh", "st", "th", "tr", "wh"};
const char* const kVowels[] = {"a", "e", "i", "o", "u", "ai", "ea", "oo", "ou", "ee"};
const char* const kCodas[] = {"",   "b", "ck", "d", "g", "l",  "m",  "n",
                              "ng", "p", "r",  "s", "t", "st", "nt", "rk"};
constexpr int kSyllables = 30 * 10 * 16;

QString Syllable(int i) {
    return QString::fromLatin1(kOnsets[i % 30]) + QString::fromLatin1(kVowels[i / 30 % 10]) +
           QString::fromLatin1(kCodas[i / 300 % 16]);
}

// Distinct for distinct i below kSyllables squared: the second syllable always has an onset
// consonant or stands after a coda the first one cannot end in.
QString Word(int i) {
    return Syllable(i % kSyllables) + QString::fromLatin1("z") + Syllable(i / kSyllables);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);

    QElapsedTimer timer;
    timer.start();
    WarmUpPronouncer();
    const double loadMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    const QString first = SuggestCodeText("hello");
    const double firstMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("start-up: lexicon load %.3f ms, first suggestion %.3f ms (%s)\n", loadMs, firstMs,
                qPrintable(first));

    QStringList words;
    for (int i = 0; i < 10000; ++i) {
        words << Word(i * 37 + 11);
    }
    std::printf("words: %lld, distinct %lld (e.g. %s -> %s)\n",
                static_cast<long long>(words.size()),
                static_cast<long long>(QSet<QString>(words.begin(), words.end()).size()),
                qPrintable(words[5]), qPrintable(SuggestCodeText(words[5])));
    qsizetype characters = 0;
    bench::Measure("SuggestCodeText, 10,000 different words", 200, 5, nullptr, [&] {
        characters = 0;
        for (const QString& word : words) {
            characters += SuggestCodeText(word).size();
        }
    });
    std::printf("  suggestions: %lld characters\n", static_cast<long long>(characters));

    QString dictionary = QStringLiteral("[words]\r\n");
    for (int i = 0; i < 100000; ++i) {
        dictionary += Word(i * 13 + 5) + QStringLiteral("=\r\n");
    }
    QString text;
    int filled = 0;
    bench::Measure(
        "FillBlankEntries, 100,000 blank entries", 2000, 3, [&] { text = dictionary; },
        [&] { filled = FillBlankEntries(text); });
    std::printf("  filled %d entries; %lld characters before, %lld after\n", filled,
                static_cast<long long>(dictionary.size()), static_cast<long long>(text.size()));
    return 0;
}
