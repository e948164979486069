// Where the codes viewer's controls go for a window size, in twips.

#include <QtTest>

#include "core/codes/viewer_layout.h"

using namespace cantora;

class CodesLayoutTest : public QObject {
    Q_OBJECT
  private slots:
    void layoutAtFirstSize() {
        const CodesLayout layout = ComputeCodesLayout(7335, 5265);
        QCOMPARE(layout.txtCodes.left, 0);
        QCOMPARE(layout.txtCodes.top, 0);
        QCOMPARE(layout.txtCodes.width, 7335);
        QCOMPARE(layout.txtCodes.height, 4710);
        QCOMPARE(layout.btnDone.left, 6120);
        QCOMPARE(layout.btnDone.top, 4770);
        QCOMPARE(layout.btnDone.width, 1155);
        QCOMPARE(layout.btnDone.height, 435);
        QCOMPARE(layout.btnCopy.left, 4365);
        QCOMPARE(layout.btnCopy.top, 4770);
        QCOMPARE(layout.btnCopy.width, 1695);
        QCOMPARE(layout.btnCopy.height, 435);
    }

    void layoutOfTooSmallWindow() {
        // 500 - 555 is negative: the text box keeps a height of 1; the buttons' tops are 5.
        const CodesLayout low = ComputeCodesLayout(7335, 500);
        QCOMPARE(low.txtCodes.height, 1);
        QCOMPARE(low.btnDone.top, 5);
        QCOMPARE(low.btnCopy.top, 5);
        // Exactly 555 leaves a height of 0, which is not negative and so stays.
        QCOMPARE(ComputeCodesLayout(7335, 555).txtCodes.height, 0);
        // Too narrow for the row: "Copy to Clipboard" goes out past the left edge.
        const CodesLayout narrow = ComputeCodesLayout(2000, 5265);
        QCOMPARE(narrow.btnCopy.left, 2000 - (1695 + 1155 + 120));
        QVERIFY(narrow.btnCopy.left < 0);
        QCOMPARE(narrow.btnDone.left, 2000 - 1155 - 60);
    }
};

QTEST_APPLESS_MAIN(CodesLayoutTest)
#include "viewer_layout_test.moc"
