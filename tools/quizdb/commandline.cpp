// The command line, read by QCommandLineParser: the command word picks one of
// the four commands, each with a fixed number of files; --help and --version
// answer on standard output. A wrong call is one line on standard error that
// says what is wrong, then the hint to the help, and exit status 2; a call
// without any arguments gets the whole help there instead.
#include "tools/quizdb/commandline.h"

#include "tools/quizdb/commands.h"

#include <QCommandLineParser>

#ifndef QUIZ_VERSION
#error "QUIZ_VERSION (the project's version) must be defined by the build"
#endif

namespace quizdb {

namespace {

const QString kHint = QStringLiteral("Hilfe: quizdb --help\n");

void say(QIODevice& device, const QString& text)
{
    device.write(text.toUtf8());
}

QString describeNummer(const Value& nummer)
{
    if (!nummer)
        return QStringLiteral("ohne Nummer");
    if (nummer->isEmpty())
        return QStringLiteral("Nummer leer");
    return QStringLiteral("Nummer %1").arg(shown(*nummer));
}

int create(const QStringList& files, QIODevice& out)
{
    const int n = createFile(files[0], files[1]);
    say(out, QStringLiteral("Fragendatei %1 mit %2 Fragen angelegt.\n").arg(quoted(files[0])).arg(n));
    return 0;
}

int import(const QStringList& files, QIODevice& out)
{
    const int n = importFile(files[0], files[1]);
    say(out, QStringLiteral("%1 Fragen an %2 angehängt.\n").arg(n).arg(quoted(files[0])));
    return 0;
}

int exportCsv(const QStringList& files, QIODevice& out)
{
    exportFile(files[0], out);
    return 0;
}

int check(const QStringList& files, QIODevice& out)
{
    const CheckResult result = checkFile(files[0]);
    for (const FaultyRecord& r : result.faulty)
        for (const Fault& f : r.faults)
            say(out, QStringLiteral("Satz %1 (%2), Feld %3: %4\n")
                         .arg(r.position)
                         .arg(describeNummer(r.nummer), quoted(f.field), f.text));
    if (result.faulty.isEmpty()) {
        say(out, QStringLiteral("Alle %1 Datensätze sind in Ordnung.\n").arg(result.records));
        return 0;
    }
    say(out, QStringLiteral("%1 von %2 Datensätzen verstoßen gegen das Datenmodell.\n")
                 .arg(result.faulty.size())
                 .arg(result.records));
    return 1;
}

struct Command {
    QLatin1StringView name;
    qsizetype files; // how many file names follow the command word
    QLatin1StringView form;
    int (*run)(const QStringList& files, QIODevice& out);
};

const Command kCommands[] = {
    {QLatin1StringView("create"), 2, QLatin1StringView("quizdb create FRAGENDATEI CSV-DATEI"), create},
    {QLatin1StringView("import"), 2, QLatin1StringView("quizdb import FRAGENDATEI CSV-DATEI"), import},
    {QLatin1StringView("export"), 1, QLatin1StringView("quizdb export FRAGENDATEI"), exportCsv},
    {QLatin1StringView("check"), 1, QLatin1StringView("quizdb check FRAGENDATEI"), check},
};

// What is wrong with a call the parser refused, in one line.
QString parseProblem(const QCommandLineParser& parser, const QStringList& args)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString& name = unknown.first();
        return QStringLiteral("Unbekannte Option %1.")
            .arg(quoted((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name));
    }
    // The other refusal with these options: a value given to one that takes none.
    for (const QString& arg : args)
        if (arg.startsWith(QLatin1Char('-')) && arg.contains(QLatin1Char('=')))
            return QStringLiteral("Die Option %1 nimmt keinen Wert an.").arg(quoted(arg.section(QLatin1Char('='), 0, 0)));
    return QStringLiteral("Falscher Aufruf.");
}

} // namespace

