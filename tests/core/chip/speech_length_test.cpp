// How long the virtual chip holds its sounds at the normal speed, measured on its PCM against the
// speech library's own reading of the same words.

#include <QTest>
#include <algorithm>
#include <cmath>
#include <vector>

extern "C" {
#include <flite/flite.h>
cst_voice* register_cmu_us_kal16(const char* voxdir);
}

#include "core/chip/effects.h"
#include "core/chip/renderer.h"
#include "core/codes/code_table.h"
#include "core/codes/code_text.h"
#include "core/pronounce/pronouncer.h"

using namespace cantora;
using namespace cantora::chip;

namespace {

// Milliseconds of voicing: 10 ms frames loud enough (a tenth of the loudest frame's level) and
// with few zero crossings (a vowel, not a hiss or a burst).
double VoicedMs(const std::vector<int16_t>& pcm) {
    constexpr size_t kFrame = kSampleRate / 100;
    std::vector<double> levels;
    std::vector<double> crossings;
    for (size_t at = 0; at + kFrame <= pcm.size(); at += kFrame) {
        double sum = 0;
        int crossed = 0;
        for (size_t i = at; i < at + kFrame; ++i) {
            sum += double(pcm[i]) * pcm[i];
            crossed += i > at && (pcm[i] >= 0) != (pcm[i - 1] >= 0);
        }
        levels.push_back(std::sqrt(sum / kFrame));
        crossings.push_back(double(crossed) / kFrame);
    }
    const double loudest = levels.empty() ? 0 : *std::max_element(levels.begin(), levels.end());
    int voiced = 0;
    for (size_t f = 0; f < levels.size(); ++f) {
        voiced += levels[f] > 0.1 * loudest && crossings[f] < 0.12;
    }
    return voiced * 10.0;
}

// The speech library reading the word as text, with its own voice and prosody.
std::vector<int16_t> LibraryReading(const char* word) {
    static cst_voice* voice = [] {
        flite_init();
        return register_cmu_us_kal16(nullptr);
    }();
    cst_wave* wave = flite_text_to_wave(word, voice);
    std::vector<int16_t> pcm(wave->samples, wave->samples + wave->num_samples);
    delete_wave(wave);
    return pcm;
}

}  // namespace

class SpeechLengthTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { LoadCodeNames(); }
    void vowelsKeepTheirNaturalLength();
};

void SpeechLengthTest::vowelsKeepTheirNaturalLength() {
    // Words whose voicing is their vowel, one allophone: a voiceless consonant, then the vowel.
    const char* const words[] = {"two", "key", "see", "shoe", "chew", "toy", "saw", "tie"};
    std::vector<double> ratios;
    for (const char* word : words) {
        const QByteArray bytes = CodeTextToBytes(SuggestCodeText(QString::fromLatin1(word)));
        QVERIFY2(!bytes.isEmpty(), word);
        const double chip = VoicedMs(RenderBytes(bytes));
        const double library = VoicedMs(LibraryReading(word));
        QVERIFY2(library >= 100, qPrintable(QStringLiteral("%1: %2 ms").arg(word).arg(library)));
        const double ratio = chip / library;
        qInfo("%-5s vowel %3.0f ms, the library's own reading %3.0f ms", word, chip, library);
        // No vowel is clipped short, nor drawn out far past the natural reading.
        QVERIFY2(ratio > 0.6 && ratio < 1.5,
                 qPrintable(QStringLiteral("%1: %2").arg(word).arg(ratio)));
        ratios.push_back(ratio);
    }
    std::sort(ratios.begin(), ratios.end());
    const double median = (ratios[3] + ratios[4]) / 2;
    QVERIFY2(median > 0.75, qPrintable(QString::number(median)));
}

QTEST_GUILESS_MAIN(SpeechLengthTest)
#include "speech_length_test.moc"
