#pragma once

// What the child windows need of the main window: the one road to the chip, a way to cut the
// current send short, and the strings the windows hand to each other.

#include <QByteArray>
#include <QString>
#include <functional>

class QWidget;

namespace cantora {

class UtilityHost {
  public:
    virtual ~UtilityHost() = default;

    // Sends bytes to the chip; `checkLength` asks before a long send without flow control.
    virtual void SendToQuillon(const QByteArray& data, bool checkLength) = 0;
    // Drops the unsent rest of the send in progress (the "Shut Up" buttons, closing a window).
    virtual void CutSendShort() = 0;
    // Runs `then` once the bytes asked for so far are out or were cut short; at once when no
    // send is running. A send asked for during another one returns before its bytes are out.
    virtual void AfterCurrentSend(std::function<void()> then) = 0;

    // The port box, whose colour and tool tip are the link indicator; null without one.
    virtual QWidget* linkBox() { return nullptr; }
    // Why the last opening of the port failed while the indicator shows it; empty otherwise.
    virtual QString linkProblem() const { return {}; }

    // Hand-over strings: the phrase and word the phrase editor keeps between its openings, and
    // the decimal code list it hands to the codes viewer with the phrase text it came from.
    QString PhraseToMove;
    QString WordToMove;
    QString QuillonCodes;
    QString QuillonPhrase;
};

}  // namespace cantora
