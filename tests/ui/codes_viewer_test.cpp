// The codes viewer: its controls placed by the layout, what it shows and what it copies.

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTimer>
#include <QtTest>

#include "core/codes/viewer_layout.h"
#include "support/test_support.h"
#include "ui/codes/frm_codes.h"
#include "ui/common/twips.h"
#include "ui/main/frm_utility.h"

using namespace cantora;

namespace {

QWidget* NextTabStop(QWidget* widget) {
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus)) {
        next = next->nextInFocusChain();
    }
    return next;
}

QRect PxOf(const TwipsBox& box) {
    return TwipsRect(box.left, box.top, box.width, box.height);
}

}  // namespace

class CodesViewerTest : public QObject {
    Q_OBJECT

  private slots:
    void windowShowsCodesAndFollowsResize() {
        test::TempProgramFolder folder;
        auto record = std::make_shared<test::PortRecord>();
        FrmUtility main(std::make_unique<test::RecordingPort>(record));
        main.QuillonCodes = "20, 96, 21";
        FrmCodes codes(main, &main);
        // Read once at load: later changes to the string are not shown.
        main.QuillonCodes = "1, 2";
        codes.show();
        QVERIFY(QTest::qWaitForWindowExposed(&codes));

        QCOMPARE(codes.windowTitle(), QString("Cantora Codes"));
        QVERIFY(codes.windowFlags().testFlag(Qt::Tool));
        QVERIFY(!codes.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!codes.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(codes.size(), QSize(TwipsToPx(7335), TwipsToPx(5265)));
        QCOMPARE(codes.txtCodes->toPlainText(), QString("20, 96, 21"));
        QCOMPARE(codes.txtCodes->objectName(), QString("txtCodes"));
        QCOMPARE(codes.txtCodes->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QVERIFY(!codes.txtCodes->isReadOnly());
        QCOMPARE(codes.btnCopy->objectName(), QString("btnCopy"));
        QCOMPARE(codes.btnCopy->text(), QString("Copy to Clipboard"));
        QCOMPARE(codes.btnCopy->toolTip(),
                 QString("Copy the numeric Quillon codes to the windows Clipboard."));
        QCOMPARE(codes.btnDone->objectName(), QString("btnDone"));
        QCOMPARE(codes.btnDone->text(), QString("Done"));

        // Tab order: text, Copy, Done.
        QCOMPARE(NextTabStop(codes.txtCodes), codes.btnCopy);
        QCOMPARE(NextTabStop(codes.btnCopy), codes.btnDone);
        // Centred on the screen when first shown.
        const QPoint offCentre =
            codes.frameGeometry().center() - codes.screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 2);

        auto checkPlaced = [&] {
            const CodesLayout layout =
                ComputeCodesLayout(PxToTwips(codes.width()), PxToTwips(codes.height()));
            QCOMPARE(codes.txtCodes->geometry(), PxOf(layout.txtCodes));
            QCOMPARE(codes.btnCopy->geometry(), PxOf(layout.btnCopy));
            QCOMPARE(codes.btnDone->geometry(), PxOf(layout.btnDone));
        };
        checkPlaced();
        // Buttons on one row near the bottom edge, Done at the right.
        QVERIFY(codes.btnDone->geometry().right() < codes.width());
        QVERIFY(codes.btnDone->geometry().bottom() < codes.height());
        QVERIFY(codes.btnCopy->geometry().right() < codes.btnDone->geometry().left());
        QVERIFY(codes.txtCodes->geometry().bottom() < codes.btnDone->geometry().top());

        codes.resize(800, 300);
        QTRY_COMPARE(codes.size(), QSize(800, 300));
        checkPlaced();
        codes.resize(300, 40);
        QTRY_COMPARE(codes.size(), QSize(300, 40));
        checkPlaced();
        QCOMPARE(codes.txtCodes->height(), 0);  // 1 twip rounds to no pixel
    }

    void copyClearsThenSetsCurrentText() {
        test::TempProgramFolder folder;
        auto record = std::make_shared<test::PortRecord>();
        FrmUtility main(std::make_unique<test::RecordingPort>(record));
        main.QuillonCodes = "20, 96, 21";
        FrmCodes codes(main, &main);
        codes.show();

        // An older copy with a second format: clearing must drop it, not just the text.
        auto* older = new QMimeData;
        older->setText("old");
        older->setHtml("<b>old</b>");
        QGuiApplication::clipboard()->setMimeData(older);
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasHtml());

        int changes = 0;
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
                [&changes] { ++changes; });
        QTest::mouseClick(codes.btnCopy, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("20, 96, 21"));
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasHtml());
        QCOMPARE(changes, 2);  // cleared, then set

        // What the user edits is what gets copied.
        codes.txtCodes->selectAll();
        QTest::keyClicks(codes.txtCodes, "7, 8");
        QCOMPARE(codes.txtCodes->toPlainText(), QString("7, 8"));
        QTest::mouseClick(codes.btnCopy, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("7, 8"));
        disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
    }

    void emptyListStillClearsClipboard() {
        test::TempProgramFolder folder;
        auto record = std::make_shared<test::PortRecord>();
        FrmUtility main(std::make_unique<test::RecordingPort>(record));
        main.QuillonCodes.clear();
        FrmCodes codes(main, &main);
        codes.show();
        QCOMPARE(codes.txtCodes->toPlainText(), QString());
        QGuiApplication::clipboard()->setText("left over");
        QTest::mouseClick(codes.btnCopy, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    }

    void doneEndsTheModalWindow() {
        test::TempProgramFolder folder;
        auto record = std::make_shared<test::PortRecord>();
        FrmUtility main(std::make_unique<test::RecordingPort>(record));
        main.show();
        main.QuillonCodes = "5";
        FrmCodes codes(main, &main);
        bool clicked = false;
        QTimer::singleShot(50, this, [&] {
            auto* modal = qobject_cast<FrmCodes*>(QApplication::activeModalWidget());
            if (modal != nullptr) {
                clicked = true;
                modal->btnDone->click();
            }
        });
        codes.exec();
        QVERIFY(clicked);
        QVERIFY(!codes.isVisible());
        record.reset();
    }
};

QTEST_MAIN(CodesViewerTest)
#include "codes_viewer_test.moc"
