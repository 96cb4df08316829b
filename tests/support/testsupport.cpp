// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/testsupport.h"

#include "platform/platform.h"
#include "store/store.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QPointer>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocumentFragment>
#include <QEvent>
#include <QPushButton>
#include <QStringDecoder>
#include <QStyleHints>
#include <QTest>
#include <QTimer>
#include <sqlite3.h>
#include <stdexcept>

namespace testsupport {

Record sampleRecord(int n, const QString& richtig)
{
    static const QString letters = QStringLiteral("ABCD");
    const int r = letters.indexOf(richtig);
    Record rec;
    rec[QStringLiteral("Nummer")] = QString::number(n);
    rec[QStringLiteral("Frage")] = QStringLiteral("Frage %1").arg(n);
    for (QChar x : letters)
        rec[QStringLiteral("Antwort") + x] = QStringLiteral("Antwort %1%2").arg(x).arg(n);
    rec[QStringLiteral("Richtig")] = richtig;
    rec[QStringLiteral("Fraglich")] = QString(letters.at(((r < 0 ? 0 : r) + 1) % 4));
    rec[QStringLiteral("PublikumA")] = QStringLiteral("40");
    rec[QStringLiteral("PublikumB")] = QStringLiteral("30");
    rec[QStringLiteral("PublikumC")] = QStringLiteral("20");
    rec[QStringLiteral("PublikumD")] = QStringLiteral("10");
    rec[QStringLiteral("JokerTV")] = QString();
    return rec;
}

QList<Record> sampleRecords(int count, RightLetters letters)
{
    QList<Record> records;
    for (int n = 1; n <= count; ++n) {
        const QChar letter = letters == RightLetters::RoundRobin ? QChar(u'A' + (n - 1) % 4) : QChar(u'A');
        records << sampleRecord(n, QString(letter));
    }
    return records;
}

namespace {
void check(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}
} // namespace

void writeQuestionFile(const QString& path, const QList<Record>& records)
{
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
          db, "open");
    check(sqlite3_exec(db, store::createTableSql().toUtf8().constData(), nullptr, nullptr, nullptr), db, "create");
    QString sql = QStringLiteral("INSERT INTO \"%1\" (").arg(store::kTable);
    QString marks;
    for (const QString& f : store::fieldNames()) {
        sql += QStringLiteral("\"%1\",").arg(f);
        marks += QStringLiteral("?,");
    }
    sql.chop(1);
    marks.chop(1);
    sql += QStringLiteral(") VALUES (") + marks + QStringLiteral(")");
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr), db, "prepare");
    for (const Record& rec : records) {
        int i = 1;
        for (const QString& f : store::fieldNames()) {
            const QVariant v = rec.value(f);
            if (!v.isValid() || v.isNull()) {
                sqlite3_bind_null(st, i);
            } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong) {
                sqlite3_bind_int64(st, i, v.toLongLong());
            } else {
                const QByteArray t = v.toString().toUtf8();
                sqlite3_bind_text(st, i, t.constData(), t.size(), SQLITE_TRANSIENT);
            }
            ++i;
        }
        check(sqlite3_step(st), db, "insert");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

ProgramFolder::ProgramFolder(const QList<Record>& records)
{
    QVERIFY(isValid());
    writeQuestionFile(questionFile(), records);
    platform::setProgramDirectory(path());
}

ProgramFolder::~ProgramFolder()
{
    // A folder that took over from this one keeps its place.
    if (platform::programDirectory() == path())
        platform::setProgramDirectory(QString());
}

QString ProgramFolder::questionFile() const { return filePath(store::kFileName); }

