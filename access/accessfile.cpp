// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Recognising an Access file by its first page, and finding the reader.
#include "access/accessfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace jet {

namespace {

QString g_reader;

// The first bytes of page 0: its type and the engine's name, then at 0x14
// the version (0 Jet 3, 1 Jet 4, 2 and above ACE).
constexpr char kJet[] = "\x00\x01\x00\x00Standard Jet DB";
constexpr char kAce[] = "\x00\x01\x00\x00Standard ACE DB";
constexpr qsizetype kSignature = sizeof kJet; // with its closing zero
constexpr qsizetype kVersionAt = 0x14;

// The version byte, or -1 for a file that is no Access file.
int version(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return -1;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray head = file.read(kVersionAt + 1);
    if (head.size() < kVersionAt + 1)
        return -1;
    const QByteArrayView start(head.constData(), kSignature);
    if (start != QByteArrayView(kJet, kSignature) && start != QByteArrayView(kAce, kSignature))
        return -1;
    return static_cast<unsigned char>(head.at(kVersionAt));
}

} // namespace

bool isAccessFile(const QString& path)
{
    return version(path) >= 0;
}

QString formatName(const QString& path)
{
    switch (version(path)) {
    case -1:
        return {};
    case 0:
        return QStringLiteral("Access 97 (Jet 3)");
    case 1:
        return QStringLiteral("Access 2000 bis 2003 (Jet 4)");
    default:
        return QStringLiteral("Access 2007 oder neuer (ACE)");
    }
}

QString readerProgram()
{
    if (!g_reader.isEmpty())
        return g_reader;
    // The running program's folder, also where there is no QCoreApplication
    // (quizdb has none).
    const QString here = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
    const QString beside = here + QStringLiteral("/" QUIZ_ACCESS_READER);
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QDir::cleanPath(here + QStringLiteral("/" QUIZ_ACCESS_READER_FROM_BIN "/" QUIZ_ACCESS_READER));
}

void setReaderProgram(const QString& path)
{
    g_reader = path;
}

} // namespace jet
