#include "core/serial/serial_link.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSerialPort>
#include <QThread>
#include <algorithm>
#include <optional>

#include "core/files/profile.h"
#include "core/serial/devices.h"
#include "core/serial/pacing.h"

namespace cantora {

// Notes the events that can start a new action during a send: input from the window system,
// timer ticks and queued calls. Events that a handler sends synchronously (focus and palette
// changes) are not counted, so one handler's sends stay one action.
class CodeSender::ActionWatcher : public QObject {
  public:
    explicit ActionWatcher(quint64& serial) : serial_(serial) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->spontaneous() || event->type() == QEvent::Timer ||
            event->type() == QEvent::MetaCall) {
            ++serial_;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    quint64& serial_;
};

CodeSender::CodeSender(SenderHost& host, std::unique_ptr<PortDevice> port, QObject* parent)
    : QObject(parent),
      host_(host),
      port_(port ? std::move(port) : MakeSerialPortDevice()),
      watcher_(std::make_unique<ActionWatcher>(actionSerial_)) {}

CodeSender::~CodeSender() = default;

QString CodeSender::LongPhraseWarningText() {
    return QStringLiteral(
        "Flow Control is currently disabled. -AND-\r\n"
        "The phrase that you are about to play is longer than 64 codes.\r\n"
        "\r\n"
        "This will result in some of the codes after the 64th one to not being played.\r\n"
        "\r\n"
        "Do you still want to send it to the Quillon.");
}

bool CodeSender::PortOpen() const {
    return port_->isOpen();
}

namespace {

int EventLoopLevel() {
    return QThread::currentThread()->loopLevel();
}

}  // namespace

void CodeSender::SendToQuillon(const QByteArray& data, bool checkLength) {
    ++depth_;
    maxDepth_ = std::max(maxDepth_, depth_);
    struct Unwind {
        int& depth;
        ~Unwind() { --depth; }
    } unwind{depth_};

    host_.stopIdleTimer();
    if (checkLength && data.size() >= kLongPhraseBytes && host_.flowControlValue() == 0) {
        if (!host_.confirmLongPhrase(LongPhraseWarningText())) {
            return;
        }
    }
    // A send loop of this event-loop level is running below us: hand it the bytes. A modal
    // window opened from inside a send runs its own event loop, and the loop below it cannot
    // write until that window closes, so a send from there writes for itself.
    const bool join = !loops_.empty() && loops_.back().eventLoopLevel == EventLoopLevel();
    OpenSerialPort(true, checkLength);
    if (port_->isOpen()) {
        port_->discardInput();
        if (join) {
            joinRunningSend(data);
            return;
        }
        SendBuffer.rest_ = data;
        runSendLoop();
    }
    // The loop below re-arms the timer when it ends; arming it now would let it close the port
    // under that loop.
    if (!join) {
        host_.armIdleTimer(kIdleCloseMs);
    }
}

void CodeSender::joinRunningSend(const QByteArray& data) {
    const int loopId = loops_.back().id;
    if (actionSerial_ != lastJoinSerial_ || SendBuffer.cleared_) {
        // A new action: its first string replaces the unsent rest of the one going out.
        SendBuffer.rest_ = data;
        insertAt_ = 0;
    } else {
        // The same action sends again: queue behind its earlier strings, ahead of the strings
        // that the interrupted actions had queued.
        SendBuffer.queued_.insert(SendBuffer.queued_.begin() + insertAt_, {data, loopId});
        ++insertAt_;
    }
    SendBuffer.cleared_ = false;
    lastJoinSerial_ = actionSerial_;
    scheduleStallCheck();
}

void CodeSender::scheduleStallCheck() {
    if (!stallCheckPosted_ && QCoreApplication::instance() != nullptr) {
        stallCheckPosted_ = true;
        QMetaObject::invokeMethod(this, &CodeSender::takeOverStalledSend, Qt::QueuedConnection);
    }
}

void CodeSender::takeOverStalledSend() {
    // The handler that queued bytes may have opened a modal window (a window opened from inside
    // a send shows and sends before its event loop starts): the loop below cannot write until
    // that window closes, so the window's event loop writes the bytes instead.
    stallCheckPosted_ = false;
    if (loops_.empty() || SendBuffer.isEmpty()) {
        return;
    }
    if (loops_.back().eventLoopLevel < EventLoopLevel()) {
        runSendLoop(true);
        host_.armIdleTimer(kIdleCloseMs);
    } else {
        scheduleStallCheck();  // look again after the next byte
    }
}

bool CodeSender::takeNextString(int loopId) {
    while (SendBuffer.rest_.isEmpty()) {
        if (SendBuffer.queued_.empty() || SendBuffer.queued_.front().loop != loopId) {
            return false;
        }
        SendBuffer.rest_ = std::move(SendBuffer.queued_.front().bytes);
        SendBuffer.queued_.pop_front();
    }
    return true;
}

void CodeSender::runSendLoop(bool adopt) {
    const int loopId = nextLoopId_++;
    if (adopt) {
        for (PendingBytes::Queued& queued : SendBuffer.queued_) {
            if (queued.loop == loops_.back().id) {
                queued.loop = loopId;
            }
        }
        for (auto& waiting : whenSent_) {
            if (waiting.first == loops_.back().id) {
                waiting.first = loopId;
            }
        }
    }
    loops_.push_back({loopId, EventLoopLevel()});
    const bool outermost = loops_.size() == 1;
    if (outermost && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(watcher_.get());
    }
    SendBuffer.cleared_ = false;
    lastJoinSerial_ = ++actionSerial_;
    std::optional<FineTimerSlack> slack;
    if (outermost && interByteDelayMs_ > 0) {
        slack.emplace();
    }
    // A send started under a UserInputHold keeps it for its whole loop.
    const QEventLoop::ProcessEventsFlags events =
        UserInputHold::held() ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents;
    BytePacer pacer(qint64(interByteDelayMs_) * 1000000);
    pacer.start();
    // The port box has just turned green: paint it now, so that the repaint does not fall
    // between the first two bytes.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);

    while (takeNextString(loopId)) {
        if (!port_->isOpen()) {
            // Closed from a handler (the port box lost the focus, the program is closing):
            // the send ends quietly; the box already shows white.
            SendBuffer.clear();
            break;
        }
        if (interByteDelayMs_ > 0) {
            pacer.waitForNext();
        }
        const char byte = SendBuffer.rest_.front();
        SendBuffer.rest_.remove(0, 1);
        if (!port_->writeByte(byte)) {
            // The port went away or refused the byte: give up quietly; the red box tells the
            // user, and the next send tries to open the port again.
            SendBuffer.clear();
            port_->close();
            host_.setLinkState(LinkState::Failed);
            break;
        }
        ++actionSerial_;  // whatever asks to send after this byte is a new action
        QCoreApplication::processEvents(events);
    }

    loops_.pop_back();
    if (outermost && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(watcher_.get());
    }
    emit finished();
    // Taken out first: a callback may send, or wait for a send, again.
    std::vector<std::function<void()>> due;
    for (auto it = whenSent_.begin(); it != whenSent_.end();) {
        if (it->first == loopId) {
            due.push_back(std::move(it->second));
            it = whenSent_.erase(it);
        } else {
            ++it;
        }
    }
    for (std::function<void()>& then : due) {
        then();
    }
}

void CodeSender::whenSent(std::function<void()> then) {
    if (loops_.empty() || loops_.back().eventLoopLevel != EventLoopLevel()) {
        then();
        return;
    }
    whenSent_.emplace_back(loops_.back().id, std::move(then));
}

void CodeSender::OpenSerialPort(bool reportFailure, bool useFlowControl) {
    if (!port_->isOpen()) {
        PortSettings settings;
        settings.device = DeviceForPortNumber(PortNumberFromText(host_.portText()));
        const bool parsed = ParsePortSettings(
            GetIniValue("Serial", "BaudRate", "9600") + QStringLiteral(",n,8,1"), &settings);
        settings.hardwareFlowControl = useFlowControl && host_.flowControlValue() == 1;
        lastSettings_ = settings;
        const bool deviceOk = !port_->needsDevice() || (!settings.device.isEmpty() && parsed);
        if (!deviceOk || !port_->open(settings)) {
            if (!deviceOk && settings.device.isEmpty()) {
                openError_ = NoDeviceForNumberText();
            } else if (!deviceOk) {
                openError_ = UnusableSettingsText(GetIniValue("Serial", "BaudRate", "9600"));
            } else {
                openError_ = port_->lastOpenError();
                if (openError_.isEmpty()) {
                    openError_ = OpenFailureText(QSerialPort::UnknownError, settings.device, true);
                }
            }
            port_->close();
            if (reportFailure) {
                host_.setLinkState(LinkState::Failed);
            }
            return;
        }
        openError_.clear();
    }
    if (port_->isOpen()) {
        host_.setLinkState(LinkState::Open);
    }
}

void CodeSender::CloseSerialPort() {
    if (port_->isOpen()) {
        port_->close();
        host_.setLinkState(LinkState::Closed);
    }
}

}  // namespace cantora
