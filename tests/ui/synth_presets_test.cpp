// Sound presets of the synthesiser panel: "Save" and "Load" against a real QLSounds.txt in a
// temporary program folder, with the register writes a load sends.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <memory>

#include <sys/inotify.h>
#include <unistd.h>

#include "support/test_support.h"
#include "ui/main/frm_utility.h"
#include "ui/synth/frm_synth_ctrl.h"

using namespace cantora;

namespace {

struct Bench {
    test::TempProgramFolder folder;
    std::shared_ptr<test::PortRecord> record = std::make_shared<test::PortRecord>();
    FrmUtility main{std::make_unique<test::RecordingPort>(record)};
    std::unique_ptr<FrmSynthCtrl> panel;

    Bench() {
        main.sender().setInterByteDelayMs(0);
        panel = std::make_unique<FrmSynthCtrl>(main, &main);
        panel->show();
        // The opening writes go out from the window's event loop, once it is on screen.
        QTRY_COMPARE(test::SplitScpCommands(record->written).size(), 15);
        record->written.clear();
    }
    QStringList take() {
        const QStringList commands = test::SplitScpCommands(record->written);
        record->written.clear();
        return commands;
    }
    QByteArray sounds() const { return folder.read("QLSounds.txt"); }
    void setOscillator(int i, int frequency, int volume) {
        panel->scFreq[i]->setValue(frequency);
        panel->scVol[i]->setValue(volume);
    }
    void save(const QString& name) {
        panel->txtSound->setText(name);
        panel->btnSave->click();
    }
    void load(const QString& name) {
        panel->txtSound->setText(name);
        panel->btnLoad->click();
    }
};

QByteArray Section(const QByteArray& name, const QList<int>& values) {
    QByteArray text = "[" + name + "]\r\n";
    for (int i = 0; i < 5; ++i) {
        text +=
            "Freq" + QByteArray::number(i + 1) + "=" + QByteArray::number(values[2 * i]) + "\r\n";
        text += "Vol" + QByteArray::number(i + 1) + "=" + QByteArray::number(values[2 * i + 1]) +
                "\r\n";
    }
    return text;
}

}  // namespace

class SynthPresetsTest : public QObject {
    Q_OBJECT
  private slots:
    void saveBell() {
        Bench bench;
        bench.setOscillator(1, 440, 20);
        bench.take();
        bench.save("Bell");
        QCOMPARE(bench.sounds(), Section("Bell", {440, 20, 0, 0, 0, 0, 0, 0, 0, 0}));
        QCOMPARE(bench.take(), QStringList());  // saving leaves the chip alone
        QVERIFY(bench.panel->lblSoundNote->text().isEmpty());
    }

