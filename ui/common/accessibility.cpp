#include "ui/common/accessibility.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace cantora {

namespace {

// A caption as a screen reader should say it: "&&" is one "&", a single "&" marks the access key.
QString PlainCaption(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) {
            ++i;
        }
        plain += caption[i];
    }
    return plain.simplified();
}

bool HasLetterOrDigit(const QString& text) {
    for (const QChar c : text) {
        if (c.isLetterOrNumber()) {
            return true;
        }
    }
    return false;
}

// Parts of Qt's own composite widgets (the scroll bars of a text area, the box inside a spin
// box) are named by Qt.
bool IsInternalPart(const QWidget* widget, const QWidget* window) {
    for (const QWidget* w = widget; w != nullptr && w != window; w = w->parentWidget()) {
        if (w->objectName().startsWith(QLatin1String("qt_"))) {
            return true;
        }
        const QWidget* parent = w->parentWidget();
        if (parent != nullptr && parent != window &&
            (qobject_cast<const QAbstractScrollArea*>(parent) != nullptr ||
             qobject_cast<const QComboBox*>(parent) != nullptr)) {
            return true;
        }
    }
    return false;
}

// The label of a box: its buddy label, else the nearest label on its left in the same row, else
// the nearest one just above it.
QString LabelCaptionFor(const QWidget* box) {
    const QWidget* parent = box->parentWidget();
    if (parent == nullptr) {
        return {};
    }
    const QList<QLabel*> labels = parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    for (const QLabel* label : labels) {
        if (label->buddy() == box && !label->text().isEmpty()) {
            return PlainCaption(label->text());
        }
    }
    const QRect area = box->geometry();
    const QLabel* left = nullptr;
    const QLabel* above = nullptr;
    int leftGap = 0;
    int aboveGap = 0;
    for (const QLabel* label : labels) {
        const QRect r = label->geometry();
        if (label->text().trimmed().isEmpty()) {
            continue;
        }
        const bool sameRow = r.center().y() >= area.top() && r.center().y() <= area.bottom();
        if (sameRow && r.right() <= area.left() + 2) {
            const int gap = area.left() - r.right();
            if (left == nullptr || gap < leftGap) {
                left = label;
                leftGap = gap;
            }
        }
        const bool overlapsColumns = r.left() < area.right() && r.right() > area.left();
        if (overlapsColumns && r.bottom() <= area.top() + 2) {
            const int gap = area.top() - r.bottom();
            if (gap < area.height() + r.height() && (above == nullptr || gap < aboveGap)) {
                above = label;
                aboveGap = gap;
            }
        }
    }
    if (left != nullptr) {
        return PlainCaption(left->text());
    }
    if (above != nullptr) {
        return PlainCaption(above->text());
    }
    return {};
}

QString FrameCaptionFor(const QWidget* widget) {
    for (const QWidget* w = widget->parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (const auto* frame = qobject_cast<const QGroupBox*>(w);
            frame != nullptr && !frame->title().isEmpty()) {
            return PlainCaption(frame->title());
        }
        if (w->isWindow()) {
            break;
        }
    }
    return {};
}

QString NameFor(QWidget* widget, QWidget* window) {
    if (const auto* button = qobject_cast<QAbstractButton*>(widget)) {
        const QString caption = PlainCaption(button->text());
        if (!HasLetterOrDigit(caption) && !button->toolTip().isEmpty()) {
            return button->toolTip();
        }
        return caption;
    }
    if (const auto* label = qobject_cast<QLabel*>(widget)) {
        // A label's caption is shown literally ("&&" stays two signs only with a buddy).
        return label->buddy() != nullptr ? PlainCaption(label->text()) : label->text().simplified();
    }
    if (const auto* frame = qobject_cast<QGroupBox*>(widget)) {
        return PlainCaption(frame->title());
    }
    if (qobject_cast<QLineEdit*>(widget) != nullptr ||
        qobject_cast<QAbstractScrollArea*>(widget) != nullptr ||
        qobject_cast<QAbstractSlider*>(widget) != nullptr ||
        qobject_cast<QComboBox*>(widget) != nullptr) {
        QString name = LabelCaptionFor(widget);
        if (name.isEmpty()) {
            name = FrameCaptionFor(widget);
        }
        if (name.isEmpty()) {
            name = widget->toolTip();
        }
        if (name.isEmpty()) {
            name = window->windowTitle();
        }
        return name;
    }
    if (widget->focusPolicy() != Qt::NoFocus) {
        return window->windowTitle();
    }
    return {};
}

}  // namespace

void NameControlsForScreenReaders(QWidget* window) {
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->accessibleName().isEmpty() || IsInternalPart(widget, window) ||
            widget->isWindow()) {
            continue;
        }
        const QString name = NameFor(widget, window);
        if (!name.isEmpty()) {
            widget->setAccessibleName(name);
        }
        if (qobject_cast<QLabel*>(widget) != nullptr && widget->accessibleDescription().isEmpty() &&
            !widget->toolTip().isEmpty()) {
            widget->setAccessibleDescription(widget->toolTip());
        }
    }
}

namespace {

const QObject* g_quietBox = nullptr;
QAccessible::UpdateHandler g_previousHandler = nullptr;

void DropTextChangesOfQuietBox(QAccessibleEvent* event) {
    const QAccessible::Event type = event->type();
    if (event->object() == g_quietBox &&
        (type == QAccessible::TextInserted || type == QAccessible::TextRemoved ||
         type == QAccessible::TextUpdated)) {
        return;
    }
    // Everything else goes on as usual.
    if (g_previousHandler != nullptr) {
        g_previousHandler(event);
        return;
    }
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(DropTextChangesOfQuietBox);
}

}  // namespace

void ReplaceTextQuietly(QPlainTextEdit* box, const QString& text) {
    if (!QAccessible::isActive() || g_quietBox != nullptr) {
        box->setPlainText(text);
        return;
    }
    g_quietBox = box;
    g_previousHandler = QAccessible::installUpdateHandler(DropTextChangesOfQuietBox);
    box->setPlainText(text);
    QAccessible::installUpdateHandler(g_previousHandler);
    g_previousHandler = nullptr;
    g_quietBox = nullptr;
    // The caret is at the start of the new text: a screen reader reads that line.
    QAccessibleTextCursorEvent moved(box, box->textCursor().position());
    QAccessible::updateAccessibility(&moved);
}

}  // namespace cantora
