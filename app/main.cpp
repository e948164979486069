#include <QApplication>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/files/version.h"
#include "ui/common/program_icon.h"
#include "ui/main/frm_utility.h"

namespace {

// A termination request (logging out, `kill`) closes the main window the way a user would,
// so the settings are written. The handler only wakes the event loop through a socket.
int signalSocket[2] = {-1, -1};

void OnTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[0], &byte, 1);
}

void CloseOnTerminationSignal(QWidget* window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSocket) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(signalSocket[1], &byte, 1);
        window->close();
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

constexpr const char* kUsage =
    "Usage: cantora-utility [--help] [--version] [Qt options such as -platform NAME]\n"
    "Makes the Quillon speech chip talk and sing: a phrase editor, a dictionary editor and a\n"
    "synthesiser panel that send to the chip on a serial port, or to the virtual chip built in.\n"
    "The settings, dictionary and presets are kept beside the program when it may write there,\n"
    "otherwise in ~/.config/cantora-utility and ~/.local/share/cantora-utility.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n";

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Qt's own failure without a display is a page of plugin advice; a line that says what is
// missing helps more, and is said before Qt tries.
bool HasDisplay(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
            return true;
        }
    }
    return IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

// Answers --help and --version without a display; -1 when the window is to start.
int AnswerCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(arg, "--version") == 0 || std::strcmp(arg, "-v") == 0) {
            std::printf("cantora-utility %s\n", CANTORA_VERSION);
            return 0;
        }
    }
    if (!HasDisplay(argc, argv)) {
        std::fputs(
            "cantora-utility: needs a graphical display; neither DISPLAY nor "
            "WAYLAND_DISPLAY is set\n",
            stderr);
        return 1;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (const int status = AnswerCommandLine(argc, argv); status >= 0) {
        return status;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Cantora Utility");
    // The name of the installed desktop entry, so the window belongs to its menu entry.
    QGuiApplication::setDesktopFileName("org.cantora.utility");
    QApplication::setWindowIcon(cantora::ProgramIcon());
    cantora::FrmUtility window;
    CloseOnTerminationSignal(&window);
    window.show();
    return QApplication::exec();
}
