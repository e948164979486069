#pragma once

// The large dictionary and word list the dictionary benchmarks work on.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "core/files/profile.h"

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

inline void WriteFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(data);
    }
}

// A temporary program folder holding the large dictionary, and a temporary current folder
// holding the word list as "ImportWords.txt", where the import looks for it. Check ready().
struct DictionaryFolders {
    QTemporaryDir program;
    QTemporaryDir current;
    QByteArray dictionary;
    QByteArray wordList;

    DictionaryFolders() {
        if (!ready()) {
            return;
        }
        SetProgramFolder(program.path());
        QDir::setCurrent(current.path());
        QRandomGenerator random(20240607);
        dictionary = MakeDictionary(random);
        wordList = MakeWordList(random);
        WriteFile(current.filePath("ImportWords.txt"), wordList);
        WriteFile(DictionaryFilePath(), dictionary);
    }
    bool ready() const { return program.isValid() && current.isValid(); }
};

}  // namespace cantora::bench
