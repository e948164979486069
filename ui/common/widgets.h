#pragma once

// Small pieces every window uses: clickable labels, focus-in/out callbacks, scroll bars whose
// handler runs once per step and once more on release, the busy pointer, buttons placed in twips,
// centring a window and the lenient number rule of value boxes.

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QString>
#include <functional>

#include "ui/common/twips.h"

namespace cantora {

// A label with click and double-click. A press and release inside is a click; the release that
// ends a double-click is not a second click. Takes no focus unless given it; then Return or
// Space clicks it.
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
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool pressed_ = false;
    bool inDoubleClick_ = false;
};

// Runs `handler` every time `widget` loses (or gets) the keyboard focus, changed text or not.
// Every such hook of a window goes quiet once DisarmFocusHooks(window) has run. A send from a
// hook keeps the user's input waiting until it ends (UserInputHold), so the click that moved
// the focus is not lost.
//
// Leaving a box means moving the focus to another control of the program: OnFocusOut does not
// run when the box's own context menu opens or when the user switches to another program (the
// box keeps the focus in its window and gets it back without a word).
void OnFocusOut(QWidget* widget, std::function<void()> handler);
void OnFocusIn(QWidget* widget, std::function<void()> handler);
// As OnFocusIn, but not when the focus only comes back with its whole window becoming active
// again (switching back from another program) or from a context menu closing.
void OnFocusGain(QWidget* widget, std::function<void()> handler);
// Silences every focus hook on `window` and its children. A window's destructor calls it first:
// the children lose the focus while they are destroyed, after the window's own members are gone.
void DisarmFocusHooks(QWidget* window);

// A horizontal scroll bar that can take the focus (so a click arms tools bound to its focus).
// The Left key lowers it and the Right key raises it.
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

// A named command button placed in twips, with an optional tool tip. Return on a focused button
// presses it as the toolkit decides for its window; NoReturnPresses changes that for a window.
template <typename Button = QPushButton>
Button* MakeButton(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                   int width, int height, const QString& toolTip = QString()) {
    auto* button = new Button(caption, parent);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    PlaceTwips(button, left, top, width, height);
    return button;
}
// A named frame and a named text box, placed in twips.
QGroupBox* MakeGroup(QWidget* parent, const QString& name, const QString& caption, int left,
                     int top, int width, int height);
QLineEdit* MakeBox(QWidget* parent, const QString& name, const QString& text, int left, int top,
                   int width, int height);

// Return in a text box of this window must not press any of its buttons.
void NoReturnPresses(QWidget* window);
// Return on a focused command button of this window presses it, as Space does.
void ReturnPressesFocusedButton(QWidget* window);

// Names a child window and gives it its caption as a tool window: thin title bar, close box
// only, kept out of the task bar. `widthTwips` and `heightTwips` fix its size when not 0.
void SetUpToolWindow(QWidget* window, const QString& name, const QString& caption,
                     int widthTwips = 0, int heightTwips = 0);

// Keeps a text box's selection highlighted while another control has the focus.
void KeepSelectionVisible(QWidget* textBox);

// Moves a window so that its frame stands in the middle of its screen's free area.
void CentreOnScreen(QWidget* window);

// The lenient number rule of a value box tied to a scroll bar from 0 to its maximum: a typed
// number above the maximum is replaced by the maximum, one below 0 by "0", and the scroll bar
// goes to the box's leading number rounded half to even within its range.
void ApplyNumberBox(QLineEdit* box, QScrollBar* bar);

}  // namespace cantora
