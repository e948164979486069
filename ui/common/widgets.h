#pragma once

// Small pieces every window uses: clickable labels, focus-in/out callbacks, scroll bars whose
// handler runs once per step and once more on release, the busy pointer and message boxes.

#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>
#include <QString>
#include <functional>

namespace cantora {

// A label with click and double-click. A press and release inside is a click; the release that
// ends a double-click is not a second click. Takes no focus.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ClickLabel(const QString& text = {}, QWidget* parent = nullptr);

  signals:
    void clicked();
    void doubleClicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
    bool inDoubleClick_ = false;
};

// Runs `handler` every time `widget` loses (or gets) the keyboard focus, changed text or not.
void OnFocusOut(QWidget* widget, std::function<void()> handler);
void OnFocusIn(QWidget* widget, std::function<void()> handler);

// A horizontal scroll bar that can take the focus (so a click arms tools bound to its focus).
QScrollBar* MakeScrollBar(QWidget* parent, int minimum, int maximum, int pageStep,
                          const QString& objectName);
// Connects the change handler: every value change (by user or code) runs it once, and the
// release of a dragged thumb runs it once more.
void OnScrollChange(QScrollBar* bar, std::function<void()> handler);

// The busy pointer for the life of the object; lets pending events run once when set and once
// after it is restored.
class BusyPointer {
  public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
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

}  // namespace cantora
