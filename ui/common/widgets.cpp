#include "ui/common/widgets.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>

#include "core/codes/lenient_numbers.h"
#include "core/serial/serial_link.h"

namespace cantora {

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setFocusPolicy(Qt::NoFocus);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
    }
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (event->button() != Qt::LeftButton) {
        return QLabel::mouseReleaseEvent(event);
    }
    if (inDoubleClick_) {
        // The release that ends a double-click: the click went out with the first release.
        inDoubleClick_ = false;
        return;
    }
    if (wasPressed && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

void ClickLabel::keyPressEvent(QKeyEvent* event) {
    // Reached with Tab when its window lets it take the focus: Return or Space click it.
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        inDoubleClick_ = true;
        emit doubleClicked();
        return;
    }
    QLabel::mouseDoubleClickEvent(event);
}

namespace {

class FocusFilter : public QObject {
  public:
    FocusFilter(QObject* parent, QEvent::Type type, bool ignoreWindowActivation,
                std::function<void()> handler)
        : QObject(parent),
          type_(type),
          ignoreWindowActivation_(ignoreWindowActivation),
          handler_(std::move(handler)) {}

    void disarm() { handler_ = nullptr; }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == type_ && handler_) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (!ignoreWindowActivation_ ||
                (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)) {
                // The press that moved the focus has not reached its control yet: a send from
                // here must leave the release waiting behind it.
                UserInputHold hold;
                handler_();
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QEvent::Type type_;
    bool ignoreWindowActivation_;
    std::function<void()> handler_;
};

}  // namespace

void OnFocusOut(QWidget* widget, std::function<void()> handler) {
    widget->installEventFilter(new FocusFilter(widget, QEvent::FocusOut, true, std::move(handler)));
}

void OnFocusIn(QWidget* widget, std::function<void()> handler) {
    widget->installEventFilter(new FocusFilter(widget, QEvent::FocusIn, false, std::move(handler)));
}

void OnFocusGain(QWidget* widget, std::function<void()> handler) {
    widget->installEventFilter(new FocusFilter(widget, QEvent::FocusIn, true, std::move(handler)));
}

void DisarmFocusHooks(QWidget* window) {
    // The filter has no meta-object of its own, so the search is by C++ type.
    for (QObject* child : window->findChildren<QObject*>()) {
        if (auto* filter = dynamic_cast<FocusFilter*>(child)) {
            filter->disarm();
        }
    }
}

namespace {

// Qt's scroll bars invert their controls (so that the wheel scrolls as in a page), which also
// turns the Left and Right keys around. Left lowers and Right raises here, as in every value
// control; the wheel, Up, Down, Page Up and Page Down keep Qt's directions.
class ValueScrollBar : public QScrollBar {
  public:
    using QScrollBar::QScrollBar;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool left = event->key() == Qt::Key_Left;
        if (!left && event->key() != Qt::Key_Right) {
            return QScrollBar::keyPressEvent(event);
        }
        const bool lower = left != isRightToLeft();
        triggerAction(lower ? SliderSingleStepSub : SliderSingleStepAdd);
        event->accept();
    }
};

}  // namespace

QScrollBar* MakeScrollBar(QWidget* parent, int minimum, int maximum, int pageStep,
                          const QString& objectName) {
    auto* bar = new ValueScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(objectName);
    bar->setRange(minimum, maximum);
    bar->setSingleStep(1);
    bar->setPageStep(pageStep);
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

void OnScrollChange(QScrollBar* bar, std::function<void()> handler) {
    // valueChanged covers drags step by step, clicks and changes by code; only the release of a
    // drag needs its own connection (it emits no valueChanged).
    QObject::connect(bar, &QScrollBar::valueChanged, bar, [handler](int) { handler(); });
    QObject::connect(bar, &QScrollBar::sliderReleased, bar, [handler] { handler(); });
}

BusyPointer::BusyPointer() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
}

BusyPointer::~BusyPointer() {
    QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents();
}

QGroupBox* MakeGroup(QWidget* parent, const QString& name, const QString& caption, int left,
                     int top, int width, int height) {
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(name);
    PlaceTwips(group, left, top, width, height);
    return group;
}

QLineEdit* MakeBox(QWidget* parent, const QString& name, const QString& text, int left, int top,
                   int width, int height) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    PlaceTwips(box, left, top, width, height);
    return box;
}

void NoReturnPresses(QWidget* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

namespace {

// Return or Enter on a focused button presses it, as Space does.
class ReturnOnButton : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (button == nullptr || (key != Qt::Key_Return && key != Qt::Key_Enter) ||
            !button->isEnabled()) {
            return false;
        }
        button->click();
        return true;
    }
};

}  // namespace

void ReturnPressesFocusedButton(QWidget* window) {
    auto* filter = new ReturnOnButton(window);
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (qobject_cast<QPushButton*>(button) != nullptr ||
            qobject_cast<QToolButton*>(button) != nullptr) {
            button->installEventFilter(filter);
        }
    }
}

void SetUpToolWindow(QWidget* window, const QString& name, const QString& caption, int widthTwips,
                     int heightTwips) {
    window->setObjectName(name);
    window->setWindowTitle(caption);
    window->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    if (widthTwips > 0 && heightTwips > 0) {
        window->setFixedSize(TwipsToPx(widthTwips), TwipsToPx(heightTwips));
    }
}

void KeepSelectionVisible(QWidget* textBox) {
    QPalette colours = textBox->palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    textBox->setPalette(colours);
}

void CentreOnScreen(QWidget* window) {
    if (QScreen* screen = window->screen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

void ApplyNumberBox(QLineEdit* box, QScrollBar* bar) {
    const int maximum = bar->maximum();
    const double typed = LeadingNumber(box->text());
    if (typed > maximum) {
        box->setText(QString::number(maximum));
    } else if (typed < 0) {
        box->setText(QStringLiteral("0"));
    }
    bar->setValue(NearestPosition(LeadingNumber(box->text()), maximum));
}

}  // namespace cantora
