#include "ui/dictionary/frm_dict_edit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPalette>
#include <QResizeEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "core/dictionary/editor_text.h"
#include "core/files/profile.h"
#include "ui/common/accessibility.h"
#include "ui/common/prompter.h"
#include "ui/common/twips.h"
#include "ui/common/widgets.h"
#include "ui/common/wrap_widgets.h"

namespace cantora {

namespace {

const QString kUnsavedChanges =
    QStringLiteral("The dictionary has changes that are not saved. Save them before closing?");

const QString kChangedElsewhere = QStringLiteral(
    "The dictionary was changed by another program since you opened it. Overwrite it?");

// The text area lays every line out anew whenever the width of its view changes, and from then
// on keeps a layout for each line (hundreds of bytes a line, tens of megabytes for a large
// dictionary). So the view gets its final width before any text comes in: the vertical scroll
// bar always shows (appearing, it would narrow the view), and the area takes its size at once
// rather than when the window first shows.
void SettleTextAreaWidth(QPlainTextEdit* area) {
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    area->ensurePolished();
    for (QWidget* widget : {static_cast<QWidget*>(area), area->viewport()}) {
        QResizeEvent resize(widget->size(), QSize());
        QCoreApplication::sendEvent(widget, &resize);
        widget->setAttribute(Qt::WA_PendingResizeEvent, false);
    }
}

// The normal pointer over a question asked in the middle of a busy operation.
class NormalPointer {
  public:
    NormalPointer() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~NormalPointer() { QApplication::restoreOverrideCursor(); }
    NormalPointer(const NormalPointer&) = delete;
    NormalPointer& operator=(const NormalPointer&) = delete;
};

}  // namespace

FrmDictEdit::FrmDictEdit(QWidget* parent) : QDialog(parent) {
    buildControls();
    ReturnPressesFocusedButton(this);
    NameControlsForScreenReaders(this);
    Form_Load();
}

void FrmDictEdit::buildControls() {
    SetUpToolWindow(this, "frmDictEdit", "Cantora Dictionary Editor", 10350, 7500);

    txtDictionary = new QPlainTextEdit(this);
    txtDictionary->setObjectName("txtDictionary");
    // Every dictionary line stays one line on screen, however long its value.
    txtDictionary->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtDictionary->setTabChangesFocus(true);
    // A found word stays highlighted after the focus goes back to the buttons.
    KeepSelectionVisible(txtDictionary);
    PlaceTwips(txtDictionary, 60, 60, 8925, 7395);
    SettleTextAreaWidth(txtDictionary);

    btnReadTerms =
        MakeButton<WrapButton>(this, "btnReadTerms", "Import New Words", 9060, 210, 1245, 615);
    btnEraseBlank =
        MakeButton<WrapButton>(this, "btnEraseBlank", "Erase Blank Entries", 9060, 930, 1245, 585);
    cmdFillBlank =
        MakeButton<WrapButton>(this, "cmdFillBlank", "Fill Blank Entries", 9060, 1620, 1245, 585);
    cmdFillBlank->setToolTip("Give every entry without sounds a suggested pronunciation.");
    btnFind = MakeButton<WrapButton>(this, "btnFind", "Find", 9060, 3540, 1245, 435);
    btnSort = MakeButton<WrapButton>(this, "btnSort", "Save && Sort", 9060, 5460, 1245, 435);
    btnSaveChanges =
        MakeButton<WrapButton>(this, "btnSaveChanges", "Save Changes", 9060, 6000, 1245, 435);
    btnDone = MakeButton<WrapButton>(this, "btnDone", "Done", 9060, 6960, 1245, 435);

    setTabOrder(btnReadTerms, txtDictionary);
    setTabOrder(txtDictionary, btnSaveChanges);
    setTabOrder(btnSaveChanges, btnSort);
    setTabOrder(btnSort, btnDone);
    setTabOrder(btnDone, btnFind);
    setTabOrder(btnFind, btnEraseBlank);
    setTabOrder(btnEraseBlank, cmdFillBlank);

    connect(btnFind, &QPushButton::clicked, this, [this] { btnFind_Click(); });
    connect(btnSaveChanges, &QPushButton::clicked, this, [this] { btnSaveChanges_Click(); });
    connect(btnSort, &QPushButton::clicked, this, [this] { btnSort_Click(); });
    connect(btnEraseBlank, &QPushButton::clicked, this, [this] { btnEraseBlank_Click(); });
    connect(btnReadTerms, &QPushButton::clicked, this, [this] { btnReadTerms_Click(); });
    connect(cmdFillBlank, &QPushButton::clicked, this, [this] { cmdFillBlank_Click(); });
    connect(btnDone, &QPushButton::clicked, this, [this] { close(); });
}

void FrmDictEdit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shownOnce_) {
        return;
    }
    shownOnce_ = true;
    CentreOnScreen(this);
    if (!loadError_.isEmpty()) {
        // Once the window is up, so the message has its owner on screen. The timer belongs to
        // the window, so it does not fire after the window has gone.
        QTimer::singleShot(0, this, [this] {
            ShowRefusal(this,
                        "The dictionary file could not be read, so the editor opens "
                        "empty.\n\n" +
                            loadError_);
        });
    }
}

