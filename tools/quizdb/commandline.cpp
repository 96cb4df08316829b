// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line, read by QCommandLineParser: the command word picks one of
// the four commands, each with a fixed number of files; --help and --version
// answer on standard output. A wrong call is one line on standard error that
// says what is wrong, then the hint to the help, and exit status 2; a call
// without any arguments gets the whole help there instead.
#include "tools/quizdb/commandline.h"

#include "tools/quizdb/call.h"
#include "tools/quizdb/commands.h"
#include "tools/quizdb/messages.h"

#include <QCommandLineParser>
#include <cerrno>
#include <csignal>
#include <new>

#ifndef QUIZ_VERSION
#error "QUIZ_VERSION (the project's version) must be defined by the build"
#endif

namespace quizdb {

const char kNoMemory[] = "Zu wenig Arbeitsspeicher; nichts wurde verändert.\n";
const char kNoMemoryAfterChange[] = "Die Fragendatei ist vollständig geschrieben; nur für die Meldung darüber "
                                    "reichte der Arbeitsspeicher nicht mehr.\n";

namespace {

struct Command {
    QLatin1StringView name;
    qsizetype files; // how many file names follow the command word
    QLatin1StringView form; // the call after the program's name
    bool writes;     // takes --ohne-pruefung
    bool exports;    // takes -o
    int (*run)(const Call& call);
};

const Command kCommands[] = {
    {QLatin1StringView("create"), 2, QLatin1StringView("create FRAGENDATEI CSV-DATEI"), true, false, runCreate},
    {QLatin1StringView("import"), 2, QLatin1StringView("import FRAGENDATEI CSV-DATEI"), true, false, runImport},
    {QLatin1StringView("export"), 1, QLatin1StringView("export FRAGENDATEI"), false, true, runExport},
    {QLatin1StringView("check"), 1, QLatin1StringView("check FRAGENDATEI"), false, false, runCheck},
    {QLatin1StringView("vorlage"), 0, QLatin1StringView("vorlage"), false, false, runTemplate},
};

// Writes the answer to --help or --version; exit status 0 only when all of it
// was written.
int answer(QIODevice& out, QIODevice& err, const QString& text)
{
    errno = 0;
    if (written(out, text.toUtf8()))
        return 0;
    say(err, writeFailure(out, errno).message() + QLatin1Char('\n'));
    return 2;
}

// What is wrong with a call the parser refused, in one line.
QString parseProblem(const QCommandLineParser& parser, const QStringList& args)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString& name = unknown.first();
        return QStringLiteral("Unbekannte Option %1.")
            .arg(quoted((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name));
    }
    // The other refusals with these options: -o without its file, a value
    // given to an option that takes none.
    if (!args.isEmpty() && (args.last() == QLatin1String("-o") || args.last() == QLatin1String("--o")))
        return QStringLiteral("Der Option %1 fehlt der Name der Ausgabedatei.").arg(quoted(args.last()));
    for (const QString& arg : args)
        if (arg.startsWith(QLatin1Char('-')) && arg.contains(QLatin1Char('=')))
            return QStringLiteral("Die Option %1 nimmt keinen Wert an.").arg(quoted(arg.section(QLatin1Char('='), 0, 0)));
    return QStringLiteral("Falscher Aufruf.");
}

} // namespace

