// cantora-chip: a virtual chip on a pseudo-terminal, for people who write their own senders.
// It prints the terminal's device path, then plays whatever arrives on it, or records it into
// a WAV file. With --codes it renders a list of decimal codes straight into the WAV file.

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdio>

#include "core/chip/renderer.h"
#include "core/chip/speakers.h"
#include "core/chip/virtual_chip.h"
#include "core/chip/wav_file.h"
#include "core/files/version.h"

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) {
    g_stop = true;
}

struct Options {
    QString wavPath;
    bool wavSet = false;
    bool codesSet = false;
    QByteArray codes;
    qint64 idleMs = -1;  // -1: never stop for silence
};

// The longest sound a render makes (RenderBytes stops there).
constexpr size_t kLongestRenderFrames = static_cast<size_t>(cantora::chip::kSampleRate) * 600;
// The longest idle time taken: a day.
constexpr qint64 kLongestIdleMs = 24LL * 3600 * 1000;

[[noreturn]] void Refuse(const QString& message) {
    std::fprintf(stderr, "cantora-chip: %s\nTry 'cantora-chip --help'.\n", qPrintable(message));
    std::exit(2);
}

// "20,96,128": whole numbers 0 to 255, spaces allowed around them.
QByteArray ParseCodes(const QString& list) {
    QByteArray bytes;
    for (const QString& part : list.split(u',')) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok, 10);
        if (!ok || value < 0 || value > 255) {
            Refuse(QStringLiteral("--codes: \"%1\" is not a code (a whole number 0 to 255)")
                       .arg(part.trimmed()));
        }
        bytes.append(static_cast<char>(value));
    }
    return bytes;
}

qint64 ParseIdleMs(const QString& text) {
    bool ok = false;
    const qint64 ms = text.trimmed().toLongLong(&ok, 10);
    if (!ok || ms < 0 || ms > kLongestIdleMs) {
        Refuse(QStringLiteral("--idle-exit: \"%1\" is not a time in milliseconds (0 to %2)")
                   .arg(text)
                   .arg(kLongestIdleMs));
    }
    return ms;
}

// Checks what the options say together; the values are read already.
void CheckCombination(const QCommandLineParser& parser, const Options& options) {
    if (!parser.positionalArguments().isEmpty()) {
        Refuse(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments()[0]));
    }
    if (options.wavSet && options.wavPath.isEmpty()) {
        Refuse(QStringLiteral("--wav needs a file name"));
    }
    if (options.codesSet && options.wavPath.isEmpty()) {
        Refuse(QStringLiteral("--codes needs --wav"));
    }
    if (options.codesSet && options.idleMs >= 0) {
        Refuse(QStringLiteral("--idle-exit has no meaning with --codes"));
    }
}

// Reads the command line; --help, --version and any error end the program here (errors with
// status 2).
Options ParseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A virtual chip on a pseudo-terminal: prints the terminal's path and plays what arrives "
        "on it."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption wavOption(QStringLiteral("wav"),
                                       QStringLiteral("Record into this WAV file instead of "
                                                      "playing; written when the chip stops."),
                                       QStringLiteral("file"));
    const QCommandLineOption idleOption(
        QStringLiteral("idle-exit"),
        QStringLiteral("Stop once bytes have come and the chip has been silent this long since "
                       "the last byte."),
        QStringLiteral("ms"));
    const QCommandLineOption codesOption(
        QStringLiteral("codes"),
        QStringLiteral("Render these decimal codes (\"20,96,128\") into the WAV file and stop."),
        QStringLiteral("list"));
    parser.addOptions({wavOption, idleOption, codesOption});
    if (!parser.parse(app.arguments())) {
        Refuse(parser.errorText());
    }
    if (parser.isSet(helpOption)) {
        parser.showHelp(0);
    }
    if (parser.isSet(versionOption)) {
        parser.showVersion();
    }
    Options options;
    options.wavSet = parser.isSet(wavOption);
    options.wavPath = parser.value(wavOption);
    options.codesSet = parser.isSet(codesOption);
    if (parser.isSet(idleOption)) {
        options.idleMs = ParseIdleMs(parser.value(idleOption));
    }
    CheckCombination(parser, options);
    if (options.codesSet) {
        options.codes = ParseCodes(parser.value(codesOption));
    }
    return options;
}

// The recording's file, opened before anything is offered so that a path that cannot be
// written is found at once. Written atomically at the end.
bool OpenWav(const QString& path, QSaveFile* file) {
    file->setFileName(path);
    if (!file->open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cantora-chip: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(file->errorString()));
        return false;
    }
    return true;
}

