#pragma once

// Finding the serial port: the devices present, giving a port number to one of them, and the
// plain words for an opening that failed.

#include <QList>
#include <QSerialPort>
#include <QString>

namespace cantora {

struct SerialDevice {
    QString path;         // "/dev/ttyUSB0"
    QString description;  // "FT232R USB UART", or empty
    // "/dev/ttyUSB0 — FT232R USB UART", or the path alone when there is no description.
    QString label() const;
};

// The serial devices present, sorted by path, each once.
QList<SerialDevice> AvailableSerialDevices();

// Seam for tests: a device the system list cannot show (a pseudo-terminal) is listed too, as
// long as its path exists. An empty path list clears them.
void SetExtraSerialDevices(const QList<SerialDevice>& devices);

// Lets port `number` stand for `device` by writing the one line of section "Ports" of the
// settings file; nothing else in the file changes. Refuses a number below 1 and an empty device.
bool MapPortNumberToDevice(int number, const QString& device);

// Who may use a device file, as far as the permission advice needs it.
struct DeviceAccess {
    bool known = false;  // the file could be looked at
    QString owner;
    QString group;
    unsigned mode = 0;     // the permission bits
    bool inGroup = false;  // this process already has the file's group
};
DeviceAccess AccessOf(const QString& device);
// What to say when this user may not use `device`: join its group only when the group may read
// and write it and the user is not in it yet; else the owner, group and mode, and who can help.
QString PermissionDeniedText(const QString& device, const DeviceAccess& access);

// The reason an opening of `device` failed with `error`, in plain words with what helps.
// `accessible`: whether this user may read and write the device file; Qt reports a port held by
// another program as a permission error, and this tells the two apart.
QString OpenFailureText(QSerialPort::SerialPortError error, const QString& device, bool accessible,
                        const QString& detail = QString());
// The same for a real failure: looks at the device file itself.
QString OpenFailureText(QSerialPort::SerialPortError error, const QString& device,
                        const QString& detail);

// Texts for the failures found before the port is asked to open.
QString NoDeviceForNumberText();
QString UnusableSettingsText(const QString& baudRate);

}  // namespace cantora
