#include "core/chip/speakers.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>

#include <QString>
#include <chrono>
#include <thread>

namespace cantora::chip {

namespace {

// How long start() waits for the first word from the server: a local server answers within a
// few milliseconds, a missing one at once.
constexpr int kSettleMs = 500;

// All the state below belongs to the PulseAudio loop's thread; other threads take its lock.
// Callbacks never free what called them: a lost connection is freed by the retry that follows.
class PulseSpeakers : public PcmOutput {
  public:
    ~PulseSpeakers() override { stop(); }

    void start(std::shared_ptr<VirtualChip> chip) override {
        if (loop_ == nullptr) {
            chip_ = std::move(chip);
            loop_ = pa_threaded_mainloop_new();
            if (loop_ == nullptr) {
                reason_ = QStringLiteral("the sound library could not start");
                return;
            }
            pa_threaded_mainloop_lock(loop_);
            connectLocked();
            pa_threaded_mainloop_unlock(loop_);
            if (pa_threaded_mainloop_start(loop_) < 0) {
                pa_threaded_mainloop_free(loop_);
                loop_ = nullptr;
                reason_ = QStringLiteral("the sound library could not start");
                return;
            }
        } else {
            // Asked again while there is no sound: look for the server now rather than at the
            // next retry, so a send made just after it appeared is heard.
            pa_threaded_mainloop_lock(loop_);
            if (!ready_) {
                cancelRetryLocked();
                freeConnectionLocked();
                connectLocked();
            }
            pa_threaded_mainloop_unlock(loop_);
        }
        waitUntilSettled();
    }

    void stop() override {
        if (loop_ == nullptr) {
            return;
        }
        pa_threaded_mainloop_lock(loop_);
        stopping_ = true;
        cancelRetryLocked();
        freeConnectionLocked();
        pa_threaded_mainloop_unlock(loop_);
        pa_threaded_mainloop_stop(loop_);
        pa_threaded_mainloop_free(loop_);
        loop_ = nullptr;
        stopping_ = false;
        ready_ = false;
        chip_.reset();
    }

    QString unavailableReason() const override {
        if (loop_ == nullptr) {
            return reason_;
        }
        pa_threaded_mainloop_lock(loop_);
        QString reason;
        if (!ready_) {
            reason = reason_.isEmpty() ? QStringLiteral("the sound server has not answered yet")
                                       : reason_;
        }
        pa_threaded_mainloop_unlock(loop_);
        return reason;
    }

  private:
    void waitUntilSettled() {
        for (int waited = 0; waited < kSettleMs; waited += 2) {
            pa_threaded_mainloop_lock(loop_);
            const bool settled = settled_;
            pa_threaded_mainloop_unlock(loop_);
            if (settled) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    void connectLocked() {
        settled_ = false;
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
        context_ = pa_context_new(api, "Cantora Utility");
        if (context_ == nullptr) {
            lostLocked(QStringLiteral("the sound library could not start"));
            return;
        }
        pa_context_set_state_callback(context_, &PulseSpeakers::onContextState, this);
        // Never start a sound server of our own: follow the one the desktop runs.
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            lostLocked(ServerError(context_));
        }
    }

    static QString ServerError(pa_context* context) {
        return QStringLiteral("no sound server answers (%1); send again once one runs")
            .arg(QString::fromUtf8(pa_strerror(pa_context_errno(context))));
    }

    void openStreamLocked() {
        const pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, static_cast<uint32_t>(kSampleRate), 1};
        stream_ = pa_stream_new(context_, "Virtual Quillon", &sampleFormat, nullptr);
        if (stream_ == nullptr) {
            lostLocked(ServerError(context_));
            return;
        }
        pa_stream_set_state_callback(stream_, &PulseSpeakers::onStreamState, this);
        pa_stream_set_write_callback(stream_, &PulseSpeakers::onWrite, this);
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.tlength =
            static_cast<uint32_t>(pa_usec_to_bytes(kSpeakerBufferMs * 1000, &sampleFormat));
        attr.prebuf = static_cast<uint32_t>(-1);
        attr.minreq = static_cast<uint32_t>(-1);
        attr.fragsize = static_cast<uint32_t>(-1);
        if (pa_stream_connect_playback(stream_, nullptr, &attr, PA_STREAM_ADJUST_LATENCY, nullptr,
                                       nullptr) < 0) {
            lostLocked(ServerError(context_));
        }
    }

