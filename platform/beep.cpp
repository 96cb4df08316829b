// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The beep: a short tone through the sound system, played by a module that is
// loaded with the first beep, so that Qt Multimedia costs start-up nothing.
// Without the module or without an audio output it is the system bell.
#include "platform/platform.h"

#include <QApplication>
#include <QDir>
#include <QLibrary>

namespace platform {
namespace {

std::function<void()> g_beepHandler;

using PlayBeep = bool (*)(void (*bell)());

void bell() { QApplication::beep(); }

// The module's play function: the module beside the executable (the build
// folder) or in the installed game's own library folder. Looked for once.
PlayBeep soundModule()
{
    static const PlayBeep play = []() -> PlayBeep {
        const QString dir = QCoreApplication::applicationDirPath();
        const QStringList paths{dir + QStringLiteral("/" QUIZ_SOUND_MODULE),
                                QDir::cleanPath(dir + QStringLiteral("/" QUIZ_MODULE_FROM_BIN "/" QUIZ_SOUND_MODULE))};
        for (const QString& path : paths) {
            QLibrary module(path); // stays loaded after `module` is gone
            if (auto found = reinterpret_cast<PlayBeep>(module.resolve("quizPlayBeep")))
                return found;
        }
        return nullptr;
    }();
    return play;
}

} // namespace

void beep()
{
    if (g_beepHandler)
        g_beepHandler();
    else if (const PlayBeep play = soundModule(); !play || !play(&bell))
        bell();
}

void setBeepHandler(std::function<void()> handler) { g_beepHandler = std::move(handler); }

} // namespace platform
