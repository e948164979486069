// Every window at the fonts and in the themes of ordinary desktops: captions fit their controls
// at any font size, and fixed colours stay readable in a dark theme.

#include <QApplication>
#include <QStyleFactory>
#include <QTest>

#include "support/test_support.h"
#include "support/window_survey.h"
#include "ui/common/contrast.h"
#include "ui/common/twips.h"
#include "ui/main/frm_utility.h"

using namespace cantora;

namespace {

// Sets the application font's size for the life of the object.
class FontSize {
  public:
    explicit FontSize(double points) : saved_(QApplication::font()) {
        QFont font = saved_;
        font.setPointSizeF(points);
        QApplication::setFont(font);
    }
    ~FontSize() { QApplication::setFont(saved_); }

  private:
    QFont saved_;
};

// A dark colour scheme as dark desktop themes give it.
QPalette DarkPalette() {
    QPalette dark;
    const QColor window(53, 53, 53);
    const QColor base(35, 35, 35);
    const QColor light(230, 230, 230);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        dark.setColor(group, QPalette::Window, window);
        dark.setColor(group, QPalette::WindowText, light);
        dark.setColor(group, QPalette::Base, base);
        dark.setColor(group, QPalette::AlternateBase, window);
        dark.setColor(group, QPalette::Text, light);
        dark.setColor(group, QPalette::Button, window);
        dark.setColor(group, QPalette::ButtonText, light);
        dark.setColor(group, QPalette::ToolTipBase, base);
        dark.setColor(group, QPalette::ToolTipText, light);
        dark.setColor(group, QPalette::Highlight, QColor(42, 130, 218));
        dark.setColor(group, QPalette::HighlightedText, Qt::black);
    }
    return dark;
}

}  // namespace

class LookTest : public QObject {
    Q_OBJECT
  private slots:
    void windowsGrowWithTheFont();
    void captionsFitAtEveryFontSize_data();
    void captionsFitAtEveryFontSize();
    void fixedColoursReadInADarkTheme();
    void portBoxReadsInEveryState();
};

void LookTest::windowsGrowWithTheFont() {
    // At the font the layouts were fitted to nothing moves; a larger font scales every window by
    // about as much as its letters grew, and keeps its proportions.
    QCOMPARE(TwipsPerPixel(), kTwipsPerPixel);
    test::TempProgramFolder folder;
    const QSize fitted = FrmUtility().size();
    FontSize large(14);
    QVERIFY(TwipsPerPixel() < kTwipsPerPixel * 0.7);
    const QSize grown = FrmUtility().size();
    const double growth = kTwipsPerPixel / TwipsPerPixel();
    QVERIFY2(qAbs(grown.width() - fitted.width() * growth) <= 2,
             qPrintable(QString::number(grown.width())));
    QVERIFY(qAbs(grown.height() - fitted.height() * growth) <= 2);
}

void LookTest::captionsFitAtEveryFontSize_data() {
    QTest::addColumn<double>("points");
    for (double points : {9.0, 10.0, 11.0, 12.0, 14.0}) {
        QTest::newRow(qPrintable(QStringLiteral("%1 pt").arg(points))) << points;
    }
}

void LookTest::captionsFitAtEveryFontSize() {
    QFETCH(double, points);
    FontSize size(points);
    QStringList faults;
    int windows = 0;
    test::ForEveryWindow([&](const QString&, QWidget* window) {
        ++windows;
        faults << test::CaptionsThatDoNotFit(window) << test::FrameLinesHidden(window);
    });
    QCOMPARE(windows, 5);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
}

void LookTest::fixedColoursReadInADarkTheme() {
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(DarkPalette());
    QStringList faults;
    test::ForEveryWindow(
        [&](const QString&, QWidget* window) { faults << test::FixedColoursHardToRead(window); });
    QApplication::setPalette(saved);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
}

void LookTest::portBoxReadsInEveryState() {
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(DarkPalette());
    test::TempProgramFolder folder;
    FrmUtility main(std::make_unique<test::RecordingPort>(std::make_shared<test::PortRecord>()));
    main.show();
    for (LinkState state : {LinkState::Closed, LinkState::Open, LinkState::Failed}) {
        main.setLinkState(state);
        const QStringList faults = test::FixedColoursHardToRead(&main);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }
    QApplication::setPalette(saved);
}

QTEST_MAIN(LookTest)
#include "look_test.moc"
