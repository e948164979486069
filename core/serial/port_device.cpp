#include "core/serial/port_device.h"

#include <QSerialPort>

#include "core/codes/lenient_numbers.h"
#include "core/files/profile.h"
#include "core/serial/devices.h"

namespace cantora {

namespace {

class SerialPortDevice : public PortDevice {
  public:
    SerialPortDevice() {
        // A port that fails later (an adapter pulled out) refuses further bytes; the sender
        // then closes it and turns the box red.
        QObject::connect(
            &port_, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError error) {
                if (error == QSerialPort::ResourceError || error == QSerialPort::WriteError) {
                    failed_ = true;
                }
            });
    }

    bool open(const PortSettings& settings) override {
        port_.close();
        port_.clearError();
        port_.setPortName(settings.device);
        if (!port_.setBaudRate(settings.baudRate) || !port_.setDataBits(DataBits(settings)) ||
            !port_.setParity(ToQtParity(settings.parity)) ||
            !port_.setStopBits(StopBits(settings)) ||
            !port_.setFlowControl(settings.hardwareFlowControl ? QSerialPort::HardwareControl
                                                               : QSerialPort::NoFlowControl) ||
            !port_.open(QIODevice::ReadWrite)) {
            openError_ = OpenFailureText(port_.error(), settings.device, port_.errorString());
            return false;
        }
        openError_.clear();
        failed_ = false;
        return true;
    }

    QString lastOpenError() const override { return openError_; }

    bool isOpen() const override { return port_.isOpen(); }

    void close() override {
        if (port_.isOpen()) {
            port_.close();
        }
        failed_ = false;
    }

    void discardInput() override {
        if (port_.isOpen()) {
            port_.readAll();
            port_.clear(QSerialPort::Input);
        }
    }

    bool writeByte(char byte) override {
        if (!port_.isOpen() || failed_) {
            return false;
        }
        if (port_.write(&byte, 1) != 1) {
            return false;
        }
        // Hand the byte to the driver now rather than at the next event-loop turn. With
        // handshaking and no reader it may stay queued, which never blocks.
        port_.flush();
        return !failed_;
    }

  private:
    static QSerialPort::DataBits DataBits(const PortSettings& s) {
        return static_cast<QSerialPort::DataBits>(s.dataBits);
    }
    static QSerialPort::StopBits StopBits(const PortSettings& s) {
        return s.stopBits == 2   ? QSerialPort::TwoStop
               : s.stopBits == 3 ? QSerialPort::OneAndHalfStop
                                 : QSerialPort::OneStop;
    }
    static QSerialPort::Parity ToQtParity(Parity parity) {
        switch (parity) {
            case Parity::Even:
                return QSerialPort::EvenParity;
            case Parity::Odd:
                return QSerialPort::OddParity;
            case Parity::Mark:
                return QSerialPort::MarkParity;
            case Parity::Space:
                return QSerialPort::SpaceParity;
            case Parity::None:
                break;
        }
        return QSerialPort::NoParity;
    }

    QSerialPort port_;
    QString openError_;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<PortDevice> MakeSerialPortDevice() {
    return std::make_unique<SerialPortDevice>();
}

bool ParsePortSettings(const QString& text, PortSettings* settings) {
    const QStringList fields = text.split(u',');
    if (fields.size() != 4) {
        return false;
    }
    bool ok = false;
    const qint64 baud = fields[0].trimmed().toLongLong(&ok);
    if (!ok || baud <= 0 || baud > 4000000) {
        return false;
    }
    const QString parity = fields[1].trimmed().toLower();
    Parity parsedParity;
    if (parity == u"n") {
        parsedParity = Parity::None;
    } else if (parity == u"e") {
        parsedParity = Parity::Even;
    } else if (parity == u"o") {
        parsedParity = Parity::Odd;
    } else if (parity == u"m") {
        parsedParity = Parity::Mark;
    } else if (parity == u"s") {
        parsedParity = Parity::Space;
    } else {
        return false;
    }
    const int dataBits = fields[2].trimmed().toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8) {
        return false;
    }
    const QString stop = fields[3].trimmed();
    int stopBits;
    if (stop == u"1") {
        stopBits = 1;
    } else if (stop == u"2") {
        stopBits = 2;
    } else if (stop == u"1.5") {
        stopBits = 3;
    } else {
        return false;
    }
    settings->baudRate = static_cast<qint32>(baud);
    settings->parity = parsedParity;
    settings->dataBits = dataBits;
    settings->stopBits = stopBits;
    return true;
}

int PortNumberFromText(const QString& text) {
    const qint64 number = LeadingInteger(text);
    if (number < -1000000 || number > 1000000) {
        return 0;
    }
    return static_cast<int>(number);
}

QString DeviceForPortNumber(int number) {
    const QString mapped = GetIniValue("Ports", QString::number(number), QString()).trimmed();
    if (!mapped.isEmpty()) {
        return mapped;
    }
    if (number <= 0 || number > 256) {
        return {};
    }
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

}  // namespace cantora
