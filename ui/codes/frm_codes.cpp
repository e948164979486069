#include "ui/codes/frm_codes.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QResizeEvent>

#include "core/codes/viewer_layout.h"
#include "core/files/whole_file.h"
#include "ui/common/accessibility.h"
#include "ui/common/prompter.h"
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
    cmdCopyC = MakeButton(this, "cmdCopyC", "Copy as C", 0, 0, 0, 0,
                          "Copy the codes as a C array, ready to paste into a program.");
    cmdSaveAs = MakeButton(this, "cmdSaveAs", QStringLiteral("Save As\u2026"), 0, 0, 0, 0,
                           "Save the codes as a C header (.h), raw bytes (.bin) or text (.txt).");

    setTabOrder(txtCodes, btnCopy);
    setTabOrder(btnCopy, btnDone);
    setTabOrder(btnDone, cmdCopyC);
    setTabOrder(cmdCopyC, cmdSaveAs);

    connect(btnCopy, &QPushButton::clicked, this, [this] { btnCopy_Click(); });
    connect(btnDone, &QPushButton::clicked, this, [this] { close(); });
    connect(cmdCopyC, &QPushButton::clicked, this, [this] { cmdCopyC_Click(); });
    connect(cmdSaveAs, &QPushButton::clicked, this, [this] { cmdSaveAs_Click(); });

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
    Place(cmdSaveAs, layout.cmdSaveAs);
    Place(cmdCopyC, layout.cmdCopyC);
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

std::optional<CPhrase> FrmCodes::phraseOfBox() {
    QString bad;
    const std::optional<QByteArray> codes = DecimalTextToCodes(txtCodes->toPlainText(), &bad);
    if (!codes) {
        ShowRefusal(this, QStringLiteral("\"%1\" is not a code: the box must hold numbers from "
                                         "0 to 255 between commas.")
                              .arg(bad));
        return std::nullopt;
    }
    return CPhrase{QString::fromLatin1(kCPhraseName), main_.QuillonPhrase, *codes};
}

void FrmCodes::cmdCopyC_Click() {
    const std::optional<CPhrase> phrase = phraseOfBox();
    if (!phrase) {
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(CArrayText(*phrase));
}

namespace {

// Where the next "Save As…" starts: the last file saved in this run, else the home folder.
QString& LastCodesPath() {
    static QString path = QDir::home().filePath(QStringLiteral("phrase.h"));
    return path;
}

}  // namespace

void FrmCodes::cmdSaveAs_Click() {
    QPointer<FrmCodes> self(this);
    QString path = Prompter::current().saveFileName(
        this, QStringLiteral("Save As"), LastCodesPath(),
        QStringLiteral("C header (*.h);;Raw bytes (*.bin);;Decimal text (*.txt)"));
    if (self.isNull() || path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        // The dialog asked about the name as typed, not about this one.
        path += QStringLiteral(".h");
        if (QFileInfo::exists(path) &&
            AskNotice(this,
                      QStringLiteral("%1 already exists.  Replace it?")
                          .arg(QDir::toNativeSeparators(path)),
                      QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
            return;
        }
    }
    const CodesFileKind kind = CodesFileKindOf(path);
    if (kind == CodesFileKind::Unknown) {
        ShowRefusal(this, QStringLiteral("Save the codes in a file ending in .h (a C header), .bin "
                                         "(raw bytes) or .txt (text).  Nothing was saved."));
        return;
    }
    const std::optional<CPhrase> phrase =
        kind == CodesFileKind::Text ? std::optional<CPhrase>(CPhrase{}) : phraseOfBox();
    if (!phrase) {
        return;
    }
    QString error;
    if (!ReplaceFileAtomically(path, CodesFileBytes(kind, *phrase, txtCodes->toPlainText()),
                               &error)) {
        ShowRefusal(this, QStringLiteral("The file %1 could not be written.  %2")
                              .arg(QDir::toNativeSeparators(path), error));
        return;
    }
    LastCodesPath() = path;
}

}  // namespace cantora
