#pragma once

// The one road to the chip: SendToQuillon paces a byte string out through the serial port,
// opening the port lazily and leaving it to the host's idle timer to close it.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace cantora {

// Background colour of the port box: white (closed), green (open), red (last opening failed).
enum class LinkState { Closed, Open, Failed };

enum class Parity { None, Even, Odd, Mark, Space };

// Everything an opening needs, resolved from the port box and the settings file.
struct PortSettings {
    QString device;
    qint32 baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    int stopBits = 1;  // 1, 2, or 3 for one and a half
    bool hardwareFlowControl = false;
};

// Parses a settings text such as "9600,n,8,1". Returns false for text a port cannot take.
bool ParsePortSettings(const QString& text, PortSettings* settings);

// The port as the sender needs it. The real one is a QSerialPort; tests may record instead.
class PortDevice {
  public:
    virtual ~PortDevice() = default;
    virtual bool open(const PortSettings& settings) = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    // Reads and drops whatever the chip sent.
    virtual void discardInput() = 0;
    // Queues one byte. False when the port failed (for example a USB adapter pulled out).
    virtual bool writeByte(char byte) = 0;
    // Why the last opening failed, in plain words with what helps; empty after a success.
    virtual QString lastOpenError() const { return {}; }
};

std::unique_ptr<PortDevice> MakeSerialPortDevice();

// What the sender needs of the main window: the port box, the flow flag, the link indicator,
// the long-phrase question and the idle timer.
class SenderHost {
  public:
    virtual ~SenderHost() = default;
    virtual QString portText() const = 0;
    virtual int flowControlValue() const = 0;
    virtual void setLinkState(LinkState state) = 0;
    // Asks the long-phrase question; true when the user answers Yes.
    virtual bool confirmLongPhrase(const QString& text) = 0;
    virtual void stopIdleTimer() = 0;
    virtual void armIdleTimer(int milliseconds) = 0;
};

// The port number of a port box text: its leading number, rounded; 0 when there is none.
int PortNumberFromText(const QString& text);
// The device a port number maps to: a line of section "Ports" of the settings file, else the
// platform's name for it; empty when the number cannot name a port.
QString DeviceForPortNumber(int number);

class CodeSender : public QObject {
    Q_OBJECT
  public:
    static constexpr int kIdleCloseMs = 1000;
    static constexpr int kLongPhraseBytes = 64;

    explicit CodeSender(SenderHost& host, std::unique_ptr<PortDevice> port = nullptr,
                        QObject* parent = nullptr);
    ~CodeSender() override;

    // Sends `data` byte by byte. `checkLength`: phrases and palette codes (long-phrase question,
    // flow control allowed); false for SCP commands.
    void SendToQuillon(const QByteArray& data, bool checkLength);
    void OpenSerialPort(bool reportFailure, bool useFlowControl);
    void CloseSerialPort();
    bool PortOpen() const;

    // The unsent rest of the current send. Emptying it makes a send in progress stop after the
    // byte it has just written; a nested send replaces it.
    QByteArray SendBuffer;

    // The settings the last opening used (for the port box's tool tip and for tests).
    const PortSettings& lastSettings() const { return lastSettings_; }
    // Why the last opening failed (for the red port box's tool tip); empty after a success.
    const QString& lastOpenError() const { return openError_; }

    // Pause between bytes; tests and benchmarks keep the default.
    void setInterByteDelayMs(int ms) { interByteDelayMs_ = ms; }

    static QString LongPhraseWarningText();

  private:
    SenderHost& host_;
    std::unique_ptr<PortDevice> port_;
    PortSettings lastSettings_;
    QString openError_;
    int interByteDelayMs_ = 1;
};

}  // namespace cantora