QList<Record> readQuestionFile(const QString& path)
{
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), db, "open");
    sqlite3_busy_timeout(db, store::kBusyTimeoutMs);
    QString sql = QStringLiteral("SELECT ");
    for (const QString& f : store::fieldNames())
        sql += QStringLiteral("\"%1\",").arg(f);
    sql.chop(1);
    sql += QStringLiteral(" FROM \"%1\" ORDER BY _rowid_").arg(store::kTable);
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr), db, "prepare");
    QList<Record> out;
    while (sqlite3_step(st) == SQLITE_ROW) {
        Record rec;
        for (int i = 0; i < store::fieldNames().size(); ++i) {
            const QString& f = store::fieldNames().at(i);
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_NULL: rec[f] = QVariant(); break;
            case SQLITE_INTEGER: rec[f] = QVariant(qint64(sqlite3_column_int64(st, i))); break;
            case SQLITE_BLOB:
                rec[f] = QByteArray(static_cast<const char*>(sqlite3_column_blob(st, i)), sqlite3_column_bytes(st, i));
                break;
            case SQLITE_TEXT:
                if (!QByteArrayView(sqlite3_column_text(st, i), sqlite3_column_bytes(st, i)).isValidUtf8()) {
                    rec[f] = QVariant::fromValue(store::RawText{QByteArray(
                        reinterpret_cast<const char*>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i))});
                    break;
                }
                [[fallthrough]];
            default:
                // A leading U+FEFF is part of the stored text, not a byte order mark.
                rec[f] = QString(QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                                          | QStringDecoder::Flag::ConvertInitialBom)
                                     .decode(QByteArrayView(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                                            sqlite3_column_bytes(st, i))));
            }
        }
        out.append(rec);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

namespace {
// Clears the marks of a window (answered, up since) when it hides.
class HideWatcher : public QObject {
public:
    static HideWatcher* instance()
    {
        static HideWatcher watcher;
        return &watcher;
    }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Hide) {
            o->setProperty("answeredOnce", false);
            o->setProperty("upSince", QVariant());
        }
        return false;
    }
};
} // namespace

QByteArray storedBytes(const QString& path, const char* field)
{
    sqlite3* db = nullptr;
    QByteArray bytes;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QByteArray("SELECT \"") + field + "\" FROM \"" + store::kTable.toUtf8()
                           + "\" ORDER BY rowid LIMIT 1";
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        bytes = QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 0)), sqlite3_column_bytes(st, 0));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return bytes;
}

QString errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const store::Error& e) {
        return QString::fromUtf8(e.what());
    }
    return QString();
}

DialogAnswerer::DialogAnswerer(QStringList actions) : m_actions(std::move(actions)), m_timer(new QTimer)
{
    m_timer->setInterval(5);
    QObject::connect(m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer->start();
}

DialogAnswerer::~DialogAnswerer() { delete m_timer; }

namespace {
// A dialog's text as the player reads it: where its label takes the text for
// markup, the tags are gone and only the rendered words are left.
QString shownText(const QLabel* label, const QString& text)
{
    const bool rich = label && (label->textFormat() == Qt::RichText
                                || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text)));
    return rich ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}
} // namespace

