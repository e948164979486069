// cantora-say: the phrase editor's "Say It" from the command line. Text (arguments, standard
// input or a phrase file) goes through the dictionary into codes, and the codes go to a serial
// port, the speakers, a WAV file, a C header or a decimal list.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <cstdio>
#include <memory>

#include "core/chip/speakers.h"
#include "core/chip/virtual_chip.h"
#include "core/chip/wav_file.h"
#include "core/codes/c_export.h"
#include "core/codes/phrase_file.h"
#include "core/files/profile.h"
#include "core/files/version.h"
#include "core/files/whole_file.h"
#include "core/pronounce/phrase_road.h"
#include "core/serial/port_device.h"
#include "core/serial/serial_link.h"

namespace {

using namespace cantora;

constexpr int kExitStrict = 1;  // --strict and a word the dictionary lacks; a failed send
constexpr int kExitUsage = 2;   // a bad option, an unreadable or unwritable file
constexpr qint64 kMaxInputBytes = 64 * 1024 * 1024;  // phrase files and standard input

// A one-line message on standard error, then the exit status.
int Fail(int status, const QString& message) {
    static const QRegularExpression breaks(QStringLiteral("\\s*[\r\n]+\\s*"));
    const QString line = QString(message).replace(breaks, QStringLiteral(" ")).trimmed();
    std::fprintf(stderr, "cantora-say: %s\n", line.toLocal8Bit().constData());
    return status;
}

enum class Output { None, Port, Virtual, Wav, C, Codes };

struct Options {
    QStringList words;
    QString phrasesPath;
    QString port;
    QString wavPath;
    Output output = Output::None;
    bool flow = false;
    bool strict = false;
    PhraseRoad road;
};

struct Parsed {
    Options options;
    QString error;      // empty when the command line was good
    bool done = false;  // --help or --version printed
};

// A voice-control value: a whole number within the control's range.
bool ReadVoiceValue(const QCommandLineParser& parser, const QCommandLineOption& option, int max,
                    int* value, QString* error) {
    if (!parser.isSet(option)) {
        return true;
    }
    bool ok = false;
    const int number = parser.value(option).toInt(&ok);
    if (!ok || number < 0 || number > max) {
        *error = QStringLiteral("--%1 takes a whole number from 0 to %2, not \"%3\"")
                     .arg(option.names().first())
                     .arg(max)
                     .arg(parser.value(option));
        return false;
    }
    *value = number;
    return true;
}

// Where the codes go: exactly one of the output options.
bool ReadOutput(const QCommandLineParser& parser, const QList<QCommandLineOption>& outputs,
                Options* options, QString* error) {
    static const Output kinds[] = {Output::Port, Output::Virtual, Output::Wav, Output::C,
                                   Output::Codes};
    for (int i = 0; i < outputs.size(); ++i) {
        if (!parser.isSet(outputs[i])) {
            continue;
        }
        if (options->output != Output::None) {
            *error = QStringLiteral("choose one of --port, --virtual, --wav, --c and --codes");
            return false;
        }
        options->output = kinds[i];
    }
    if (options->output == Output::None) {
        *error = QStringLiteral("say where the codes go: --port, --virtual, --wav, --c or --codes");
        return false;
    }
    options->port = parser.value(outputs[0]);
    options->wavPath = parser.value(outputs[2]);
    return true;
}

// The command line's options, in the order --help lists them.
struct OptionSet {
    static QCommandLineOption Flag(const char* name, const char* text) {
        return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(text));
    }
    static QCommandLineOption Valued(const char* name, const char* text, const char* value) {
        return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(text),
                                  QString::fromLatin1(value));
    }

    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help.")};
    QCommandLineOption version = Flag("version", "Show the version.");
    QCommandLineOption phrases =
        Valued("phrases", "Say the \"name: text\" lines of this file.", "file");
    QCommandLineOption dictionary = Valued("dictionary", "Use this dictionary file.", "file");
    QCommandLineOption volume = Valued("volume", "Volume, 0 to 127 (96).", "n");
    QCommandLineOption speed = Valued("speed", "Speed, 0 to 127 (114).", "n");
    QCommandLineOption pitch = Valued("pitch", "Pitch, 0 to 255 (88).", "n");
    QCommandLineOption bend = Valued("bend", "Bend, 0 to 15 (5).", "n");
    QCommandLineOption noControls = Flag("no-controls", "Put no voice controls in front.");
    QCommandLineOption pronounce =
        Flag("pronounce-unknown", "Say the words the dictionary lacks by the rules.");
    QCommandLineOption strict = Flag("strict", "Fail when the dictionary lacks a word.");
    QCommandLineOption flow = Flag("flow", "Use RTS/CTS flow control on the port.");
    // Where the codes go, one of them.
    QList<QCommandLineOption> outputs = {
        Valued("port", "Send to this device, or to this port number of the settings file.",
               "device"),
        Flag("virtual", "Play on this computer's speakers."),
        Valued("wav", "Write a WAV file of the sound.", "file"),
        Flag("c", "Write a C header to standard output."),
        Flag("codes", "Write the decimal codes to standard output.")};
};

