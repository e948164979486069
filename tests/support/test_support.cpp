#include "support/test_support.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

#include "core/files/profile.h"

// The platform's entry for input, which Qt exports without a public header. Events handed to
// it with the default delivery wait in its queue until events are processed, as input from the
// window system does.
class QWindowSystemInterface {
  public:
    class DefaultDelivery;
    template <typename Delivery = DefaultDelivery>
    static bool handleMouseEvent(QWindow* window, ulong timestamp, const QPointF& local,
                                 const QPointF& global, Qt::MouseButtons state,
                                 Qt::MouseButton button, QEvent::Type type,
                                 Qt::KeyboardModifiers mods = Qt::NoModifier,
                                 Qt::MouseEventSource source = Qt::MouseEventNotSynthesized);
};

namespace cantora::test {

TempProgramFolder::TempProgramFolder() {
    SetProgramFolder(dir_.path());
}

TempProgramFolder::~TempProgramFolder() {
    SetProgramFolder(QString());
}

void TempProgramFolder::write(const QString& name, const QByteArray& bytes) const {
    QFile file(dir_.filePath(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
    }
}

QByteArray TempProgramFolder::read(const QString& name) const {
    QFile file(dir_.filePath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

PtyPair::PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        return;
    }
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        ::close(master_);
        master_ = -1;
        return;
    }
    slavePath_ = QString::fromLocal8Bit(::ptsname(master_));
    // Without an open slave the master reads EIO between the program's openings.
    keepSlave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
    if (keepSlave_ >= 0) {
        termios raw{};
        ::tcgetattr(keepSlave_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(keepSlave_, TCSANOW, &raw);
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair() {
    if (keepSlave_ >= 0) {
        ::close(keepSlave_);
    }
    if (master_ >= 0) {
        ::close(master_);
    }
}

QByteArray PtyPair::read(int minBytes, int waitMs) {
    QByteArray result;
    QDeadlineTimer deadline(waitMs);
    for (;;) {
        char buffer[4096];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            result.append(buffer, static_cast<qsizetype>(n));
            continue;
        }
        if (result.size() >= minBytes || deadline.hasExpired()) {
            return result;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        ::usleep(2000);
    }
}

void MapPort(const TempProgramFolder& folder, int number, const QString& device) {
    Q_UNUSED(folder);
    PutIniValue("Ports", QString::number(number), device);
}

bool RecordingPort::open(const PortSettings& settings) {
    if (record_->failOpen) {
        return false;
    }
    record_->openings.append(settings);
    open_ = true;
    return true;
}

void RecordingPort::close() {
    if (open_) {
        ++record_->closes;
    }
    open_ = false;
}

bool RecordingPort::writeByte(char byte) {
    if (!open_) {
        return false;
    }
    if (record_->failAfterBytes >= 0 && record_->written.size() >= record_->failAfterBytes) {
        return false;
    }
    record_->written.append(byte);
    if (record_->onByte) {
        record_->onByte(byte);
    }
    return true;
}

ScriptedAnswers::ScriptedAnswers(QMessageBox::StandardButton button, int count)
    : Prompter(Replace{}), button_(button), wanted_(count) {}

ScriptedAnswers::ScriptedAnswers(Input input)
    : Prompter(Replace{}), forInput_(true), input_(std::move(input)) {}

ScriptedAnswers ScriptedAnswers::inputText(const QString& text, bool cancel) {
    return ScriptedAnswers(Input{text, cancel});
}

QMessageBox::StandardButton ScriptedAnswers::message(QWidget* parent, const QString& title,
                                                     const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton) {
    if (forInput_ || answered_ >= wanted_ || !buttons.testFlag(button_)) {
        return previous()->message(parent, title, text, buttons, defaultButton);
    }
    titles_.append(title);
    texts_.append(text);
    ++answered_;
    return button_;
}

void ScriptedAnswers::report(QWidget* parent, const QString& title, const QString& text,
                             const QIcon& icon, const QString& details) {
    if (forInput_ || answered_ >= wanted_ || button_ != QMessageBox::Ok) {
        previous()->report(parent, title, text, icon, details);
        return;
    }
    message(parent, title, text, QMessageBox::Ok, QMessageBox::NoButton);
    icons_.append(icon);
    details_.append(details);
}

bool ScriptedAnswers::inputText(QWidget* parent, const QString& title, const QString& label,
                                QString* text) {
    if (!forInput_ || answered_ >= wanted_) {
        return previous()->inputText(parent, title, label, text);
    }
    titles_.append(title);
    texts_.append(label);
    ++answered_;
    *text = input_.cancel ? QString() : input_.text;
    return !input_.cancel;
}

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values) {
        bytes.append(static_cast<char>(v));
    }
    return bytes;
}

QStringList SplitScpCommands(const QByteArray& bytes) {
    QStringList commands;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        if (bytes.mid(pos, 2) == "\\0") {
            qsizetype end = bytes.indexOf('X', pos + 2);
            if (end < 0) {
                end = bytes.size() - 1;
            }
            commands.append(QString::fromLatin1(bytes.mid(pos, end - pos + 1)));
            pos = end + 1;
        } else {
            qsizetype next = bytes.indexOf("\\0", pos + 1);
            if (next < 0) {
                next = bytes.size();
            }
            commands.append(QString::fromLatin1(bytes.mid(pos, next - pos)));
            pos = next;
        }
    }
    return commands;
}

void QueueClick(QWidget* widget, QPoint pos, int gapMs, Qt::MouseButton button) {
    QWidget* window = widget->window();
    QWindow* handle = window->windowHandle();
    if (handle == nullptr) {
        return;
    }
    if (pos.isNull()) {
        pos = widget->rect().center();
    }
    const QPointF local = widget->mapTo(window, QPointF(pos));
    const QPointF global = widget->mapToGlobal(QPointF(pos));
    // Far apart from the previous click, so no two clicks make a double-click.
    static ulong stamp = 1000000;
    stamp += 10000;
    QWindowSystemInterface::handleMouseEvent(handle, stamp, local, global, button, button,
                                             QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent(handle, stamp + ulong(gapMs), local, global,
                                             Qt::NoButton, button, QEvent::MouseButtonRelease);
}

}  // namespace cantora::test
