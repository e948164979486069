// The dictionary editor on a large dictionary: opening, "Save && Sort", "Erase Blank Entries"
// and importing a long word list, each against a target of 1 second.
//
// Run with QT_QPA_PLATFORM=offscreen. Builds its own program folder and current folder under a
// temporary folder.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "bench_util.h"
#include "core/profile.h"
#include "dictionary_data.h"
#include "ui/common/prompter.h"
#include "ui/dictionary/frm_dict_edit.h"
#include "ui/main/frm_utility.h"

using namespace cantora;

namespace {

constexpr int kLines = bench::kDictionaryLines;
constexpr int kImportWords = bench::kImportWords;
constexpr double kTargetMs = 1000;

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir programDir;
    QTemporaryDir currentDir;
    if (!programDir.isValid() || !currentDir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    SetProgramFolder(programDir.path());
    QDir::setCurrent(currentDir.path());

    QRandomGenerator random(20240607);
    const QByteArray dictionary = bench::MakeDictionary(random);
    const QByteArray wordList = bench::MakeWordList(random);
    auto writeFile = [](const QString& path, const QByteArray& data) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write(data);
        }
    };
    writeFile(currentDir.filePath("ImportWords.txt"), wordList);
    std::printf("dictionary: %d lines, %lld bytes; word list: %d words, %lld bytes\n", kLines,
                static_cast<long long>(dictionary.size()), kImportWords,
                static_cast<long long>(wordList.size()));

    FrmUtility main;
    std::unique_ptr<FrmDictEdit> editor;
    auto freshFile = [&] { writeFile(DictionaryFilePath(), dictionary); };
    auto openEditor = [&] {
        editor = std::make_unique<FrmDictEdit>(&main);
        editor->show();
        QCoreApplication::processEvents();
    };
    auto freshEditor = [&] {
        editor.reset();
        freshFile();
        openEditor();
    };

    // The import's report is modal: answer it at once.
    struct AnswerOk : Prompter {
        AnswerOk() : Prompter(Replace{}) {}
        QMessageBox::StandardButton message(QWidget*, const QString&, const QString&,
                                            QMessageBox::StandardButtons,
                                            QMessageBox::StandardButton) override {
            return QMessageBox::Ok;
        }
    } answerOk;

    const int runs = 5;
    bench::Measure(
        "open the editor (load 100,000 lines)", kTargetMs, runs,
        [&] {
            editor.reset();
            freshFile();
        },
        openEditor);
    bench::Measure("Save && Sort (100,000 lines)", kTargetMs, runs, freshEditor, [&] {
        editor->btnSort->click();
        QCoreApplication::processEvents();
    });
    bench::Measure("Erase Blank Entries (100,000 lines)", kTargetMs, runs, freshEditor, [&] {
        editor->btnEraseBlank->click();
        QCoreApplication::processEvents();
    });
    bench::Measure("Save Changes (100,000 lines)", kTargetMs, runs, freshEditor, [&] {
        editor->btnSaveChanges->click();
        QCoreApplication::processEvents();
    });
    qsizetype before = 0;
    bench::Measure(
        "Import New Words (100,000 words)", kTargetMs, runs,
        [&] {
            freshEditor();
            before = editor->txtDictionary->blockCount();
        },
        [&] {
            editor->btnReadTerms->click();
            QCoreApplication::processEvents();
        });
    std::printf("import appended %lld lines\n",
                static_cast<long long>(editor->txtDictionary->blockCount() - before));
    editor.reset();
    SetProgramFolder(QString());
    return 0;
}
