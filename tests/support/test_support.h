#pragma once

// Helpers shared by the tests: a temporary program folder, a pseudo-terminal whose far side the
// test reads, a recording stand-in for the port, and scripted answers to modal questions.

#include <QByteArray>
#include <QFileInfo>
#include <QList>
#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <memory>

#include "core/serial/serial_link.h"
#include "ui/common/prompter.h"

namespace cantora::test {

// Points the program folder at a fresh temporary folder for its lifetime.
class TempProgramFolder {
  public:
    TempProgramFolder();
    ~TempProgramFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    // Writes bytes to a file of the folder (replacing it).
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

  private:
    QTemporaryDir dir_;
};

// A pseudo-terminal: the program opens slavePath() through QSerialPort; the test reads what
// arrived on the master side.
class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    bool ok() const { return master_ >= 0; }
    QString slavePath() const { return slavePath_; }
    // Everything readable now, after letting events run for up to `waitMs` until `minBytes`
    // have arrived.
    QByteArray read(int minBytes = 0, int waitMs = 500);

  private:
    int master_ = -1;
    int keepSlave_ = -1;  // keeps the pty alive between openings by the program
    QString slavePath_;
};

// Writes a settings file whose "Ports" section maps `number` to `device`.
void MapPort(const TempProgramFolder& folder, int number, const QString& device);

// A port that records what is sent. Shares its record with the test through a shared pointer,
// since the sender owns the port itself.
struct PortRecord {
    QByteArray written;            // every byte, in order
    QList<PortSettings> openings;  // the settings of every successful opening
    int discards = 0;              // how often input was dropped
    int closes = 0;
    bool failOpen = false;             // openings fail while set
    int failAfterBytes = -1;           // a write fails once this many bytes were written
    std::function<void(char)> onByte;  // runs after each byte (to click mid-send, say)
};

class RecordingPort : public PortDevice {
  public:
    explicit RecordingPort(std::shared_ptr<PortRecord> record) : record_(std::move(record)) {}
    bool open(const PortSettings& settings) override;
    bool isOpen() const override { return open_; }
    void close() override;
    void discardInput() override { ++record_->discards; }
    bool writeByte(char byte) override;

  private:
    std::shared_ptr<PortRecord> record_;
    bool open_ = false;
};

// Scripted answers to the program's modal questions for as long as the object lives: the next
// `count` message boxes that offer `button` are answered with it, or (inputText) the next input
// box with `text` (or cancelled), without any dialog showing. Their titles and texts are
// recorded. Questions beyond the script go to the prompter that was in use before.
class ScriptedAnswers : public Prompter {
  public:
    explicit ScriptedAnswers(QMessageBox::StandardButton button, int count = 1);
    static ScriptedAnswers inputText(const QString& text, bool cancel = false);

    int answered() const { return answered_; }
    QStringList titles() const { return titles_; }
    QStringList texts() const { return texts_; }
    // The icon and details of each report answered (null / empty for plain messages).
    QList<QIcon> icons() const { return icons_; }
    QStringList details() const { return details_; }

    QMessageBox::StandardButton message(QWidget* parent, const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    bool inputText(QWidget* parent, const QString& title, const QString& label,
                   QString* text) override;
    void report(QWidget* parent, const QString& title, const QString& text, const QIcon& icon,
                const QString& details) override;

  private:
    struct Input {
        QString text;
        bool cancel;
    };
    explicit ScriptedAnswers(Input input);

    QMessageBox::StandardButton button_ = QMessageBox::NoButton;
    bool forInput_ = false;
    Input input_;
    int wanted_ = 1;
    int answered_ = 0;
    QStringList titles_;
    QStringList texts_;
    QList<QIcon> icons_;
    QStringList details_;
};

// Queues a click of `button` at `pos` of `widget` (its centre when null) in the platform's own
// input queue, the way a touchpad tap arrives: the press and, `gapMs` later by its time stamp,
// the release are both waiting before the program handles the press. Unlike QTest's mouse
// functions nothing is delivered now; events must run. Input to a window that a modal window
// blocks goes nowhere, as for a real click.
void QueueClick(QWidget* widget, QPoint pos = {}, int gapMs = 5,
                Qt::MouseButton button = Qt::LeftButton);

// Scripted answers to the program's file questions for as long as the object lives: every
// save-file question is answered with `path` (empty: cancelled), without a dialog. The paths
// the program suggested are recorded.
class ScriptedFileAnswer : public Prompter {
  public:
    explicit ScriptedFileAnswer(QString path) : Prompter(Replace{}), path_(std::move(path)) {}
    QStringList suggested() const { return suggested_; }
    // Like the real dialog, a name without a suffix gets the default suffix.
    QString saveFileName(QWidget*, const QString&, const QString& suggested, const QString&,
                         const QString& defaultSuffix) override {
        suggested_.append(suggested);
        if (!path_.isEmpty() && !defaultSuffix.isEmpty() && QFileInfo(path_).suffix().isEmpty()) {
            return path_ + QLatin1Char('.') + defaultSuffix;
        }
        return path_;
    }
    QMessageBox::StandardButton message(QWidget* parent, const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override {
        return previous()->message(parent, title, text, buttons, defaultButton);
    }

  private:
    QString path_;
    QStringList suggested_;
};

// A byte string from its values, for comparing what reached the port.
QByteArray Bytes(std::initializer_list<int> values);

// Splits recorded SCP traffic into commands: each string that starts with "\0" and ends with
// "X" ("\0RX", "\01J 440NX"). Bytes outside such strings are returned as their own entries.
QStringList SplitScpCommands(const QByteArray& bytes);

}  // namespace cantora::test
