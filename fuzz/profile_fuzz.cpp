// The profile reader and writer on fuzzed file bytes with fuzzed names: the reader never fails
// and keeps its cut; a written value reads back; the write changes no other key.

#include <QByteArray>
#include <QString>

#include "core/files/latin1_case.h"
#include "core/files/profile.h"
#include "fuzz/fuzz_support.h"

namespace {

// The value as the writer stores it and the reader hands it out.
QString StoredValue(const QString& value) {
    QString stored = value;
    stored.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    stored.replace(u'\r', u' ').replace(u'\n', u' ');
    QByteArray bytes;
    for (QChar c : stored) {
        bytes.append(c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '?');
    }
    return QString::fromLatin1(cantora::profile::CleanValue(bytes, 0).toByteArray());
}

// Whether two names are the same to the reader: trimmed of blanks and tabs, case folded.
bool SameName(const QString& a, const QString& b) {
    auto fold = [](const QString& name) {
        const QByteArray latin1 = cantora::Latin1Bytes(name);
        QByteArrayView bytes = latin1;
        while (!bytes.isEmpty() && (bytes.front() == ' ' || bytes.front() == '\t')) {
            bytes = bytes.sliced(1);
        }
        while (!bytes.isEmpty() && (bytes.back() == ' ' || bytes.back() == '\t')) {
            bytes.chop(1);
        }
        return cantora::Latin1LowerBytes(bytes);
    };
    return fold(a) == fold(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    using namespace cantora;
    FuzzedDataProvider data(bytes, size);
    const QString section = fuzz::ConsumeText(data, 24);
    const QString key = fuzz::ConsumeText(data, 24);
    const QString value = fuzz::ConsumeText(data, 300);
    const QString otherSection = data.ConsumeBool() ? section : fuzz::ConsumeText(data, 24);
    const QString otherKey = fuzz::ConsumeText(data, 24);
    const int bufferSize = data.ConsumeIntegralInRange<int>(-2, 300);
    const std::string fileBytes = data.ConsumeRemainingBytesAsString();
    const QByteArray file(fileBytes.data(), static_cast<qsizetype>(fileBytes.size()));
    const QString fallback = QStringLiteral("(none)");

    const QString read = profile::ReadValueFromBytes(file, section, key, fallback, bufferSize);
    if (bufferSize > 0) {
        FUZZ_CHECK(read.size() <= bufferSize - 1);  // the default is cut alike
    }
    if (!read.isEmpty()) {
        for (QChar end : {read.front(), read.back()}) {
            FUZZ_CHECK(end != u' ' && end != u'\t');
        }
        FUZZ_CHECK(read.back() != QChar(0));
    }

    bool ok = false;
    const QByteArray written = profile::WriteValueToBytes(file, section, key, value, &ok);
    FUZZ_CHECK(ok == (profile::IsValidSectionName(section) && profile::IsValidKeyName(key)));
    if (!ok) {
        FUZZ_CHECK(written == file);
        return 0;
    }
    const QString stored = StoredValue(value);
    const QString readBack = profile::ReadValueFromBytes(written, section, key, fallback, 0);
    if (readBack != stored) {
        std::fprintf(stderr, "[%s] %s: wrote '%s', read '%s'\n", fuzz::Show(section).c_str(),
                     fuzz::Show(key).c_str(), fuzz::Show(stored).c_str(),
                     fuzz::Show(readBack).c_str());
    }
    FUZZ_CHECK(readBack == stored);

    // Every other key keeps its value.
    if (profile::IsValidSectionName(otherSection) && profile::IsValidKeyName(otherKey) &&
        !(SameName(section, otherSection) && SameName(key, otherKey))) {
        const QString before =
            profile::ReadValueFromBytes(file, otherSection, otherKey, fallback, 0);
        const QString after =
            profile::ReadValueFromBytes(written, otherSection, otherKey, fallback, 0);
        if (before != after) {
            std::fprintf(stderr, "wrote [%s] %s; [%s] %s was '%s', is '%s'\n",
                         fuzz::Show(section).c_str(), fuzz::Show(key).c_str(),
                         fuzz::Show(otherSection).c_str(), fuzz::Show(otherKey).c_str(),
                         fuzz::Show(before).c_str(), fuzz::Show(after).c_str());
        }
        FUZZ_CHECK(before == after);
    }
    // Writing the same again changes nothing more.
    FUZZ_CHECK(profile::WriteValueToBytes(written, section, key, value) == written);
    return 0;
}