QString usage()
{
    return QStringLiteral(
        "quizdb – Fragendateien des Quiz anlegen, ergänzen, ausgeben und prüfen\n"
        "\n"
        "Aufruf:\n"
        "  quizdb create FRAGENDATEI CSV-DATEI\n"
        "      Legt die Fragendatei neu an, mit den Fragen der CSV-Datei. Eine schon\n"
        "      vorhandene Datei wird nie angefasst. Geht etwas schief, bleibt keine\n"
        "      halbe Datei zurück.\n"
        "  quizdb import FRAGENDATEI CSV-DATEI\n"
        "      Hängt die Fragen der CSV-Datei hinten an eine vorhandene Fragendatei an.\n"
        "      Die ganze CSV-Datei wird vorher gelesen und geprüft; geschrieben wird\n"
        "      alles in einem Zug oder gar nichts.\n"
        "  quizdb export FRAGENDATEI\n"
        "      Gibt alle Fragen in der Reihenfolge der Tabelle als CSV auf die\n"
        "      Standardausgabe aus. Eine so ausgegebene Datei ergibt mit create\n"
        "      genau dieselben Datensätze wieder.\n"
        "  quizdb check FRAGENDATEI\n"
        "      Nennt jeden Datensatz, den das Spiel so nicht spielen kann, mit seiner\n"
        "      Stelle in der Tabelle (Satz 1, 2, …) und seiner Nummer.\n"
        "  quizdb --help (oder -h)\n"
        "      Zeigt diese Hilfe.\n"
        "  quizdb --version\n"
        "      Zeigt die Version von quizdb.\n"
        "\n"
        "CSV-Format (RFC 4180):\n"
        "  - UTF-8, ein BOM am Anfang ist erlaubt; Zeilenende CRLF oder LF.\n"
        "  - Die erste Zeile nennt die 13 Felder, jedes genau einmal, in beliebiger\n"
        "    Reihenfolge: Nummer, Frage, AntwortA, AntwortB, AntwortC, AntwortD,\n"
        "    Richtig, Fraglich, PublikumA, PublikumB, PublikumC, PublikumD, JokerTV.\n"
        "  - Jede weitere Zeile ist eine Frage mit genau 13 Feldern; leere Zeilen\n"
        "    werden übersprungen.\n"
        "  - Ein Feld mit Komma, Anführungszeichen oder Zeilenumbruch steht in\n"
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
        "\n"
        "Rückgabewert: 0 erledigt; 1 check hat fehlerhafte Datensätze gefunden;\n"
        "2 abgelehnt oder fehlgeschlagen (nichts wurde verändert).\n");
}

int run(const QStringList& args, QIODevice& out, QIODevice& err)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOption(help);
    parser.addOption(version);
    if (!parser.parse(QStringList{QStringLiteral("quizdb")} + args)) {
        say(err, parseProblem(parser, args) + QLatin1Char('\n') + kHint);
        return 2;
    }
    const QStringList words = parser.positionalArguments();
    if (parser.isSet(help) || words.value(0) == QLatin1String("help")) {
        say(out, usage());
        return 0;
    }
    if (parser.isSet(version)) {
        say(out, QStringLiteral("quizdb " QUIZ_VERSION "\n"));
        return 0;
    }
    if (words.isEmpty()) {
        say(err, usage());
        return 2;
    }
    const Command* command = nullptr;
    for (const Command& c : kCommands)
        if (words.first() == c.name)
            command = &c;
    if (!command) {
        say(err, QStringLiteral("Unbekannter Befehl %1.\n").arg(quoted(words.first())) + kHint);
        return 2;
    }
    const QStringList files = words.mid(1);
    if (files.size() != command->files) {
        say(err, QStringLiteral("Falscher Aufruf. So geht es: %1\n").arg(command->form) + kHint);
        return 2;
    }
    try {
        return command->run(files, out);
    } catch (const Error& e) {
        say(err, e.message() + QLatin1Char('\n'));
    } catch (const std::bad_alloc&) {
        say(err, QStringLiteral("Zu wenig Arbeitsspeicher; nichts wurde verändert.\n"));
    }
    return 2;
}

} // namespace quizdb
