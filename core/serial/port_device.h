#pragma once

// The serial port as the code sender sees it: the line settings, the device a port number
// stands for, and the port itself (a QSerialPort, or the virtual chip in its place).

#include <QString>
#include <memory>

namespace cantora {

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
    // False while the bytes go somewhere no port number or line setting names (the virtual chip
    // chosen on the main window): the port box and "BaudRate" then do not matter.
    virtual bool needsDevice() const { return true; }
};

std::unique_ptr<PortDevice> MakeSerialPortDevice();

// The port number of a port box text: its leading number, rounded; 0 when there is none.
int PortNumberFromText(const QString& text);
// The device a port number maps to: a line of section "Ports" of the settings file, else the
// platform's name for it; empty when the number cannot name a port.
QString DeviceForPortNumber(int number);

}  // namespace cantora
