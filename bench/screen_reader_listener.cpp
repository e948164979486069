// Stands in for a screen reader while a benchmark runs: on the accessibility bus it asks for
// the events a screen reader follows (text changes, caret moves, focus, windows), so programs
// send them, and it takes every one in. Prints how many arrived when it is stopped.
//   screen_reader_listener <file to create once listening>
// Run inside the session of an accessibility bus (scripts/accessibility_bench.sh).

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QFile>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>

#include <sys/socket.h>
#include <unistd.h>

namespace {

int stopSocket[2] = {-1, -1};

void OnStop(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(stopSocket[0], &byte, 1);
}

// Counts the signals that reach it.
class Counter : public QObject {
    Q_OBJECT
  public:
    qint64 events = 0;
    qint64 textBytes = 0;
  public slots:
    void take(const QDBusMessage& message) {
        ++events;
        for (QVariant argument : message.arguments()) {
            if (argument.canConvert<QDBusVariant>()) {
                argument = argument.value<QDBusVariant>().variant();
            }
            if (argument.typeId() == QMetaType::QString) {
                textBytes += argument.toString().size();
            }
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QDBusInterface launcher("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                            QDBusConnection::sessionBus());
    const QDBusReply<QString> address = launcher.call("GetAddress");
    if (!address.isValid() || address.value().isEmpty()) {
        std::fprintf(stderr, "no accessibility bus\n");
        return 1;
    }
    QDBusConnection bus = QDBusConnection::connectToBus(address.value(), "a11y");
    if (!bus.isConnected()) {
        std::fprintf(stderr, "cannot reach the accessibility bus\n");
        return 1;
    }
    Counter counter;
    // Every signal on the bus: the events come from the program's own connection.
    for (const char* interface : {"org.a11y.atspi.Event.Object", "org.a11y.atspi.Event.Window",
                                  "org.a11y.atspi.Event.Focus"}) {
        bus.connect(QString(), QString(), interface, QString(), &counter, SLOT(take(QDBusMessage)));
    }
    QDBusInterface registry("org.a11y.atspi.Registry", "/org/a11y/atspi/registry",
                            "org.a11y.atspi.Registry", bus);
    for (const char* event :
         {"object:text-changed:insert", "object:text-changed:delete", "object:text-caret-moved",
          "object:text-selection-changed", "object:state-changed", "object:children-changed",
          "object:property-change", "object:active-descendant-changed", "focus:", "window:"}) {
        const QDBusMessage reply =
            registry.call("RegisterEvent", QString::fromLatin1(event), QStringList(), QString());
        if (reply.type() == QDBusMessage::ErrorMessage) {
            std::fprintf(stderr, "%s: %s\n", event, qPrintable(reply.errorMessage()));
            return 1;
        }
    }
    if (argc > 1) {
        QFile ready(QString::fromLocal8Bit(argv[1]));
        ready.open(QIODevice::WriteOnly);
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, stopSocket) != 0) {
        return 1;
    }
    QSocketNotifier notifier(stopSocket[1], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGTERM, OnStop);
    std::signal(SIGINT, OnStop);
    QCoreApplication::exec();
    std::printf("screen reader stand-in: %lld events, %lld characters of text\n",
                static_cast<long long>(counter.events), static_cast<long long>(counter.textBytes));
    return 0;
}

#include "screen_reader_listener.moc"
