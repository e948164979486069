#include "ui/codes/frm_codes.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QResizeEvent>

#include "core/codes/viewer_layout.h"
#include "ui/common/accessibility.h"
#include "ui/common/twips.h"
#include "ui/common/utility_host.h"
#include "ui/common/widgets.h"

namespace cantora {

namespace {

void Place(QWidget* widget, const TwipsBox& box) {
    PlaceTwips(widget, box.left, box.top, box.width, box.height);
}

}  // namespace

FrmCodes::FrmCodes(UtilityHost& main, QWidget* parent) : QDialog(parent), main_(main) {
    // Sizable.
    SetUpToolWindow(this, "frmCodes", "Cantora Codes");

    // Created in tab order: text, Copy, Done.
    txtCodes = new QPlainTextEdit(this);
    txtCodes->setObjectName("txtCodes");
    txtCodes->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtCodes->setTabChangesFocus(true);

    // Placed by Form_Resize.
    btnCopy = MakeButton(this, "btnCopy", "Copy to Clipboard", 0, 0, 0, 0,
                         "Copy the numeric Quillon codes to the windows Clipboard.");
    btnDone = MakeButton(this, "btnDone", "Done", 0, 0, 0, 0);

    setTabOrder(txtCodes, btnCopy);
    setTabOrder(btnCopy, btnDone);

    connect(btnCopy, &QPushButton::clicked, this, [this] { btnCopy_Click(); });
    connect(btnDone, &QPushButton::clicked, this, [this] { close(); });

    resize(TwipsToPx(7335), TwipsToPx(5265));
    Form_Load();
    Form_Resize();
    ReturnPressesFocusedButton(this);
    NameControlsForScreenReaders(this);
}

void FrmCodes::Form_Load() {
    txtCodes->setPlainText(main_.QuillonCodes);
}

void FrmCodes::Form_Resize() {
    const CodesLayout layout = ComputeCodesLayout(PxToTwips(width()), PxToTwips(height()));
    Place(txtCodes, layout.txtCodes);
    Place(btnCopy, layout.btnCopy);
    Place(btnDone, layout.btnDone);
}

void FrmCodes::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!centred_) {
        centred_ = true;
        CentreOnScreen(this);
    }
    Form_Resize();
}

void FrmCodes::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void FrmCodes::btnCopy_Click() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    // Clear first so no other format of an older copy stays beside the text.
    clipboard->clear();
    clipboard->setText(txtCodes->toPlainText());
}

}  // namespace cantora
