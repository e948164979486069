#include <QApplication>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

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

}  // namespace

int main(int argc, char** argv) {
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
