#pragma once

// The codes viewer: a code list as decimal numbers, editable, copied to the clipboard whole.

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>

namespace cantora {

class UtilityHost;

class FrmCodes : public QDialog {
    Q_OBJECT
  public:
    // Reads main.QuillonCodes once, now.
    explicit FrmCodes(UtilityHost& main, QWidget* parent = nullptr);

    QPlainTextEdit* txtCodes = nullptr;
    QPushButton* btnCopy = nullptr;
    QPushButton* btnDone = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Form_Load();
    void Form_Resize();
    void btnCopy_Click();

    UtilityHost& main_;
    bool centred_ = false;
};

}  // namespace cantora
