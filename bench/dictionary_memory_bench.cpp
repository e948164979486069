// Memory of the dictionary editor on a large dictionary: the peak resident memory of the program
// while the editor opens a 100,000-line dictionary and runs "Save && Sort", "Erase Blank
// Entries" and "Import New Words", and the resident memory once the editor has closed, over
// three rounds. Targets: peak under 110 MiB, under 50 MiB after closing. Also the time the main
// window takes to start beside such a dictionary, and its first look-up.
//
// Run with QT_QPA_PLATFORM=offscreen. Builds its own program folder and current folder under a
// temporary folder.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "core/files/profile.h"
#include "dictionary_data.h"
#include "ui/common/prompter.h"
#include "ui/dictionary/frm_dict_edit.h"
#include "ui/main/frm_utility.h"

using namespace cantora;

namespace {

constexpr double kPeakTargetMiB = 110;
constexpr double kClosedTargetMiB = 50;

// A "Vm...:" figure of /proc/self/status in MiB.
double StatusMiB(const char* field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray name = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name)) {
            return line.mid(name.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    return -1;
}

// Starts a new peak: the high-water mark falls back to the present resident size.
void ResetPeak() {
    QFile refs("/proc/self/clear_refs");
    if (refs.open(QIODevice::WriteOnly)) {
        refs.write("5");
    }
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

    // The import's report is modal: answer it at once.
    struct AnswerOk : Prompter {
        AnswerOk() : Prompter(Replace{}) {}
        QMessageBox::StandardButton message(QWidget*, const QString&, const QString&,
                                            QMessageBox::StandardButtons,
                                            QMessageBox::StandardButton) override {
            return QMessageBox::Ok;
        }
    } answerOk;

    QElapsedTimer timer;
    timer.start();
    FrmUtility main;
    main.show();
    QCoreApplication::processEvents();
    const double startMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    timer.start();
    GetDictionaryValue("Words", "wb", "");
    const double firstLookUpMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("main window shown in %.1f ms; first dictionary look-up after it %.1f ms\n",
                startMs, firstLookUpMs);
    std::printf("%-40s resident %6.1f MiB\n", "started", StatusMiB("VmRSS"));

    bool allOk = true;
    for (int round = 1; round <= 3; ++round) {
        bench::WriteFile(DictionaryFilePath(), dictionary);
        ResetPeak();
        double openMiB = 0;
        double peak = 0;
        QList<double> stepPeaks;
        // The peak of one step, after which a new peak starts.
        auto stepPeak = [&] {
            const double hwm = StatusMiB("VmHWM");
            stepPeaks.append(hwm);
            peak = std::max(peak, hwm);
            ResetPeak();
        };
        // The editor is modal: it is driven from inside its own event loop, as a user would.
        QTimer::singleShot(0, &main, [&] {
            auto* editor = qobject_cast<FrmDictEdit*>(QApplication::activeModalWidget());
            if (editor == nullptr) {
                std::fprintf(stderr, "the editor did not open\n");
                return;
            }
            openMiB = StatusMiB("VmRSS");
            stepPeak();
            editor->btnSort->click();
            stepPeak();
            editor->btnEraseBlank->click();
            stepPeak();
            editor->btnReadTerms->click();
            QCoreApplication::processEvents();
            stepPeak();
            editor->btnDone->click();
        });
        main.btnDictEdit->click();
        QCoreApplication::processEvents();
        peak = std::max(peak, StatusMiB("VmHWM"));
        const double closed = StatusMiB("VmRSS");
        const bool ok = peak < kPeakTargetMiB && closed < kClosedTargetMiB;
        allOk = allOk && ok;
        std::printf(
            "round %d: open %6.1f MiB, peak over open, sort, erase, import %6.1f MiB "
            "(target < %g), after closing %6.1f MiB (target < %g)  %s\n",
            round, openMiB, peak, kPeakTargetMiB, closed, kClosedTargetMiB, ok ? "ok" : "TOO MUCH");
        std::printf("         peaks of open, sort, erase, import: %.1f, %.1f, %.1f, %.1f MiB\n",
                    stepPeaks.value(0), stepPeaks.value(1), stepPeaks.value(2), stepPeaks.value(3));
        std::fflush(stdout);
    }
    SetProgramFolder(QString());
    return allOk ? 0 : 1;
}
