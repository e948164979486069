#pragma once

// The dictionary editor: the whole dictionary file as one plain text, with find, save, sort,
// erasing blank entries, importing new words from a word list and filling blank entries with
// suggested pronunciations.

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <functional>

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

  private:
    void buildControls();
    void Form_Load();
    void btnFind_Click();
    void btnSaveChanges_Click();
    void btnSort_Click();
    void btnEraseBlank_Click();
    void btnReadTerms_Click();
    void cmdFillBlank_Click();

    // Writes the editor's text to the dictionary file, replacing it whole. On failure the old
    // file stays and `error` says why. `written` (may be null) receives the bytes written.
    bool SaveDictionary(QString* error, QByteArray* written);
    // Saves, then replaces the text with `rebuild` of the saved lines; nothing changes when
    // the save fails.
    void SaveThenRebuild(const std::function<QString(const QStringList&)>& rebuild);
    void ReportFailedSave(const QString& error);
    // Replaces the editor's text by `text` ("\n" line ends).
    void SetEditorText(const QString& text);

    QString loadError_;  // shown once the window is on screen
    bool shownOnce_ = false;
};

}  // namespace cantora
