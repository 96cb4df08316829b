// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/platform.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platform {
namespace {
std::function<void()> g_endHandler;
std::function<QDateTime()> g_clock;

// "1234567" -> "1.234.567"; the sign stays in front.
QString groupThousands(qint64 value)
{
    // German grouping whatever the player's own locale: 1.000.000.
    static const QLocale german(QLocale::German, QLocale::Germany);
    return german.toString(value);
}
} // namespace

void endProgram() { endProgram(0); }

void endProgram(int exitStatus)
{
    if (g_endHandler)
        g_endHandler();          // a test's handler throws and never comes back here
    std::exit(exitStatus);
}

void setEndProgramHandler(std::function<void()> handler) { g_endHandler = std::move(handler); }

QDateTime now() { return g_clock ? g_clock() : QDateTime::currentDateTime(); }

void setClock(std::function<QDateTime()> clock) { g_clock = std::move(clock); }

namespace {

struct Substitute {
    const char* face;
    QStringList standIns; // the first that is installed serves
};

// Qt asks for a substitute only when the named face itself is not installed.
// The weight and style come from the font as the window asks for it.
const std::vector<Substitute>& substituteTable()
{
    using namespace Qt::StringLiterals;
    static const std::vector<Substitute> table = {
        // Metric-compatible faces, so that texts take the room they were laid out for.
        {"Arial", {u"Liberation Sans"_s, u"DejaVu Sans"_s}},
        {"Times New Roman", {u"Liberation Serif"_s, u"DejaVu Serif"_s}},
        // A wide, heavy sans; the status bar asks for it at black weight, and
        // DejaVu Sans Bold is the heaviest face installed.
        {"Arial Black", {u"DejaVu Sans"_s, u"Liberation Sans"_s}},
        // The caption over the name box: a broad sans in bold, a show caption
        // rather than a text face.
        {"Conga", {u"DejaVu Sans"_s}},
        // The player's name in bold italic: a serif italic has the written
        // look, and its line fits the 33-pixel name box at 18 points.
        {"Kauflinn", {u"Liberation Serif"_s, u"DejaVu Serif"_s}},
        // A Helvetica look-alike: Liberation Sans is as plain and as wide.
        {"Helmet", {u"Liberation Sans"_s, u"DejaVu Sans"_s}},
    };
    return table;
}

} // namespace

void useFontSubstitutes()
{
    for (const Substitute& s : substituteTable())
        QFont::insertSubstitutions(QString::fromLatin1(s.face), s.standIns);
}

QString installedFace(const QString& face)
{
    // Qt's own lookup of a face it does not have first asks the font system
    // for that face's fallbacks, which are never used when a substitute is
    // installed: about 0.4 ms a face at start-up.
    static const QStringList installed = QFontDatabase::families();
    if (installed.contains(face, Qt::CaseInsensitive))
        return face;
    for (const Substitute& s : substituteTable()) {
        if (face.compare(QLatin1String(s.face), Qt::CaseInsensitive) != 0)
            continue;
        for (const QString& standIn : s.standIns) {
            if (installed.contains(standIn, Qt::CaseInsensitive))
                return standIn;
        }
    }
    return face;
}

void centreOnScreen(QWidget& window)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

QString formatDate(const QDateTime& t) { return t.toString(QStringLiteral("dd.MM.yyyy")); }

QString formatTime(const QDateTime& t) { return t.toString(QStringLiteral("HH:mm:ss")); }

QString formatSecured(qint64 euros) { return groupThousands(euros) + QStringLiteral(",-"); }

QString formatGrouped(qint64 euros) { return groupThousands(euros); }

QString formatWhole(double value) { return QString::number(static_cast<qint64>(std::llround(value))); }

QRect twipsRect(int left, int top, int width, int height, qreal factor)
{
    // At factor 1 the same whole pixels as px().
    const auto at = [factor](int twips) { return int(std::floor(twips * factor / kTwipsPerPixel)); };
    const int x = at(left), y = at(top);
    return QRect(x, y, at(left + width) - x, at(top + height) - y);
}

void reportToTerminal(const QString& line)
{
    std::fputs((QStringLiteral(QUIZ_PROGRAM ": ") + line + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

void reportUncaughtFailure(const QString& what)
{
    reportToTerminal(what);
    msgBox(QStringLiteral("Unerwarteter Fehler: %1\nDas Programm wird beendet.").arg(what));
    endProgram(1);
}

} // namespace platform
