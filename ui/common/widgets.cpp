#include "ui/common/widgets.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>

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
    FocusFilter(QObject* parent, QEvent::Type type, std::function<void()> handler)
        : QObject(parent), type_(type), handler_(std::move(handler)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == type_ && handler_) {
            handler_();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QEvent::Type type_;
    std::function<void()> handler_;
};

}  // namespace

void OnFocusOut(QWidget* widget, std::function<void()> handler) {
    widget->installEventFilter(new FocusFilter(widget, QEvent::FocusOut, std::move(handler)));
}

void OnFocusIn(QWidget* widget, std::function<void()> handler) {
    widget->installEventFilter(new FocusFilter(widget, QEvent::FocusIn, std::move(handler)));
}

QScrollBar* MakeScrollBar(QWidget* parent, int minimum, int maximum, int pageStep,
                          const QString& objectName) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
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

QString ProgramTitle() {
    return QStringLiteral("Cantora Utility");
}

void ShowRefusal(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, ProgramTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

QMessageBox::StandardButton AskNotice(QWidget* parent, const QString& text,
                                      QMessageBox::StandardButtons buttons,
                                      QMessageBox::StandardButton defaultButton) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Notice"), text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void ShowReport(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace cantora
