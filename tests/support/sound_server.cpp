#include "support/sound_server.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>
#include <cmath>
#include <cstring>

namespace cantora::test {

namespace {

const char* const kVariables[4] = {"PULSE_SERVER", "PULSE_RUNTIME_PATH", "XDG_RUNTIME_DIR",
                                   "PULSE_COOKIE"};

}  // namespace

SoundServer::SoundServer() {
    for (int i = 0; i < 4; ++i) {
        oldEnvironment_[i] = qgetenv(kVariables[i]);
    }
    qputenv("PULSE_SERVER", serverAddress().toLocal8Bit());
    qputenv("PULSE_RUNTIME_PATH", dir_.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", dir_.path().toLocal8Bit());
    qputenv("PULSE_COOKIE", dir_.filePath("cookie").toLocal8Bit());
}

SoundServer::~SoundServer() {
    stopRecording();
    stop();
    for (int i = 0; i < 4; ++i) {
        if (oldEnvironment_[i].isNull()) {
            qunsetenv(kVariables[i]);
        } else {
            qputenv(kVariables[i], oldEnvironment_[i]);
        }
    }
}

QString SoundServer::serverAddress() const {
    return QStringLiteral("unix:") + dir_.filePath(QStringLiteral("native"));
}

bool SoundServer::running() const {
    return server_ && server_->state() == QProcess::Running;
}

bool SoundServer::start() {
    stop();
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (program.isEmpty() || !dir_.isValid()) {
        return false;
    }
    server_ = std::make_unique<QProcess>();
    server_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_->start(program,
                   {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                    QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                    QStringLiteral("--disable-shm=yes"), QStringLiteral("--log-level=error"),
                    QStringLiteral("--load=module-null-sink sink_name=chip"),
                    QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 "
                                   "socket=") +
                        dir_.filePath(QStringLiteral("native"))});
    if (!server_->waitForStarted(5000)) {
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000 && running()) {
        if (QFileInfo::exists(dir_.filePath(QStringLiteral("native")))) {
            return true;
        }
        QTest::qWait(20);
    }
    return false;
}

void SoundServer::stop() {
    if (server_) {
        server_->terminate();
        if (!server_->waitForFinished(5000)) {
            server_->kill();
            server_->waitForFinished(2000);
        }
        server_.reset();
    }
}

bool SoundServer::startRecording() {
    recorder_ = std::make_unique<QProcess>();
    recorder_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    recorder_->start(QStringLiteral("parec"),
                     {QStringLiteral("--device=chip.monitor"), QStringLiteral("--format=s16le"),
                      QStringLiteral("--rate=22050"), QStringLiteral("--channels=1"),
                      QStringLiteral("--latency-msec=20"), QStringLiteral("--raw")});
    return recorder_->waitForStarted(5000);
}

std::vector<int16_t> SoundServer::stopRecording() {
    std::vector<int16_t> pcm;
    if (!recorder_) {
        return pcm;
    }
    recorder_->terminate();
    recorder_->waitForFinished(3000);
    const QByteArray bytes = recorder_->readAllStandardOutput();
    pcm.resize(static_cast<size_t>(bytes.size() / 2));
    std::memcpy(pcm.data(), bytes.constData(), pcm.size() * 2);
    recorder_.reset();
    return pcm;
}

double SoundRms(const std::vector<int16_t>& pcm) {
    double sum = 0;
    for (const int16_t s : pcm) {
        sum += static_cast<double>(s) * s;
    }
    return pcm.empty() ? 0 : std::sqrt(sum / static_cast<double>(pcm.size()));
}

}  // namespace cantora::test
