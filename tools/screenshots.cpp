// Starts the program's windows as a user opens them and saves a PNG of each:
//   cantora-screenshots <output folder> [--points N] [--dark]
// With --points (the application font's size) or --dark (a dark colour scheme) only the main
// window and the phrase editor are taken, their names ending in "-<N>pt" or "-dark".
// Run under Xvfb (see scripts/screenshots.sh). Uses a demonstration program folder so that the
// dictionary editor shows a real dictionary.

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "core/files/profile.h"
#include "core/serial/devices.h"
#include "ui/common/widgets.h"
#include "ui/main/frm_utility.h"

namespace {

QString g_output;
QString g_suffix;  // set when only the main window and the phrase editor are taken

// A dark colour scheme as dark desktop themes give it, on the Fusion style.
void UseDarkTheme() {
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QPalette dark;
    const QColor window(53, 53, 53);
    const QColor light(230, 230, 230);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, light);
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, light);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, light);
    dark.setColor(QPalette::ToolTipBase, QColor(35, 35, 35));
    dark.setColor(QPalette::ToolTipText, light);
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    QApplication::setPalette(dark);
}

// Reads the options after the output folder.
void ReadOptions(const QStringList& arguments) {
    for (int i = 2; i < arguments.size(); ++i) {
        if (arguments[i] == "--dark") {
            UseDarkTheme();
            g_suffix = "-dark";
        } else if (arguments[i] == "--points" && i + 1 < arguments.size()) {
            QFont font = QApplication::font();
            font.setPointSizeF(arguments[++i].toDouble());
            QApplication::setFont(font);
            g_suffix = "-" + arguments[i] + "pt";
        }
    }
}

void Save(QWidget* window, const QString& name) {
    QCoreApplication::processEvents();
    window->grab().save(QDir(g_output).filePath(name + g_suffix + ".png"));
}

// Clicks `buttonName` on `owner`; once the modal window it opens is up, runs `inside` on it and
// closes it.
void OpenModal(QWidget* owner, const QString& buttonName,
               const std::function<void(QWidget*)>& inside) {
    auto* button = owner->findChild<QPushButton*>(buttonName);
    if (button == nullptr) {
        return;
    }
    QTimer::singleShot(300, [owner, inside] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal != owner) {
            inside(modal);
            modal->close();
        }
    });
    button->click();
}

// Opens the port box's device list and saves the window with the list open. The list is a
// window of its own, so the picture is taken from the screen.
void SavePortList(QWidget* main) {
    auto* button = main->findChild<QToolButton*>("cmdPorts");
    if (button == nullptr) {
        return;
    }
    QTimer::singleShot(300, [main] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        const QRect area = main->frameGeometry().united(menu->geometry()).adjusted(-4, -4, 4, 4);
        main->screen()
            ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
            .save(QDir(g_output).filePath("port-list.png"));
        menu->close();
    });
    button->click();
}

void WriteDemoFiles() {
    QByteArray dictionary =
        "[words]\r\n"
        "a=\\AX\r\n"
        "apple=\\AE \\PO \\LE\r\n"
        "cantora=\\KE \\AE \\NE \\TT \\OW \\RR \\AX\r\n"
        "goodbye=\\GO \\UH \\DO \\BO \\AY\r\n"
        "hello=\\HE \\EH \\LO \\OW\r\n"
        "quillon=\\KO \\WW \\IH \\LE \\AX \\NO\r\n"
        "speak=\\SE \\PE \\IY \\EK\r\n"
        "world=\\WW \\AXRR \\LE \\DE\r\n"
        "zebra=\r\n";
    cantora::ReplaceFileAtomically(cantora::DictionaryFilePath(), dictionary);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Cantora Utility");
    g_output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QDir().mkpath(g_output);
    ReadOptions(QCoreApplication::arguments());
    QTemporaryDir folder;
    cantora::SetProgramFolder(folder.path());
    WriteDemoFiles();
    // Devices to show in the port list (listed while their paths exist).
    cantora::SetExtraSerialDevices(
        {{"/dev/ttyS0", "Built-in serial port"}, {"/dev/ttyS1", "USB serial adapter"}});

    cantora::FrmUtility main;
    main.show();
    // As a window manager would: the new window is the active one, so its focus is drawn.
    main.activateWindow();
    QTimer::singleShot(300, [&main] {
        Save(&main, "main-window");
        if (!g_suffix.isEmpty()) {
            OpenModal(&main, "EditPhrases", [](QWidget* phrase) { Save(phrase, "phrase-editor"); });
            main.close();
            return;
        }
        SavePortList(&main);
        OpenModal(&main, "EditPhrases", [](QWidget* phrase) {
            Save(phrase, "phrase-editor");
            // The viewer with a phrase's codes, as taken to a microcontroller.
            auto* sayData = phrase->findChild<QPlainTextEdit*>("txtSayData");
            if (sayData != nullptr) {
                sayData->setPlainText("hello world, speak cantora");
            }
            OpenModal(phrase, "btnCodes", [](QWidget* codes) { Save(codes, "codes-viewer"); });
            // A phrase with words the dictionary lacks: a code view lists them under the phrase,
            // and a click on the list puts the first into the word box.
            auto* unknown = phrase->findChild<cantora::ClickLabel*>("lblUnknownWords");
            if (sayData != nullptr && unknown != nullptr) {
                sayData->setPlainText("Hello Quillon, please say the Cantora greeting.");
                OpenModal(phrase, "btnCodes", [](QWidget*) {});
                emit unknown->clicked();
                Save(phrase, "phrase-editor-unknown");
            }
        });
        OpenModal(&main, "btnDictEdit", [](QWidget* dict) { Save(dict, "dictionary-editor"); });
        OpenModal(&main, "Synth", [](QWidget* synth) { Save(synth, "synth-control"); });
        main.close();
    });
    return QApplication::exec();
}
