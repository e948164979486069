#pragma once

// The codes viewer: a code list as decimal numbers, editable, copied to the clipboard whole.

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <optional>

#include "core/codes/c_export.h"

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
    // The codes as a C array on the clipboard, and in a header, raw or text file.
    QPushButton* cmdCopyC = nullptr;
    QPushButton* cmdSaveAs = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Form_Load();
    void Form_Resize();
    void btnCopy_Click();
    void cmdCopyC_Click();
    void cmdSaveAs_Click();
    // The box's codes with the phrase they came from; empty (after telling why) when the box
    // holds something other than numbers 0 to 255.
    std::optional<CPhrase> phraseOfBox();

    UtilityHost& main_;
    bool centred_ = false;
};

}  // namespace cantora