bool FinishWav(QSaveFile* file, const std::vector<int16_t>& pcm) {
    const QByteArray bytes = cantora::chip::WavBytes(pcm, cantora::chip::kSampleRate);
    if (file->write(bytes) != bytes.size() || !file->commit()) {
        std::fprintf(stderr, "cantora-chip: cannot write %s: %s\n", qPrintable(file->fileName()),
                     qPrintable(file->errorString()));
        return false;
    }
    return true;
}

int RenderCodes(const Options& options) {
    QSaveFile file;
    if (!OpenWav(options.wavPath, &file)) {
        return 1;
    }
    const std::vector<int16_t> pcm = cantora::chip::RenderBytes(options.codes);
    if (pcm.size() >= kLongestRenderFrames) {
        std::fprintf(stderr,
                     "cantora-chip: the sound was cut at ten minutes, the longest a render "
                     "makes\n");
    }
    return FinishWav(&file, pcm) ? 0 : 1;
}

struct Terminal {
    int master = -1;
    int slave = -1;  // the far side, held open; -1 if it could not be opened
};

// Opens the pseudo-terminal and prints the path of its far side; false if there is none.
bool OpenTerminal(Terminal* terminal) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("cantora-chip: pseudo-terminal");
        return false;
    }
    const char* slaveName = ptsname(master);
    // Hold the far side open so that a sender closing it does not end the terminal, and make it
    // raw so every byte arrives unchanged.
    const int slave = open(slaveName, O_RDWR | O_NOCTTY);
    termios tio{};
    if (slave >= 0 && tcgetattr(slave, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(slave, TCSANOW, &tio);
    }
    std::printf("%s\n", slaveName);
    std::fflush(stdout);
    terminal->master = master;
    terminal->slave = slave;
    return true;
}

// Plays (or, with `wav`, records) what arrives on the terminal until a signal or the idle time
// stops it.
int RunChip(QCoreApplication& app, const Options& options, int master, QSaveFile* wav) {
    auto chip = std::make_shared<cantora::chip::VirtualChip>();
    cantora::chip::PcmCapture* capture = nullptr;
    std::unique_ptr<cantora::chip::PcmOutput> output;
    if (wav == nullptr) {
        output = cantora::chip::MakeSpeakerOutput();
        output->start(chip);
        const QString reason = output->unavailableReason();
        if (!reason.isEmpty()) {
            std::fprintf(stderr, "cantora-chip: no sound output yet: %s\n", qPrintable(reason));
        }
    } else {
        capture = new cantora::chip::PcmCapture(10, &app);
        output.reset(capture);
    }
    bool heardBytes = false;
    // Since the last byte, or since the chip was last heard playing.
    QElapsedTimer silentFor;
    silentFor.start();

    QSocketNotifier notifier(master, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n > 0) {
            if (!heardBytes && capture != nullptr) {
                output->start(chip);  // the recording starts with the first byte
            }
            heardBytes = true;
            // One byte at a time, as the chip's serial input takes them.
            for (ssize_t i = 0; i < n; ++i) {
                chip->feed(buffer[i]);
            }
            silentFor.start();
        }
        // The chip's input buffer is full: hold off, as its CTS line would, until it empties.
        if (chip->full()) {
            notifier.setEnabled(false);
        }
    });

    const qint64 idleMs = options.idleMs;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        // A chip nobody hears (no sound output) does not count as playing.
        if (chip->playing()) {
            silentFor.start();
        }
        if (!notifier.isEnabled() && !chip->full()) {
            notifier.setEnabled(true);
        }
        const bool idleDone = idleMs >= 0 && heardBytes && silentFor.elapsed() >= idleMs;
        if (g_stop || idleDone) {
            app.quit();
        }
    });
    watch.start(20);
    app.exec();

    if (capture == nullptr) {
        output->stop();
        return 0;
    }
    capture->pullDue();
    output->stop();
    return FinishWav(wav, capture->samples()) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("cantora-chip"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CANTORA_VERSION));
    const Options options = ParseOptions(app);
    if (options.codesSet) {
        return RenderCodes(options);
    }
    QSaveFile wav;
    if (options.wavSet && !OpenWav(options.wavPath, &wav)) {
        return 1;
    }
    // Before the terminal is offered: a closed terminal window (SIGHUP) ends the chip as
    // SIGINT and SIGTERM do, with the recording written.
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGHUP, OnSignal);
    Terminal terminal;
    if (!OpenTerminal(&terminal)) {
        return 1;
    }
    const int status = RunChip(app, options, terminal.master, options.wavSet ? &wav : nullptr);
    if (terminal.slave >= 0) {
        close(terminal.slave);
    }
    close(terminal.master);
    return status;
}
