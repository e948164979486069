#include "support/window_survey.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTextDocument>
#include <QToolButton>
#include <memory>

#include "support/test_support.h"
#include "ui/codes/frm_codes.h"
#include "ui/common/contrast.h"
#include "ui/common/wrap_widgets.h"
#include "ui/dictionary/frm_dict_edit.h"
#include "ui/main/frm_utility.h"
#include "ui/phrase/frm_phrase.h"
#include "ui/synth/frm_synth_ctrl.h"

namespace cantora::test {

namespace {

// The style options the controls paint with (their own initStyleOption is protected).
struct ButtonOptions : QPushButton {
    static QStyleOptionButton Of(const QPushButton* button) {
        QStyleOptionButton option;
        (button->*(&ButtonOptions::initStyleOption))(&option);
        return option;
    }
};
struct CheckOptions : QCheckBox {
    static QStyleOptionButton Of(const QCheckBox* box) {
        QStyleOptionButton option;
        (box->*(&CheckOptions::initStyleOption))(&option);
        return option;
    }
};
struct RadioOptions : QRadioButton {
    static QStyleOptionButton Of(const QRadioButton* button) {
        QStyleOptionButton option;
        (button->*(&RadioOptions::initStyleOption))(&option);
        return option;
    }
};
struct GroupOptions : QGroupBox {
    static QStyleOptionGroupBox Of(const QGroupBox* box) {
        QStyleOptionGroupBox option;
        (box->*(&GroupOptions::initStyleOption))(&option);
        return option;
    }
};

// The caption as shown: "&&" is one "&", a lone "&" marks the access key.
QString Shown(const QString& caption) {
    QString shown;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) {
            ++i;
        }
        shown.append(caption[i]);
    }
    return shown;
}

struct Caption {
    QString text;
    QRect room;
    bool wraps = false;
};

// Where a control draws its caption, or an empty text for controls without one.
Caption CaptionOf(QWidget* widget) {
    QStyle* style = widget->style();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->pixmap().isNull() && !Qt::mightBeRichText(label->text())) {
            const int margin = label->margin();
            return {label->text(), label->contentsRect().adjusted(margin, margin, -margin, -margin),
                    label->wordWrap()};
        }
        return {};
    }
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        const QStyleOptionButton option = ButtonOptions::Of(button);
        return {Shown(button->text()),
                style->subElementRect(QStyle::SE_PushButtonContents, &option, button),
                qobject_cast<WrapButton*>(widget) != nullptr};
    }
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        const QStyleOptionButton option = CheckOptions::Of(box);
        QRect room = style->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        room.setRight(box->width() - 1);
        room.setTop(0);
        room.setBottom(box->height() - 1);
        return {Shown(box->text()), room, qobject_cast<WrapCheckBox*>(widget) != nullptr};
    }
    if (auto* button = qobject_cast<QRadioButton*>(widget)) {
        const QStyleOptionButton option = RadioOptions::Of(button);
        QRect room = style->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
        room.setRight(button->width() - 1);
        room.setTop(0);
        room.setBottom(button->height() - 1);
        return {Shown(button->text()), room};
    }
    if (auto* button = qobject_cast<QToolButton*>(widget)) {
        return {Shown(button->text()), button->rect().adjusted(1, 1, -1, -1)};
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        // The caption may run up to the frame's right edge, no further.
        const QStyleOptionGroupBox option = GroupOptions::Of(group);
        const QRect label =
            style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
        return {Shown(group->title()), QRect(label.left(), label.top(),
                                             group->width() - label.left() - 4, label.height())};
    }
    return {};
}

QString Describe(QWidget* window, QWidget* widget, const QString& text, QSize need, QRect room) {
    return QStringLiteral("%1/%2 \"%3\": needs %4x%5, has %6x%7")
        .arg(window->objectName(), widget->objectName(), text)
        .arg(need.width())
        .arg(need.height())
        .arg(room.width())
        .arg(room.height());
}

// The widget as painted, with or without its children.
QImage Rendered(QWidget* widget, bool children) {
    QImage image(widget->size(), QImage::Format_RGB32);
    image.fill(widget->palette().color(QPalette::Window));
    QWidget::RenderFlags flags = QWidget::DrawWindowBackground;
    if (children) {
        flags |= QWidget::DrawChildren;
    }
    widget->render(&image, QPoint(), QRegion(), flags);
    return image;
}

}  // namespace