Parsed ParseOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Says English text on the Quillon chip as the phrase editor's Say It does."));
    const OptionSet set;
    parser.addOptions({set.help, set.version, set.phrases, set.dictionary, set.volume, set.speed,
                       set.pitch, set.bend, set.noControls, set.pronounce, set.strict, set.flow});
    parser.addOptions(set.outputs);
    parser.addPositionalArgument(QStringLiteral("text"),
                                 QStringLiteral("The text; standard input when none is given."));

    Parsed parsed;
    if (!parser.parse(arguments)) {
        parsed.error = parser.errorText();
        return parsed;
    }
    if (parser.isSet(set.help) || parser.isSet(set.version)) {
        const QString text = parser.isSet(set.help)
                                 ? parser.helpText()
                                 : QStringLiteral("cantora-say " CANTORA_VERSION "\n");
        std::fputs(text.toLocal8Bit().constData(), stdout);
        parsed.done = true;
        return parsed;
    }
    Options& o = parsed.options;
    o.words = parser.positionalArguments();
    o.phrasesPath = parser.value(set.phrases);
    o.road.dictionaryPath = parser.value(set.dictionary);
    o.road.pronounceUnknown = parser.isSet(set.pronounce);
    o.road.voice.apply = !parser.isSet(set.noControls);
    o.strict = parser.isSet(set.strict);
    o.flow = parser.isSet(set.flow);
    if (!o.words.isEmpty() && !o.phrasesPath.isEmpty()) {
        parsed.error = QStringLiteral("give the text or --phrases, not both");
        return parsed;
    }
    VoiceSettings& v = o.road.voice;
    if (!ReadVoiceValue(parser, set.volume, 127, &v.volume, &parsed.error) ||
        !ReadVoiceValue(parser, set.speed, 127, &v.speed, &parsed.error) ||
        !ReadVoiceValue(parser, set.pitch, 255, &v.pitch, &parsed.error) ||
        !ReadVoiceValue(parser, set.bend, 15, &v.bend, &parsed.error) ||
        !ReadOutput(parser, set.outputs, &o, &parsed.error)) {
        return parsed;
    }
    return parsed;
}