    // No sound for now: say why and look again in a while.
    void lostLocked(const QString& reason) {
        ready_ = false;
        reason_ = reason;
        settled_ = true;
        if (stream_ != nullptr) {
            pa_stream_set_write_callback(stream_, nullptr, nullptr);
        }
        if (stopping_ || retry_ != nullptr) {
            return;
        }
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
        timeval when{};
        pa_gettimeofday(&when);
        pa_timeval_add(&when, static_cast<pa_usec_t>(kReconnectMs) * 1000);
        retry_ = api->time_new(api, &when, &PulseSpeakers::onRetry, this);
    }

    void cancelRetryLocked() {
        if (retry_ != nullptr) {
            pa_threaded_mainloop_get_api(loop_)->time_free(retry_);
            retry_ = nullptr;
        }
    }

    void freeConnectionLocked() {
        if (stream_ != nullptr) {
            pa_stream_set_state_callback(stream_, nullptr, nullptr);
            pa_stream_set_write_callback(stream_, nullptr, nullptr);
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
            stream_ = nullptr;
        }
        if (context_ != nullptr) {
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
            pa_context_unref(context_);
            context_ = nullptr;
        }
        ready_ = false;
    }

    static void onContextState(pa_context* context, void* data) {
        auto* self = static_cast<PulseSpeakers*>(data);
        switch (pa_context_get_state(context)) {
            case PA_CONTEXT_READY:
                self->openStreamLocked();
                break;
            case PA_CONTEXT_FAILED:
            case PA_CONTEXT_TERMINATED:
                self->lostLocked(ServerError(context));
                break;
            default:
                break;
        }
    }

    static void onStreamState(pa_stream* stream, void* data) {
        auto* self = static_cast<PulseSpeakers*>(data);
        switch (pa_stream_get_state(stream)) {
            case PA_STREAM_READY:
                self->ready_ = true;
                self->reason_.clear();
                self->settled_ = true;
                break;
            case PA_STREAM_FAILED:
            case PA_STREAM_TERMINATED:
                self->lostLocked(ServerError(pa_stream_get_context(stream)));
                break;
            default:
                break;
        }
    }

    static void onWrite(pa_stream* stream, size_t bytes, void* data) {
        auto* self = static_cast<PulseSpeakers*>(data);
        while (bytes >= 2) {
            void* buffer = nullptr;
            size_t size = bytes;
            if (pa_stream_begin_write(stream, &buffer, &size) < 0 || buffer == nullptr ||
                size < 2) {
                return;
            }
            const auto frames = static_cast<int>(size / 2);
            self->chip_->pull(static_cast<int16_t*>(buffer), frames);
            if (pa_stream_write(stream, buffer, static_cast<size_t>(frames) * 2, nullptr, 0,
                                PA_SEEK_RELATIVE) < 0) {
                return;
            }
            bytes -= static_cast<size_t>(frames) * 2;
        }
    }

    static void onRetry(pa_mainloop_api* api, pa_time_event* event, const timeval*, void* data) {
        auto* self = static_cast<PulseSpeakers*>(data);
        api->time_free(event);
        self->retry_ = nullptr;
        self->freeConnectionLocked();
        self->connectLocked();
    }

    std::shared_ptr<VirtualChip> chip_;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    pa_time_event* retry_ = nullptr;
    QString reason_;
    bool ready_ = false;
    bool settled_ = false;  // the last attempt has succeeded or failed
    bool stopping_ = false;
};

}  // namespace

std::unique_ptr<PcmOutput> MakeSpeakerOutput() {
    return std::make_unique<PulseSpeakers>();
}

}  // namespace cantora::chip
