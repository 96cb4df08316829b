// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/display.h"

#include <QByteArray>
#include <QTemporaryFile>

namespace testsupport {

void useOwnDisplay(QSize screen)
{
    for (const char* name : {"QT_SCREEN_SCALE_FACTORS", "QT_ENABLE_HIGHDPI_SCALING", "QT_AUTO_SCREEN_SCALE_FACTOR",
                             "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_USE_PHYSICAL_DPI", "QT_FONT_DPI",
                             "QT_STYLE_OVERRIDE", "QT_QPA_PLATFORMTHEME"})
        qunsetenv(name);
    qputenv("QT_SCALE_FACTOR", QByteArrayLiteral("1"));

    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (!chosen.isEmpty() && chosen != "offscreen")
        return;
    if (screen.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
        return;
    }
    // The offscreen platform reads its screens from a file, which lives as
    // long as the program.
    static QTemporaryFile config;
    if (!config.open()
        || config.write(QByteArrayLiteral(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": )")
                        + QByteArray::number(screen.width()) + QByteArrayLiteral(R"(, "height": )")
                        + QByteArray::number(screen.height()) + QByteArrayLiteral(R"(, "logicalDpi": 96}]})"))
               < 0
        || !config.flush())
        qFatal("The offscreen screen could not be written.");
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen:configfile=") + config.fileName().toLocal8Bit());
}

} // namespace testsupport