QString usage()
{
    QString text = QStringLiteral(
        "@ – Fragendateien des Quiz anlegen, ergänzen, ausgeben und prüfen\n"
        "\n"
        "Aufruf:\n"
        "  @ create FRAGENDATEI CSV-DATEI\n"
        "      Legt die Fragendatei neu an, mit den Fragen der CSV-Datei (ohne eine\n"
        "      Frage legt create nichts an). Eine schon vorhandene Datei wird nie\n"
        "      angefasst. Geht etwas schief oder wird der Lauf abgebrochen (Strg+C),\n"
        "      bleibt keine halbe Datei zurück; nur nach kill -9 kann\n"
        "      FRAGENDATEI.unfertig-XXXXXX liegen bleiben, zum Löschen.\n"
        "  @ import FRAGENDATEI CSV-DATEI\n"
        "      Hängt die Fragen der CSV-Datei hinten an eine vorhandene Fragendatei an:\n"
        "      alles in einem Zug oder gar nichts; bei einem Fehler bleibt die\n"
        "      Fragendatei Byte für Byte, wie sie war.\n"
        "  @ export FRAGENDATEI\n"
        "      Gibt alle Fragen in der Reihenfolge der Tabelle als CSV auf die\n"
        "      Standardausgabe aus (mit -o DATEI in eine Datei).\n"
        "  @ check FRAGENDATEI\n"
        "      Nennt jeden Datensatz, den das Spiel so nicht spielen kann, mit seiner\n"
        "      Stelle in der Tabelle (Satz 1, 2, …) und seiner Nummer, dazu was nicht\n"
        "      in eine Fragendatei gehört: Trigger, Sichten (VIEW), CHECK-Bedingungen\n"
        "      und Indexe über Ausdrücke oder mit Bedingung. Vorher prüft SQLite den\n"
        "      Aufbau der Datei (ihre Bäume und die Liste der freien Seiten); in eine\n"
        "      so beschädigte Datei schreibt auch import nichts.\n"
        "  @ vorlage\n"
        "      Gibt eine Vorlage für eigene Fragen auf die Standardausgabe aus: eine\n"
        "      CSV-Datei mit drei Beispielfragen, wie eine Tabellenkalkulation sie\n"
        "      gleich öffnet (@ vorlage > meine-fragen.csv), und sagt auf der\n"
        "      Standardfehlerausgabe, wie daraus ein eigenes Quiz wird.\n"
        "  @ --help (oder -h)\n"
        "      Zeigt diese Hilfe.\n"
        "  @ --version\n"
        "      Zeigt die Version von @.\n"
        "\n"
        "Optionen:\n"
        "  -o DATEI          export schreibt in DATEI statt auf die Standardausgabe;\n"
        "                    die Datei kommt erst an ihren Platz, wenn sie ganz ist.\n"
        "                    Eine benannte Pipe (FIFO) oder ein Gerät wie /dev/null\n"
        "                    bekommt die CSV als Datenstrom und bleibt, was sie ist.\n"
        "  --ohne-pruefung   create und import übernehmen auch Datensätze, die gegen\n"
        "                    das Datenmodell verstoßen, so wie sie sind (etwa Richtig\n"
        "                    \"X\"); die Längen der Felder und \"alles oder nichts\"\n"
        "                    gelten weiter.\n"
        "  --trennzeichen ZEICHEN\n"
        "                    create und import lesen die CSV-Datei mit diesem\n"
        "                    Trennzeichen: komma, semikolon oder tab. Ohne die Option\n"
        "                    gilt das Trennzeichen der Kopfzeile.\n"
        "  --zeichensatz NAME\n"
        "                    create und import lesen den Text in diesem Zeichensatz:\n"
        "                    utf-8 oder windows-1252. Ohne die Option ist er UTF-8,\n"
        "                    außer die erste Zeile mit anderen Zeichen als ASCII ist\n"
        "                    kein gültiges UTF-8; dann ist er Windows-1252.\n"
        "  Als CSV-DATEI liest \"-\" die Standardeingabe. Wie create und import sie\n"
        "  gelesen haben, sagen sie auf der Standardfehlerausgabe.\n"
        "  Statt einer CSV-DATEI nehmen create und import auch eine Access-Datei\n"
        "  (Access 97 bis heute: Jet 3, Jet 4, ACE; erkannt an ihrem Anfang, nicht am\n"
        "  Namen) mit der Tabelle Zada-VI-VOZ, deren Fragen in der Reihenfolge der\n"
        "  Tabelle, mit denselben Prüfungen. Die Access-Datei wird nur gelesen;\n"
        "  export gibt sie als CSV aus, check sagt von ihr, ob das Spiel sie\n"
        "  spielen kann.\n"
        "\n"
        "create und import lesen die CSV-Datei in einem Durchgang, ohne Grenze für\n"
        "ihre Größe. Beim ersten fehlerhaften Datensatz schreiben sie nichts mehr,\n"
        "lesen aber weiter und nennen bis zu 30 Fehler mit Zeile und Feld. Auf einem\n"
        "Terminal zeigen Läufe, die länger als eine Sekunde dauern, ihren Fortschritt.\n"
        "\n"
        "Hin und zurück: Findet check in einer Fragendatei keinen fehlerhaften\n"
        "Datensatz, ergibt export und dann create genau dieselben Datensätze wieder.\n"
        "Für jede andere Datei, die der Editor schreiben kann (er speichert, was man\n"
        "ihm gibt, etwa Richtig \"X\"), gilt das mit create --ohne-pruefung.\n"
        "\n"
        "Die Fragendatei des Spiels: plomberg-quiz spielt die Datei, die seine\n"
        "Kommandozeile nennt, sonst Zada-VI-VOZ.mdb neben dem Programm (nach dem Bauen\n"
        "build/Zada-VI-VOZ.mdb), sonst die eigene Datei des Spielers,\n"
        "~/.local/share/plomberg-quiz/Zada-VI-VOZ.mdb (unter $XDG_DATA_HOME, wenn\n"
        "gesetzt). @ nimmt die Fragendatei immer als Argument.\n"
        "\n"
        "CSV-Format (RFC 4180):\n"
        "  - So, wie Tabellenkalkulationen sie speichern: Trennzeichen Komma,\n"
        "    Semikolon oder Tabulator; UTF-8 (ein BOM am Anfang ist erlaubt) oder\n"
        "    Windows-1252; Zeilenende CRLF oder LF.\n"
        "  - Die erste Zeile nennt die 13 Felder, jedes genau einmal, in beliebiger\n"
        "    Reihenfolge: Nummer, Frage, AntwortA, AntwortB, AntwortC, AntwortD,\n"
        "    Richtig, Fraglich, PublikumA, PublikumB, PublikumC, PublikumD, JokerTV.\n"
        "  - Jede weitere Zeile ist eine Frage mit genau 13 Feldern; leere Zeilen\n"
        "    werden übersprungen.\n"
        "  - Ein Feld mit Trennzeichen, Anführungszeichen oder Zeilenumbruch steht in\n"
        "    Anführungszeichen (\"...\"); ein Anführungszeichen darin wird verdoppelt (\"\").\n"
        "  - Ein ganz leeres Feld bedeutet \"kein Wert\" (NULL), ein Feld aus zwei\n"
        "    Anführungszeichen (\"\") den leeren Text.\n"
        "  - Fehlermeldungen nennen die Zeile der Datei (die Kopfzeile ist Zeile 1)\n"
        "    und das Feld.\n"
        "\n"
        "Datenmodell (geprüft von check, verlangt von create und import):\n"
        "  - Richtig und Fraglich: je einer der Großbuchstaben A, B, C, D, und\n"
        "    verschieden (Fraglich ist die falsche Antwort, die der 50:50-Joker\n"
        "    stehen lässt).\n"
        "  - PublikumA bis PublikumD: ganze Zahlen von 0 bis 99, zusammen genau 100.\n"
        "  - Frage: nicht leer, höchstens 110 Zeichen; AntwortA bis AntwortD\n"
        "    höchstens 40, Nummer höchstens 2, JokerTV höchstens 20 Zeichen.\n"
        "    Gezählt werden Zeichen, wie der Editor sie zählt: ein Emoji ist eines.\n"
        "\n"
        "Rückgabewert: 0 erledigt; 1 check hat fehlerhafte Datensätze, eine Tabelle\n"
        "ohne Datensatz oder etwas, das nicht hineingehört, gefunden; 2 abgelehnt\n"
        "oder fehlgeschlagen (nichts wurde verändert). Lässt sich nach create oder\n"
        "import nur die Meldung nicht ausgeben, ist der Rückgabewert 0, und die\n"
        "Standardfehlerausgabe sagt es.\n");
    return text.replace(QLatin1Char('@'), programName());
}

