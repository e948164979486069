// The dictionary editor on a large dictionary: opening, "Save && Sort", "Erase Blank Entries"
// and importing a long word list, each against a target of 1 second, and "Fill Blank Entries"
// on 100,000 blank entries against 2 seconds.
//
// Run with QT_QPA_PLATFORM=offscreen. Builds its own program folder and current folder under a
// temporary folder. Arguments choose the steps (open, sort, erase, save, import, fill); none: all.

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "bench_util.h"
#include "core/files/profile.h"
#include "core/pronounce/pronouncer.h"
#include "dictionary_data.h"
#include "ui/common/prompter.h"
#include "ui/dictionary/frm_dict_edit.h"
#include "ui/main/frm_utility.h"

using namespace cantora;

namespace {

constexpr int kLines = bench::kDictionaryLines;
constexpr int kImportWords = bench::kImportWords;
constexpr double kTargetMs = 1000;
constexpr double kFillTargetMs = 2000;

// Processor time of the whole program (all its threads) in milliseconds: on a busy machine a
// fairer comparison than the clock.
double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Runs bench::Measure and adds the median processor time of the step.
void MeasureWithCpu(const char* name, int runs, const std::function<void()>& setup,
                    const std::function<void()>& step) {
    std::vector<double> cpu;
    bench::Measure(name, kTargetMs, runs, setup, [&] {
        const double start = CpuMs();
        step();
        cpu.push_back(CpuMs() - start);
    });
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-52s processor time median %9.3f ms\n", "", cpu[cpu.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bench::DictionaryFolders folders;
    if (!folders.ready()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QByteArray& dictionary = folders.dictionary;
    const QByteArray& wordList = folders.wordList;
    std::printf("dictionary: %d lines, %lld bytes; word list: %d words, %lld bytes\n", kLines,
                static_cast<long long>(dictionary.size()), kImportWords,
                static_cast<long long>(wordList.size()));

    FrmUtility main;
    main.show();
    QCoreApplication::processEvents();
    // Accessibility switches itself on when a screen reader's bus is there
    // (scripts/accessibility_bench.sh runs this program both ways).
    std::printf("accessibility: %s\n", QAccessible::isActive() ? "on" : "off");
    std::unique_ptr<FrmDictEdit> editor;
    auto freshFile = [&] { bench::WriteFile(DictionaryFilePath(), dictionary); };
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

    QStringList chosen = QCoreApplication::arguments().mid(1);
    auto wanted = [&](const char* step) {
        return chosen.isEmpty() || chosen.contains(QLatin1String(step));
    };
    const int runs = 5;
    if (wanted("open")) {
        MeasureWithCpu(
            "open the editor (load 100,000 lines)", runs,
            [&] {
                editor.reset();
                freshFile();
            },
            openEditor);
    }
    if (wanted("sort")) {
        MeasureWithCpu("Save && Sort (100,000 lines)", runs, freshEditor, [&] {
            editor->btnSort->click();
            QCoreApplication::processEvents();
        });
    }
    if (wanted("erase")) {
        MeasureWithCpu("Erase Blank Entries (100,000 lines)", runs, freshEditor, [&] {
            editor->btnEraseBlank->click();
            QCoreApplication::processEvents();
        });
    }
    if (wanted("save")) {
        MeasureWithCpu("Save Changes (100,000 lines)", runs, freshEditor, [&] {
            editor->btnSaveChanges->click();
            QCoreApplication::processEvents();
        });
    }
    qsizetype before = 0;
    if (wanted("import")) {
        MeasureWithCpu(
            "Import New Words (100,000 words)", runs,
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
    }
    if (wanted("fill")) {
        // "Fill Blank Entries" on a dictionary of kLines blank entries, each a different word.
        QByteArray blank = "[words]\r\n";
        for (int i = 0; i < kLines; ++i) {
            blank += bench::WordFor(i * 7 + 3) + "=\r\n";
        }
        WarmUpPronouncer();  // the lexicon loads once per program, not per fill
        bench::Measure(
            "Fill Blank Entries (100,000 blank entries)", kFillTargetMs, 3,
            [&] {
                editor.reset();
                bench::WriteFile(DictionaryFilePath(), blank);
                openEditor();
            },
            [&] {
                editor->cmdFillBlank->click();
                QCoreApplication::processEvents();
            });
        const QString filled = editor->EditorText();
        std::printf("fill: %lld characters before, %lld after; e.g. %s\n",
                    static_cast<long long>(blank.size()), static_cast<long long>(filled.size()),
                    qPrintable(filled.section(u'\n', 1, 1)));
    }
    editor.reset();
    SetProgramFolder(QString());
    return 0;
}
