// Phrase editor timings: from a palette label click to the first byte handed to the port
// (target under 20 ms), and building and showing the editor (target under 300 ms).
//
// Run on the offscreen platform: QT_QPA_PLATFORM=offscreen ./phrase_bench

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench_util.h"
#include "core/codes/palette_table.h"
#include "core/files/profile.h"
#include "core/serial/serial_link.h"
#include "ui/common/widgets.h"
#include "ui/main/frm_utility.h"
#include "ui/phrase/frm_phrase.h"

using namespace cantora;
using bench::ByteClock;
using bench::ClockedPort;

namespace {

// A left click as the platform delivers it to a widget: press and release at its centre.
void Click(QWidget* widget) {
    const QPointF local = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    SetProgramFolder(folder.path());

    ByteClock clock;
    FrmUtility main(std::make_unique<ClockedPort>(clock));

    // Building and showing the editor, as the main window's button does before exec(). The first
    // opening also loads fonts and the style, so it is shown on its own.
    std::unique_ptr<FrmPhrase> editor;
    {
        QElapsedTimer cold;
        cold.start();
        editor = std::make_unique<FrmPhrase>(main, &main);
        editor->show();
        QApplication::processEvents();
        const double ms = static_cast<double>(cold.nsecsElapsed()) / 1e6;
        std::printf("%-52s       %9.3f ms  target < 300 ms  %s\n",
                    "phrase editor construction + show, first opening", ms,
                    ms < 300 ? "ok" : "TOO SLOW");
    }
    bench::Measure(
        "phrase editor construction + show", 300, 15, [&] { editor.reset(); },
        [&] {
            editor = std::make_unique<FrmPhrase>(main, &main);
            editor->show();
            QApplication::processEvents();
        });

    // Click to first byte, over a mix of labels: an allophone, a note, a parameter code, a sound
    // effect. The control prefix goes first, so its first byte is the one timed.
    const char* const captions[] = {"IY", "NTA2", "Delay", "R5", "WH", "P3"};
    std::vector<double> latencies;
    for (int round = 0; round < 20; ++round) {
        for (const char* caption : captions) {
            palette::SetSkipNextControls(false);
            ClickLabel* label = editor->Command1(palette::FindByCaption(caption)->index);
            clock.start();
            Click(label);
            if (clock.firstMs < 0) {
                std::printf("no byte reached the port for %s\n", caption);
                return 1;
            }
            latencies.push_back(clock.firstMs);
        }
    }
    std::sort(latencies.begin(), latencies.end());
    const double median = latencies[latencies.size() / 2];
    const double worst = latencies.back();
    std::printf("%-52s best %9.3f ms  median %9.3f ms  worst %9.3f ms  target < 20 ms  %s\n",
                "palette click to first byte written", latencies.front(), median, worst,
                worst < 20 ? "ok" : "TOO SLOW");
    editor.reset();
    return 0;
}
