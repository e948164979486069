#pragma once

// A command button and a check box whose captions break onto a second line when the control is
// too narrow for them in one, as some tall controls need with this platform's wider fonts. The
// caption stays the control's text.

#include <QCheckBox>
#include <QPushButton>

namespace cantora {

class WrapButton : public QPushButton {
    Q_OBJECT
  public:
    explicit WrapButton(const QString& text, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// The whole box is clickable, caption included.
class WrapCheckBox : public QCheckBox {
    Q_OBJECT
  public:
    explicit WrapCheckBox(const QString& text, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

}  // namespace cantora