bool FrmDictEdit::HasUnsavedChanges() const {
    // Typing marks the text modified; only then is it compared with what was loaded or saved
    // (typing a line and deleting it again changes nothing).
    if (!txtDictionary->document()->isModified()) {
        return false;
    }
    QString ignored;
    return FingerprintOfBytes(EditorFileBytes(&ignored)) != inEditor_;
}

void FrmDictEdit::closeEvent(QCloseEvent* event) {
    if (asking_ || !HasUnsavedChanges()) {
        // A second click on the close box while the question is up counts for nothing.
        asking_ ? event->ignore() : event->accept();
        return;
    }
    asking_ = true;
    const auto answer =
        AskNotice(this, kUnsavedChanges, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                  QMessageBox::Yes);
    bool close = answer == QMessageBox::No;
    if (answer == QMessageBox::Yes) {
        QString refusal;
        const Saved saved = SaveDictionary(nullptr, &refusal);
        if (saved == Saved::Failed) {
            ShowRefusal(this, refusal);
        }
        close = saved == Saved::Yes;
    }
    asking_ = false;
    close ? event->accept() : event->ignore();
}

void FrmDictEdit::keyPressEvent(QKeyEvent* event) {
    // Escape must not close the editor and drop unsaved edits: only "Done" and the close box do.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QString FrmDictEdit::EditorText() const {
    // The raw text keeps every character as typed (the plain-text view would turn non-breaking
    // spaces into blanks); its paragraph separators become "\n".
    QString text = txtDictionary->document()->toRawText();
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            c = u'\n';
        }
    }
    return text;
}

void FrmDictEdit::SetEditorText(const QString& text) {
    ReplaceTextQuietly(txtDictionary, text);
}

void FrmDictEdit::Form_Load() {
    const QString path = DictionaryFilePath();
    QString text;
    {
        QByteArray data;
        onDiskKnown_ = true;
        onDisk_ = FileFingerprint{};
        // A missing dictionary is simply empty; one that is there but unreadable is reported,
        // and what it holds is unknown, so no save may replace it unasked.
        if (QFileInfo::exists(path)) {
            QString error;
            if (ReadWholeFile(path, &data, &error)) {
                onDisk_ = FingerprintOfBytes(data);
            } else {
                data.clear();
                onDiskKnown_ = false;
                loadError_ = error.isEmpty() ? path : error;
            }
        }
        text = dictionary::FileBytesToEditorText(data);
    }
    SetEditorText(text);
    QString ignored;
    inEditor_ = FingerprintOfBytes(EditorFileBytes(&ignored));
}

