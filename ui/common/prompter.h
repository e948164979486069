#pragma once

// Every modal question the program asks goes through one prompter: refusals, "Notice"
// confirmations, reports, the input box and file dialogs. The program uses the one that shows
// real dialogs; tests put a scripted one in its place for as long as they hold it.

#include <QIcon>
#include <QMessageBox>
#include <QString>

class QWidget;

namespace cantora {

class Prompter {
  public:
    Prompter() = default;
    virtual ~Prompter();
    Prompter(const Prompter&) = delete;
    Prompter& operator=(const Prompter&) = delete;

    // A message box with no icon; returns the button pressed.
    virtual QMessageBox::StandardButton message(QWidget* parent, const QString& title,
                                                const QString& text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton);
    // A report with one OK button, showing `icon` (may be null) and, behind "Show Details…",
    // `details` (may be empty). Without either, it is the plain message box above, so a
    // prompter that only answers messages answers it too.
    virtual void report(QWidget* parent, const QString& title, const QString& text,
                        const QIcon& icon, const QString& details);
    // An input box with one line of text; false when cancelled.
    virtual bool inputText(QWidget* parent, const QString& title, const QString& label,
                           QString* text);
    // A file dialog choosing a file to open; empty when cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter);
    // A file dialog choosing a file to write (`suggested` is a path to offer); empty when
    // cancelled. A name typed without a suffix gets `defaultSuffix` (when given) before the
    // dialog asks whether to replace an existing file, so the question is about the real name.
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                 const QString& filter, const QString& defaultSuffix = {});

    // The prompter in use.
    static Prompter& current();

  protected:
    // A prompter that takes over from the one in use until it is destroyed (tests); it can pass a
    // question on to the one it replaced through previous().
    struct Replace {};
    explicit Prompter(Replace);
    Prompter* previous() const { return previous_; }

  private:
    Prompter* previous_ = nullptr;
    bool installed_ = false;
};

// The program's name, the title of refusals that have none of their own.
QString ProgramTitle();
// A refusal: one OK button, the program's name as title.
void ShowRefusal(QWidget* parent, const QString& text);
// A confirmation titled "Notice", no icon; returns the button pressed.
QMessageBox::StandardButton AskNotice(QWidget* parent, const QString& text,
                                      QMessageBox::StandardButtons buttons,
                                      QMessageBox::StandardButton defaultButton);
// A report with one OK button and its own title ("About", "Import Status").
void ShowReport(QWidget* parent, const QString& title, const QString& text);
// The same with an icon and details (the About box).
void ShowReport(QWidget* parent, const QString& title, const QString& text, const QIcon& icon,
                const QString& details);
// The input box: the text typed, or an empty text when cancelled.
QString AskText(QWidget* parent, const QString& title, const QString& label);

}  // namespace cantora
