#include "core/serial/devices.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSerialPortInfo>

#include <unistd.h>

#include "core/files/profile.h"

namespace cantora {

namespace {

QList<SerialDevice>& ExtraDevices() {
    static QList<SerialDevice> devices;
    return devices;
}

// The group that may use the device, as most systems set it up.
QString DeviceGroup(const QString& device) {
    const QFileInfo info(device);
    const QString group = info.exists() ? info.group() : QString();
    return group.isEmpty() || group == u"root" ? QStringLiteral("dialout") : group;
}

}  // namespace

QString SerialDevice::label() const {
    return description.isEmpty() ? path : path + QStringLiteral(" \u2014 ") + description;
}

QList<SerialDevice> AvailableSerialDevices() {
    QMap<QString, SerialDevice> byPath;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        byPath.insert(info.systemLocation(), {info.systemLocation(), info.description().trimmed()});
    }
    for (const SerialDevice& extra : ExtraDevices()) {
        if (QFileInfo::exists(extra.path)) {
            byPath.insert(extra.path, extra);
        }
    }
    return byPath.values();
}

void SetExtraSerialDevices(const QList<SerialDevice>& devices) {
    ExtraDevices() = devices;
}

bool MapPortNumberToDevice(int number, const QString& device) {
    const QString path = device.trimmed();
    if (number < 1 || path.isEmpty()) {
        return false;
    }
    return PutIniValue(QStringLiteral("Ports"), QString::number(number), path);
}

QString OpenFailureText(QSerialPort::SerialPortError error, const QString& device, bool accessible,
                        const QString& detail) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return QStringLiteral(
                       "There is no device %1. Plug the adapter in, or choose another port.")
                .arg(device);
        case QSerialPort::PermissionError:
            if (!accessible) {
                const QString group = DeviceGroup(device);
                return QStringLiteral(
                           "Permission denied: you may not use %1. Join the \"%2\" group "
                           "(sudo adduser $USER %2), then log out and back in.")
                    .arg(device, group);
            }
            [[fallthrough]];
        case QSerialPort::OpenError:
            return QStringLiteral(
                       "%1 is busy: another program is using it. Close that program, then try "
                       "again.")
                .arg(device);
        default:
            break;
    }
    return detail.isEmpty() ? QStringLiteral("%1 could not be opened.").arg(device)
                            : QStringLiteral("%1 could not be opened: %2.").arg(device, detail);
}

QString OpenFailureText(QSerialPort::SerialPortError error, const QString& device,
                        const QString& detail) {
    const bool accessible = ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0;
    return OpenFailureText(error, device, accessible, detail);
}

QString NoDeviceForNumberText() {
    return QStringLiteral("No serial port has this number.");
}

QString UnusableSettingsText(const QString& baudRate) {
    return QStringLiteral("The baud rate \"%1\" in the settings file cannot be used.")
        .arg(baudRate);
}

}  // namespace cantora