int run(const QStringList& args, QIODevice& out, QIODevice& err, Terminals terminals)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption unchecked(QStringLiteral("ohne-pruefung"));
    const QCommandLineOption output(QStringLiteral("o"), QString(), QStringLiteral("DATEI"));
    const QCommandLineOption separator(QStringLiteral("trennzeichen"), QString(), QStringLiteral("ZEICHEN"));
    const QCommandLineOption encoding(QStringLiteral("zeichensatz"), QString(), QStringLiteral("NAME"));
    parser.addOptions({help, version, unchecked, output, separator, encoding});
    const QString hint = QStringLiteral("Hilfe: %1 --help\n").arg(programName());
    if (!parser.parse(QStringList{programName()} + args)) {
        say(err, parseProblem(parser, args) + QLatin1Char('\n') + hint);
        return 2;
    }
    const QStringList words = parser.positionalArguments();
    if (parser.isSet(help) || words.value(0) == QLatin1String("help")) {
        return answer(out, err, usage());
    }
    if (parser.isSet(version))
        return answer(out, err, programName() + QStringLiteral(" " QUIZ_VERSION "\n"));
    if (words.isEmpty()) {
        say(err, usage());
        return 2;
    }
    const Command* command = nullptr;
    for (const Command& c : kCommands)
        if (words.first() == c.name)
            command = &c;
    if (!command) {
        say(err, QStringLiteral("Unbekannter Befehl %1.\n").arg(quoted(words.first())) + hint);
        return 2;
    }
    QString misplaced;
    CsvDialect dialect{CsvDialect::Separator::Auto, CsvDialect::Encoding::Auto};
    const std::optional<CsvDialect::Separator> separatorValue = separatorNamed(parser.value(separator));
    const std::optional<CsvDialect::Encoding> encodingValue = encodingNamed(parser.value(encoding));
    if (parser.isSet(unchecked) && !command->writes)
        misplaced = QStringLiteral("Die Option „--ohne-pruefung“ gibt es nur bei create und import.\n");
    else if ((parser.isSet(separator) || parser.isSet(encoding)) && !command->writes)
        misplaced = QStringLiteral("Die Optionen „--trennzeichen“ und „--zeichensatz“ gibt es nur bei create und "
                                   "import.\n");
    else if (parser.values(separator).size() > 1 || parser.values(encoding).size() > 1)
        misplaced = QStringLiteral("Die Optionen „--trennzeichen“ und „--zeichensatz“ stehen je höchstens einmal da.\n");
    else if (parser.isSet(separator) && !separatorValue)
        misplaced = QStringLiteral("Unbekanntes Trennzeichen %1; möglich sind komma, semikolon und tab.\n")
                        .arg(quoted(parser.value(separator)));
    else if (parser.isSet(encoding) && !encodingValue)
        misplaced = QStringLiteral("Unbekannter Zeichensatz %1; möglich sind utf-8 und windows-1252.\n")
                        .arg(quoted(parser.value(encoding)));
    else if (parser.isSet(output) && !command->exports)
        misplaced = QStringLiteral("Die Option „-o“ gibt es nur bei export.\n");
    else if (parser.values(output).size() > 1)
        misplaced = QStringLiteral("Die Option „-o“ steht mehr als einmal da.\n");
    if (!misplaced.isEmpty()) {
        say(err, misplaced + hint);
        return 2;
    }
    const QStringList files = words.mid(1);
    if (files.size() != command->files) {
        say(err, QStringLiteral("Falscher Aufruf. So geht es: %1 %2\n").arg(programName(), command->form) + hint);
        return 2;
    }
    Progress progress(terminals.err ? &err : nullptr);
    // A closed pipe must not end the tool between a change and its report.
    if (command->writes)
        std::signal(SIGPIPE, SIG_IGN);
    dialect.separator = separatorValue.value_or(dialect.separator);
    dialect.encoding = encodingValue.value_or(dialect.encoding);
    bool changed = false;
    QString howRead;
    const Call call{files,    parser.isSet(unchecked) ? Rules::LengthsOnly : Rules::Model,
                    dialect,  parser.value(output),
                    out,      err,
                    terminals.out, progress,
                    changed,  howRead};
    try {
        const int status = command->run(call);
        errno = 0;
        if (changed || written(out, {}))
            return status;
        throw writeFailure(out, errno);
    } catch (const Error& e) {
        progress.clear();
        say(err, e.message() + QLatin1Char('\n'));
        // After the faults: how the CSV was read can explain them.
        sayHowRead(call);
    } catch (const std::bad_alloc&) {
        progress.clear();
        // As it stands: no memory is needed to say it.
        err.write(changed ? kNoMemoryAfterChange : kNoMemory);
        if (changed)
            return 0;
    }
    return 2;
}

} // namespace quizdb
