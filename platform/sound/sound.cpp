// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The beep's sound, in a module of its own that the game loads with its first
// beep (platform/beep.cpp): Qt Multimedia and the sound system are not touched
// at start-up. The tone (assets/beep.wav) is compiled into the module.
#include <QCoreApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace {
QSoundEffect* g_effect = nullptr; // made on the first beep, owned by the application
} // namespace

// Plays the tone. False when there is no audio output to play it on; `bell` is
// rung instead when the tone turns out not to load, which is only known later.
extern "C" Q_DECL_EXPORT bool quizPlayBeep(void (*bell)())
{
    if (QMediaDevices::audioOutputs().isEmpty())
        return false;
    if (!g_effect) {
        g_effect = new QSoundEffect(QCoreApplication::instance());
        QObject::connect(g_effect, &QSoundEffect::statusChanged, g_effect, [bell] {
            if (g_effect->status() == QSoundEffect::Error)
                bell();
        });
        g_effect->setSource(QUrl(QStringLiteral("qrc:/beep.wav")));
    }
    if (g_effect->status() == QSoundEffect::Error)
        return false;
    g_effect->play(); // played as soon as it is loaded
    return true;
}
