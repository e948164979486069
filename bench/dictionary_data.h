#pragma once

// The large dictionary and word list the dictionary benchmarks work on.

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

namespace cantora::bench {

constexpr int kDictionaryLines = 100000;
constexpr int kImportWords = 100000;

// A letters-only word for a number, so the word import can find it.
inline QByteArray WordFor(int number) {
    QByteArray word;
    do {
        word.prepend(static_cast<char>('a' + number % 26));
        number /= 26;
    } while (number > 0);
    return "w" + word;
}

// "[words]" and kDictionaryLines - 1 entries in random order; every tenth one blank, some keys
// in capitals, now and then an empty line.
inline QByteArray MakeDictionary(QRandomGenerator& random) {
    QList<int> order;
    for (int i = 0; i < kDictionaryLines - 1; ++i) {
        order.append(i);
    }
    for (qsizetype i = order.size() - 1; i > 0; --i) {
        order.swapItemsAt(i, random.bounded(static_cast<int>(i + 1)));
    }
    QByteArray data = "[words]\r\n";
    for (int i : order) {
        QByteArray key = WordFor(i * 2);  // even numbers are in the dictionary
        if (i % 7 == 0) {
            key = key.toUpper();
        }
        if (i % 10 == 0) {
            data += key + "=\r\n";
        } else {
            data += key + "=\\HE \\EH \\LO \\OW \\P2 \\" + QByteArray::number(i % 256) + "\r\n";
        }
        if (i % 1000 == 0) {
            data += "\r\n";
        }
    }
    return data;
}

// kImportWords words, ten to a line with punctuation: half of them in the dictionary, half new.
inline QByteArray MakeWordList(QRandomGenerator& random) {
    QByteArray data;
    for (int i = 0; i < kImportWords; ++i) {
        const int number = random.bounded(kDictionaryLines - 1) * 2 + (i % 2);
        data += WordFor(number);
        data += (i % 10 == 9) ? ".\r\n" : ", ";
    }
    return data;
}

}  // namespace cantora::bench
