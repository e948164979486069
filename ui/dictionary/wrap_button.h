#pragma once

// A command button whose caption breaks onto a second line when the button is too narrow for it
// in one, as the editor's two tall buttons need with this platform's wider fonts.

#include <QPushButton>

namespace cantora {

class WrapButton : public QPushButton {
    Q_OBJECT
  public:
    explicit WrapButton(const QString& text, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace cantora
