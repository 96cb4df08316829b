// The question-file tool over the plain SQLite API.
#include "tools/quizdb/quizdb.h"

#include "store/store.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <sqlite3.h>

namespace quizdb {

namespace {

// Longest list of faults that one message shows; the rest is counted.
constexpr int kMaxListedFaults = 30;

const QStringList kLetters = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};

QString quoted(const QString& text) { return QStringLiteral("„%1“").arg(text); }

// A value as a message shows it: quoted, long texts shortened, line breaks visible.
QString shown(const QString& text)
{
    QString t = text.size() > 30 ? text.left(30) + QStringLiteral("…") : text;
    t.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    t.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return quoted(t);
}

int fieldIndex(const QString& name) { return int(store::fieldNames().indexOf(name)); }

QString letterFault(const Value& v)
{
    if (!v)
        return QStringLiteral("hat keinen Wert; erlaubt ist einer der Großbuchstaben A, B, C, D.");
    return QStringLiteral("%1 ist keiner der Großbuchstaben A, B, C, D.").arg(shown(*v));
}

// ---- SQLite ---------------------------------------------------------------

// What an SQLite result code means for the user of the file.
QString sqliteProblem(sqlite3* db, int rc, const QString& file)
{
    switch (rc & 0xFF) {
    case SQLITE_NOTADB:
        return QStringLiteral("%1 ist keine Fragendatei (keine SQLite-Datenbank).").arg(quoted(file));
    case SQLITE_CORRUPT:
        return QStringLiteral("Die Fragendatei %1 ist beschädigt.").arg(quoted(file));
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Die Fragendatei %1 wird gerade von einem anderen Programm benutzt; bitte später noch "
                              "einmal versuchen.")
            .arg(quoted(file));
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return QStringLiteral("Die Fragendatei %1 ist schreibgeschützt.").arg(quoted(file));
    case SQLITE_FULL:
        return QStringLiteral("Der Datenträger der Fragendatei %1 ist voll.").arg(quoted(file));
    case SQLITE_CANTOPEN:
        return QStringLiteral("Die Fragendatei %1 lässt sich nicht öffnen.").arg(quoted(file));
    default:
        return QStringLiteral("Fehler in der Fragendatei %1: %2")
            .arg(quoted(file), QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
    }
}

class Statement;

// One open connection; closed when it goes out of scope.
class Db {
public:
    Db(const QString& file, int flags) : m_file(file)
    {
        const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK) {
            const QString problem = sqliteProblem(m_db, rc, file);
            sqlite3_close(m_db);
            m_db = nullptr;
            throw Error(problem);
        }
        sqlite3_extended_result_codes(m_db, 0);
        sqlite3_busy_timeout(m_db, 2000);
    }
    ~Db() { sqlite3_close(m_db); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    sqlite3* handle() const { return m_db; }
    const QString& file() const { return m_file; }

    void check(int rc) const
    {
        if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw Error(sqliteProblem(m_db, rc, m_file));
    }
    void exec(const QString& sql) const { check(sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr)); }

    // The question table with all thirteen fields must be there.
    void requireQuestionTable() const;

private:
    sqlite3* m_db = nullptr;
    QString m_file;
};

class Statement {
public:
    Statement(const Db& db, const QString& sql) : m_db(db)
    {
        db.check(sqlite3_prepare_v2(db.handle(), sql.toUtf8().constData(), -1, &m_st, nullptr));
    }
    ~Statement() { sqlite3_finalize(m_st); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* handle() const { return m_st; }
    bool step() const
    {
        const int rc = sqlite3_step(m_st);
        m_db.check(rc);
        return rc == SQLITE_ROW;
    }
    void bind(int i, const Value& v) const
    {
        if (!v) {
            m_db.check(sqlite3_bind_null(m_st, i));
        } else {
            const QByteArray t = v->toUtf8();
            m_db.check(sqlite3_bind_text(m_st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT));
        }
    }
    void reset() const { sqlite3_reset(m_st); }

private:
    const Db& m_db;
    sqlite3_stmt* m_st = nullptr;
};

void Db::requireQuestionTable() const
{
    Statement columns(*this, QStringLiteral("SELECT name FROM pragma_table_info(?1)"));
    columns.bind(1, store::kTable);
    QStringList have;
    while (columns.step())
        have << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(columns.handle(), 0)));
    if (have.isEmpty())
        throw Error(QStringLiteral("%1 ist keine Fragendatei: die Tabelle %2 fehlt.")
                        .arg(quoted(m_file), quoted(store::kTable)));
    for (const QString& f : store::fieldNames())
        if (!have.contains(f, Qt::CaseInsensitive))
            throw Error(QStringLiteral("In der Fragendatei %1 fehlt der Tabelle %2 das Feld %3.")
                            .arg(quoted(m_file), quoted(store::kTable), quoted(f)));
}

