#pragma once

// The dictionary editor: the whole dictionary file as one plain text, with find, save, sort,
// erasing blank entries, importing new words from a word list and filling blank entries with
// suggested pronunciations.

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>

#include "core/files/fingerprint.h"

namespace cantora {

class FrmDictEdit : public QDialog {
    Q_OBJECT
  public:
    // Loads the dictionary file now.
    explicit FrmDictEdit(QWidget* parent = nullptr);

    // The editor's text as plain characters: "\n" at every line end, nothing replaced.
    QString EditorText() const;

    // Controls, named as in the window's layout.
    QPlainTextEdit* txtDictionary = nullptr;
    QPushButton* btnReadTerms = nullptr;
    QPushButton* btnEraseBlank = nullptr;
    // Gives every blank entry of the text its suggested pronunciation; saves nothing.
    QPushButton* cmdFillBlank = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnSort = nullptr;
    QPushButton* btnSaveChanges = nullptr;
    QPushButton* btnDone = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // "Done" and the close box: asks first when the text has changes that are not saved.
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void Form_Load();
    void btnFind_Click();
    void btnSaveChanges_Click();
    void btnSort_Click();
    void btnEraseBlank_Click();
    void btnReadTerms_Click();
    void cmdFillBlank_Click();
    // Appends a blank entry for each new word, with a "[words]" header where one is needed for
    // the dictionary to read them.
    void AppendImportedWords(const QStringList& newWords);

    enum class Saved { Yes, Declined, Failed };
    // Writes the editor's text to the dictionary file, replacing it whole, unless a name holds
    // a character the file cannot hold or the file cannot be read to see whether it changed
    // (Failed, `refusal` says why), or it did change since it was loaded or last saved and the
    // user does not want it overwritten (Declined). The old file then stays. `written` (may be
    // null) receives the bytes written.
    Saved SaveDictionary(QByteArray* written, QString* refusal);
    // Saves, then replaces the text with `rebuild` of the saved bytes; nothing changes when the
    // save does not happen.
    // With `saveRebuilt` the new text is saved as well.
    void SaveThenRebuild(QString (*rebuild)(QByteArray), bool saveRebuilt);
    // Whether the text differs from what was last loaded or saved.
    bool HasUnsavedChanges() const;
    // The editor's text as the file's bytes, built line by line (never one whole copy as text);
    // `badName` receives a refusal when a name holds a character the file cannot hold.
    QByteArray EditorFileBytes(QString* badName) const;
    // Replaces the editor's text by `text` ("\n" line ends).
    void SetEditorText(const QString& text);

    QString loadError_;  // shown once the window is on screen
    bool shownOnce_ = false;
    // What the file held when it was loaded or last saved; unknown when it could not be read.
    FileFingerprint onDisk_;
    bool onDiskKnown_ = false;
    // The text as file bytes when it was loaded or last saved.
    FileFingerprint inEditor_;
    bool asking_ = false;  // the question about unsaved changes is on screen
};

}  // namespace cantora
