// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The beep's sound, in a module of its own that the game loads with its first
// beep (platform/beep.cpp): Qt Multimedia and the sound system are not touched
// at start-up. The tone (assets/beep.wav) is compiled into the module.
//
// The tone goes through a QAudioSink of our own rather than a QSoundEffect.
// QSoundEffect stops its sink as soon as the sink reports that it is idle,
// and Qt 6.4's PulseAudio sink says so once the last bytes are handed to the
// sound server, not once they are heard: stopping then disconnects the stream
// and the server drops what it still holds, about half of the 250 ms tone,
// ending in a click. Here the sink is stopped only after the server has had
// the time to play all of it.
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>
#include <QtEndian>
#include <memory>

namespace {

// The samples and format of a PCM WAV file; an invalid format for anything else.
struct Tone {
    QAudioFormat format;
    QByteArray samples;
};

Tone readWav(const QByteArray& file)
{
    Tone tone;
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return tone;
    const auto le16 = [&file](qsizetype at) { return qFromLittleEndian<quint16>(file.constData() + at); };
    const auto le32 = [&file](qsizetype at) { return qFromLittleEndian<quint32>(file.constData() + at); };
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const QByteArray id = file.mid(at, 4);
        const qsizetype size = le32(at + 4), body = at + 8;
        if (size > file.size() - body)
            return {};
        if (id == "fmt " && size >= 16 && le16(body) == 1 /* PCM */ && le16(body + 14) == 16) {
            tone.format.setSampleRate(int(le32(body + 4)));
            tone.format.setChannelCount(le16(body + 2));
            tone.format.setSampleFormat(QAudioFormat::Int16);
        } else if (id == "data") {
            tone.samples = file.mid(body, size);
        }
        at = body + size + (size & 1); // chunks are padded to an even length
    }
    if (tone.samples.isEmpty())
        tone.format = QAudioFormat();
    return tone;
}

class Beeper : public QObject {
public:
    Beeper(const QAudioDevice& device, const Tone& tone, void (*bell)(), QObject* parent)
        : QObject(parent), m_sink(device, tone.format, this)
    {
        m_samples.setData(tone.samples);
        m_stopLater.setSingleShot(true);
        connect(&m_stopLater, &QTimer::timeout, &m_sink, &QAudioSink::stop);
        connect(&m_sink, &QAudioSink::stateChanged, this, [this, bell](QAudio::State state) {
            // Idle: all bytes are with the sound server. The stream is closed
            // once they have played: the stream's buffer, and the sound the
            // server has mixed ahead (up to 2 s on a null sink), which it
            // takes back from a stream that goes away.
            if (state == QAudio::IdleState) {
                const qint64 buffered = m_sink.format().durationForBytes(qint32(m_sink.bufferSize()));
                m_stopLater.start(int(buffered / 1000) + kMarginMs);
            } else if (state == QAudio::StoppedState && m_sink.error() != QAudio::NoError
                       && m_sink.error() != QAudio::UnderrunError) {
                bell(); // the stream broke off after it was started
            }
        });
    }

    // False when the sound system refuses the stream.
    bool play()
    {
        m_stopLater.stop();
        m_sink.stop(); // a tone still playing ends here
        m_samples.close();
        m_samples.open(QIODevice::ReadOnly);
        m_sink.start(&m_samples);
        return m_sink.error() == QAudio::NoError || m_sink.error() == QAudio::UnderrunError;
    }

private:
    static constexpr int kMarginMs = 2000;
    QAudioSink m_sink;
    QBuffer m_samples;
    QTimer m_stopLater;
};

Beeper* g_beeper = nullptr; // made on the first beep, owned by the application

} // namespace

// Plays the tone. False when there is no audio output to play it on or the
// tone cannot be played; the caller rings the bell then. `bell` is rung here
// when the stream fails later, which is only known after the return.
extern "C" Q_DECL_EXPORT bool quizPlayBeep(void (*bell)())
{
    if (!g_beeper) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return false;
        QFile file(QStringLiteral(":/beep.wav"));
        const Tone tone = readWav(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        if (!tone.format.isValid() || !device.isFormatSupported(tone.format))
            return false;
        g_beeper = new Beeper(device, tone, bell, QCoreApplication::instance());
    }
    return g_beeper->play();
}
