#include "core/serial/devices.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSerialPortInfo>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "core/files/profile.h"

namespace cantora {

namespace {

QList<SerialDevice>& ExtraDevices() {
    static QList<SerialDevice> devices;
    return devices;
}

QString JoinGroupText(const QString& device, const QString& group) {
    return QStringLiteral(
               "Permission denied: you may not use %1. Join the \"%2\" group "
               "(sudo adduser $USER %2), then log out and back in.")
        .arg(device, group);
}

// "rw-rw----" for the permission bits.
QString ModeText(unsigned mode) {
    QString text;
    for (int shift = 6; shift >= 0; shift -= 3) {
        text += (mode >> shift) & 4 ? u'r' : u'-';
        text += (mode >> shift) & 2 ? u'w' : u'-';
        text += (mode >> shift) & 1 ? u'x' : u'-';
    }
    return text;
}

}  // namespace

DeviceAccess AccessOf(const QString& device) {
    DeviceAccess access;
    struct stat info {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0) {
        return access;
    }
    access.known = true;
    access.mode = info.st_mode & 07777;
    const struct passwd* owner = ::getpwuid(info.st_uid);
    access.owner = owner ? QString::fromLocal8Bit(owner->pw_name) : QString::number(info.st_uid);
    const struct group* group = ::getgrgid(info.st_gid);
    access.group = group ? QString::fromLocal8Bit(group->gr_name) : QString::number(info.st_gid);
    access.inGroup = ::getegid() == info.st_gid;
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> groups(static_cast<size_t>(count));
        const int got = ::getgroups(count, groups.data());
        for (int i = 0; i < got; ++i) {
            access.inGroup = access.inGroup || groups[static_cast<size_t>(i)] == info.st_gid;
        }
    }
    return access;
}

QString PermissionDeniedText(const QString& device, const DeviceAccess& access) {
    if (!access.known) {
        // Nothing to go by: the group most systems give serial devices.
        return JoinGroupText(device, QStringLiteral("dialout"));
    }
    const bool groupMayUse = (access.mode & 060) == 060;
    if (groupMayUse && !access.inGroup && access.group != u"root") {
        return JoinGroupText(device, access.group);
    }
    return QStringLiteral(
               "Permission denied: you may not use %1. It belongs to user \"%2\" and "
               "group \"%3\" with permissions %4, so joining a group does not help; "
               "ask whoever looks after this computer to give you access to it.")
        .arg(device, access.owner, access.group, ModeText(access.mode));
}

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
                return PermissionDeniedText(device, AccessOf(device));
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