void DialogAnswerer::poll()
{
    // A window is answered once per showing: the mark is cleared when it
    // hides, so a window that is closed and opened again is answered again.
    QWidget* w = QApplication::activeModalWidget();
    if (!w || w->property("answeredOnce").toBool() || m_actions.isEmpty())
        return;
    // A dialog takes keys only once it has been up for a double-click
    // interval (platform.h): an answer by key waits for it.
    const QString next = m_actions.first();
    if (next.startsWith(QLatin1String("escape")) || next.contains(QLatin1String("key:"))) {
        if (!w->property("upSince").isValid()) {
            w->setProperty("upSince", QDateTime::currentMSecsSinceEpoch());
            w->installEventFilter(HideWatcher::instance());
        }
        if (QDateTime::currentMSecsSinceEpoch() - w->property("upSince").toLongLong()
            <= QGuiApplication::styleHints()->mouseDoubleClickInterval())
            return;
    }
    w->setProperty("answeredOnce", true);
    w->installEventFilter(HideWatcher::instance());
    QString action = m_actions.takeFirst();
    SeenDialog seen;
    seen.title = w->windowTitle();
    for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
        seen.buttons << b->text();
    if (auto* box = qobject_cast<QMessageBox*>(w))
        seen.text = shownText(box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")), box->text());
    const Qt::WindowFlags flags = w->windowFlags();
    seen.closeBox = !flags.testFlag(Qt::CustomizeWindowHint) || flags.testFlag(Qt::WindowCloseButtonHint);
    for (const QString& step : {QStringLiteral("escape"), QStringLiteral("close")}) {
        if (!action.startsWith(step + QLatin1Char(',')))
            continue;
        action = action.mid(step.size() + 1);
        if (step == QLatin1String("escape"))
            QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Escape);
        else
            w->close();
        if (!w->isVisible()) { // it gave way: nothing left to answer
            m_seen.append(seen);
            return;
        }
        seen.resisted << step;
    }
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
        m_seen.append(seen);
        if (action.startsWith(QLatin1String("key:"))) { // typed, as an access key
            QTest::keyClicks(w->focusWidget() ? w->focusWidget() : w, action.mid(4));
            return;
        }
        QMessageBox::StandardButton which = QMessageBox::Ok;
        if (action == QLatin1String("yes")) which = QMessageBox::Yes;
        else if (action == QLatin1String("no")) which = QMessageBox::No;
        else if (action == QLatin1String("cancel")) which = QMessageBox::Cancel;
        if (QAbstractButton* b = box->button(which))
            b->click();
        else
            box->done(0);
    } else if (auto* in = qobject_cast<QInputDialog*>(w)) {
        seen.text = shownText(in->findChild<QLabel*>(), in->labelText());
        seen.input = in->textValue();
        m_seen.append(seen);
        if (action.startsWith(QLatin1String("input:"))) {
            in->setTextValue(action.mid(6));
            in->accept();
        } else if (action == QLatin1String("cancel")) {
            in->reject();
        } else {
            in->accept();
        }
    } else if (auto* dlg = qobject_cast<QDialog*>(w)) {
        m_seen.append(seen);
        dlg->reject();
    } else {
        // A modal window that is not a dialog (the editor): closing it answers it.
        m_seen.append(seen);
        w->close();
    }
}

namespace {

// A modal dialog that nothing answers would block its test until CTest's
// time-out. Every test program that links this file has a watch: a dialog
// still open after kUnansweredMs fails the running test with its title and
// text, and is closed so that the test goes on to its end.
constexpr int kUnansweredMs = 3000;

void watchForUnansweredDialogs()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return; // no windows without widgets
    auto* watch = new QTimer(qApp);
    auto* since = new QElapsedTimer;
    auto* seen = new QPointer<QWidget>;
    watch->setInterval(100);
    QObject::connect(watch, &QTimer::timeout, [since, seen] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog != seen->data()) {
            *seen = dialog;
            since->start();
            return;
        }
        if (!dialog || since->elapsed() < kUnansweredMs)
            return;
        const auto* box = qobject_cast<QMessageBox*>(dialog);
        const QString text = box ? box->text() : QString();
        QTest::qFail(qPrintable(QStringLiteral("Nobody answered the dialog \"%1\": %2").arg(dialog->windowTitle(), text)),
                     __FILE__, __LINE__);
        if (auto* d = qobject_cast<QDialog*>(dialog))
            d->done(0);
        else
            dialog->close();
        since->start();
    });
    watch->start();
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchForUnansweredDialogs)

void catchEndProgram()
{
    platform::setEndProgramHandler([] { throw ProgramEnded{}; });
}

int focusFramePixels(QWidget* control, QWidget* other)
{
    other->setFocus();
    const QImage without = control->grab().toImage();
    control->setFocus();
    if (!control->hasFocus())
        return 0;
    const QImage with = control->grab().toImage();
    int changed = 0;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            changed += std::abs(qGray(with.pixel(x, y)) - qGray(without.pixel(x, y))) >= 128;
    return changed;
}

} // namespace testsupport
