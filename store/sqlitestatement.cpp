// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Statements and transactions on an open file.
#include "store/sqlitestatement.h"

#include <sqlite3.h>

#include <new>

namespace store::sqlite {

void Prepared::Finalize::operator()(sqlite3_stmt* st) const noexcept
{
    sqlite3_finalize(st);
}

Prepared::Prepared(File& file, const QString& sql, Use use) : m_file(&file)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v3(file.m_db, text.constData(), int(text.size()),
                                      use == Use::Kept ? SQLITE_PREPARE_PERSISTENT : 0, &raw, nullptr);
    m_st.reset(raw);
    if (rc != SQLITE_OK)
        throw file.readError(rc);
}

Statement::Statement(Prepared& prepared) : m_prepared(prepared) {}

Statement::Statement(File& file, const QString& sql) : m_own(file, sql, Prepared::Use::Once), m_prepared(m_own) {}

Statement::~Statement()
{
    sqlite3_reset(m_prepared.m_st.get());
    // Numbers are bound anew on every run; a text would outlive its bytes.
    if (m_boundText)
        sqlite3_clear_bindings(m_prepared.m_st.get());
}

void Statement::fail(int code) const
{
    // A statement that writes nothing fails as a read of the file.
    const File& file = *m_prepared.m_file;
    if (sqlite3_stmt_readonly(m_prepared.m_st.get()))
        throw file.readError(code);
    throw file.writeError(code);
}

void Statement::check(int code) const
{
    if (code != SQLITE_OK)
        fail(code);
}

Statement& Statement::bind(int index, qint64 value)
{
    check(sqlite3_bind_int64(m_prepared.m_st.get(), index, value));
    return *this;
}

Statement& Statement::bind(int index, const std::optional<QString>& text)
{
    sqlite3_stmt* st = m_prepared.m_st.get();
    if (!text) {
        check(sqlite3_bind_null(st, index));
        return *this;
    }
    const QByteArray bytes = text->toUtf8();
    m_boundText = true;
    check(sqlite3_bind_text(st, index, bytes.isEmpty() ? "" : bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bindInPlace(int index, std::optional<QByteArrayView> text)
{
    sqlite3_stmt* st = m_prepared.m_st.get();
    m_boundText = m_boundText || text;
    if (!text)
        check(sqlite3_bind_null(st, index));
    else
        check(sqlite3_bind_text(st, index, text->isEmpty() ? "" : text->data(), int(text->size()), SQLITE_STATIC));
    return *this;
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_prepared.m_st.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(rc);
}

void Statement::run()
{
    // A write statement that hands out a row (RETURNING) is a mistake of ours.
    if (step())
        fail(SQLITE_MISUSE);
}

Statement::Type Statement::type(int column) const
{
    switch (sqlite3_column_type(m_prepared.m_st.get(), column)) {
    case SQLITE_INTEGER:
        return Type::Integer;
    case SQLITE_FLOAT:
        return Type::Real;
    case SQLITE_TEXT:
        return Type::Text;
    case SQLITE_BLOB:
        return Type::Blob;
    default:
        return Type::Null;
    }
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_prepared.m_st.get(), column);
}

double Statement::real(int column) const
{
    return sqlite3_column_double(m_prepared.m_st.get(), column);
}

QString Statement::text(int column) const
{
    const std::optional<QByteArrayView> b = bytes(column);
    return b ? QString::fromUtf8(*b) : QString();
}

std::optional<QByteArrayView> Statement::bytes(int column) const
{
    sqlite3_stmt* st = m_prepared.m_st.get();
    const int type = sqlite3_column_type(st, column);
    if (type == SQLITE_NULL)
        return std::nullopt;
    // The value is read as it is stored: the statement belongs to one thread.
    const char* data = type == SQLITE_BLOB ? static_cast<const char*>(sqlite3_column_blob(st, column))
                                           : reinterpret_cast<const char*>(sqlite3_column_text(st, column));
    const int size = sqlite3_column_bytes(st, column);
    if (!data && (size > 0 || type != SQLITE_BLOB))
        throw std::bad_alloc(); // no memory to hold the value or to turn a number into text
    return QByteArrayView(data ? data : "", size);
}

Transaction::Transaction(File& file) : m_file(file)
{
    const int rc = sqlite3_exec(file.handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw file.writeError(rc);
}

Transaction::~Transaction()
{
    // SQLite may already have rolled back on its own (a full disk, for one).
    if (!m_committed && m_file.isOpen() && !sqlite3_get_autocommit(m_file.handle()))
        sqlite3_exec(m_file.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    const int rc = sqlite3_exec(m_file.handle(), "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw m_file.writeError(rc);
    m_committed = true;
}

QString identifier(const QString& name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString identifierList(const QStringList& names)
{
    QStringList quotedNames;
    for (const QString& name : names)
        quotedNames << identifier(name);
    return quotedNames.join(QLatin1Char(','));
}

} // namespace store::sqlite
