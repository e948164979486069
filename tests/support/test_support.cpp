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

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

#include "core/profile.h"

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

struct ModalResponder::State {
    QTimer timer;
    int wanted = 1;
    int answered = 0;
    QStringList titles;
    QStringList texts;
    std::function<bool(QWidget*)> answer;
    QPointer<QWidget> lastAnswered;
};

namespace {

void StartPolling(const std::shared_ptr<ModalResponder::State>& state) {
    std::weak_ptr<ModalResponder::State> weak = state;
    state->timer.setInterval(10);
    QObject::connect(&state->timer, &QTimer::timeout, [weak] {
        auto s = weak.lock();
        if (!s || s->answered >= s->wanted) {
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == s->lastAnswered) {
            return;
        }
        if (s->answer(modal)) {
            s->lastAnswered = modal;
            ++s->answered;
        }
    });
    state->timer.start();
}

}  // namespace

ModalResponder::ModalResponder(QMessageBox::StandardButton button, int count)
    : state_(std::make_shared<State>()) {
    state_->wanted = count;
    State* raw = state_.get();
    state_->answer = [raw, button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            return false;
        }
        raw->titles.append(box->windowTitle());
        raw->texts.append(box->text());
        QAbstractButton* target = box->button(button);
        if (target == nullptr) {
            return false;
        }
        target->click();
        return true;
    };
    StartPolling(state_);
}

ModalResponder ModalResponder::inputText(const QString& text, bool cancel) {
    ModalResponder responder;
    responder.state_ = std::make_shared<State>();
    State* raw = responder.state_.get();
    raw->answer = [raw, text, cancel](QWidget* modal) {
        auto* dialog = qobject_cast<QInputDialog*>(modal);
        if (dialog == nullptr) {
            return false;
        }
        raw->titles.append(dialog->windowTitle());
        raw->texts.append(dialog->labelText());
        if (cancel) {
            dialog->reject();
        } else {
            dialog->setTextValue(text);
            dialog->accept();
        }
        return true;
    };
    StartPolling(responder.state_);
    return responder;
}

ModalResponder::~ModalResponder() = default;

int ModalResponder::answered() const {
    return state_ ? state_->answered : 0;
}
QStringList ModalResponder::titles() const {
    return state_ ? state_->titles : QStringList();
}
QStringList ModalResponder::texts() const {
    return state_ ? state_->texts : QStringList();
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

}  // namespace cantora::test
