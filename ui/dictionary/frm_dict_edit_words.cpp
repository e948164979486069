// The dictionary editor's word work: importing new words from the word list and filling blank
// entries with suggested pronunciations.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "core/dictionary/blank_entries.h"
#include "core/dictionary/editor_text.h"
#include "core/files/profile.h"
#include "ui/common/prompter.h"
#include "ui/common/widgets.h"
#include "ui/dictionary/frm_dict_edit.h"

namespace cantora {

namespace {

const QString kWordListName = QStringLiteral("ImportWords.txt");

}  // namespace

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
            // about once, and the file is checked for changes once for the whole list; repeats
            // of a new word are still appended every time.
            const profile::ReadBatch batch;
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
                AppendImportedWords(newWords);
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

void FrmDictEdit::AppendImportedWords(const QStringList& newWords) {
    QTextDocument* document = txtDictionary->document();
    dictionary::WordsHeaderScan scan;
    for (QTextBlock block = document->begin(); block.isValid() && !scan.done();
         block = block.next()) {
        scan.addLine(block.text());
    }
    const dictionary::WordsHeader header = scan.result();
    const QString added =
        dictionary::ImportEntriesText(newWords, !document->lastBlock().text().isEmpty(),
                                      header == dictionary::WordsHeader::BeforeEntries);
    // One insertion for the lot (a line at a time is far too slow for long lists), and with a
    // header at the top one edit that undo takes back whole.
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    if (header == dictionary::WordsHeader::AtTop) {
        cursor.movePosition(QTextCursor::Start);
        cursor.insertText(QStringLiteral("[words]\n"));
    }
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(added);
    cursor.endEditBlock();
}

void FrmDictEdit::cmdFillBlank_Click() {
    int filled = 0;
    int cut = 0;
    cmdFillBlank->setEnabled(false);
    {
        BusyPointer busy;
        QString text = EditorText();
        filled = FillBlankEntries(text, &cut);
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
    QString report = QString::number(filled) + " Entries filled";
    if (cut > 0) {
        report += QStringLiteral(
                      "\n\n%1 suggestions were longer than the dictionary reads back "
                      "(%2 characters) and were cut after their last whole code.")
                      .arg(cut)
                      .arg(kDictionaryValueLimit);
    }
    ShowReport(this, "Fill Status", report);
}

}  // namespace cantora
