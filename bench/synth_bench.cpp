// Synthesiser panel timings with the real 1 ms pacing between bytes: opening the panel (its
// fifteen reset writes included), a frequency change to its first and to its last byte on the
// line, and a whole "Freq Adj" move of the three tone generators.
//
// Run on the offscreen platform: QT_QPA_PLATFORM=offscreen ./synth_bench

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <memory>

#include "bench_util.h"
#include "core/files/profile.h"
#include "core/serial/serial_link.h"
#include "ui/main/frm_utility.h"
#include "ui/synth/frm_synth_ctrl.h"

using namespace cantora;
using bench::ByteClock;
using bench::ClockedPort;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    SetProgramFolder(folder.path());
    ByteClock clock;
    FrmUtility main(std::make_unique<ClockedPort>(clock));

    std::unique_ptr<FrmSynthCtrl> panel;
    bench::Measure(
        "open the panel (15 reset writes)", 400, 5, [&] { panel.reset(); },
        [&] {
            clock.start();
            panel = std::make_unique<FrmSynthCtrl>(main, &main);
            panel->show();
        });
    std::printf("  bytes sent at opening: %d\n", clock.bytes);

    int frequency = 100;
    double firstSum = 0;
    double lastSum = 0;
    const int runs = 20;
    for (int i = 0; i < runs; ++i) {
        clock.start();
        panel->scFreq[1]->setValue(frequency += 37);
        firstSum += clock.firstMs;
        lastSum += clock.lastMs;
    }
    std::printf("%-52s mean %9.3f ms  target < 5 ms\n", "frequency change to its first byte",
                firstSum / runs);
    std::printf("%-52s mean %9.3f ms  target < 25 ms\n", "frequency change to its last byte",
                lastSum / runs);

    panel->scFreq[1]->setValue(440);
    panel->scFreq[2]->setValue(660);
    panel->scFreq[3]->setValue(880);
    bool up = false;
    bench::Measure(
        "Freq Adj step: three frequency writes", 60, 10,
        [&] {
            panel->Command3->click();  // arm at the current positions, tool back at 100
            up = !up;
        },
        [&] { panel->scFreqAdjTone->setValue(up ? 120 : 80); });

    panel->done(QDialog::Accepted);
    return 0;
}
