#include "ui/dictionary/frm_dict_edit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "core/dictionary_fill.h"
#include "core/dictionary_text.h"
#include "core/profile.h"
#include "ui/common/accessibility.h"
#include "ui/common/prompter.h"
#include "ui/common/twips.h"
#include "ui/common/widgets.h"
#include "ui/common/wrap_widgets.h"

namespace cantora {

namespace {

const QString kWordListName = QStringLiteral("ImportWords.txt");

}  // namespace

FrmDictEdit::FrmDictEdit(QWidget* parent) : QDialog(parent) {
    buildControls();
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
    QByteArray data;
    // A missing dictionary is simply empty; one that is there but unreadable is reported.
    if (QFileInfo::exists(path)) {
        QString error;
        if (!ReadWholeFile(path, &data, &error)) {
            data.clear();
            loadError_ = error.isEmpty() ? path : error;
        }
    }
    SetEditorText(dictionary::FileBytesToEditorText(data));
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

bool FrmDictEdit::SaveDictionary(QString* error, QByteArray* written) {
    QByteArray bytes = dictionary::EditorTextToFileBytes(EditorText());
    if (!ReplaceFileAtomically(DictionaryFilePath(), bytes, error)) {
        return false;
    }
    if (written != nullptr) {
        *written = std::move(bytes);
    }
    return true;
}

void FrmDictEdit::ReportFailedSave(const QString& error) {
    ShowRefusal(
        this, "The dictionary could not be saved; the file keeps what was last saved.\n\n" + error);
}

void FrmDictEdit::btnSaveChanges_Click() {
    QString error;
    if (!SaveDictionary(&error, nullptr)) {
        ReportFailedSave(error);
    }
}

void FrmDictEdit::btnSort_Click() {
    SaveThenRebuild([](const QStringList& lines) { return dictionary::BuildSortedText(lines); });
}

void FrmDictEdit::btnEraseBlank_Click() {
    SaveThenRebuild([](const QStringList& lines) { return dictionary::BuildErasedText(lines); });
}

void FrmDictEdit::SaveThenRebuild(const std::function<QString(const QStringList&)>& rebuild) {
    QString error;
    bool saved = false;
    {
        BusyPointer busy;
        QByteArray written;
        saved = SaveDictionary(&error, &written);
        if (saved) {
            // Work on exactly what the file now holds (a character the file cannot hold came
            // back as "?"), without reading it again.
            SetEditorText(
                rebuild(dictionary::SplitLines(dictionary::FileBytesToEditorText(written))));
        }
    }
    if (!saved) {
        ReportFailedSave(error);
    }
}

void FrmDictEdit::btnReadTerms_Click() {
    QString failure;
    qsizetype count = 0;
    btnReadTerms->setEnabled(false);
    {
        BusyPointer busy;
        const QString path = QDir::current().filePath(kWordListName);
        QByteArray data;
        QString error;
        if (!QFileInfo::exists(path)) {
            // A missing word list is made empty, so the user sees where to put words.
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                failure =
                    "The word list " + path + " could not be created.\n\n" + file.errorString();
            }
        }
        if (failure.isEmpty() && !ReadWholeFile(path, &data, &error)) {
            failure = "The word list " + path + " could not be read.\n\n" + error;
        }
        if (failure.isEmpty()) {
            // The dictionary file does not change during an import, so each word is asked
            // about once; repeats of a new word are still appended every time.
            QHash<QString, bool> known;
            QStringList newWords;
            dictionary::ForEachImportWord(Latin1Text(data), [&](const QString& word) {
                auto it = known.constFind(word);
                if (it == known.constEnd()) {
                    const bool present = dictionary::TrimBlanks(GetDictionaryValue(
                                             "Words", word, "NoEntry")) != "NoEntry";
                    it = known.insert(word, present);
                }
                if (!it.value()) {
                    newWords.append(word);
                }
            });
            count = newWords.size();
            if (!newWords.isEmpty()) {
                const QTextBlock last = txtDictionary->document()->lastBlock();
                const QString added =
                    dictionary::ImportEntriesText(newWords, !last.text().isEmpty());
                // One insertion for the lot: a line at a time is far too slow for long lists.
                QTextCursor cursor(txtDictionary->document());
                cursor.movePosition(QTextCursor::End);
                cursor.insertText(added);
            }
        }
        btnReadTerms->setEnabled(true);
    }
    if (!failure.isEmpty()) {
        ShowRefusal(this, failure);
        return;
    }
    ShowReport(this, "Import Status", QString::number(count) + " Words added");
}

void FrmDictEdit::cmdFillBlank_Click() {
    int filled = 0;
    cmdFillBlank->setEnabled(false);
    {
        BusyPointer busy;
        QString text = EditorText();
        filled = FillBlankEntries(text);
        if (filled > 0) {
            // One edit the user can undo in one step; the caret stays on its line.
            QTextCursor caret = txtDictionary->textCursor();
            const int line = caret.blockNumber();
            const int column = caret.positionInBlock();
            QTextCursor all(txtDictionary->document());
            all.beginEditBlock();
            all.select(QTextCursor::Document);
            all.insertText(text);
            all.endEditBlock();
            const QTextBlock block = txtDictionary->document()->findBlockByNumber(line);
            if (block.isValid()) {
                QTextCursor back(block);
                back.setPosition(block.position() + std::min(column, block.length() - 1));
                txtDictionary->setTextCursor(back);
                txtDictionary->ensureCursorVisible();
            }
        }
        cmdFillBlank->setEnabled(true);
    }
    ShowReport(this, "Fill Status", QString::number(filled) + " Entries filled");
}

}  // namespace cantora