    void saveOverAnExistingNameKeepsOtherSounds() {
        Bench bench;
        const QByteArray before = "; hand-written notes stay\r\n" +
                                  Section("Organ", {110, 10, 220, 11, 330, 12, 0, 0, 0, 0}) +
                                  Section("Bell", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}) +
                                  Section("Drum", {0, 0, 0, 0, 0, 0, 2000, 31, 90, 5});
        bench.folder.write("QLSounds.txt", before);
        bench.setOscillator(1, 880, 15);
        bench.setOscillator(3, 1320, 7);
        bench.setOscillator(5, 3999, 31);
        bench.save("Bell");
        const QByteArray after = "; hand-written notes stay\r\n" +
                                 Section("Organ", {110, 10, 220, 11, 330, 12, 0, 0, 0, 0}) +
                                 Section("Bell", {880, 15, 0, 0, 1320, 7, 0, 0, 3999, 31}) +
                                 Section("Drum", {0, 0, 0, 0, 0, 0, 2000, 31, 90, 5});
        QCOMPARE(bench.sounds(), after);
    }

    void loadSendsOnlyWhatChanges() {
        Bench bench;
        bench.folder.write("QLSounds.txt", Section("Organ", {110, 10, 220, 11, 0, 12, 0, 0, 0, 0}));
        FrmSynthCtrl& p = *bench.panel;
        p.scFreq[2]->setValue(220);  // already where the sound puts it
        p.scEnvolopeFreq->setValue(30);
        p.scLevel[0]->setValue(70);
        p.Option1[3]->setChecked(true);
        bench.take();
        bench.load("Organ");
        QCOMPARE(bench.take(),
                 (QStringList{"\\01J 110NX", "\\011J 10NX", "\\012J 11NX", "\\013J 12NX"}));
        QCOMPARE(p.txtFreq[1]->text(), QString("110"));
        QCOMPARE(p.txtVol[3]->text(), QString("12"));
        // Envelope, distortion and master volume are not part of a sound.
        QCOMPARE(p.scEnvolopeFreq->value(), 30);
        QCOMPARE(p.scLevel[0]->value(), 70);
        QCOMPARE(p.scLevel[1]->value(), 96);
        QVERIFY(p.Option1[3]->isChecked());
        // The volumes sum to 33: the tone boxes keep the button-face colour.
        QCOMPARE(p.txtVol[1]->palette().color(QPalette::Base),
                 QApplication::palette().color(QPalette::Active, QPalette::Button));

        // Loading the same sound again: every scroll bar is already there.
        bench.load("Organ");
        QCOMPARE(bench.take(), QStringList());
        // Section names match without regard to case.
        p.scFreq[1]->setValue(0);
        bench.take();
        bench.load("ORGAN");
        QCOMPARE(bench.take(), QStringList{"\\01J 110NX"});
    }

    void loadUnknownNameSetsEverythingToZero() {
        Bench bench;
        bench.folder.write("QLSounds.txt", Section("Organ", {110, 10, 220, 11, 0, 12, 0, 0, 0, 0}));
        FrmSynthCtrl& p = *bench.panel;
        bench.setOscillator(2, 500, 9);
        p.scFreq[5]->setValue(60);
        bench.take();
        const QByteArray before = bench.sounds();
        bench.load("Nothing");
        QCOMPARE(bench.take(), (QStringList{"\\02J 0NX", "\\012J 0NX", "\\05J 0NX"}));
        for (int i = 1; i <= 5; ++i) {
            QCOMPARE(p.scFreq[i]->value(), 0);
            QCOMPARE(p.scVol[i]->value(), 0);
        }
        QCOMPARE(bench.sounds(), before);  // loading never writes
    }

    void loadWithoutAFile() {
        Bench bench;
        bench.setOscillator(4, 1234, 3);
        bench.take();
        bench.load("Bell");
        QCOMPARE(bench.take(), (QStringList{"\\04J 0NX", "\\014J 0NX"}));
        QVERIFY(!QFile::exists(bench.folder.file("QLSounds.txt")));
    }

    void loadRoundsAndClampsStoredValues() {
        Bench bench;
        bench.folder.write("QLSounds.txt",
                           "[Odd]\r\nFreq1=12.5\r\nVol1=13.5\r\nFreq2=5000\r\nVol2=99\r\n"
                           "Freq3=-40\r\nVol3=abc\r\nFreq4= 250 \r\nVol4=7x\r\nFreq5=\r\n"
                           "Vol5=1e1\r\n");
        FrmSynthCtrl& p = *bench.panel;
        p.scFreq[5]->setValue(77);
        p.scVol[3]->setValue(5);
        bench.take();
        bench.load("Odd");
        QCOMPARE(p.scFreq[1]->value(), 12);
        QCOMPARE(p.scVol[1]->value(), 14);
        QCOMPARE(p.scFreq[2]->value(), 3999);
        QCOMPARE(p.scVol[2]->value(), 31);
        QCOMPARE(p.scFreq[3]->value(), 0);
        QCOMPARE(p.scVol[3]->value(), 0);
        QCOMPARE(p.scFreq[4]->value(), 250);
        QCOMPARE(p.scVol[4]->value(), 7);
        QCOMPARE(p.scFreq[5]->value(), 0);  // blank counts as missing: "0"
        QCOMPARE(p.scVol[5]->value(), 10);
        QCOMPARE(p.txtFreq[1]->text(), QString("12"));
        QCOMPARE(bench.take(), (QStringList{"\\01J 12NX", "\\011J 14NX", "\\02J 3999NX",
                                            "\\012J 31NX", "\\013J 0NX", "\\04J 250NX",
                                            "\\014J 7NX", "\\05J 0NX", "\\015J 10NX"}));
    }

    void invalidNamesAreRefusedInTheWindow() {
        Bench bench;
        const QByteArray before = Section("Bell", {440, 20, 0, 0, 0, 0, 0, 0, 0, 0});
        bench.folder.write("QLSounds.txt", before);
        bench.setOscillator(1, 100, 1);
        // No question may be asked: any message box would be answered here and counted.
        test::ScriptedAnswers questions(QMessageBox::Ok, 100);
        FrmSynthCtrl& p = *bench.panel;
        for (const QString& name :
             {QString(), QString("Bell]"), QString("Two\nLines"), QString("Cr\rOnly")}) {
            bench.save(name);
            QVERIFY2(!p.lblSoundNote->text().isEmpty(), qPrintable(name));
            QVERIFY(p.lblSoundNote->text().startsWith("Not saved"));
            QCOMPARE(bench.sounds(), before);
        }
        QCoreApplication::processEvents();
        QCOMPARE(questions.answered(), 0);
        QVERIFY(p.findChildren<QMessageBox*>().isEmpty());
        // The note says which rule the name broke.
        bench.save("");
        QVERIFY(p.lblSoundNote->text().contains("name"));
        bench.save("a]b");
        QVERIFY(p.lblSoundNote->text().contains("]"));
        // A new name clears the note, and a good name saves.
        p.txtSound->setText("Good");
        QVERIFY(p.lblSoundNote->text().isEmpty());
        p.btnSave->click();
        QVERIFY(p.lblSoundNote->text().isEmpty());
        QCOMPARE(bench.sounds(), before + Section("Good", {100, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
    }

    void saveFailureIsShown() {
        Bench bench;
        // A folder where the file should be: nothing can be written there.
        QVERIFY(QDir(bench.folder.path()).mkdir("QLSounds.txt"));
        bench.save("Bell");
        QVERIFY(bench.panel->lblSoundNote->text().startsWith("Not saved"));
    }

    void saveThenLoadRoundTrip() {
        Bench bench;
        const int values[10] = {3999, 31, 1, 0, 2500, 16, 0, 31, 77, 2};
        for (int i = 1; i <= 5; ++i) {
            bench.setOscillator(i, values[2 * i - 2], values[2 * i - 1]);
        }
        bench.save("Mix");
        bench.panel->btnShutUp->click();
        bench.take();
        bench.load("Mix");
        for (int i = 1; i <= 5; ++i) {
            QCOMPARE(bench.panel->scFreq[i]->value(), values[2 * i - 2]);
            QCOMPARE(bench.panel->scVol[i]->value(), values[2 * i - 1]);
        }
        // Frequency before volume, oscillator by oscillator; zeros already in place send nothing.
        QCOMPARE(bench.take(),
                 (QStringList{"\\01J 3999NX", "\\011J 31NX", "\\02J 1NX", "\\03J 2500NX",
                              "\\013J 16NX", "\\014J 31NX", "\\05J 77NX", "\\015J 2NX"}));
    }
    void saveReplacesTheFileOnceAndRefusesUnstorableNames() {
        Bench bench;
        bench.folder.write("QLSounds.txt", Section("Bell", {440, 20, 0, 0, 0, 0, 0, 0, 0, 0}));
        // Every replacement of the file is a rename into the folder: count them.
        const int watch = inotify_init1(IN_NONBLOCK);
        QVERIFY(watch >= 0);
        QVERIFY(inotify_add_watch(watch, QFile::encodeName(bench.folder.path()).constData(),
                                  IN_MOVED_TO) >= 0);
        bench.setOscillator(2, 300, 5);
        bench.save("Bell");
        int renames = 0;
        char buffer[4096];
        for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;) {
            for (char* at = buffer; at < buffer + n;) {
                auto* event = reinterpret_cast<inotify_event*>(at);
                renames += QByteArray(event->name) == "QLSounds.txt";
                at += sizeof(inotify_event) + event->len;
            }
        }
        ::close(watch);
        QCOMPARE(renames, 1);
        QCOMPARE(bench.sounds(), Section("Bell", {0, 0, 300, 5, 0, 0, 0, 0, 0, 0}));

        const QByteArray before = bench.sounds();
        bench.save(QString("Bel") + QChar(0x142));
        QCOMPARE(bench.panel->lblSoundNote->text(), QString("Not saved: the character \"") +
                                                        QChar(0x142) +
                                                        "\" cannot be stored in the sound file.");
        QCOMPARE(bench.sounds(), before);
    }
};

QTEST_MAIN(SynthPresetsTest)
#include "synth_presets_test.moc"