void ForEveryWindow(const std::function<void(const QString&, QWidget*)>& look) {
    TempProgramFolder folder;
    auto record = std::make_shared<PortRecord>();
    FrmUtility main(std::make_unique<RecordingPort>(record));
    const auto visit = [&look](QWidget* window) {
        window->show();
        QApplication::processEvents();
        look(window->objectName(), window);
        window->hide();
    };
    visit(&main);
    {
        FrmPhrase phrase(main, &main);
        visit(&phrase);
    }
    {
        FrmDictEdit dictionary(&main);
        visit(&dictionary);
    }
    {
        FrmSynthCtrl synth(main, &main);
        visit(&synth);
    }
    {
        FrmCodes codes(main, &main);
        visit(&codes);
    }
}

QStringList CaptionsThatDoNotFit(QWidget* window) {
    QStringList faults;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window)) {
            continue;
        }
        const Caption caption = CaptionOf(widget);
        if (caption.text.isEmpty()) {
            continue;
        }
        const QFontMetrics metrics(widget->font());
        QSize need;
        if (caption.wraps) {
            need = metrics
                       .boundingRect(QRect(0, 0, caption.room.width(), 100000),
                                     Qt::TextWordWrap | Qt::AlignLeft, caption.text)
                       .size();
        } else {
            need = QSize(metrics.horizontalAdvance(caption.text), metrics.height());
        }
        if (need.width() > caption.room.width() || need.height() > caption.room.height()) {
            faults << Describe(window, widget, caption.text, need, caption.room);
        }
        QWidget* container = widget->parentWidget();
        if (!container->rect().contains(widget->geometry())) {
            faults << Describe(window, widget, caption.text + " (outside its container)",
                               widget->size(), container->rect());
        }
    }
    return faults;
}

QStringList FrameLinesHidden(QWidget* window) {
    QStringList faults;
    for (QGroupBox* group : window->findChildren<QGroupBox*>()) {
        if (!group->isVisibleTo(window) || group->width() < 40 || group->height() < 40) {
            continue;
        }
        const QImage bare = Rendered(group, false);
        const QImage whole = Rendered(group, true);
        const QRect inside = group->contentsRect();
        // Each line of the frame: the darkest row (or column) of the bare frame between the
        // contents and the edge, walked along its length away from the rounded corners.
        const struct {
            const char* name;
            bool across;
            int from, to;
        } edges[] = {
            {"top", true, 0, inside.top() + 1},
            {"bottom", true, inside.bottom() - 1, group->height() - 1},
            {"left", false, 0, inside.left() + 1},
            {"right", false, inside.right() - 1, group->width() - 1},
        };
        for (const auto& edge : edges) {
            const int length = edge.across ? group->width() : group->height();
            const auto at = [&](const QImage& image, int line, int along) {
                return edge.across ? image.pixel(along, line) : image.pixel(line, along);
            };
            int line = edge.from;
            for (int candidate = edge.from; candidate <= edge.to; ++candidate) {
                if (qGray(at(bare, candidate, length / 2)) < qGray(at(bare, line, length / 2))) {
                    line = candidate;
                }
            }
            int hidden = 0;
            const int first = 8;
            const int last = length - 9;
            for (int along = first; along <= last; ++along) {
                hidden += at(bare, line, along) != at(whole, line, along) ? 1 : 0;
            }
            if (hidden * 5 > last - first + 1) {
                faults << QStringLiteral("%1/%2: %3 of %4 pixels of its %5 line are covered")
                              .arg(window->objectName(), group->objectName())
                              .arg(hidden)
                              .arg(last - first + 1)
                              .arg(edge.name);
            }
        }
    }
    return faults;
}

QStringList FixedColoursHardToRead(QWidget* window, double minimum) {
    QStringList faults;
    const QPalette theme = QApplication::palette();
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window) || !widget->testAttribute(Qt::WA_SetPalette)) {
            continue;
        }
        for (QPalette::ColorRole role : {QPalette::Button, QPalette::Base, QPalette::Window}) {
            const QColor background = widget->palette().color(QPalette::Active, role);
            const QColor text = widget->palette().color(QPalette::Active, TextRoleOn(role));
            if (background == theme.color(QPalette::Active, role) &&
                text == theme.color(QPalette::Active, TextRoleOn(role))) {
                continue;  // the theme's own
            }
            const double ratio = ContrastRatio(text, background);
            if (ratio < minimum) {
                faults << QStringLiteral("%1/%2: %3 on %4, contrast %5")
                              .arg(window->objectName(), widget->objectName(), text.name(),
                                   background.name())
                              .arg(ratio, 0, 'f', 2);
            }
        }
    }
    return faults;
}

}  // namespace cantora::test
