#pragma once

// The one road to the chip: SendToQuillon paces a byte string out through the serial port,
// opening the port lazily and leaving it to the host's idle timer to close it.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "core/serial/port_device.h"

namespace cantora {

// Background colour of the port box: white (closed), green (open), red (last opening failed).
enum class LinkState { Closed, Open, Failed };

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

// What is still to go out: the rest of the string being written and the strings that the same
// action asked for behind it. Windows empty it to cut a send short ("Shut Up", closing).
class PendingBytes {
  public:
    bool isEmpty() const { return rest_.isEmpty() && queued_.empty(); }
    // Drops the rest of the current string and everything queued behind it.
    void clear() {
        rest_.clear();
        queued_.clear();
        cleared_ = true;
    }

  private:
    friend class CodeSender;
    struct Queued {
        QByteArray bytes;
        int loop;  // the send loop that will write it
    };
    QByteArray rest_;
    std::deque<Queued> queued_;
    bool cleared_ = false;
};

// While one lives, a send that starts then lets pending events run between its bytes but keeps
// the user's clicks and keys waiting until it ends. The focus hooks hold it: a press moves the
// focus before the pressed control sees the press, so a release let through by the focus hook's
// send would reach the control ahead of its own press and the click would be lost.
class UserInputHold {
  public:
    UserInputHold() { ++depth_; }
    ~UserInputHold() { --depth_; }
    UserInputHold(const UserInputHold&) = delete;
    UserInputHold& operator=(const UserInputHold&) = delete;
    static bool held() { return depth_ > 0; }

  private:
    static inline int depth_ = 0;
};

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
    //
    // Only the outermost call writes bytes; events run between them. A call made from one of
    // those events (a drag step, a "Shut Up" click) replaces the unsent rest of the string going
    // out and returns at once, before its bytes are out; further calls by the same event queue
    // behind it in order. So the stack stays two sends deep however long the hand keeps moving.
    // A modal window opened from such an event writes from its own event loop, since the loop
    // below cannot run until it closes. A handler that needs to know when its bytes are out
    // (to enable a button again, say) watches sending() / finished().
    void SendToQuillon(const QByteArray& data, bool checkLength);
    void OpenSerialPort(bool reportFailure, bool useFlowControl);
    // Also ends a send in progress quietly: the box turns white, the rest is dropped.
    void CloseSerialPort();
    bool PortOpen() const;

    // The unsent rest of the current send. Emptying it makes a send in progress stop after the
    // byte it has just written; a send asked for meanwhile replaces it.
    PendingBytes SendBuffer;

    // True while a send loop is putting bytes out (and so a new send only queues).
    bool sending() const { return !loops_.empty(); }
    // Runs `then` once the bytes asked for so far are out or cut short: at once when no send
    // loop of this event-loop level is writing, else when that loop ends. A handler whose send
    // joined a running one (and so returned early) keeps its button and busy pointer till then.
    void whenSent(std::function<void()> then);
    // How many SendToQuillon calls are on the stack now, and the most there have been.
    int nestingDepth() const { return depth_; }
    int maxNestingDepth() const { return maxDepth_; }
    void resetMaxNestingDepth() { maxDepth_ = depth_; }

    // The settings the last opening used (for the port box's tool tip and for tests).
    const PortSettings& lastSettings() const { return lastSettings_; }
    // Why the last opening failed (for the red port box's tool tip); empty after a success.
    const QString& lastOpenError() const { return openError_; }

    // Pause between bytes; tests and benchmarks keep the default.
    void setInterByteDelayMs(int ms) { interByteDelayMs_ = ms; }

    static QString LongPhraseWarningText();

  signals:
    // A send loop has ended: everything asked for meanwhile is out, or was cut short.
    void finished();

  private:
    class ActionWatcher;
    struct Loop {
        int id;
        int eventLoopLevel;
    };

    void joinRunningSend(const QByteArray& data);
    void runSendLoop(bool adopt = false);
    void scheduleStallCheck();
    void takeOverStalledSend();
    bool takeNextString(int loopId);

    SenderHost& host_;
    std::unique_ptr<PortDevice> port_;
    PortSettings lastSettings_;
    QString openError_;
    int interByteDelayMs_ = 1;

    std::vector<Loop> loops_;  // running send loops, one per modal event-loop level at most
    std::vector<std::pair<int, std::function<void()>>> whenSent_;  // by the loop awaited
    int nextLoopId_ = 0;
    std::unique_ptr<ActionWatcher> watcher_;
    // Counts the actions (user input, timers, queued calls, bytes written) seen during sends, to
    // tell a new action's send from the next send of the same action.
    quint64 actionSerial_ = 0;
    quint64 lastJoinSerial_ = 0;
    qsizetype insertAt_ = 0;  // where the same action's next string queues
    bool stallCheckPosted_ = false;
    int depth_ = 0;
    int maxDepth_ = 0;
};

}  // namespace cantora
