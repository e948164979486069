#pragma once

// WAV files of the virtual chip's sound, for "Save WAV…" and the pseudo-terminal chip.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace cantora::chip {

// 16-bit mono PCM as a RIFF WAV file's bytes.
QByteArray WavBytes(const std::vector<int16_t>& pcm, int sampleRate);

// Writes the file atomically (a half-written file never replaces the old one).
bool WriteWavFile(const QString& path, const std::vector<int16_t>& pcm, int sampleRate);

// Renders a byte string, exactly as it would go on the line, into a WAV file. Offline: no port
// and no audio device; much faster than playing it.
bool RenderBytesToWav(const QByteArray& bytes, const QString& path);

}  // namespace cantora::chip
