// cantora-say --phrases to a C header: 10,000 phrases of 10 words each against a 100,000-entry
// dictionary, the whole program run from start to exit. Target: under 1 s.

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

#include <sys/resource.h>

#include "bench_util.h"
#include "dictionary_data.h"

using namespace cantora;

namespace {

constexpr int kPhrases = 10000;
constexpr int kWordsPerPhrase = 10;

// Phrases of words the dictionary holds with a value (every tenth entry is blank).
QByteArray MakePhrases(QRandomGenerator& random) {
    QByteArray data = "# made by say_bench\n";
    for (int p = 0; p < kPhrases; ++p) {
        data += "phrase" + QByteArray::number(p) + ":";
        for (int w = 0; w < kWordsPerPhrase; ++w) {
            int entry = random.bounded(bench::kDictionaryLines - 1);
            if (entry % 10 == 0) {
                ++entry;
            }
            data += ' ' + bench::WordFor(entry * 2);
        }
        data += '\n';
    }
    return data;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    // SAY_BENCH_KEEP=1 keeps the files, to run the program on them by hand (under a profiler).
    dir.setAutoRemove(!qEnvironmentVariableIsSet("SAY_BENCH_KEEP"));
    QRandomGenerator random(21);
    const QString dictionary = dir.filePath("Verbalyn.Dic");
    const QString phrases = dir.filePath("phrases.txt");
    const QString header = dir.filePath("phrases.h");
    bench::WriteFile(dictionary, bench::MakeDictionary(random));
    bench::WriteFile(phrases, MakePhrases(random));

    int status = 0;
    QByteArray errors;
    constexpr int kRuns = 5;
    bench::Measure("cantora-say --phrases (10,000 x 10 words) --c", 1000, kRuns, nullptr, [&] {
        QProcess say;
        say.setStandardOutputFile(header);
        say.start(CANTORA_SAY_PROGRAM,
                  {"--dictionary", dictionary, "--phrases", phrases, "--strict", "--c"});
        say.waitForFinished(60000);
        status = say.exitCode();
        errors = say.readAllStandardError();
    });
    // On a busy machine the wall time includes waiting for a core; the processor time does not.
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    const double cpuMs = (children.ru_utime.tv_sec + children.ru_stime.tv_sec) * 1e3 +
                         (children.ru_utime.tv_usec + children.ru_stime.tv_usec) / 1e3;
    std::printf("processor time of cantora-say: %.0f ms a run\n", cpuMs / kRuns);
    QFile out(header);
    const qint64 size = out.size();
    std::printf("exit status %d, header %lld bytes%s%s\n", status, static_cast<long long>(size),
                errors.isEmpty() ? "" : ", ", errors.left(200).constData());
    if (!dir.autoRemove()) {
        std::printf("files kept in %s\n", qPrintable(dir.path()));
    }
    return status;
}
