// The command line: the command word picks one of the four commands, each
// with a fixed number of files; --help answers on standard output.
#include "tools/quizdb/commandline.h"

#include "tools/quizdb/commands.h"

namespace quizdb {

namespace {

QString describeNummer(const Value& nummer)
{
    if (!nummer)
        return QStringLiteral("ohne Nummer");
    if (nummer->isEmpty())
        return QStringLiteral("Nummer leer");
    return QStringLiteral("Nummer %1").arg(shown(*nummer));
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
        "  quizdb --help\n"
        "      Zeigt diese Hilfe.\n"
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
    auto say = [](QIODevice& d, const QString& text) { d.write(text.toUtf8()); };
    const QString hint = QStringLiteral("Hilfe: quizdb --help\n");
    if (args.isEmpty()) {
        say(err, usage());
        return 2;
    }
    const QString command = args.first();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        say(out, usage());
        return 0;
    }
    struct Known {
        const char* name;
        int operands;
        const char* form;
    };
    static const Known known[] = {
        {"create", 2, "quizdb create FRAGENDATEI CSV-DATEI"},
        {"import", 2, "quizdb import FRAGENDATEI CSV-DATEI"},
        {"export", 1, "quizdb export FRAGENDATEI"},
        {"check", 1, "quizdb check FRAGENDATEI"},
    };
    const Known* which = nullptr;
    for (const Known& k : known)
        if (command == QLatin1String(k.name))
            which = &k;
    if (!which) {
        say(err, QStringLiteral("Unbekannter Befehl %1.\n\n").arg(quoted(command)) + usage());
        return 2;
    }
    if (args.size() - 1 != which->operands) {
        say(err, QStringLiteral("Falscher Aufruf. So geht es: %1\n").arg(QString::fromLatin1(which->form)) + hint);
        return 2;
    }
    try {
        if (command == QLatin1String("create")) {
            const int n = createFile(args[1], args[2]);
            say(out, QStringLiteral("Fragendatei %1 mit %2 Fragen angelegt.\n").arg(quoted(args[1])).arg(n));
        } else if (command == QLatin1String("import")) {
            const int n = importFile(args[1], args[2]);
            say(out, QStringLiteral("%1 Fragen an %2 angehängt.\n").arg(n).arg(quoted(args[1])));
        } else if (command == QLatin1String("export")) {
            exportFile(args[1], out);
        } else {
            const CheckResult result = checkFile(args[1]);
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
    } catch (const Error& e) {
        say(err, e.message() + QLatin1Char('\n'));
        return 2;
    } catch (const std::bad_alloc&) {
        say(err, QStringLiteral("Zu wenig Arbeitsspeicher; nichts wurde verändert.\n"));
        return 2;
    }
    return 0;
}

} // namespace quizdb