// The text to say, or the named phrases of the file. Line breaks of standard input part words.
bool ReadPhrases(const Options& o, QList<NamedPhrase>* phrases, QString* error) {
    if (!o.words.isEmpty()) {
        phrases->append({QString::fromLatin1(kCPhraseName), o.words.join(u' ')});
        return true;
    }
    QFile file;
    const bool fromFile = !o.phrasesPath.isEmpty();
    const bool opened = fromFile ? (file.setFileName(o.phrasesPath), file.open(QIODevice::ReadOnly))
                                 : file.open(stdin, QIODevice::ReadOnly);
    const QByteArray data = opened ? file.read(kMaxInputBytes + 1) : QByteArray();
    if (!opened || file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("cannot read %1: %2")
                     .arg(fromFile ? o.phrasesPath : QStringLiteral("standard input"),
                          file.errorString());
        return false;
    }
    if (data.size() > kMaxInputBytes) {
        *error = QStringLiteral("%1 is larger than 64 MiB")
                     .arg(fromFile ? o.phrasesPath : QStringLiteral("standard input"));
        return false;
    }
    const QString text = QString::fromUtf8(data);
    if (!fromFile) {
        static const QRegularExpression breaks(QStringLiteral("[\r\n]+"));
        phrases->append({QString::fromLatin1(kCPhraseName), QString(text).replace(breaks, " ")});
        return true;
    }
    const PhraseFile parsed = ParsePhraseFile(text);
    if (!parsed.error.isEmpty()) {
        *error = o.phrasesPath + QStringLiteral(", ") + parsed.error;
        return false;
    }
    *phrases = parsed.phrases;
    return true;
}

// What the sender needs when there is no window: no question, no indicator, no idle timer.
class QuietHost : public SenderHost {
  public:
    QuietHost(QString portText, bool flow) : portText_(std::move(portText)), flow_(flow) {}
    QString portText() const override { return portText_; }
    int flowControlValue() const override { return flow_ ? 1 : 0; }
    void setLinkState(LinkState state) override { failed_ = failed_ || state == LinkState::Failed; }
    bool confirmLongPhrase(const QString&) override { return true; }
    void stopIdleTimer() override {}
    void armIdleTimer(int) override {}
    bool failed() const { return failed_; }

  private:
    QString portText_;
    bool flow_;
    bool failed_ = false;
};

// A port named by its device rather than by a number of the settings file.
class NamedDevicePort : public PortDevice {
  public:
    NamedDevicePort(std::unique_ptr<PortDevice> port, QString device)
        : port_(std::move(port)), device_(std::move(device)) {}
    bool open(const PortSettings& settings) override {
        PortSettings named = settings;
        named.device = device_;
        return port_->open(named);
    }
    bool isOpen() const override { return port_->isOpen(); }
    void close() override { port_->close(); }
    void discardInput() override { port_->discardInput(); }
    bool writeByte(char byte) override { return port_->writeByte(byte); }
    QString lastOpenError() const override { return port_->lastOpenError(); }
    bool needsDevice() const override { return false; }

  private:
    std::unique_ptr<PortDevice> port_;
    QString device_;
};

// Sends through the program's own sender: the 1 ms pacing, the port opened as "Say It" opens
// it, the bytes flushed before the port closes.
int SendToPort(const Options& o, const QByteArray& codes) {
    static const QRegularExpression number(QStringLiteral("^\\d+$"));
    const bool byNumber = number.match(o.port).hasMatch();
    std::unique_ptr<PortDevice> port = MakeSerialPortDevice();
    if (!byNumber) {
        port = std::make_unique<NamedDevicePort>(std::move(port), o.port);
    }
    QuietHost host(byNumber ? o.port : QStringLiteral("1"), o.flow);
    CodeSender sender(host, std::move(port));
    sender.SendToQuillon(codes, true);
    const QString error = sender.lastOpenError();
    const bool failed = host.failed();
    sender.CloseSerialPort();
    if (failed) {
        return Fail(kExitStrict,
                    error.isEmpty()
                        ? QStringLiteral("the codes could not be sent to %1").arg(o.port)
                        : error);
    }
    return 0;
}

