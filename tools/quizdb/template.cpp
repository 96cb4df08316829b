// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// vorlage: a CSV to start one's own quiz from, as a German spreadsheet opens
// it at once (semicolons, UTF-8 with a byte-order mark, CRLF), with three
// example questions that create accepts as they stand.
#include "tools/quizdb/call.h"
#include "tools/quizdb/messages.h"

#include <cerrno>

namespace quizdb {

namespace {

const char kTemplate[] =
    "\xEF\xBB\xBF"
    "Nummer;Frage;AntwortA;AntwortB;AntwortC;AntwortD;Richtig;Fraglich;PublikumA;PublikumB;PublikumC;PublikumD;"
    "JokerTV\r\n"
    "1;Wie viele Beine hat eine Spinne?;Sechs;Acht;Zehn;Zwölf;B;A;15;70;10;5;Tiere\r\n"
    "2;Welche Farbe entsteht aus Blau und Gelb?;Grün;Rot;Lila;Orange;A;C;80;5;10;5;Kunst\r\n"
    "3;Wie heißt die Hauptstadt von Frankreich?;Rom;Madrid;Paris;Berlin;C;D;5;5;85;5;Erdkunde\r\n";

} // namespace

QByteArray questionTemplate()
{
    return QByteArray(kTemplate);
}

int runTemplate(const Call& call)
{
    errno = 0;
    if (!written(call.out, questionTemplate()))
        throw writeFailure(call.out, errno);
    say(call.err, QStringLiteral("So wird daraus ein eigenes Quiz: die Datei in der Tabellenkalkulation öffnen, die "
                                 "drei Beispiele durch eigene Fragen ersetzen (ein Spiel hat 15 Fragen, in der "
                                 "Reihenfolge der Tabelle, also von leicht nach schwer), als CSV speichern und dann\n"
                                 "  %1 create meine.mdb meine-fragen.csv\n"
                                 "  %2 meine.mdb\n")
                      .arg(programName(), QStringLiteral(QUIZ_PROGRAM)));
    return 0;
}

} // namespace quizdb