// Opens an existing question file and checks that it holds the question table.
std::unique_ptr<Db> openQuestionFile(const QString& file, bool write)
{
    const QFileInfo info(file);
    if (!info.exists())
        throw Error(QStringLiteral("Die Fragendatei %1 gibt es nicht.").arg(quoted(file)));
    if (info.isDir())
        throw Error(QStringLiteral("%1 ist ein Verzeichnis, keine Fragendatei.").arg(quoted(file)));
    auto db = std::make_unique<Db>(file, write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY);
    db->requireQuestionTable();
    return db;
}

QString columnList()
{
    QString list;
    for (const QString& f : store::fieldNames())
        list += QStringLiteral("\"%1\",").arg(f);
    list.chop(1);
    return list;
}

// Calls `each` with the position and the raw values (null = no value) of every
// record of the table, in table order.
template <typename Each>
int forEachRecord(const Db& db, Each each)
{
    Statement select(db, QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY rowid").arg(columnList(), store::kTable));
    int position = 0;
    while (select.step()) {
        ++position;
        QList<std::optional<QByteArray>> raw;
        for (int i = 0; i < store::kFieldCount; ++i) {
            if (sqlite3_column_type(select.handle(), i) == SQLITE_NULL) {
                raw.append(std::nullopt);
            } else {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select.handle(), i));
                raw.append(QByteArray(text, sqlite3_column_bytes(select.handle(), i)));
            }
        }
        each(position, raw);
    }
    return position;
}

