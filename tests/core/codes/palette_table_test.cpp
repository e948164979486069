// The palette's table of labels: every label once, with its code, group and tool tip.

#include <QMap>
#include <QSet>
#include <QTest>
#include <cstring>

#include "core/codes/code_table.h"
#include "core/codes/palette_table.h"

using namespace cantora;

class PaletteTableTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { LoadCodeNames(); }
    void tableHoldsEveryLabelOnce() {
        const auto& elements = palette::Elements();
        QCOMPARE(elements.size(), size_t(183));
        QSet<int> indexes;
        QSet<QString> captions;
        QMap<palette::Group, int> perGroup;
        for (const palette::Element& e : elements) {
            QVERIFY2(e.index >= 0 && e.index <= 197, qPrintable(e.caption));
            QVERIFY2(!indexes.contains(e.index), qPrintable(e.caption));
            indexes.insert(e.index);
            QVERIFY2(!captions.contains(e.caption.toUpper()), qPrintable(e.caption));
            captions.insert(e.caption.toUpper());
            const int code = palette::CodeOf(e.caption);
            QVERIFY2(code >= 0 && code <= 352, qPrintable(e.caption));
            ++perGroup[e.group];
            // Allophones name two or three example words; notes name their note.
            if (code >= 128 && code <= 199) {
                const int words = e.toolTip.split(", ").size();
                QVERIFY2(words == 2 || words == 3, qPrintable(e.caption + ": " + e.toolTip));
            }
            if (code >= palette::kFirstNote) {
                QCOMPARE(e.toolTip, "Set the Pitch to the Frequency for " + e.caption.mid(2));
            }
        }
        QCOMPARE(perGroup[palette::Group::Vowels], 12);
        QCOMPARE(perGroup[palette::Group::MiscSounds], 55);
        QCOMPARE(perGroup[palette::Group::MusicalScale], 36);
        QCOMPARE(perGroup[palette::Group::Pauses], 9);
        QCOMPARE(perGroup[palette::Group::Modifiers], 6);
        // All 72 allophones and all 36 notes are on the palette.
        for (int code = 128; code <= 199; ++code) {
            QVERIFY2(captions.contains(GetCodeName(code).mid(1)), qPrintable(GetCodeName(code)));
        }
        QCOMPARE(palette::FindByCaption("IY")->toolTip, QString("See, Even, Feed"));
        QCOMPARE(palette::FindByCaption("NTG#1")->toolTip,
                 QString("Set the Pitch to the Frequency for G#1"));
        QCOMPARE(palette::FindByCaption("M1")->toolTip, QString("Pistol Shot"));
        QVERIFY(palette::FindByCaption("R5")->toolTip.isEmpty());
        QCOMPARE(palette::FindByCaption("P4")->toolTip, QString("10ms Pause /w transition"));
        QCOMPARE(palette::FindByCaption("PCtrl")->toolTip,
                 QString("Set the Output Pin's Control to x."));
        QVERIFY(palette::FindByCaption("Soft")->hidden);
    }
    // The virtual chip speaks every allophone, and only the allophones, with the phones of its
    // label.
    void phonesBesideEveryAllophone() {
        for (const palette::Element& e : palette::Elements()) {
            const int code = palette::CodeOf(e.caption);
            const bool allophone = code >= 128 && code <= 199;
            QCOMPARE(std::strlen(e.phones) > 0, allophone);
            QCOMPARE(palette::PhonesForCode(code), e.phones);
        }
        for (int code = 128; code <= 199; ++code) {
            const palette::Element* e = palette::FindByCaption(GetCodeName(code).mid(1));
            QVERIFY2(e != nullptr && !e->toolTip.isEmpty(), qPrintable(GetCodeName(code)));
            QCOMPARE(palette::PhonesForCode(code), e->phones);
        }
        QCOMPARE(palette::PhonesForCode(127), "");
        QCOMPARE(palette::PhonesForCode(200), "");
        QCOMPARE(palette::PhonesForCode(-1), "");
        QCOMPARE(palette::FindByCaption("AY")->phones, "ae");
        QCOMPARE(palette::FindByCaption("TS")->phones, "t s");
    }
};

QTEST_APPLESS_MAIN(PaletteTableTest)
#include "palette_table_test.moc"