// Plays through the speakers and waits for the sound to end (at most a few minutes).
int PlayOnSpeakers(const QByteArray& codes) {
    auto chip = std::make_shared<chip::VirtualChip>();
    std::unique_ptr<PortDevice> port = chip::MakeVirtualChipPort(chip, chip::MakeSpeakerOutput());
    QuietHost host(QStringLiteral("1"), false);
    CodeSender sender(host, std::move(port));
    sender.SendToQuillon(codes, true);
    // Without a sound output the virtual port does not open, and says why.
    if (!sender.lastOpenError().isEmpty()) {
        return Fail(kExitStrict, sender.lastOpenError());
    }
    QElapsedTimer clock;
    clock.start();
    constexpr qint64 kLongestMs = 10 * 60 * 1000;
    while (chip->busy() && clock.elapsed() < kLongestMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    sender.CloseSerialPort();
    return 0;
}

bool WriteStdout(const QByteArray& bytes) {
    return std::fwrite(bytes.constData(), 1, bytes.size(), stdout) ==
               static_cast<size_t>(bytes.size()) &&
           std::fflush(stdout) == 0;
}

int WriteOut(const Options& o, const QList<CPhrase>& said, bool named) {
    QByteArray all;
    for (const CPhrase& phrase : said) {
        all += phrase.codes;
    }
    switch (o.output) {
        case Output::Port:
            return SendToPort(o, all);
        case Output::Virtual:
            return PlayOnSpeakers(all);
        case Output::Wav:
            return chip::RenderBytesToWav(all, o.wavPath)
                       ? 0
                       : Fail(kExitUsage, QStringLiteral("cannot write %1").arg(o.wavPath));
        case Output::C:
            return WriteStdout(CHeaderText(said, named).toUtf8())
                       ? 0
                       : Fail(kExitUsage, QStringLiteral("cannot write standard output"));
        case Output::Codes: {
            QString text;
            for (const CPhrase& phrase : said) {
                text += (named ? phrase.name + QStringLiteral(": ") : QString()) +
                        CodesAsDecimalText(phrase.codes) + u'\n';
            }
            return WriteStdout(text.toUtf8())
                       ? 0
                       : Fail(kExitUsage, QStringLiteral("cannot write standard output"));
        }
        case Output::None:
            break;
    }
    return kExitUsage;
}

int Run(const Options& o) {
    const QString dictionary =
        o.road.dictionaryPath.isEmpty() ? DictionaryFilePath() : o.road.dictionaryPath;
    QFile dictionaryFile(dictionary);
    if (!dictionaryFile.open(QIODevice::ReadOnly)) {
        return Fail(kExitUsage, QStringLiteral("cannot read the dictionary %1: %2")
                                    .arg(dictionary, dictionaryFile.errorString()));
    }
    dictionaryFile.close();
    QList<NamedPhrase> phrases;
    QString error;
    if (!ReadPhrases(o, &phrases, &error)) {
        return Fail(kExitUsage, error);
    }
    PhraseRoad road = o.road;
    road.dictionaryPath = dictionary;
    QList<CPhrase> said;
    QStringList unknown;
    // The dictionary is read and indexed once for all the phrases, not checked at each.
    const profile::ReadBatch batch;
    for (const NamedPhrase& phrase : phrases) {
        SaidPhrase codes = SayPhrase(phrase.text, road);
        for (const QString& word : codes.unknownWords) {
            unknown.append(o.phrasesPath.isEmpty() ? word : phrase.name + u':' + word);
        }
        said.append({phrase.name, phrase.text, codes.codes});
    }
    if (!unknown.isEmpty()) {
        const QString heading = o.road.pronounceUnknown ? QStringLiteral("pronounced by the rules")
                                                        : QStringLiteral("not in the dictionary");
        std::fprintf(stderr, "cantora-say: %s: %s\n", heading.toLocal8Bit().constData(),
                     unknown.join(QStringLiteral(", ")).toLocal8Bit().constData());
        if (o.strict) {
            return kExitStrict;
        }
    }
    return WriteOut(o, said, !o.phrasesPath.isEmpty());
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("cantora-say"));
    const Parsed parsed = ParseOptions(QCoreApplication::arguments());
    if (parsed.done) {
        return 0;
    }
    if (!parsed.error.isEmpty()) {
        return Fail(kExitUsage, parsed.error);
    }
    return Run(parsed.options);
}