// Inserts the records in one transaction: all of them or, on any failure, none.
void insertAll(const Db& db, const QList<CsvRecord>& records, bool createTable)
{
    db.exec(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        if (createTable)
            db.exec(store::createTableSql());
        QString marks;
        for (int i = 1; i <= store::kFieldCount; ++i)
            marks += QStringLiteral("?%1,").arg(i);
        marks.chop(1);
        Statement insert(db, QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)").arg(store::kTable, columnList(), marks));
        for (const CsvRecord& rec : records) {
            for (int i = 0; i < store::kFieldCount; ++i)
                insert.bind(i + 1, rec.values[i]);
            insert.step();
            insert.reset();
        }
        db.exec(QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

// Reads the CSV and refuses it when any record breaks the data model: the
// questions that go into a question file must be playable.
QList<CsvRecord> readPlayableCsv(const QString& csv)
{
    const QList<CsvRecord> records = readCsvFile(csv);
    QStringList lines;
    int faults = 0;
    for (const CsvRecord& rec : records) {
        for (const Fault& f : modelFaults(rec.values)) {
            ++faults;
            if (lines.size() < kMaxListedFaults)
                lines << QStringLiteral("  %1, Zeile %2, Feld %3: %4")
                             .arg(QFileInfo(csv).fileName())
                             .arg(rec.fieldLines[fieldIndex(f.field)])
                             .arg(quoted(f.field), f.text);
        }
    }
    if (faults) {
        QString message = QStringLiteral("Die CSV-Datei %1 enthält %2 Verstöße gegen das Datenmodell; nichts wurde "
                                         "geschrieben:\n")
                              .arg(quoted(csv))
                              .arg(faults) +
                          lines.join(QLatin1Char('\n'));
        if (faults > lines.size())
            message += QStringLiteral("\n  … und %1 weitere.").arg(faults - lines.size());
        throw Error(message);
    }
    return records;
}

void put(QIODevice& out, const QByteArray& bytes)
{
    if (out.write(bytes) != bytes.size())
        throw Error(QStringLiteral("Die Ausgabe lässt sich nicht schreiben: %1").arg(out.errorString()));
}

QString describeNummer(const Value& nummer)
{
    if (!nummer)
        return QStringLiteral("ohne Nummer");
    if (nummer->isEmpty())
        return QStringLiteral("Nummer leer");
    return QStringLiteral("Nummer %1").arg(shown(*nummer));
}

} // namespace

QList<Fault> modelFaults(const QList<Value>& values)
{
    QList<Fault> faults;
    auto value = [&](const QString& name) -> const Value& { return values.at(fieldIndex(name)); };

    const Value& frage = value(store::field::Frage);
    if (!frage)
        faults.append({store::field::Frage, QStringLiteral("hat keinen Wert; jede Frage braucht einen Text.")});
    else if (frage->trimmed().isEmpty())
        faults.append({store::field::Frage, QStringLiteral("ist leer; jede Frage braucht einen Text.")});

    const Value& richtig = value(store::field::Richtig);
    const Value& fraglich = value(store::field::Fraglich);
    const bool richtigOk = richtig && kLetters.contains(*richtig);
    const bool fraglichOk = fraglich && kLetters.contains(*fraglich);
    if (!richtigOk)
        faults.append({store::field::Richtig, letterFault(richtig)});
    if (!fraglichOk)
        faults.append({store::field::Fraglich, letterFault(fraglich)});
    if (richtigOk && fraglichOk && *richtig == *fraglich)
        faults.append({store::field::Fraglich,
                       QStringLiteral("ist gleich Richtig (%1); Fraglich nennt eine falsche Antwort.").arg(quoted(*richtig))});

    static const QRegularExpression share(QStringLiteral("^[0-9]{1,2}$"));
    int sum = 0;
    bool sharesOk = true;
    for (const QString& x : kLetters) {
        const QString name = QStringLiteral("Publikum") + x;
        const Value& v = value(name);
        if (!v) {
            faults.append({name, QStringLiteral("hat keinen Wert; erlaubt ist eine ganze Zahl von 0 bis 99.")});
            sharesOk = false;
        } else if (!share.match(*v).hasMatch()) {
            faults.append({name, QStringLiteral("%1 ist keine ganze Zahl von 0 bis 99.").arg(shown(*v))});
            sharesOk = false;
        } else {
            sum += v->toInt();
        }
    }
    if (sharesOk && sum != 100)
        faults.append({store::field::PublikumA,
                       QStringLiteral("Die vier Publikumsanteile ergeben zusammen %1 statt 100.").arg(sum)});

    for (const QString& name : store::fieldNames()) {
        const Value& v = value(name);
        const int limit = store::fieldLimit(name);
        // Letters and shares already have their own, more precise fault.
        if (name == QLatin1String("Richtig") || name == QLatin1String("Fraglich") || name.startsWith(QLatin1String("Publikum")))
            continue;
        if (v && v->size() > limit)
            faults.append({name, QStringLiteral("ist %1 Zeichen lang; erlaubt sind höchstens %2.").arg(v->size()).arg(limit)});
    }
    return faults;
}

int createFile(const QString& file, const QString& csv)
{
    const QFileInfo info(file);
    if (info.exists() || info.isSymLink())
        throw Error(QStringLiteral("%1 gibt es schon; quizdb create legt nur neue Fragendateien an und überschreibt "
                                   "nichts. Zum Anhängen an eine vorhandene Fragendatei: quizdb import.")
                        .arg(quoted(file)));
    const QList<CsvRecord> records = readPlayableCsv(csv);

    // NewOnly: the file is made here or not at all, even if another program
    // makes one of that name in the meantime.
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        throw Error(QStringLiteral("Die Fragendatei %1 lässt sich nicht anlegen: das Verzeichnis %2 gibt es nicht.")
                        .arg(quoted(file), quoted(folder.filePath())));
    QFile made(file);
    if (!made.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw Error(QStringLiteral("Die Fragendatei %1 lässt sich nicht anlegen (%2).").arg(quoted(file), made.errorString()));
    made.close();
    try {
        Db db(file, SQLITE_OPEN_READWRITE);
        insertAll(db, records, true);
    } catch (...) {
        QFile::remove(file);
        QFile::remove(file + QStringLiteral("-journal"));
        throw;
    }
    return int(records.size());
}

int importFile(const QString& file, const QString& csv)
{
    // The whole CSV is read and checked before the question file is opened.
    const QList<CsvRecord> records = readPlayableCsv(csv);
    const std::unique_ptr<Db> db = openQuestionFile(file, true);
    insertAll(*db, records, false);
    return int(records.size());
}

void exportFile(const QString& file, QIODevice& out)
{
    const std::unique_ptr<Db> db = openQuestionFile(file, false);
    put(out, csvHeader());
    forEachRecord(*db, [&](int position, const QList<std::optional<QByteArray>>& raw) {
        QList<Value> values;
        for (int i = 0; i < store::kFieldCount; ++i) {
            if (!raw[i]) {
                values.append(std::nullopt);
                continue;
            }
            if (!isValidUtf8(*raw[i]) || raw[i]->contains('\0'))
                throw Error(QStringLiteral("Satz %1, Feld %2 der Fragendatei %3 ist kein gültiger UTF-8-Text; die "
                                           "Datei lässt sich so nicht als CSV ausgeben.")
                                .arg(position)
                                .arg(quoted(store::fieldNames().at(i)), quoted(file)));
            values.append(decodeUtf8(*raw[i]));
        }
        put(out, csvLine(values));
    });
}

CheckResult checkFile(const QString& file)
{
    const std::unique_ptr<Db> db = openQuestionFile(file, false);
    CheckResult result;
    result.records = forEachRecord(*db, [&](int position, const QList<std::optional<QByteArray>>& raw) {
        QList<Value> values;
        QList<Fault> encoding;
        for (int i = 0; i < store::kFieldCount; ++i) {
            if (!raw[i]) {
                values.append(std::nullopt);
                continue;
            }
            if (!isValidUtf8(*raw[i]))
                encoding.append({store::fieldNames().at(i), QStringLiteral("ist kein gültiger UTF-8-Text.")});
            else if (raw[i]->contains('\0'))
                encoding.append({store::fieldNames().at(i), QStringLiteral("enthält ein Nullzeichen.")});
            values.append(decodeUtf8(*raw[i]));
        }
        const QList<Fault> faults = encoding + modelFaults(values);
        if (!faults.isEmpty())
            result.faulty.append({position, values.at(0), faults});
    });
    return result;
}

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
