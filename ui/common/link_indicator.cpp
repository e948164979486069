#include "ui/common/link_indicator.h"

#include <QEvent>
#include <QFrame>
#include <QPointer>

#include "ui/common/contrast.h"
#include "ui/common/twips.h"

namespace cantora {

namespace {

// Copies the port box's colour and tool tip whenever either changes.
class Follower : public QObject {
  public:
    Follower(QWidget* indicator, QWidget* portBox)
        : QObject(indicator), indicator_(indicator), portBox_(portBox) {
        portBox->installEventFilter(this);
        copy();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == portBox_ &&
            (event->type() == QEvent::PaletteChange || event->type() == QEvent::ToolTipChange)) {
            copy();
        }
        return false;
    }

  private:
    void copy() {
        if (portBox_.isNull()) {
            return;
        }
        SetFixedBackground(indicator_, portBox_->palette().color(QPalette::Active, QPalette::Base),
                           QPalette::Window);
        indicator_->setToolTip(portBox_->toolTip());
    }

    QWidget* indicator_;
    QPointer<QWidget> portBox_;
};

}  // namespace

QWidget* MakeLinkIndicator(QWidget* parent, QWidget* portBox, int left, int top, int width,
                           int height) {
    auto* indicator = new QFrame(parent);
    indicator->setObjectName("picLink");
    indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    indicator->setAutoFillBackground(true);
    indicator->setAccessibleName("Link to the Quillon");
    PlaceTwips(indicator, left, top, width, height);
    if (portBox != nullptr) {
        new Follower(indicator, portBox);
    }
    return indicator;
}

}  // namespace cantora