void FrmDictEdit::btnFind_Click() {
    const QString needle = AskText(this, "Find", "Find:");
    QTextCursor cursor = txtDictionary->textCursor();
    const QString text = EditorText();
    qsizetype from = 0;
    qsizetype to = text.size();
    if (cursor.hasSelection()) {
        from = cursor.selectionStart();
        to = cursor.selectionEnd();
    }
    const qsizetype at = dictionary::FindText(text, needle, from, to);
    if (at < 0) {
        return;
    }
    cursor.setPosition(static_cast<int>(at));
    cursor.setPosition(static_cast<int>(at + needle.size()), QTextCursor::KeepAnchor);
    txtDictionary->setTextCursor(cursor);
    txtDictionary->ensureCursorVisible();
}

QByteArray FrmDictEdit::EditorFileBytes(QString* badName) const {
    const QTextDocument* document = txtDictionary->document();
    QByteArray bytes;
    bytes.reserve(document->characterCount() + document->blockCount() + 16);
    int number = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString line = block.text();
        if (++number > 1) {
            bytes.append("\r\n", 2);
        }
        if (badName->isEmpty()) {
            const QString character = dictionary::UnstorableNameCharacter(line);
            if (!character.isEmpty()) {
                *badName = QStringLiteral(
                               "The character \"%1\" on line %2 cannot be stored in the "
                               "dictionary file.  Nothing was saved.")
                               .arg(character)
                               .arg(number);
            }
        }
        dictionary::AppendFileBytes(bytes, line);
    }
    return bytes;
}

FrmDictEdit::Saved FrmDictEdit::SaveDictionary(QByteArray* written, QString* refusal) {
    QByteArray bytes = EditorFileBytes(refusal);
    if (!refusal->isEmpty()) {
        return Saved::Failed;
    }
    const QString path = DictionaryFilePath();
    FileFingerprint now;
    QString error;
    if (!FingerprintOfFile(path, &now, &error)) {
        *refusal =
            "The dictionary could not be saved: the file cannot be read, so it is not "
            "replaced.\n\n" +
            error;
        return Saved::Failed;
    }
    // Only a file that is there can hold changes to lose; one that went away is simply made anew.
    if (now.exists && !(onDiskKnown_ && now == onDisk_)) {
        NormalPointer pointer;
        if (AskNotice(this, kChangedElsewhere, QMessageBox::Yes | QMessageBox::No,
                      QMessageBox::No) != QMessageBox::Yes) {
            return Saved::Declined;
        }
    }
    if (!ReplaceFileAtomically(path, bytes, &error)) {
        *refusal =
            "The dictionary could not be saved; the file keeps what was last saved.\n\n" + error;
        return Saved::Failed;
    }
    onDisk_ = FingerprintOfBytes(bytes);
    onDiskKnown_ = true;
    inEditor_ = onDisk_;
    txtDictionary->document()->setModified(false);
    if (written != nullptr) {
        *written = std::move(bytes);
    }
    return Saved::Yes;
}

void FrmDictEdit::btnSaveChanges_Click() {
    QString refusal;
    if (SaveDictionary(nullptr, &refusal) == Saved::Failed) {
        ShowRefusal(this, refusal);
    }
}

void FrmDictEdit::btnSort_Click() {
    SaveThenRebuild(&dictionary::SortedTextFromFile, true);
}

void FrmDictEdit::btnEraseBlank_Click() {
    SaveThenRebuild(&dictionary::ErasedTextFromFile, false);
}

void FrmDictEdit::SaveThenRebuild(QString (*rebuild)(QByteArray), bool saveRebuilt) {
    QString refusal;
    Saved saved = Saved::Failed;
    {
        BusyPointer busy;
        QByteArray written;
        saved = SaveDictionary(&written, &refusal);
        if (saved == Saved::Yes) {
            // Work on exactly what the file now holds (a character the file cannot hold came
            // back as "?"), without reading it again; the bytes go as soon as they are read.
            SetEditorText(rebuild(std::move(written)));
            // The rebuilt text is not what the file holds until it too is saved.
            txtDictionary->document()->setModified(true);
            if (saveRebuilt) {
                saved = SaveDictionary(nullptr, &refusal);
            }
        }
    }
    if (saved == Saved::Failed) {
        ShowRefusal(this, refusal);
    }
}

}  // namespace cantora
