// cantora-chip: a virtual chip on a pseudo-terminal, for people who write their own senders.
// It prints the terminal's device path, then plays whatever arrives on it, or records it into
// a WAV file. With --codes it renders a list of decimal codes straight into the WAV file.

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdio>

#include "core/chip/speakers.h"
#include "core/chip/virtual_chip.h"
#include "core/chip/wav_file.h"

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) {
    g_stop = true;
}

struct Options {
    QString wavPath;
    bool codesSet = false;
    QString codes;
    int idleMs = -1;  // -1: never stop for silence
};

// Reads the command line; --help and unknown options end the program here.
Options ParseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A virtual chip on a pseudo-terminal: prints the terminal's path and plays what arrives "
        "on it."));
    parser.addHelpOption();
    const QCommandLineOption wavOption(QStringLiteral("wav"),
                                       QStringLiteral("Record into this WAV file instead of "
                                                      "playing; written when the chip stops."),
                                       QStringLiteral("file"));
    const QCommandLineOption idleOption(
        QStringLiteral("idle-exit"),
        QStringLiteral("Stop once bytes have come and the chip has been silent this long."),
        QStringLiteral("ms"));
    const QCommandLineOption codesOption(
        QStringLiteral("codes"),
        QStringLiteral("Render these decimal codes (\"20,96,128\") into the WAV file and stop."),
        QStringLiteral("list"));
    parser.addOptions({wavOption, idleOption, codesOption});
    parser.process(app);
    Options options;
    options.wavPath = parser.value(wavOption);
    options.codesSet = parser.isSet(codesOption);
    options.codes = parser.value(codesOption);
    if (parser.isSet(idleOption)) {
        options.idleMs = parser.value(idleOption).toInt();
    }
    return options;
}

int RenderCodes(const Options& options) {
    if (options.wavPath.isEmpty()) {
        std::fprintf(stderr, "--codes needs --wav\n");
        return 2;
    }
    QByteArray bytes;
    for (const QString& part : options.codes.split(u',', Qt::SkipEmptyParts)) {
        bytes.append(static_cast<char>(part.trimmed().toInt() & 0xff));
    }
    return cantora::chip::RenderBytesToWav(bytes, options.wavPath) ? 0 : 1;
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

// Plays (or records) what arrives on the terminal until a signal or the idle time stops it.
int RunChip(QCoreApplication& app, const Options& options, int master) {
    const QString& wavPath = options.wavPath;
    auto chip = std::make_shared<cantora::chip::VirtualChip>();
    cantora::chip::PcmCapture* capture = nullptr;
    std::unique_ptr<cantora::chip::PcmOutput> output;
    if (wavPath.isEmpty()) {
        output = cantora::chip::MakeSpeakerOutput();
    } else {
        capture = new cantora::chip::PcmCapture(10, &app);
        output.reset(capture);
    }
    bool heardBytes = false;
    QElapsedTimer silentFor;
    silentFor.start();

    QSocketNotifier notifier(master, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n > 0) {
            if (!heardBytes) {
                heardBytes = true;
                output->start(chip);
            }
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
    if (wavPath.isEmpty()) {
        output->start(chip);
        heardBytes = true;
    }

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    const int idleMs = options.idleMs;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        if (chip->busy()) {
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

    int status = 0;
    if (capture != nullptr) {
        capture->pullDue();
        output->stop();
        if (!cantora::chip::WriteWavFile(wavPath, capture->samples(), cantora::chip::kSampleRate)) {
            std::fprintf(stderr, "cantora-chip: cannot write %s\n", qPrintable(wavPath));
            status = 1;
        }
    } else {
        output->stop();
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("cantora-chip"));
    const Options options = ParseOptions(app);
    if (options.codesSet) {
        return RenderCodes(options);
    }
    Terminal terminal;
    if (!OpenTerminal(&terminal)) {
        return 1;
    }
    const int status = RunChip(app, options, terminal.master);
    if (terminal.slave >= 0) {
        close(terminal.slave);
    }
    close(terminal.master);
    return status;
}
